// Start-up of both programs, from the start of their process to their first page on the
// screen: ledgrin to its notice page, the launcher to its sign-in page. The floors are a
// bare web view of the same size (bench/floor/bare_view, a program that links Qt and
// nothing of ours), once with a trivial page and once with the program's own first page,
// started and watched the same way.
//
// The programs run as they are shipped, from a laid-out copy of their files, and are
// watched from outside through X: every time their window is drawn to, it is grabbed and
// compared with what it shows once it has settled (taken in a first run of each). The
// figure is the time from the fork to the drawing that made the window look like that.
//
// Runs are interleaved (program, its floors, the other program, its floors) and the
// medians are reported, so a neighbour's load spreads over both sides alike.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ipc.h>
#include <sys/prctl.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "bench.h"
#include "common/startup.h"
#include "platform/backends.h"
#include "platform/database.h"

// Xlib after every Qt header: its macros clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/Xdamage.h>

namespace {

namespace fs = std::filesystem;
using Steady = std::chrono::steady_clock;

constexpr int kRounds = 9;
// What a program adds to a bare view showing the same page: its own start-up, the checks
// and the window around the view.
constexpr double kGoalSamePage = 1.10;
// What the page itself costs to draw, beside a trivial one (its fonts, its layout).
constexpr double kGoalPage = 1.50;
constexpr auto kRunLimit = std::chrono::seconds(30);
// A window counts as showing its page once at most this share of its pixels differs from
// the settled picture (a caret that blinks, nothing more).
constexpr double kMaxDifferentShare = 0.002;

double ms_between(Steady::time_point a, Steady::time_point b) {
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// ---------------------------------------------------------------------------------------
// Processes: each program runs in a process group of its own; this process is their
// subreaper, so every process a program starts comes back to it and is reaped here.

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& env_overrides,
            const std::string& log) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool overridden = false;
        for (const auto& o : env_overrides)
            if (entry.compare(0, o.find('=') + 1, o, 0, o.find('=') + 1) == 0) overridden = true;
        if (!overridden) env.push_back(entry);
    }
    env.insert(env.end(), env_overrides.begin(), env_overrides.end());
    std::vector<char*> argv, envp;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        std::perror("fork");
        std::exit(1);
    }
    if (pid == 0) {
        ::setpgid(0, 0);
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ::setpgid(pid, pid);
    return pid;
}

// The processes this one started, directly or through a child that ended (reparented
// here as their subreaper).
std::vector<pid_t> own_children() {
    std::vector<pid_t> out;
    const pid_t self = ::getpid();
    for (const bench::Process& p : bench::processes())
        if (p.parent == self) out.push_back(p.pid);
    return out;
}

