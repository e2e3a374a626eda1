// Both watchdogs on a real X display, with their real timers, against real X clients: the
// tests' own client dressed as the programs of each kind, and mousepad, a real text editor
// of the table. Each watchdog closes the programs of its list, leaves the others, our own
// windows and a program that cannot be asked politely, and sends Esc only into the target
// that has the focus. Runs on a bare display and under a window manager alike.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QObject>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "exam_window/frm_kaikei.h"
#include "main_window/main_window_fixture.h"
#include "platform/backends.h"
#include "support/temp_dir.h"
#include "support/x_client.h"

namespace {

using namespace std::chrono_literals;
using fakes::XClient;

// Runs the event loop, and with it the watchdogs' timers, until the condition holds.
bool pump_until(const std::function<bool()>& condition, std::chrono::milliseconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        if (condition()) return true;
        std::this_thread::sleep_for(5ms);
    }
    return condition();
}

void pump_for(std::chrono::milliseconds time) {
    pump_until([] { return false; }, time);
}

// Counts the Esc keys that reach one of our windows.
class EscCounter : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if ((e->type() == QEvent::KeyPress || e->type() == QEvent::ShortcutOverride) &&
            static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape)
            ++count;
        return false;
    }
};

struct Program {
    const char *instance, *window_class, *title, *on_delete;
    bool closes;  // this watchdog closes it
};

class WatchdogX11 : public mw_test::MainWindowTest {
protected:
    void SetUp() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
        MainWindowTest::SetUp();
        fp_.platform.desktop = platform::make_x11_desktop();
        fp_.platform.keys = platform::make_xtest_key_sender();
        qApp->installEventFilter(&esc);
    }
    void TearDown() override {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
        qApp->removeEventFilter(&esc);
        clients.clear();
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        MainWindowTest::TearDown();
    }

    XClient& start(const Program& p) {
        clients.push_back(std::make_unique<XClient>(
            XClient::test_client(), std::vector<std::string>{"--instance", p.instance, "--class", p.window_class,
                                                             "--title", p.title, "--on-delete", p.on_delete}));
        return *clients.back();
    }

    // Starts the programs while the watchdog runs, and checks which end and which stay.
    void check(const std::vector<Program>& programs) {
        std::vector<XClient*> started;
        for (const Program& p : programs) started.push_back(&start(p));
        for (size_t i = 0; i < programs.size(); ++i) {
            SCOPED_TRACE(programs[i].title);
            // The client reports its window mapped while the event loop runs.
            EXPECT_TRUE(pump_until([&] { return started[i]->lines().size() > 0; }));
        }
        for (size_t i = 0; i < programs.size(); ++i) {
            SCOPED_TRACE(programs[i].title);
            if (programs[i].closes) {
                EXPECT_TRUE(pump_until([&] { return !started[i]->running(); }));
            }
        }
        // Long enough for many ticks after the last close.
        pump_for(500ms);
        for (size_t i = 0; i < programs.size(); ++i) {
            SCOPED_TRACE(programs[i].title);
            if (programs[i].closes) continue;
            EXPECT_TRUE(started[i]->running());
            // Neither a close request nor a key stroke reached it.
            for (const std::string& line : started[i]->lines()) EXPECT_EQ(line.rfind("ready", 0), 0u) << line;
        }
    }

    // Starts mousepad, a real program of the table, in a home of its own.
    std::unique_ptr<XClient> mousepad() {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("NO_AT_BRIDGE", "1", 1);
        auto m = std::make_unique<XClient>("mousepad", std::vector<std::string>{"--disable-server"});
        EXPECT_TRUE(m->started());
        return m;
    }

    fakes::TempDir home{"ledgrin-watchdog-home-"};
    EscCounter esc;
    std::vector<std::unique_ptr<XClient>> clients;
};

