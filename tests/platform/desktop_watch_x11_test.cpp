// The X11 desktop against real X clients (the tests' own x_test_client): programs found by
// their kind and folder title, the registry following windows as they come, change and
// go, close requests only through WM_DELETE_WINDOW and at most five a second, and the
// question a program asks before closing given its time. Runs on a bare display and under
// a window manager alike.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "platform/backends.h"
#include "support/x_client.h"
#include "support/x11_events.h"

// Xlib's macros clash with names in Qt's and our headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using namespace std::chrono_literals;
using fakes::XClient;

using fakes::eventually;

class DesktopWatchX11 : public ::testing::Test {
protected:
    void SetUp() override {
        d = XOpenDisplay(nullptr);
        if (!d) GTEST_SKIP() << "no X display";
    }
    void TearDown() override {
        clients.clear();
        if (d) XCloseDisplay(d);
    }

    // A client of the given WM_CLASS and title, mapped; its window id.
    struct Started {
        XClient* client;
        Window window;
    };
    Started start(const std::string& instance, const std::string& window_class, const std::string& title,
                  const std::string& on_delete = "close", bool ours = false) {
        std::vector<std::string> args{"--instance", instance, "--class", window_class, "--title", title,
                                      "--on-delete", on_delete};
        if (ours) args.push_back("--pid-of-parent");
        clients.push_back(std::make_unique<XClient>(XClient::test_client(), args));
        XClient* c = clients.back().get();
        std::string id;
        EXPECT_TRUE(c->wait_line("ready ", &id)) << title;
        return {c, static_cast<Window>(std::stoul(id, nullptr, 16))};
    }

    // The first window of the class the desktop gives, once it has one.
    platform::WindowId found(const std::string& listed_class, const std::optional<std::string>& title,
                             platform::WindowId expected) {
        platform::WindowId id = 0;
        eventually([&] { return (id = desktop->find_window(listed_class, title)) == expected; });
        return id;
    }

    // Sends the client a message of the test's own, which it reports: whatever the desktop
    // sent it before has been seen by then.
    void probe(const Started& s) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = s.window;
        ev.xclient.message_type = XInternAtom(d, "_LEDGRIN_PROBE", False);
        ev.xclient.format = 32;
        XSendEvent(d, s.window, False, NoEventMask, &ev);
        XFlush(d);
        EXPECT_TRUE(s.client->wait_line("message _LEDGRIN_PROBE"));
    }

    Display* d = nullptr;
    std::unique_ptr<platform::Desktop> desktop = platform::make_x11_desktop();
    std::vector<std::unique_ptr<XClient>> clients;
};

