// Other programs' windows, and our own windows' place in the stack, on an X display.
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>
#include <climits>
#include <memory>
#include <vector>

#include "backends.h"
#include "desktop.h"
#include "x11_own_windows.h"

// Xlib defines macros (None, Bool, Status, ...) that Qt's and our headers use as
// names, so it comes after all of them.
#include "x11_connection.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace platform {

namespace {

// How deep a window manager may bury a client window in frames below the root.
constexpr int max_frame_depth = 3;

// Source indication in EWMH requests: a pager, so the window manager does not treat
// them as focus stealing by an application.
constexpr long source_pager = 2;

// Actions of a _NET_WM_STATE request.
constexpr long net_wm_state_remove = 0;

std::vector<Window> children_of(Display* d, Window w) {
    Window root = 0, parent = 0;
    Window* kids = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &kids, &count) && kids) {
        out.assign(kids, kids + count);
        XFree(kids);
    }
    return out;
}

std::string latin1_to_utf8(const unsigned char* p, size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = p[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

class X11Desktop : public Desktop {
public:
    WindowId find_window(const std::string& window_class, const std::optional<std::string>& title) override {
        Display* d = display();
        if (!d) return 0;
        x11::ErrorTrap trap(d);
        return search(d, DefaultRootWindow(d), window_class, title, 0);
    }

    void bring_to_front(WindowId id) override {
        Display* d = display();
        if (!d || id == 0) return;
        x11::ErrorTrap trap(d);
        Window w = static_cast<Window>(id);
        send_to_root(d, w, net_active_window_, source_pager, CurrentTime, 0);
        XRaiseWindow(d, w);
        // Without a window manager nobody acts on the request above, so the focus is
        // given directly; the key stroke that may follow goes to the focused window.
        if (!window_manager_running(d)) {
            XWindowAttributes attrs{};
            if (XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable)
                XSetInputFocus(d, w, RevertToParent, CurrentTime);
        }
        XFlush(d);
    }

    void request_close(WindowId id) override {
        Display* d = display();
        if (!d || id == 0) return;
        x11::ErrorTrap trap(d);
        Window w = static_cast<Window>(id);
        if (supports_delete(d, w)) {
            XEvent ev{};
            ev.xclient.type = ClientMessage;
            ev.xclient.window = w;
            ev.xclient.message_type = wm_protocols_;
            ev.xclient.format = 32;
            ev.xclient.data.l[0] = static_cast<long>(wm_delete_window_);
            ev.xclient.data.l[1] = CurrentTime;
            XSendEvent(d, w, False, NoEventMask, &ev);
        } else {
            send_to_root(d, w, net_close_window_, CurrentTime, source_pager, 0);
        }
        XFlush(d);
    }

    void place(WindowId id, int x, int y, int width, int height) override {
        Display* d = display();
        if (!d || id == 0) return;
        x11::ErrorTrap trap(d);
        Window w = static_cast<Window>(id);
        // The program may have closed the window since it was found.
        XWindowAttributes attrs{};
        if (!XGetWindowAttributes(d, w, &attrs)) return;
        send_to_root(d, w, net_wm_state_, net_wm_state_remove, static_cast<long>(net_wm_state_above_), 0,
                     source_pager);
        // Mapping shows a withdrawn window and asks the window manager to restore an iconified one.
        XMapWindow(d, w);
        // The protocol knows no empty window.
        XMoveResizeWindow(d, w, x, y, static_cast<unsigned>(std::max(1, width)),
                          static_cast<unsigned>(std::max(1, height)));
        XFlush(d);
    }

    void set_topmost(QWidget* widget, bool on) override {
        if (!widget) return;
        QWidget* window = widget->window();
        // Changing window flags of a shown window hides it, so the hint is only set
        // before the window is shown; Qt then maps it with the state already on.
        if (!window->isVisible()) {
            window->setWindowFlag(Qt::WindowStaysOnTopHint, on);
            return;
        }
        if (QGuiApplication::platformName() != QLatin1String("xcb")) return;
        Display* d = display();
        if (!d) return;
        x11::ErrorTrap trap(d);
        Window w = static_cast<Window>(window->winId());
        send_to_root(d, w, net_wm_state_, on ? 1 : 0, static_cast<long>(net_wm_state_above_), 0, source_pager);
        if (on) XRaiseWindow(d, w);
        XFlush(d);
    }

    FrameExtents frame_extents(QWidget* window) override { return x11::frame_extents(window); }

    void set_window_hints(QWidget* window, const WindowHints& hints) override {
        x11::set_window_hints(window, hints);
    }

private:
    Display* display() {
        Display* d = connection_.get();
        if (d && !atoms_ready_) {
            wm_protocols_ = XInternAtom(d, "WM_PROTOCOLS", False);
            wm_delete_window_ = XInternAtom(d, "WM_DELETE_WINDOW", False);
            net_active_window_ = XInternAtom(d, "_NET_ACTIVE_WINDOW", False);
            net_close_window_ = XInternAtom(d, "_NET_CLOSE_WINDOW", False);
            net_wm_state_ = XInternAtom(d, "_NET_WM_STATE", False);
            net_wm_state_above_ = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
            net_wm_name_ = XInternAtom(d, "_NET_WM_NAME", False);
            net_supporting_wm_check_ = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
            utf8_string_ = XInternAtom(d, "UTF8_STRING", False);
            atoms_ready_ = true;
        }
        return d;
    }

    void send_to_root(Display* d, Window w, Atom type, long l0, long l1, long l2, long l3 = 0) {
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

    bool window_manager_running(Display* d) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool found = XGetWindowProperty(d, DefaultRootWindow(d), net_supporting_wm_check_, 0, 1, False, XA_WINDOW,
                                        &type, &format, &count, &after, &data) == Success &&
                     type == XA_WINDOW && count == 1;
        if (data) XFree(data);
        return found;
    }

    bool supports_delete(Display* d, Window w) {
        Atom* protocols = nullptr;
        int count = 0;
        bool found = false;
        if (XGetWMProtocols(d, w, &protocols, &count)) {
            for (int i = 0; i < count; ++i) found = found || protocols[i] == wm_delete_window_;
            XFree(protocols);
        }
        return found;
    }

    // Top of the stack first, as the window a person sees is the one meant.
    Window search(Display* d, Window parent, const std::string& window_class,
                  const std::optional<std::string>& title, int depth) {
        std::vector<Window> kids = children_of(d, parent);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
            bool has_class = false;
            if (matches(d, *it, window_class, title, has_class)) return *it;
            // A window without a class of its own is a window manager's frame: its
            // client window sits inside.
            if (!has_class && depth + 1 < max_frame_depth) {
                if (Window inner = search(d, *it, window_class, title, depth + 1)) return inner;
            }
        }
        return 0;
    }

    bool matches(Display* d, Window w, const std::string& window_class, const std::optional<std::string>& title,
                 bool& has_class) {
        XClassHint hint{};
        has_class = XGetClassHint(d, w, &hint) != 0;
        if (!has_class) return false;
        bool class_ok = (hint.res_class && window_class == hint.res_class) ||
                        (hint.res_name && window_class == hint.res_name);
        if (hint.res_name) XFree(hint.res_name);
        if (hint.res_class) XFree(hint.res_class);
        if (!class_ok) return false;
        if (!title) return true;
        std::string name;
        if (net_wm_name(d, w, name) && name == *title) return true;
        return wm_name(d, w, name) && name == *title;
    }

    bool net_wm_name(Display* d, Window w, std::string& out) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool ok = XGetWindowProperty(d, w, net_wm_name_, 0, LONG_MAX / 4, False, utf8_string_, &type, &format,
                                     &count, &after, &data) == Success &&
                  type == utf8_string_ && format == 8 && data;
        if (ok) out.assign(reinterpret_cast<const char*>(data), count);
        if (data) XFree(data);
        return ok;
    }

    bool wm_name(Display* d, Window w, std::string& out) {
        XTextProperty prop{};
        if (!XGetWMName(d, w, &prop) || !prop.value) return false;
        bool ok = true;
        if (prop.encoding == utf8_string_) {
            out.assign(reinterpret_cast<const char*>(prop.value), prop.nitems);
        } else if (prop.encoding == XA_STRING) {
            out = latin1_to_utf8(prop.value, prop.nitems);
        } else {
            char** list = nullptr;
            int n = 0;
            ok = Xutf8TextPropertyToTextList(d, &prop, &list, &n) >= Success && n > 0 && list;
            if (ok) out = list[0];
            if (list) XFreeStringList(list);
        }
        XFree(prop.value);
        return ok;
    }

    x11::Connection connection_;
    bool atoms_ready_ = false;
    Atom wm_protocols_ = 0, wm_delete_window_ = 0, net_active_window_ = 0, net_close_window_ = 0,
         net_wm_state_ = 0, net_wm_state_above_ = 0, net_wm_name_ = 0, net_supporting_wm_check_ = 0,
         utf8_string_ = 0;
};

}  // namespace

std::unique_ptr<Desktop> make_x11_desktop() { return std::make_unique<X11Desktop>(); }

}  // namespace platform