// Ends a program and everything it started, and waits until all of it is gone (so its
// instance lock is free for the next run). Nothing of a run is kept, so nothing needs
// an orderly end.
void end_program(pid_t group) {
    ::kill(-group, SIGKILL);
    for (;;) {
        int status = 0;
        const pid_t r = ::waitpid(-1, &status, WNOHANG);
        if (r > 0) continue;
        if (r < 0 && errno == ECHILD) return;
        // A process that left the group still comes back here, as its subreaper.
        for (pid_t p : own_children()) ::kill(p, SIGKILL);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// ---------------------------------------------------------------------------------------
// Watching the screen.

int g_x_errors = 0;
int on_x_error(Display*, XErrorEvent*) {
    ++g_x_errors;
    return 0;
}

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

class Watcher {
public:
    Watcher() {
        d_ = XOpenDisplay(nullptr);
        if (!d_) throw std::runtime_error("no X display");
        XSetErrorHandler(on_x_error);
        int error_base = 0;
        if (!XDamageQueryExtension(d_, &damage_event_, &error_base)) throw std::runtime_error("no Damage extension");
        if (!XShmQueryExtension(d_)) throw std::runtime_error("no MIT-SHM extension");
        XSelectInput(d_, DefaultRootWindow(d_), SubstructureNotifyMask);
        XSync(d_, False);
    }
    ~Watcher() { XCloseDisplay(d_); }

    struct Result {
        bool ok = false;
        double ms = 0;     // fork to the drawing that showed the page
        Picture settled;   // when no reference was given
    };

    // Follows the first big window that is mapped after t0. With a reference: until it
    // looks like it. Without: until it has been left alone for a second (or six seconds
    // passed), then takes its picture.
    Result watch(Steady::time_point t0, const Picture* reference) {
        Result result;
        Window window = 0;
        Damage damage = 0;
        Steady::time_point last_draw{}, mapped_at{};
        const auto give_up = t0 + kRunLimit;
        drain();
        for (;;) {
            const auto now = Steady::now();
            if (now > give_up) break;
            if (!reference && window) {
                if (now - last_draw > std::chrono::seconds(1) || now - mapped_at > std::chrono::seconds(6)) {
                    result.ok = grab(window, result.settled);
                    break;
                }
            }
            if (!XPending(d_)) {
                pollfd p{ConnectionNumber(d_), POLLIN, 0};
                ::poll(&p, 1, 50);
                continue;
            }
            XEvent e;
            XNextEvent(d_, &e);
            const auto at = Steady::now();
            bool drawn = false;
            if (e.type == MapNotify && !window && big(e.xmap.window)) {
                window = e.xmap.window;
                damage = XDamageCreate(d_, window, XDamageReportNonEmpty);
                mapped_at = at;
                drawn = true;  // whatever was drawn before the damage was watched
            } else if (e.type == damage_event_ + XDamageNotify && window &&
                       reinterpret_cast<XDamageNotifyEvent&>(e).damage == damage) {
                XDamageSubtract(d_, damage, None, None);
                drawn = true;
            }
            if (!drawn) continue;
            last_draw = at;
            if (reference && matches(window, *reference)) {
                result.ok = true;
                result.ms = ms_between(t0, at);
                break;
            }
        }
        if (damage) XDamageDestroy(d_, damage);
        XSync(d_, False);
        drain();
        return result;
    }

private:
    void drain() {
        while (XPending(d_)) {
            XEvent e;
            XNextEvent(d_, &e);
        }
    }

    bool big(Window w) {
        XWindowAttributes a{};
        return XGetWindowAttributes(d_, w, &a) && a.map_state == IsViewable && a.width >= 200 && a.height >= 200;
    }

    // What the screen shows of the window: a window partly off the screen cannot be read
    // itself, so the part on the screen is read from the root window.
    bool grab(Window w, Picture& out) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d_, w, &a)) return false;
        const Window root = DefaultRootWindow(d_);
        int x = 0, y = 0;
        Window child = 0;
        if (!XTranslateCoordinates(d_, w, root, 0, 0, &x, &y, &child)) return false;
        const int left = std::max(0, x), top = std::max(0, y);
        const int right = std::min(DisplayWidth(d_, DefaultScreen(d_)), x + a.width);
        const int bottom = std::min(DisplayHeight(d_, DefaultScreen(d_)), y + a.height);
        if (right <= left || bottom <= top) return false;
        const int width = right - left, height = bottom - top;
        XWindowAttributes r{};
        XGetWindowAttributes(d_, root, &r);
        XShmSegmentInfo shm{};
        XImage* image = XShmCreateImage(d_, r.visual, static_cast<unsigned>(r.depth), ZPixmap, nullptr, &shm,
                                        static_cast<unsigned>(width), static_cast<unsigned>(height));
        if (!image) return false;
        shm.shmid = ::shmget(IPC_PRIVATE, static_cast<size_t>(image->bytes_per_line) * image->height, IPC_CREAT | 0600);
        shm.shmaddr = image->data = static_cast<char*>(::shmat(shm.shmid, nullptr, 0));
        shm.readOnly = False;
        XShmAttach(d_, &shm);
        const int errors = g_x_errors;
        const bool ok = XShmGetImage(d_, root, image, left, top, AllPlanes) && g_x_errors == errors;
        if (ok) {
            out.width = width;
            out.height = height;
            out.pixels.resize(static_cast<size_t>(width) * height);
            for (int row = 0; row < height; ++row) {
                uint32_t* line = out.pixels.data() + static_cast<size_t>(row) * width;
                if (image->bits_per_pixel == 32) {
                    std::memcpy(line, image->data + static_cast<size_t>(row) * image->bytes_per_line,
                                static_cast<size_t>(width) * 4);
                } else {
                    for (int col = 0; col < width; ++col) line[col] = static_cast<uint32_t>(XGetPixel(image, col, row));
                }
            }
        }
        XShmDetach(d_, &shm);
        XSync(d_, False);
        XDestroyImage(image);
        ::shmdt(shm.shmaddr);
        ::shmctl(shm.shmid, IPC_RMID, nullptr);
        return ok;
    }

    bool matches(Window w, const Picture& reference) {
        Picture now;
        if (!grab(w, now) || now.width != reference.width || now.height != reference.height) return false;
        size_t different = 0;
        for (size_t i = 0; i < now.pixels.size(); ++i) {
            const uint32_t a = now.pixels[i], b = reference.pixels[i];
            int delta = 0;
            for (int shift = 0; shift <= 16; shift += 8)
                delta += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
            if (delta > 48) ++different;
        }
        return different <= static_cast<size_t>(kMaxDifferentShare * static_cast<double>(now.pixels.size()));
    }

    Display* d_ = nullptr;
    int damage_event_ = 0;
};

// ---------------------------------------------------------------------------------------

