#include "x11_connection.h"

#include <X11/Xutil.h>

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

void send_to_root(Display* d, Window w, Atom type, long l0, long l1, long l2, long l3) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = type;
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = l0;
    ev.xclient.data.l[1] = l1;
    ev.xclient.data.l[2] = l2;
    ev.xclient.data.l[3] = l3;
    XSendEvent(d, DefaultRootWindow(d), False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
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

bool focus_within(Display* d, Window target) {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    const Window root = DefaultRootWindow(d);
    for (int depth = 0; focus != 0 && focus != PointerRoot && focus != root && depth < 64; ++depth) {
        Window owner = 0;
        if (focus == target || (XGetTransientForHint(d, focus, &owner) && owner == target)) return true;
        Window r = 0, parent = 0, *kids = nullptr;
        unsigned int n = 0;
        if (!XQueryTree(d, focus, &r, &parent, &kids, &n)) return false;
        if (kids) XFree(kids);
        focus = parent;
    }
    return false;
}

}  // namespace platform::x11
