#pragma once
// An X display of the test's own, with a window manager of its choice on it: a virtual
// server (Xvfb) on a free display number, and the window manager with a D-Bus session bus
// of its own, as a desktop session gives one. Both end with the object; nothing of the
// display the test itself runs on is touched.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xlib.h>

#include "support/child_process.h"

namespace fakes {

// Whether a program can be found on the PATH the tests run with.
inline bool on_path(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t start = 0; start <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A program with its arguments, its output into a file, in this process's environment
// with DISPLAY replaced.
class Program : public Spawned {
public:
    Program(const std::vector<std::string>& argv, const std::string& display, const std::string& output_file) {
        pid_ = spawn_logged(argv, environment_with({{"DISPLAY", display}}), output_file, true);
    }
};

class OwnDisplay {
public:
    // Starts Xvfb at width x height and, when wm is not empty, that window manager under
    // dbus-run-session. ready() tells whether both came up; why() says what went wrong.
    OwnDisplay(int width, int height, const std::vector<std::string>& wm, const std::string& log_file) {
        int fds[2];
        if (::pipe(fds) != 0) {
            why_ = "no pipe";
            return;
        }
        const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
        server_ = std::make_unique<Program>(std::vector<std::string>{"Xvfb", "-displayfd", std::to_string(fds[1]),
                                                                     "-screen", "0", screen, "-dpi", "96",
                                                                     "-nolisten", "tcp"},
                                            "", log_file);
        ::close(fds[1]);
        // Xvfb writes its display number once it accepts clients.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < end && ::poll(&p, 1, 200) >= 0) {
            char c = 0;
            if (!(p.revents & (POLLIN | POLLHUP))) continue;
            if (::read(fds[0], &c, 1) != 1 || c == '\n') break;
            number += c;
        }
        ::close(fds[0]);
        if (number.empty()) {
            why_ = "Xvfb did not start";
            return;
        }
        display_ = ":" + number;
        if (wm.empty()) return;
        std::vector<std::string> argv{"dbus-run-session", "--"};
        argv.insert(argv.end(), wm.begin(), wm.end());
        wm_ = std::make_unique<Program>(argv, display_, log_file);
        if (!wait_for_window_manager()) why_ = wm.front() + " does not manage the display";
    }

    ~OwnDisplay() {
        // The window manager ends with its display; what is left is ended for good.
        server_.reset();
        if (wm_ && wm_->wait_exit(std::chrono::seconds(5)) == -1) wm_.reset();
    }

    bool ready() const { return why_.empty(); }
    const std::string& why() const { return why_; }
    const std::string& display() const { return display_; }

private:
    bool wait_for_window_manager() {
        Display* d = XOpenDisplay(display_.c_str());
        if (!d) return false;
        const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
        bool up = false;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!up && std::chrono::steady_clock::now() < end && wm_->running()) {
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char* data = nullptr;
            up = XGetWindowProperty(d, DefaultRootWindow(d), check, 0, 1, False, AnyPropertyType, &type, &format, &n,
                                    &after, &data) == Success &&
                 n == 1;
            if (data) XFree(data);
            if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        XCloseDisplay(d);
        // The window manager sets itself up a moment after it has announced itself.
        if (up) std::this_thread::sleep_for(std::chrono::milliseconds(500));
        return up;
    }

    std::unique_ptr<Program> server_;
    std::unique_ptr<Program> wm_;
    std::string display_;
    std::string why_;
};

}  // namespace fakes
