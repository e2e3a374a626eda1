#include "x11_connection.h"

#include <cstdlib>

namespace platform::x11 {

namespace {
int errors_seen = 0;
int count_error(Display*, XErrorEvent*) {
    ++errors_seen;
    return 0;
}
}  // namespace

Connection::~Connection() {
    if (display_) XCloseDisplay(display_);
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
    XSync(display_, False);
    previous_ = XSetErrorHandler(count_error);
}

ErrorTrap::~ErrorTrap() {
    // Errors of our requests arrive before the handler goes back.
    XSync(display_, False);
    XSetErrorHandler(previous_);
}

}  // namespace platform::x11
