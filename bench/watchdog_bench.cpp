// What the watchdogs cost. First the cost of one tick in which no window changed, for the
// examination window's watchdog and the main window's, with no other window and with 50
// other top-level windows on the display: called bare, beside the same lookups in a
// registry that holds those windows and asks no server; and run by the event loop, where
// the connection is watched by a socket notifier, as the UI thread's CPU beside the same
// form with an empty timer of the same interval in the watchdog's place. scripts/bench
// runs these figures on a bare display and again under a window manager (--ticks only).
// Then the CPU of the idle programs over 30 s,
// each run in a child process of its own (the process with its web-engine children, and
// the X server's CPU over the same time), beside floors built the same way: a bare Qt
// window with the same timers; one bare web view with the main window's timer; three bare
// web views with static pages, a label changed once a second and the examination window's
// two timers.
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QWebEngineView>
#include <QWidget>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench.h"
#include "common/forms.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "main_window/frm_main.h"
#include "main_window/install.h"
#include "platform/backends.h"
#include "platform/window_registry.h"
#include "support/fake_platform.h"

// Xlib's macros clash with Qt's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kIdleSeconds = 30;
constexpr int kWarmUpSeconds = 8;
constexpr int kIdleRounds = 3;

std::string page(const char* title) {
    return std::string("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body><h1>") + title +
           "</h1><p>仕訳を入力してください。</p><input name=\"answer\" size=\"20\"></body></html>";
}

// ---- the idle runs, each in a child process -------------------------------------------------

// A timer that does nothing, as often as a watchdog's.
void idle_timer(QObject* parent, int ms) {
    auto* t = new QTimer(parent);
    QObject::connect(t, &QTimer::timeout, [] {});
    t->start(ms);
}

int run_floor_qt() {
    QWidget w;
    w.resize(800, 600);
    idle_timer(&w, 10);
    idle_timer(&w, 10);
    w.show();
    return qApp->exec();
}

int run_floor_one_view() {
    QWebEngineView view;
    view.resize(800, 1000);
    view.setHtml(QString::fromStdString(page("お知らせ")));
    idle_timer(&view, 10);
    view.show();
    return qApp->exec();
}

int run_floor_three_views() {
    QWidget w;
    w.resize(1920, 1000);
    QWebEngineView* views[3];
    const char* titles[3] = {"第１問", "第２問", "第３問"};
    for (int i = 0; i < 3; ++i) {
        views[i] = new QWebEngineView(&w);
        views[i]->setGeometry(0, 60, 1920, 940);
        views[i]->setHtml(QString::fromStdString(page(titles[i])));
        if (i > 0) views[i]->hide();
    }
    auto* label = new QLabel("残り時間：40:00", &w);
    label->setGeometry(10, 10, 300, 40);
    auto* second = new QTimer(&w);
    int left = 2400;
    QObject::connect(second, &QTimer::timeout, [&] {
        --left;
        label->setText(QString("残り時間：%1:%2").arg(left / 60).arg(left % 60, 2, 10, QChar('0')));
    });
    second->start(1000);
    idle_timer(&w, 10);
    idle_timer(&w, 10);
    w.show();
    return qApp->exec();
}

// The real platform but for message boxes and the system's folders.
struct RealPlatform {
    fakes::FakePlatform fp;
    RealPlatform() {
        fp.platform.clock = platform::make_boottime_clock();
        fp.platform.screen = platform::make_qt_screen();
        fp.platform.desktop = platform::make_x11_desktop();
        fp.platform.keys = platform::make_xtest_key_sender();
        fp.platform.browsers = platform::make_webengine_browsers();
        fp.platform.database = platform::make_sqlcipher_engine();
        fp.platform.random = platform::make_std_random(*fp.platform.clock);
        common::install_fonts();
        common::reset_state();
        common::reset_main_values();
    }
};

int run_exam_window() {
    RealPlatform rp;
    const std::string data = rp.fp.system->program + "data/";
    common::state().data_path = data;
    rp.fp.root.write("app/data/index.html", page("第１問"));
    rp.fp.root.write("app/data/index2.html", page("第２問"));
    rp.fp.root.write("app/data/index3.html", page("第３問"));
    exam_window::install();
    common::windows().exam_window().show_modeless();
    return qApp->exec();
}

int run_main_window() {
    RealPlatform rp;
    const std::string data = rp.fp.system->program + "data/";
    for (const char* file : {"qfile.dat", "exam.dat", "pass.gif", "sample.png"})
        fs::copy_file(fs::path(LEDGRIN_BENCH_DATA) / file, data + file);
    main_window::install();
    exam_window::install();
    common::Main("");
    return qApp->exec();
}