TEST_F(WatchdogX11, TheMainWindowClosesTheProgramsOfItsList) {
    auto& f = load_main();
    f.show();
    ASSERT_TRUE(f.Timer1->Enabled());
    check({
        {"Navigator", "firefox-esr", "Welcome — Mozilla Firefox", "close", true},
        {"libreoffice", "libreoffice-calc", "Untitled 1 - LibreOffice Calc", "close", true},
        {"abiword", "Abiword", "Untitled1", "close", true},
        {"libreoffice", "libreoffice-base", "New Database - LibreOffice Base", "close", true},
        {"Mail", "thunderbird-default", "Home - Mozilla Thunderbird", "close", true},
        {"claws-mail", "Claws-mail", "Claws Mail", "close", true},
        {"thunar", "Thunar", "bramwick - Thunar", "close", true},
        {"org.gnome.Nautilus", "org.gnome.Nautilus", "bramwick_result", "close", true},
        {"caja", "Caja", "OrvaneBramwick", "close", true},
        // Not on this list, or not the folders, or not to be asked politely.
        {"thunar", "Thunar", "bramwick2 - Thunar", "close", false},
        {"gedit", "Gedit", "a.txt - gedit", "close", false},
        {"xterm", "XTerm", "bramwick", "close", false},
        {"chromium", "Chromium", "New Tab - Chromium", "none", false},
    });
    // A real text editor is not on the main window's list either.
    auto m = mousepad();
    pump_for(1500ms);
    EXPECT_TRUE(m->running());
    EXPECT_TRUE(f.isVisible());  // our own window stays
    EXPECT_EQ(esc.count, 0);     // this watchdog sends no key at all
}

TEST_F(WatchdogX11, TheExaminationWindowClosesItsProgramsAndSendsEscOnlyIntoTheTarget) {
    exam_window::frmKaikei& f = exam_window::kaikei().get();
    f.show();
    ASSERT_TRUE(f.Timer2->Enabled());
    check({
        {"Navigator", "firefox-esr", "Welcome — Mozilla Firefox", "close", true},
        {"mousepad", "Mousepad", "Untitled 1 - Mousepad", "close", true},
        {"Mail", "thunderbird-default", "Home - Mozilla Thunderbird", "close", true},
        {"evolution", "Evolution", "Mail - Evolution", "close", true},
        {"thunar", "Thunar", "bramwick - Thunar", "close", true},
        {"dolphin", "dolphin", "bramwick_result — Dolphin", "close", true},
        // Word processors and spreadsheets stay here, so do other folders and other programs.
        {"libreoffice", "libreoffice-writer", "Untitled 1 - LibreOffice Writer", "close", false},
        {"gnumeric", "Gnumeric", "Book1.gnumeric - Gnumeric", "close", false},
        {"caja", "Caja", "OrvaneBramwick", "close", false},
        {"xterm", "XTerm", "vi a.txt", "close", false},
        {"kate", "kate", "b.txt — Kate", "none", false},
    });
    auto m = mousepad();
    // A real editor with nothing to save ends when asked.
    EXPECT_TRUE(pump_until([&] { return !m->running(); }));
    EXPECT_EQ(m->wait_exit(0ms), 0);
    EXPECT_EQ(esc.count, 0);  // no Esc reached the examination window
}

TEST_F(WatchdogX11, AProgramThatDeclinesIsAskedFiveTimesASecondWithEscOnlyWhereItHasTheFocus) {
    exam_window::frmKaikei& f = exam_window::kaikei().get();
    f.show();
    XClient& bystander = start({"xterm", "XTerm", "bash", "close", false});
    ASSERT_TRUE(bystander.wait_line("ready "));
    XClient& browser = start({"chromium", "Chromium", "Leave site? - Chromium", "decline", false});
    ASSERT_TRUE(pump_until([&] { return browser.count("delete") >= 1; }));
    const auto begin = std::chrono::steady_clock::now();
    const int before = browser.count("delete");
    pump_for(1500ms);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - begin);
    const int asked = browser.count("delete") - before;
    EXPECT_GE(asked, 1);
    EXPECT_LE(asked, ms.count() / 200 + 1) << ms.count() << " ms";
    EXPECT_TRUE(browser.running());
    // Every Esc the browser got came with the focus in it, before a request; nothing reached
    // the other program or our window.
    int escapes = 0;
    for (const std::string& line : browser.lines()) escapes += line == "key Escape main";
    EXPECT_LE(escapes, browser.count("delete"));
    for (const std::string& line : bystander.lines()) EXPECT_EQ(line.rfind("key", 0), std::string::npos) << line;
    EXPECT_EQ(esc.count, 0);
}

}  // namespace
