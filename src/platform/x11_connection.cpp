#include "x11_connection.h"

#include <X11/Xatom.h>
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

bool read_longs(Display* d, Window w, Atom property, Atom type, long max_count, std::vector<long>& out) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool ok = XGetWindowProperty(d, w, property, 0, max_count, False, type, &actual, &format, &count, &after,
                                       &data) == Success &&
                    actual == type && format == 32;
    out.clear();
    // Xlib hands 32-bit values over as longs.
    if (ok && data) out.assign(reinterpret_cast<const long*>(data), reinterpret_cast<const long*>(data) + count);
    if (data) XFree(data);
    return ok;
}

Window window_manager_window(Display* d) {
    const Atom check = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
    std::vector<long> announced, self;
    if (!read_longs(d, DefaultRootWindow(d), check, XA_WINDOW, 1, announced) || announced.size() != 1) return 0;
    const Window w = static_cast<Window>(announced[0]);
    if (!read_longs(d, w, check, XA_WINDOW, 1, self) || self.size() != 1 || static_cast<Window>(self[0]) != w) return 0;
    return w;
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