struct Subject {
    std::string figure;
    std::vector<std::string> args;
    Picture settled;
    std::vector<double> samples;
};

void copy_into(const std::string& file, const std::string& folder, const std::string& name = "") {
    fs::copy_file(file, fs::path(folder) / (name.empty() ? fs::path(file).filename().string() : name),
                  fs::copy_options::overwrite_existing);
}

}  // namespace

int main() {
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/ledgrin-startup-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string root = pattern + "/";
    const std::string built = LEDGRIN_BENCH_DATA "/";
    // The installed layout: each program beside its data folder.
    fs::create_directories(root + "exam/data");
    fs::create_directories(root + "launch/data");
    fs::create_directories(root + "tmp");
    fs::create_directories(root + "run");
    ::chmod((root + "run").c_str(), 0700);
    copy_into(LEDGRIN_BENCH_LEDGRIN, root + "exam", "ledgrin");
    for (const char* f : {"qfile.dat", "exam.dat", "pass.gif", "sample.png"}) copy_into(built + f, root + "exam/data");
    copy_into(LEDGRIN_BENCH_LAUNCHER, root + "launch", "launcher");
    copy_into(built + "index.html", root + "launch/data");
    const std::vector<std::string> env = {"TMPDIR=" + root + "tmp", "XDG_RUNTIME_DIR=" + root + "run",
                                          "XDG_STATE_HOME=" + root + "tmp"};
    const std::string log = root + "programs.log";

    int status = 0;
    try {
        Watcher screen;
        auto run = [&](const std::vector<std::string>& args, const Picture* reference) {
            const auto t0 = Steady::now();
            const pid_t pid = spawn(args, env, log);
            Watcher::Result r = screen.watch(t0, reference);
            end_program(pid);
            return r;
        };

        // Each program beside a bare view with its own first page, shown the way the
        // program shows it (written in, or opened by its address); and that bare view
        // beside one with a trivial page, which shows how much of the time is the drawing
        // of the page itself.
        const std::string notice = root + "notice.html";
        {
            auto engine = platform::make_sqlcipher_engine();
            auto db = engine->open(root + "exam/data/qfile.dat", common::kDbPassword);
            const auto rows = db->query("select * from gamen order by id asc");
            if (rows.size() < 2) throw std::runtime_error("the page database has no notice page");
            std::ofstream(notice, std::ios::binary) << rows[1].field("gamen").value_or("");
        }
        struct Program {
            const char* figure;
            std::string file;
            const char* shows;  // how the program puts its page into its view
            std::string page;
        };
        const Program programs[] = {
            {"start-up of ledgrin to the notice page drawn", root + "exam/ledgrin", "--write", notice},
            {"start-up of the launcher to the sign-in page drawn", root + "launch/launcher", "--open",
             root + "launch/data/index.html"},
        };
        std::vector<Subject> subjects;
        for (const Program& program : programs) {
            bench::progress("settled picture of " + fs::path(program.file).filename().string());
            Subject measured{program.figure, {program.file}, {}, {}};
            Watcher::Result first = run(measured.args, nullptr);
            if (!first.ok) throw std::runtime_error("no window settled for " + program.file + " (see " + log + ")");
            measured.settled = first.settled;
            subjects.push_back(std::move(measured));
            // Of the size the program's window shows on the screen.
            const std::vector<std::string> size = {LEDGRIN_BENCH_BARE_VIEW, std::to_string(first.settled.width),
                                                   std::to_string(first.settled.height)};
            for (const bool same_page : {true, false}) {
                Subject floor{"", size, {}, {}};
                if (same_page) floor.args.insert(floor.args.end(), {program.shows, program.page});
                Watcher::Result floor_first = run(floor.args, nullptr);
                if (!floor_first.ok) throw std::runtime_error("no window settled for the bare web view");
                floor.settled = floor_first.settled;
                subjects.push_back(std::move(floor));
            }
        }
        for (int round = 0; round < kRounds; ++round) {
            bench::progress("round " + std::to_string(round + 1) + " of " + std::to_string(kRounds));
            for (Subject& s : subjects) {
                Watcher::Result r = run(s.args, &s.settled);
                if (!r.ok) throw std::runtime_error("the page of " + s.args[0] + " never showed (see " + log + ")");
                s.samples.push_back(r.ms);
            }
        }
        for (size_t i = 0; i + 2 < subjects.size(); i += 3) {
            const double same_page = bench::median(subjects[i + 1].samples);
            bench::report(subjects[i].figure, bench::median(subjects[i].samples), same_page, "ms", kGoalSamePage);
            bench::report("  its page in a bare view, beside a trivial page", same_page,
                          bench::median(subjects[i + 2].samples), "ms", kGoalPage);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "startup_bench: %s\n", e.what());
        status = 1;
    }
    if (status == 0) fs::remove_all(root);
    return status;
}
