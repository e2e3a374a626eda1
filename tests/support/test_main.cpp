// One main for every test executable: a QApplication exists for the whole run, so
// widgets, timers and the web engine can be used by any test. A test file that needs
// a main of its own defines it and this one is not linked in.
//
// A test runs the same when started by hand as under CTest: Qt goes offscreen, except for
// the X11 tests (named *_x11_test), which need a display and skip, saying so, without one;
// the web engine is let run as root.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <X11/Xlib.h>

namespace {

// CTest counts a test that ends with this status as skipped (SKIP_RETURN_CODE).
constexpr int kSkipped = 77;

std::string program_name(const char* argv0) {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::path(argv0 ? argv0 : "") : self).filename().string();
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Whether an X display can be opened, asked without Qt, which aborts when it cannot.
bool x_display_opens() {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    XCloseDisplay(d);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const std::string name = program_name(argc > 0 ? argv[0] : nullptr);
    if (ends_with(name, "_x11_test")) {
        if (!x_display_opens()) {
            const char* display = std::getenv("DISPLAY");
            std::printf("[  SKIPPED ] %s: every test needs an X display and %s; run it under xvfb-run -a\n",
                        name.c_str(),
                        display && *display ? (std::string("DISPLAY ") + display + " does not open").c_str()
                                            : "DISPLAY is not set");
            return kSkipped;
        }
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    if (::geteuid() == 0) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--no-sandbox --disable-gpu", 0);

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
