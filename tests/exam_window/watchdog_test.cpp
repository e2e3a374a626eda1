// The examination window's watchdog on a scripted desktop.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "exam_window_fixture.h"
#include "platform/error.h"

namespace {

using exam_test::ExamWindowTest;
using exam_window::frmKaikei;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Key strokes go into the desktop's log, so the order of front, Esc and close shows.
class KeysIntoLog : public platform::KeySender {
public:
    explicit KeysIntoLog(std::vector<std::string>& log) : log_(log) {}
    void key_down(uint8_t k) override { log_.push_back("down " + std::to_string(k)); }
    void key_up(uint8_t k) override { log_.push_back("up " + std::to_string(k)); }

private:
    std::vector<std::string>& log_;
};

class WatchdogTest : public ExamWindowTest {
protected:
    frmKaikei& start() {
        frmKaikei& f = load();
        fp.platform.keys = std::make_unique<KeysIntoLog>(desktop->calls);
        desktop->calls.clear();
        return f;
    }
    // The calls other than the lookups.
    std::vector<std::string> actions() const {
        std::vector<std::string> out;
        for (const auto& c : desktop->calls)
            if (c.rfind("find ", 0) != 0) out.push_back(c);
        return out;
    }
};

TEST_F(WatchdogTest, TickWithNoTargetOnlyLooksInOrder) {
    frmKaikei& f = start();
    desktop->windows = {{7, "OpusApp", "文書1"}, {8, "XLMAIN", "Book1"}, {9, "CabinetWClass", "bramwick2"},
                        {10, "CabinetWClass", "quorvex"}};
    f.Timer2_Timer();
    EXPECT_THAT(desktop->calls,
                ElementsAre("find IEFrame|*", "find Notepad|*", "find rctrl_renwnd32|*",
                            "find Outlook Express Browser Class|*", "find CabinetWClass|bramwick",
                            "find CabinetWClass|bramwick_result"));
    EXPECT_EQ(desktop->windows.size(), 4u);
}

TEST_F(WatchdogTest, ProgramsAreBroughtToTheFrontSentEscAndAskedToClose) {
    frmKaikei& f = start();
    desktop->windows = {{3, "Notepad", "a.txt"}, {5, "rctrl_renwnd32", "受信トレイ"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 3", "down 27", "up 27", "close 3", "front 5", "down 27", "up 27",
                                       "close 5"));
}

TEST_F(WatchdogTest, ExplorerOnTheWorkingFoldersIsOnlyAskedToClose) {
    frmKaikei& f = start();
    desktop->windows = {{11, "CabinetWClass", "bramwick_result"}, {12, "CabinetWClass", "bramwick"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("close 12", "close 11"));
}

TEST_F(WatchdogTest, OneWindowPerKindAndTick) {
    frmKaikei& f = start();
    desktop->close_removes_window = true;
    desktop->windows = {{1, "Notepad", "a"}, {2, "Notepad", "b"}, {4, "IEFrame", "x"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 4", "down 27", "up 27", "close 4", "front 1", "down 27", "up 27",
                                       "close 1"));
    desktop->calls.clear();
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 2", "down 27", "up 27", "close 2"));
    EXPECT_THAT(desktop->windows, IsEmpty());
}

TEST_F(WatchdogTest, AWindowThatStaysIsAskedAgainOnEveryTick) {
    frmKaikei& f = start();
    desktop->windows = {{6, "IEFrame", "ページを離れますか"}};
    for (int tick = 0; tick < 3; ++tick) f.Timer2_Timer();
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 6"), 3);
}

// A desktop whose every call fails: each failing statement is skipped, the tick goes on.
class FailingDesktop : public fakes::FakeDesktop {
public:
    platform::WindowId find_window(const std::string& c, const std::optional<std::string>& t) override {
        platform::WindowId id = fakes::FakeDesktop::find_window(c, t);
        if (c == "IEFrame") throw platform::Error("lookup failed");
        return id;
    }
    void bring_to_front(platform::WindowId id) override {
        fakes::FakeDesktop::bring_to_front(id);
        throw platform::Error("gone");
    }
};

TEST_F(WatchdogTest, FailingStatementsAreSkipped) {
    frmKaikei& f = start();
    auto failing = std::make_unique<FailingDesktop>();
    FailingDesktop* d = failing.get();
    std::unique_ptr<platform::Desktop> logging(fp.platform.desktop.release());
    fp.platform.desktop = std::move(failing);
    fp.platform.keys = std::make_unique<KeysIntoLog>(d->calls);
    d->windows = {{1, "IEFrame", "x"}, {2, "Notepad", "y"}};
    f.Timer2_Timer();
    EXPECT_THAT(d->calls, ElementsAre("find IEFrame|*", "find Notepad|*", "front 2", "down 27", "up 27", "close 2",
                                      "find rctrl_renwnd32|*", "find Outlook Express Browser Class|*",
                                      "find CabinetWClass|bramwick", "find CabinetWClass|bramwick_result"));
    fp.platform.desktop = std::move(logging);
    fp.platform.keys = std::make_unique<fakes::FakeKeySender>();
}

}  // namespace