TEST_F(DesktopWatchX11, ProgramsAreFoundByTheirKindAndFileManagersByTheFolderTheyShow) {
    struct Case {
        const char *instance, *window_class, *title, *listed_class, *folder;
        bool matches;
    } cases[] = {
        {"mousepad", "Mousepad", "a.txt - Mousepad", "Notepad", nullptr, true},
        {"Navigator", "firefox-esr", "Welcome — Mozilla Firefox", "IEFrame", nullptr, true},
        {"libreoffice", "libreoffice-calc", "Untitled 1 - LibreOffice Calc", "XLMAIN", nullptr, true},
        {"libreoffice", "libreoffice-calc", "Untitled 1 - LibreOffice Calc", "OpusApp", nullptr, false},
        {"Mail", "thunderbird-default", "Home - Mozilla Thunderbird", "rctrl_renwnd32", nullptr, true},
        {"thunar", "Thunar", "bramwick - Thunar", "CabinetWClass", "bramwick", true},
        {"thunar", "Thunar", "bramwick2 - Thunar", "CabinetWClass", "bramwick", false},
        {"dolphin", "dolphin", "bramwick_result — Dolphin", "CabinetWClass", "bramwick_result", true},
        {"caja", "Caja", "bramwick", "CabinetWClass", "bramwick", true},
        {"caja", "Caja", "bramwick - Thunar", "CabinetWClass", "bramwick", false},  // not its suffix
        {"xterm", "XTerm", "bramwick", "CabinetWClass", "bramwick", false},
        {"xterm", "XTerm", "vi a.txt", "Notepad", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        Started s = start(c.instance, c.window_class, c.title);
        const std::optional<std::string> folder = c.folder ? std::optional<std::string>(c.folder) : std::nullopt;
        if (c.matches) {
            EXPECT_EQ(found(c.listed_class, folder, s.window), s.window);
        } else {
            // The desktop has seen the window once a lookup of its own class finds it.
            ASSERT_EQ(found(c.window_class, std::nullopt, s.window), s.window);
            EXPECT_EQ(desktop->find_window(c.listed_class, folder), 0u);
        }
        clients.clear();
        ASSERT_TRUE(eventually([&] { return desktop->find_window(c.window_class, std::nullopt) == 0; }));
    }
}

TEST_F(DesktopWatchX11, AWindowTransientForTheRootOrAWindowOfNoClientIsAMainWindow) {
    for (const char* owner : {"root", "leader"}) {
        SCOPED_TRACE(owner);
        clients.push_back(std::make_unique<XClient>(
            XClient::test_client(), std::vector<std::string>{"--instance", "geany", "--class", "Geany", "--title",
                                                             "untitled - Geany", "--transient-for", owner}));
        XClient* c = clients.back().get();
        std::string id;
        ASSERT_TRUE(c->wait_line("ready ", &id));
        const auto window = static_cast<platform::WindowId>(std::stoul(id, nullptr, 16));
        ASSERT_EQ(found("Notepad", std::nullopt, window), window);
        desktop->request_close(window);
        EXPECT_TRUE(c->wait_line("delete"));
        EXPECT_EQ(c->wait_exit(10s), 0);
    }
}

TEST_F(DesktopWatchX11, ARenamedWindowAndOurOwnWindows) {
    Started own = start("mousepad", "Mousepad", "ours - Mousepad", "close", true);
    Started fm = start("thunar", "Thunar", "Home - Thunar");
    ASSERT_EQ(found("Thunar", std::nullopt, fm.window), fm.window);
    EXPECT_EQ(desktop->find_window("CabinetWClass", std::string("bramwick")), 0u);
    // The program moves to the folder: its title changes, and the lookup sees it.
    const std::string title = "bramwick - Thunar";
    XChangeProperty(d, fm.window, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XFlush(d);
    EXPECT_EQ(found("CabinetWClass", std::string("bramwick"), fm.window), fm.window);
    // A window of this process never matches, whatever its class.
    EXPECT_EQ(desktop->find_window("Notepad", std::nullopt), 0u);
    EXPECT_EQ(desktop->find_window("Mousepad", std::nullopt), 0u);
    (void)own;
}

TEST_F(DesktopWatchX11, AWindowThatClosesIsAskedOnceAndGoes) {
    Started s = start("gedit", "Gedit", "a.txt - gedit", "close");
    const platform::WindowId id = found("Notepad", std::nullopt, s.window);
    ASSERT_EQ(id, s.window);
    EXPECT_EQ(desktop->find_window_to_close("Notepad", std::nullopt), id);
    desktop->request_close(id);
    EXPECT_TRUE(s.client->wait_line("delete"));
    EXPECT_EQ(s.client->wait_exit(20s), 0);
    EXPECT_TRUE(eventually([&] { return desktop->find_window("Notepad", std::nullopt) == 0; }));
}

TEST_F(DesktopWatchX11, AWindowThatDeclinesIsAskedAtMostFiveTimesASecond) {
    Started s = start("pluma", "Pluma", "b.txt - Pluma", "decline");
    ASSERT_EQ(found("Notepad", std::nullopt, s.window), s.window);
    const auto begin = std::chrono::steady_clock::now();
    int ticks = 0;
    while (std::chrono::steady_clock::now() - begin < 1100ms) {
        if (platform::WindowId id = desktop->find_window_to_close("Notepad", std::nullopt))
            desktop->request_close(id);
        ++ticks;
        std::this_thread::sleep_for(10ms);
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    probe(s);
    const int asked = s.client->count("delete");
    EXPECT_GE(asked, 2) << ticks << " ticks";
    EXPECT_LE(asked, elapsed.count() / 200 + 1) << ticks << " ticks in " << elapsed.count() << " ms";
    EXPECT_TRUE(s.client->running());
}

TEST_F(DesktopWatchX11, AWindowWithoutTheDeleteProtocolIsLeftAlone) {
    Started s = start("mousepad", "Mousepad", "c.txt - Mousepad", "none");
    ASSERT_EQ(found("Notepad", std::nullopt, s.window), s.window);
    EXPECT_EQ(desktop->find_window_to_close("Notepad", std::nullopt), 0u);
    for (int tick = 0; tick < 30; ++tick) {
        desktop->request_close(s.window);
        std::this_thread::sleep_for(10ms);
    }
    probe(s);
    // Nothing reached it, and no window manager was asked to close it (which kills it).
    for (const auto& line : s.client->lines())
        EXPECT_TRUE(line.rfind("ready", 0) == 0 || line == "message _LEDGRIN_PROBE") << line;
    EXPECT_TRUE(s.client->running());
}

TEST_F(DesktopWatchX11, WhileItsQuestionIsOpenAWindowIsNotAskedAgain) {
    Started s = start("kate", "kate", "d.txt — Kate", "ask");
    ASSERT_EQ(found("Notepad", std::nullopt, s.window), s.window);
    desktop->request_close(s.window);
    std::string question_id;
    ASSERT_TRUE(s.client->wait_line("question ", &question_id));
    const Window question = static_cast<Window>(std::stoul(question_id, nullptr, 16));
    // Once the desktop has seen the question, the window waits for its user's answer.
    ASSERT_TRUE(eventually([&] {
        return desktop->find_window_to_close("Notepad", std::nullopt) == 0;
    }));
    const auto begin = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - begin < 600ms) {
        if (platform::WindowId id = desktop->find_window_to_close("Notepad", std::nullopt))
            desktop->request_close(id);
        std::this_thread::sleep_for(10ms);
    }
    // The question is a dialog of the window: never a target of its own.
    EXPECT_EQ(desktop->find_window("Notepad", std::nullopt), s.window);
    probe(s);
    EXPECT_EQ(s.client->count("delete"), 1);
    EXPECT_EQ(s.client->count("question-delete"), 0);

    // Its user dismisses the question: the window is asked again.
    XDestroyWindow(d, question);
    XFlush(d);
    EXPECT_TRUE(eventually([&] {
        if (platform::WindowId id = desktop->find_window_to_close("Notepad", std::nullopt)) desktop->request_close(id);
        return s.client->count("delete") == 2;
    }));
}

TEST_F(DesktopWatchX11, AQuestionLeftOpenHoldsTheWindowBackTwoSecondsAtMost) {
    Started s = start("kate", "kate", "e.txt — Kate", "ask");
    ASSERT_EQ(found("Notepad", std::nullopt, s.window), s.window);
    const auto asked = std::chrono::steady_clock::now();
    desktop->request_close(s.window);
    ASSERT_TRUE(s.client->wait_line("question "));
    // The program leaves its box open and never answers: it is asked once more, and not
    // in the rhythm of a window that only declines.
    EXPECT_TRUE(eventually([&] {
        if (platform::WindowId id = desktop->find_window_to_close("Notepad", std::nullopt)) desktop->request_close(id);
        return s.client->count("delete") == 2;
    }, 3s));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - asked);
    EXPECT_GE(ms.count(), 1000);
    EXPECT_EQ(s.client->count("question-delete"), 0);
}

TEST_F(DesktopWatchX11, BringToFrontSaysWhetherTheFocusIsInTheWindow) {
    Started s = start("mousepad", "Mousepad", "e.txt - Mousepad", "decline");
    ASSERT_EQ(found("Notepad", std::nullopt, s.window), s.window);
    // Under a window manager the focus comes once it has acted on the request.
    ASSERT_TRUE(eventually([&] { return desktop->bring_to_front(s.window); }));
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    EXPECT_EQ(focus, s.window);

    auto keys = platform::make_xtest_key_sender();
    keys->key_down(27);
    keys->key_up(27);
    EXPECT_TRUE(s.client->wait_line("key Escape main"));
    // A stroke meant for another window is not typed where the focus is.
    Started other = start("xterm", "XTerm", "bash", "decline");
    ASSERT_EQ(found("XTerm", std::nullopt, other.window), other.window);
    ASSERT_TRUE(eventually([&] { return desktop->bring_to_front(s.window); }));
    EXPECT_FALSE(keys->stroke_into(other.window, 27));
    EXPECT_TRUE(keys->stroke_into(s.window, 13));
    EXPECT_TRUE(s.client->wait_line("key Return main"));
    probe(other);
    for (const auto& line : other.client->lines()) EXPECT_EQ(line.rfind("key", 0), std::string::npos) << line;

    // A window that has gone holds no focus.
    clients.clear();
    EXPECT_FALSE(desktop->bring_to_front(s.window));
}

}  // namespace
