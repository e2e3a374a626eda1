#include "support/test_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <utility>

#include <X11/Xlib.h>

#include "support/build_paths.h"
#include "support/temp_dir.h"

namespace fakes {

namespace {

namespace fs = std::filesystem;

std::string program_name(const char* argv0) {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return (ec ? fs::path(argv0 ? argv0 : "") : self).filename().string();
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Why no X display can be opened ("" when one can), asked without Qt, which aborts when
// it cannot.
std::string why_no_display() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return "DISPLAY is not set";
    Display* d = XOpenDisplay(nullptr);
    if (!d) return std::string("DISPLAY ") + name + " does not open";
    XCloseDisplay(d);
    return {};
}

void make_folder(const std::string& path, mode_t mode) {
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) throw std::runtime_error("cannot create " + path);
    // Whatever the umask: other accounts a test runs as, and a print server's own user,
    // reach the test's folders below the shared ones.
    ::chmod(path.c_str(), mode);
}

}  // namespace

TestProcess::TestProcess(const char* argv0) : name_(program_name(argv0)) {
    // One folder per process: the harness starts tests by hand while CTest may run the
    // same test beside it. The name is kept short, the process id alone: programs put
    // their sockets below TMPDIR, and a socket's path has room for 107 bytes only.
    const std::string root = scratch_dir();
    std::error_code ec;
    fs::create_directories(root, ec);
    folder_ = root + "/p" + std::to_string(::getpid()) + "/";
    remove_tree(folder_);  // a process of that id that ended without tidying up
    make_folder(folder_, 0755);
    make_folder(folder_ + "tmp", 0755);
    make_folder(folder_ + "home", 0700);
    make_folder(folder_ + "run", 0700);
    ::setenv("TMPDIR", (folder_ + "tmp").c_str(), 1);
    ::setenv("HOME", (folder_ + "home").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (folder_ + "run").c_str(), 1);
    // Named outright, as they default from HOME: some libraries (Mesa's shader cache) look the
    // home up in the account database instead.
    const std::pair<const char*, const char*> xdg[] = {{"XDG_CONFIG_HOME", "home/.config"},
                                                       {"XDG_CACHE_HOME", "home/.cache"},
                                                       {"XDG_DATA_HOME", "home/.local/share"},
                                                       {"XDG_STATE_HOME", "home/.local/state"}};
    for (const auto& [name, folder] : xdg) ::setenv(name, (folder_ + folder).c_str(), 1);
    // Without a session bus a program the test starts (GTK's) launches one of its own, which
    // outlives the test and puts its socket into /tmp; none is to be had.
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);

    if (ends_with(name_, "_x11_test")) {
        const std::string why = why_no_display();
        if (!why.empty()) skip_reason_ = "every test needs an X display and " + why + "; run it under xvfb-run -a";
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);
}

TestProcess::~TestProcess() { remove_tree(folder_); }

int TestProcess::skip() const {
    std::printf("[  SKIPPED ] %s: %s\n", name_.c_str(), skip_reason_.c_str());
    return kSkippedStatus;
}

}  // namespace fakes