// ---- CPU of a process tree and of the X server --------------------------------------------

struct ProcStat {
    pid_t ppid = 0;
    double cpu_s = 0;  // user + system
};

std::map<pid_t, ProcStat> all_processes() {
    std::map<pid_t, ProcStat> out;
    const double tick = static_cast<double>(::sysconf(_SC_CLK_TCK));
    DIR* dir = ::opendir("/proc");
    if (!dir) return out;
    while (dirent* e = ::readdir(dir)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(e->d_name));
        if (pid <= 0) continue;
        std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(in, line)) continue;
        const auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 2));
        std::string state;
        long ppid = 0;
        rest >> state >> ppid;
        std::string skip;
        for (int field = 5; field <= 13; ++field) rest >> skip;
        unsigned long utime = 0, stime = 0;
        rest >> utime >> stime;
        out[pid] = {static_cast<pid_t>(ppid), (utime + stime) / tick};
    }
    ::closedir(dir);
    return out;
}

// CPU seconds of each process of the tree below root (root included).
std::map<pid_t, double> tree_cpu(pid_t root) {
    const auto procs = all_processes();
    std::map<pid_t, double> out;
    bool grew = true;
    out[root] = procs.count(root) ? procs.at(root).cpu_s : 0;
    while (grew) {
        grew = false;
        for (const auto& [pid, p] : procs)
            if (!out.count(pid) && out.count(p.ppid)) {
                out[pid] = p.cpu_s;
                grew = true;
            }
    }
    return out;
}

double used_between(const std::map<pid_t, double>& before, const std::map<pid_t, double>& after) {
    double sum = 0;
    for (const auto& [pid, cpu] : after) {
        auto it = before.find(pid);
        sum += it == before.end() ? cpu : cpu - it->second;
    }
    return sum;
}

