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

// Key strokes go into the desktop's log, so the order of front, Esc and close shows; a
// stroke into a window is typed only while the fake desktop has the focus there.
class KeysIntoLog : public fakes::FakeKeySender {
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
    // Word processors, spreadsheets and file managers on other folders stay.
    desktop->windows = {{7, "OpusApp", "文書1"},
                        {8, "XLMAIN", "Book1"},
                        {9, "CabinetWClass", "bramwick2"},
                        {10, "CabinetWClass", "quorvex"},
                        {13, "libreoffice-writer", "Untitled 1 - LibreOffice Writer", "libreoffice"},
                        {14, "Gnumeric", "Book1.gnumeric - Gnumeric", "gnumeric"},
                        {15, "Thunar", "bramwick2 - Thunar", "thunar"},
                        {16, "Xterm", "bash", "xterm"}};
    f.Timer2_Timer();
    EXPECT_THAT(desktop->calls,
                ElementsAre("find IEFrame|*", "find Notepad|*", "find rctrl_renwnd32|*",
                            "find Outlook Express Browser Class|*", "find CabinetWClass|bramwick",
                            "find CabinetWClass|bramwick_result"));
}

TEST_F(WatchdogTest, ProgramsAreBroughtToTheFrontSentEscAndAskedToClose) {
    frmKaikei& f = start();
    desktop->windows = {{3, "Mousepad", "a.txt - Mousepad", "mousepad"},
                        {5, "thunderbird-default", "受信トレイ", "Mail"},
                        {6, "Notepad", "b.txt"}};
    f.Timer2_Timer();
    // The two mail rows stand for the same kind: the second passes over the window the
    // first has just asked.
    EXPECT_THAT(actions(), ElementsAre("front 3", "down 27", "up 27", "close 3", "front 5", "down 27", "up 27",
                                       "close 5"));
}

TEST_F(WatchdogTest, EscOnlyWhenTheFocusLandedInTheTarget) {
    frmKaikei& f = start();
    desktop->windows = {{4, "firefox-esr", "Mozilla Firefox", "Navigator"}, {3, "Gedit", "a.txt - gedit", "gedit"}};
    desktop->refuses_focus = {4};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 4", "close 4", "front 3", "down 27", "up 27", "close 3"));
}

TEST_F(WatchdogTest, AProgramOnAnotherWorkspaceIsAskedToCloseWithoutTheRaiseAndTheEsc) {
    frmKaikei& f = start();
    desktop->shown_workspace = 0;
    desktop->windows = {{4, "Chromium", "x - Chromium", "chromium (/tmp/p)"},
                        {3, "Geany", "untitled - Geany", "geany"},
                        {5, "Evolution", "Mail - Evolution", "evolution"}};
    desktop->windows[0].workspace = 1;
    desktop->windows[1].workspace = 0;
    desktop->windows[2].workspace = platform::kEveryWorkspace;
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("close 4", "front 3", "down 27", "up 27", "close 3", "front 5", "down 27",
                                       "up 27", "close 5"));
}

TEST_F(WatchdogTest, FileManagersOnTheWorkingFoldersAreOnlyAskedToClose) {
    frmKaikei& f = start();
    desktop->windows = {{11, "Thunar", "bramwick_result - Thunar", "thunar"},
                        {12, "CabinetWClass", "bramwick"},
                        {13, "dolphin", "bramwick2 — Dolphin", "dolphin"},
                        {14, "Thunar", "bramwick - Dolphin", "thunar"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("close 12", "close 11"));
}

TEST_F(WatchdogTest, OneWindowPerKindAndTick) {
    frmKaikei& f = start();
    desktop->close_removes_window = true;
    desktop->windows = {{1, "Notepad", "a"}, {2, "Kate", "b", "kate"}, {4, "Chromium", "x", "chromium"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 4", "down 27", "up 27", "close 4", "front 1", "down 27", "up 27",
                                       "close 1"));
    desktop->calls.clear();
    desktop->now_ms += 10;
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 2", "down 27", "up 27", "close 2"));
    EXPECT_THAT(desktop->windows, IsEmpty());
}

TEST_F(WatchdogTest, AWindowThatStaysIsAskedAgainFiveTimesASecond) {
    frmKaikei& f = start();
    desktop->windows = {{6, "Firefox-esr", "ページを離れますか", "Navigator"}};
    for (int tick = 0; tick < 100; ++tick, desktop->now_ms += 10) f.Timer2_Timer();
    // Neither raised nor sent Esc in between.
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 6"), 5);
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "front 6"), 5);
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "down 27"), 5);
}

TEST_F(WatchdogTest, WhileAWindowAsksItsUserTheWatchdogWaitsAndTheNextWindowGetsItsTurn) {
    frmKaikei& f = start();
    desktop->windows = {{1, "Mousepad", "a.txt - Mousepad", "mousepad"}, {2, "Mousepad", "b.txt - Mousepad", "mousepad"}};
    f.Timer2_Timer();  // asks 1
    desktop->now_ms += 10;
    // Its question comes up, a dialog of window 1 seen after the request.
    desktop->windows.push_back({9, "Mousepad", "Save changes?", "mousepad", true, false, 1, desktop->now_ms});
    desktop->calls.clear();
    for (int tick = 0; tick < 100; ++tick, desktop->now_ms += 10) f.Timer2_Timer();  // window 2's turns
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 1"), 0);
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 9"), 0);  // nor the question
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 2"), 5);
    // Answered "cancel": the window is asked again.
    desktop->windows.erase(desktop->windows.begin() + 2);
    desktop->calls.clear();
    f.Timer2_Timer();
    EXPECT_EQ(std::count(desktop->calls.begin(), desktop->calls.end(), "close 1"), 1);
}

TEST_F(WatchdogTest, WindowsWithoutTheDeleteProtocolAndOurOwnAreLeftAlone) {
    frmKaikei& f = start();
    desktop->windows = {{1, "Mousepad", "x", "mousepad", false},
                        {2, "Notepad", "ours", "", true, true},
                        {3, "Pluma", "y", "pluma"}};
    f.Timer2_Timer();
    EXPECT_THAT(actions(), ElementsAre("front 3", "down 27", "up 27", "close 3"));
}

// A desktop whose every call fails: each failing statement is skipped, the tick goes on.
class FailingDesktop : public fakes::FakeDesktop {
public:
    platform::WindowId find_window_to_close(const std::string& c, const std::optional<std::string>& t) override {
        platform::WindowId id = fakes::FakeDesktop::find_window_to_close(c, t);
        if (c == "IEFrame") throw platform::Error("lookup failed");
        return id;
    }
    bool bring_to_front(platform::WindowId id) override {
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
    // A raise that failed says nothing of the focus: no Esc.
    EXPECT_THAT(d->calls, ElementsAre("find IEFrame|*", "find Notepad|*", "front 2", "close 2",
                                      "find rctrl_renwnd32|*", "find Outlook Express Browser Class|*",
                                      "find CabinetWClass|bramwick", "find CabinetWClass|bramwick_result"));
    fp.platform.desktop = std::move(logging);
    fp.platform.keys = std::make_unique<fakes::FakeKeySender>();
}

}  // namespace
