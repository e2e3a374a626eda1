// Both watchdogs on a real X display, with their real timers, against real X clients: the
// tests' own client dressed as the programs of each kind, and real programs of the table
// (mousepad, geany, Chromium with a profile folder of its own and as an --app window).
// Each watchdog closes the programs of its list, leaves the others, our own windows and a
// program that cannot be asked politely, and sends Esc only into the target that has the
// focus; a target on another workspace is closed without switching to it. Runs on a bare
// display and under a window manager alike, but for what needs workspaces.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QObject>
#include <sys/un.h>
#include <algorithm>
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
#include "support/build_paths.h"
#include "support/temp_dir.h"
#include "support/x_client.h"
// Xlib's macros clash with the names in the headers above.
#include "platform/x11_connection.h"
#include "support/x11_desktop.h"
#include "support/x11_events.h"
// This test sees Qt's key events only, which Xlib's event name would hide.
#undef KeyPress

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

    // Starts a real program of the table with a home of its own in the build tree.
    std::unique_ptr<XClient> real_program(const std::string& program, const std::vector<std::string>& args) {
        ::setenv("HOME", home.path().c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home.path() + ".config").c_str(), 1);
        ::setenv("XDG_CACHE_HOME", (home.path() + ".cache").c_str(), 1);
        ::setenv("NO_AT_BRIDGE", "1", 1);
        auto m = std::make_unique<XClient>(program, args);
        EXPECT_TRUE(m->started());
        return m;
    }
    std::unique_ptr<XClient> mousepad() { return real_program("mousepad", {"--disable-server"}); }

    // Chromium as a candidate would start it on this machine, with a profile folder of the
    // test's own; extra is the page or an --app= page.
    std::unique_ptr<XClient> chromium(const std::string& extra) {
        if (profile.empty()) profile = home.folder("profile");
        return real_program("chromium", {"--no-sandbox", "--no-first-run", "--disable-background-networking",
                                         "--disable-component-update", "--disable-sync", "--disable-gpu",
                                         "--log-level=3", "--user-data-dir=" + profile, extra});
    }
    std::string profile;

    // The first client window of that class (without regard to case) shown on the display;
    // 0: none.
    Window shown_window_of_class(const std::string& wanted, Window from = 0, int depth = 0) {
        Display* d = x.display();
        platform::x11::ErrorTrap trap(d);
        if (from == 0) from = x.root();
        Window r = 0, parent = 0, *kids = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, from, &r, &parent, &kids, &n)) return 0;
        std::vector<Window> children(kids, kids + n);
        if (kids) XFree(kids);
        for (Window w : children) {
            XClassHint hint{};
            if (XGetClassHint(d, w, &hint)) {
                const bool same = hint.res_class && QString(hint.res_class).compare(QString::fromStdString(wanted),
                                                                                    Qt::CaseInsensitive) == 0;
                if (hint.res_name) XFree(hint.res_name);
                if (hint.res_class) XFree(hint.res_class);
                if (same && shown(w)) return w;
            } else if (depth < 2) {
                if (Window inner = shown_window_of_class(wanted, w, depth + 1)) return inner;
            }
        }
        return 0;
    }
    bool shown(Window w) {
        platform::x11::ErrorTrap trap(x.display());
        XWindowAttributes a{};
        return XGetWindowAttributes(x.display(), w, &a) && a.map_state == IsViewable;
    }

    // Runs the watchdogs until the program's window is up, then expects it gone within a
    // second and the program ended by itself, with status 0. While waiting, the check says
    // whether all is still well (the workspace shown).
    void expect_closed_within_a_second_of_its_map(XClient& program, const std::string& wm_class,
                                                  const std::function<void()>& check = [] {}) {
        Window w = 0;
        ASSERT_TRUE(pump_until([&] { return (w = shown_window_of_class(wm_class)) != 0 || !program.running(); }, 90s))
            << "no window of class " << wm_class;
        ASSERT_NE(w, 0u) << wm_class << " ended with " << program.wait_exit(0ms) << " before its window came up";
        const auto mapped = std::chrono::steady_clock::now();
        EXPECT_TRUE(pump_until([&] {
            check();
            return !shown(w);
        }, 10s));
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - mapped).count();
        EXPECT_LE(ms, 1000) << wm_class << " closed " << ms << " ms after its window came up";
        EXPECT_TRUE(pump_until([&] { return !program.running(); }, 30s)) << wm_class << " did not end";
        EXPECT_EQ(program.wait_exit(0ms), 0) << wm_class;
    }

    fakes::TempDir home{"watchdog-home-", fakes::scratch_dir()};
    fakes::X11Desktop x;
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

// Chromium's windows carry the class "Chromium" whatever their instance says: with a
// profile folder of its own the instance names the folder, an --app window's names the page.
std::vector<std::string> chromium_pages(const fakes::TempDir& home) {
    const std::string page = home.write("exam.html", "<!DOCTYPE html><title>exam</title><p>x</p>");
    return {"about:blank", "--app=file://" + page};
}

bool installed(const char* program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t from = 0; from <= dirs.size();) {
        const size_t colon = std::min(dirs.find(':', from), dirs.size());
        if (::access((dirs.substr(from, colon - from) + "/" + program).c_str(), X_OK) == 0) return true;
        from = colon + 1;
    }
    return false;
}

// Empty when Chromium can run here. It binds its singleton socket below TMPDIR, and the
// test's TMPDIR lies in the build tree, which may sit too deep for a socket's path.
std::string why_chromium_cannot_run() {
    if (!installed("chromium")) return "chromium is not installed (scripts/setup-deps installs it)";
    const char* tmp = std::getenv("TMPDIR");
    const std::string socket = std::string(tmp ? tmp : "/tmp") + "/org.chromium.Chromium.XXXXXX/SingletonSocket";
    if (socket.size() >= sizeof(sockaddr_un::sun_path))
        return "the build tree lies too deep for Chromium's socket below it (" + socket + ")";
    return {};
}