// The X server of our display: the process whose command line names the display.
pid_t x_server() {
    const char* display = std::getenv("DISPLAY");
    if (!display) return 0;
    const std::string name = std::string(display).substr(0, std::string(display).find('.'));
    for (const auto& [pid, p] : all_processes()) {
        std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
        std::string cmdline((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<std::string> args;
        std::stringstream ss(cmdline);
        for (std::string a; std::getline(ss, a, '\0');) args.push_back(a);
        if (args.empty() || args[0].find("X") == std::string::npos) continue;
        for (const auto& a : args)
            if (a == name) return pid;
    }
    return 0;
}

struct Idle {
    double process = 0;  // cores, the program with its web-engine children
    double x = 0;        // cores, the X server over the same time
};

Idle measure_idle(const char* self, const char* mode) {
    pid_t child = -1;
    char* argv[] = {const_cast<char*>(self), const_cast<char*>("--idle"), const_cast<char*>(mode), nullptr};
    if (::posix_spawn(&child, self, nullptr, nullptr, argv, environ) != 0) return {};
    std::this_thread::sleep_for(std::chrono::seconds(kWarmUpSeconds));
    const pid_t xs = x_server();
    const auto begin = Clock::now();
    const auto before = tree_cpu(child);
    const auto x_before = xs ? tree_cpu(xs) : std::map<pid_t, double>{};
    std::this_thread::sleep_for(std::chrono::seconds(kIdleSeconds));
    const auto after = tree_cpu(child);
    const auto x_after = xs ? tree_cpu(xs) : std::map<pid_t, double>{};
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    ::kill(child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    Idle out;
    out.process = used_between(before, after) / seconds;
    out.x = xs ? (x_after.at(xs) - x_before.at(xs)) / seconds : 0;
    return out;
}

// ---- the cost of one tick --------------------------------------------------------------------

// Other programs' windows, made on a connection of the benchmark's own.
class OtherWindows {
public:
    explicit OtherWindows(int count) : d_(XOpenDisplay(nullptr)) {
        if (!d_) return;
        for (int i = 0; i < count; ++i) {
            Window w = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 10 + i, 10 + i, 200, 100, 0, 0, 0xC0C0C0);
            const std::string name = "benchwindow" + std::to_string(i);
            XClassHint hint{const_cast<char*>(name.c_str()), const_cast<char*>("BenchWindow")};
            XSetClassHint(d_, w, &hint);
            XStoreName(d_, w, ("Document " + std::to_string(i)).c_str());
            XMapWindow(d_, w);
        }
        XSync(d_, False);
    }
    ~OtherWindows() {
        if (d_) XCloseDisplay(d_);
    }

    bool window_manager() const {
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        const bool found = d_ &&
                           XGetWindowProperty(d_, DefaultRootWindow(d_), XInternAtom(d_, "_NET_SUPPORTING_WM_CHECK", False),
                                              0, 1, False, XA_WINDOW, &type, &format, &n, &after, &data) == Success &&
                           n == 1;
        if (data) XFree(data);
        return found;
    }

private:
    Display* d_;
};


// Median time of one call of tick, in milliseconds.
template <class Tick>
double tick_ms(Tick tick) {
    for (int i = 0; i < 200; ++i) tick();  // the registry reads the display once
    std::vector<double> samples;
    for (int batch = 0; batch < 15; ++batch) {
        const auto begin = Clock::now();
        constexpr int n = 1000;
        for (int i = 0; i < n; ++i) tick();
        samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count() / n);
    }
    return bench::median(samples);
}

// The same windows as the registry of the desktop holds them.
std::vector<platform::ClientWindow> registry_windows(int count) {
    std::vector<platform::ClientWindow> out;
    for (int i = 0; i < count; ++i)
        out.push_back({static_cast<platform::WindowId>(0x100000 + i), "BenchWindow", "Document " + std::to_string(i),
                       "benchwindow" + std::to_string(i)});
    return out;
}

// The lookups one tick makes, as the fake desktop records them ("find <class>|<title or *>").
template <class Tick>
std::vector<std::pair<std::string, std::optional<std::string>>> lookups_of(platform::Platform& p, Tick tick) {
    std::unique_ptr<platform::Desktop> other = std::make_unique<fakes::FakeDesktop>();
    auto* recorder = static_cast<fakes::FakeDesktop*>(other.get());
    std::swap(p.desktop, other);
    tick();
    std::swap(p.desktop, other);
    std::vector<std::pair<std::string, std::optional<std::string>>> out;
    for (const std::string& call : recorder->calls) {
        if (call.rfind("find ", 0) != 0) continue;
        const size_t bar = call.rfind('|');
        const std::string title = call.substr(bar + 1);
        out.emplace_back(call.substr(5, bar - 5), title == "*" ? std::nullopt : std::optional<std::string>(title));
    }
    return out;
}

// Median time of the same lookups in a registry of the same windows, in milliseconds.
double registry_floor_ms(const std::vector<std::pair<std::string, std::optional<std::string>>>& lookups,
                         int others) {
    platform::WindowRegistry registry;
    registry.assign(registry_windows(others));
    uint32_t now = 1000;
    platform::WindowId sink = 0;
    auto replay = [&] {
        for (const auto& [window_class, title] : lookups) sink ^= registry.find_to_close(window_class, title, ++now);
    };
    const double ms = tick_ms(replay);
    if (sink == 1) std::printf(" ");  // keeps the lookups from being optimised away
    return ms;
}

double thread_cpu_s() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// The UI thread's CPU, in cores, while the event loop runs for the time given.
double loop_cpu(std::chrono::milliseconds time) {
    QEventLoop loop;
    QTimer::singleShot(time, &loop, &QEventLoop::quit);
    const double before = thread_cpu_s();
    const auto begin = Clock::now();
    loop.exec();
    return (thread_cpu_s() - before) / std::chrono::duration<double>(Clock::now() - begin).count();
}

// The watchdog's timer run by the event loop, beside an empty timer of the same interval on
// the same form in its place; every other timer of the form is off. Rounds interleaved,
// medians in cores.
std::pair<double, double> through_the_loop(QObject* form, common::Timer* watchdog,
                                           const std::vector<common::Timer*>& others) {
    for (common::Timer* t : others) t->set_Enabled(false);
    common::Timer empty(form, "empty", watchdog->Interval(), false, [] {});
    std::vector<double> with, without;
    for (int round = 0; round < 5; ++round) {
        watchdog->set_Enabled(true);
        with.push_back(loop_cpu(std::chrono::milliseconds(1500)));
        watchdog->set_Enabled(false);
        empty.set_Enabled(true);
        without.push_back(loop_cpu(std::chrono::milliseconds(1500)));
        empty.set_Enabled(false);
    }
    return {bench::median(with), bench::median(without)};
}

void report_ticks() {
    for (int others : {0, 50}) {
        fakes::FakePlatform fp;
        fp.platform.desktop = platform::make_x11_desktop();
        fp.platform.keys = platform::make_xtest_key_sender();
        fp.platform.database = platform::make_sqlcipher_engine();
        common::reset_state();
        common::reset_main_values();
        common::state().data_path = fp.system->program + "data/";
        common::state().db_password = common::kDbPassword;
        fs::copy_file(fs::path(LEDGRIN_BENCH_DATA) / "qfile.dat", common::state().data_path + "qfile.dat");
        main_window::install();
        exam_window::install();
        OtherWindows windows(others);
        QCoreApplication::processEvents();

        exam_window::frmKaikei& exam = exam_window::kaikei().get();
        const double exam_ms = tick_ms([&] { exam.Timer2_Timer(); });
        const double exam_floor_ms = registry_floor_ms(lookups_of(fp.platform, [&] { exam.Timer2_Timer(); }), others);
        const auto [exam_loop, exam_loop_floor] = through_the_loop(&exam, exam.Timer2, {exam.Timer1, exam.Timer3});
        exam_window::kaikei().unload();
        main_window::frmMain& main = main_window::main_form().get();
        const double main_ms = tick_ms([&] { main.Timer1_Timer(); });
        const double main_floor_ms = registry_floor_ms(lookups_of(fp.platform, [&] { main.Timer1_Timer(); }), others);
        const auto [main_loop, main_loop_floor] = through_the_loop(&main, main.Timer1, {});
        main_window::main_form().unload();
        common::flush_unloads();
        common::windows() = common::WindowDirectory{};

        const std::string with = (others ? " with " + std::to_string(others) + " other windows" : ", no other window") +
                                 (windows.window_manager() ? ", window manager" : "");
        bench::report("examination watchdog tick, nothing changed" + with, exam_ms, exam_floor_ms, "ms");
        bench::report("main window watchdog tick, nothing changed" + with, main_ms, main_floor_ms, "ms");
        bench::report("examination watchdog in the event loop" + with, exam_loop, exam_loop_floor, "core");
        bench::report("main window watchdog in the event loop" + with, main_loop, main_loop_floor, "core");
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    if (argc == 3 && std::strcmp(argv[1], "--idle") == 0) {
        const std::string mode = argv[2];
        if (mode == "floor-qt") return run_floor_qt();
        if (mode == "floor-one-view") return run_floor_one_view();
        if (mode == "floor-three-views") return run_floor_three_views();
        if (mode == "exam") return run_exam_window();
        if (mode == "main") return run_main_window();
        return 2;
    }
    if (!std::getenv("DISPLAY")) {
        std::fprintf(stderr, "watchdog_bench: needs an X display\n");
        return 2;
    }

    report_ticks();
    if (argc == 2 && std::strcmp(argv[1], "--ticks") == 0) return 0;

    const char* self = "/proc/self/exe";
    char path[4096] = {};
    if (::readlink(self, path, sizeof path - 1) <= 0) return 2;
    // Rounds interleaved, medians reported: a neighbour's burst of work lands on one
    // sample of one subject, not on the figure.
    const char* const modes[] = {"floor-qt", "floor-one-view", "floor-three-views", "main", "exam"};
    std::map<std::string, std::vector<double>> process_samples, x_samples;
    for (int round = 0; round < kIdleRounds; ++round) {
        for (const char* mode : modes) {
            const Idle idle = measure_idle(path, mode);
            process_samples[mode].push_back(idle.process);
            x_samples[mode].push_back(idle.x);
        }
    }
    auto median_of = [&](const char* mode) {
        return Idle{bench::median(process_samples[mode]), bench::median(x_samples[mode])};
    };
    const Idle qt = median_of("floor-qt");
    const Idle one = median_of("floor-one-view");
    const Idle three = median_of("floor-three-views");
    const Idle main_window = median_of("main");
    const Idle exam = median_of("exam");
    const std::string over = " over " + std::to_string(kIdleSeconds) + " s (median of " + std::to_string(kIdleRounds) + ")";
    bench::report("bare Qt window with the same timers, idle" + over, qt.process, 0, "core");
    bench::report("main window on its notice page, idle" + over, main_window.process, one.process, "core");
    bench::report("examination window, idle" + over, exam.process, three.process, "core");
    bench::report("X server beside the bare Qt window" + over, qt.x, 0, "core");
    bench::report("X server beside one bare web view" + over, one.x, 0, "core");
    bench::report("X server beside three bare web views" + over, three.x, 0, "core");
    bench::report("X server caused by the main window (beyond its floor)", main_window.x - one.x, 0, "core");
    bench::report("X server caused by the examination window (beyond its floor)", exam.x - three.x, 0, "core");
    return 0;
}
