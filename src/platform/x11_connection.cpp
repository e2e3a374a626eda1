#include "x11_connection.h"

#include <cstdlib>

namespace platform::x11 {

namespace {

// Xlib keeps one handler for the whole process.
Display* trapped = nullptr;
XErrorHandler outer = nullptr;

int drop_error(Display* d, XErrorEvent* e) {
    if (d == trapped || !outer) return 0;
    return outer(d, e);
}

}  // namespace

Connection::~Connection() {
    if (!display_) return;
    // Closing reads what the server still has for us, errors included.
    ErrorTrap trap(display_);
    XCloseDisplay(display_);
}

Display* Connection::get() {
    if (!tried_) {
        tried_ = true;
        const char* name = std::getenv("DISPLAY");
        if (name && *name) display_ = XOpenDisplay(nullptr);
    }
    return display_;
}

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
    previous_ = XSetErrorHandler(drop_error);
    previous_trapped_ = trapped;
    if (previous_ != drop_error) outer = previous_;
    trapped = display_;
}

ErrorTrap::~ErrorTrap() {
    trapped = previous_trapped_;
    XSetErrorHandler(previous_);
}

}  // namespace platform::x11