TEST_F(WatchdogX11, TheMainWindowClosesChromiumWithAProfileFolderAndAsAnAppWindow) {
    if (const std::string why = why_chromium_cannot_run(); !why.empty()) GTEST_SKIP() << why;
    auto& f = load_main();
    f.show();
    for (const std::string& page : chromium_pages(home)) {
        SCOPED_TRACE(page);
        auto browser = chromium(page);
        expect_closed_within_a_second_of_its_map(*browser, "Chromium");
    }
}

TEST_F(WatchdogX11, TheExaminationWindowClosesChromiumWithAProfileFolderAndAsAnAppWindow) {
    if (const std::string why = why_chromium_cannot_run(); !why.empty()) GTEST_SKIP() << why;
    exam_window::frmKaikei& f = exam_window::kaikei().get();
    f.show();
    for (const std::string& page : chromium_pages(home)) {
        SCOPED_TRACE(page);
        auto browser = chromium(page);
        expect_closed_within_a_second_of_its_map(*browser, "Chromium");
    }
    EXPECT_EQ(esc.count, 0);
}

TEST_F(WatchdogX11, TheExaminationWindowClosesGeany) {
    if (!installed("geany")) GTEST_SKIP() << "geany is not installed (scripts/setup-deps installs it)";
    exam_window::frmKaikei& f = exam_window::kaikei().get();
    f.show();
    auto editor = real_program("geany", {"--new-instance", "--no-session"});
    expect_closed_within_a_second_of_its_map(*editor, "Geany");
    EXPECT_EQ(esc.count, 0);
}

TEST_F(WatchdogX11, ATargetOnAnotherWorkspaceIsClosedWithoutSwitchingToIt) {
    if (!x.window_manager_running()) GTEST_SKIP() << "without a window manager there are no workspaces";
    Display* d = x.display();
    const Window root = x.root();
    auto workspaces = [&] {
        const auto v = x.longs(root, "_NET_NUMBER_OF_DESKTOPS", XA_CARDINAL, 1);
        return v.empty() ? 0L : v[0];
    };
    auto shown_workspace = [&] {
        const auto v = x.longs(root, "_NET_CURRENT_DESKTOP", XA_CARDINAL, 1);
        return v.empty() ? -1L : v[0];
    };
    const long had = workspaces();
    auto ask_for_workspaces = [&](long n) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = root;
        ev.xclient.message_type = x.atom("_NET_NUMBER_OF_DESKTOPS");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = n;
        XSendEvent(d, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        XSync(d, False);
    };
    struct Restore {
        std::function<void()> undo;
        ~Restore() { undo(); }
    } restore{[&] { ask_for_workspaces(had); }};
    ask_for_workspaces(std::max(2L, had));
    ASSERT_TRUE(fakes::eventually([&] { return workspaces() >= 2; })) << "the window manager keeps one workspace";
    ASSERT_EQ(shown_workspace(), 0);

    // What is asked of the window manager reaches whoever watches the root: so a request to
    // activate the window shows, whatever this window manager makes of it (openbox only
    // marks it; others switch to its workspace).
    XSelectInput(d, root, SubstructureNotifyMask);
    std::vector<Window> activated;
    auto read_requests = [&] {
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type == ClientMessage && e.xclient.message_type == x.atom("_NET_ACTIVE_WINDOW"))
                activated.push_back(e.xclient.window);
        }
    };

    // Its window comes up on the second workspace, where the candidate is not; the
    // examination window follows once it is there; else the watchdog may close it before
    // the test has seen where the window manager put it.
    clients.push_back(std::make_unique<XClient>(
        XClient::test_client(), std::vector<std::string>{"--instance", "geany", "--class", "Geany", "--title",
                                                         "untitled - Geany", "--desktop", "1"}));
    XClient& editor = *clients.back();
    // It is mapped once the window manager has taken it on; the registry then lists it.
    Window w = 0;
    ASSERT_TRUE(pump_until([&] {
        for (long c : x.longs(root, "_NET_CLIENT_LIST", XA_WINDOW))
            if (x.longs(static_cast<Window>(c), "_NET_WM_DESKTOP", XA_CARDINAL, 1) == std::vector<long>{1})
                w = static_cast<Window>(c);
        return w != 0 || !editor.running();
    }));
    ASSERT_NE(w, 0u) << "the window manager did not put the window on the second workspace";
    exam_window::frmKaikei& f = exam_window::kaikei().get();
    f.show();
    const auto shown = std::chrono::steady_clock::now();
    bool stayed = true;
    EXPECT_TRUE(pump_until([&] {
        stayed = stayed && shown_workspace() == 0;
        read_requests();
        return !editor.running();
    }, 10s));
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - shown).count();
    pump_for(300ms);
    read_requests();
    stayed = stayed && shown_workspace() == 0;
    EXPECT_TRUE(stayed) << "the watchdog switched the workspace";
    EXPECT_EQ(std::count(activated.begin(), activated.end(), w), 0) << "the watchdog asked to raise it";
    EXPECT_LE(ms, 1000);
    EXPECT_EQ(editor.wait_exit(0ms), 0);
    // Asked to close, and no key went anywhere: it was not raised.
    EXPECT_EQ(editor.count("delete"), 1);
    for (const std::string& line : editor.lines()) EXPECT_EQ(line.rfind("key", 0), std::string::npos) << line;
    EXPECT_EQ(esc.count, 0);
}

}  // namespace
