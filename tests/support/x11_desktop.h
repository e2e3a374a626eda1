#pragma once
// What a person and a window manager see of our windows on a real X display, read back
// with X requests of a connection of the test's own: frames, states, stacking, the focus,
// icons; and what a person does there: keys and clicks through XTest, a close from a
// taskbar, another program's window, a panel that takes part of the screen.
// Include after every Qt header: Xlib's macros clash with Qt's names.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "platform/x11_connection.h"
#include "support/x11_events.h"

namespace fakes {

// Lets Qt run until the condition holds, for at most limit_ms.
inline bool wait_until(const std::function<bool()>& condition, int limit_ms = 15000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > limit_ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// Lets Qt run for a while, where a test has to show that something does not happen.
inline void settle(int ms) {
    wait_until([] { return false; }, ms);
}

struct Extents {
    int left = 0, right = 0, top = 0, bottom = 0;
};

class X11Desktop {
public:
    X11Desktop() : d_(XOpenDisplay(nullptr)) {}
    ~X11Desktop() {
        if (!d_) return;
        for (Window w : made_) XDestroyWindow(d_, w);
        XCloseDisplay(d_);
    }
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    Display* display() const { return d_; }
    Window root() const { return DefaultRootWindow(d_); }
    Atom atom(const char* name) const { return XInternAtom(d_, name, False); }

    bool window_manager_running() const { return fakes::window_manager_running(d_); }

    // The values of a 32-bit property.
    std::vector<long> longs(Window w, const char* property, Atom type, long max = 1 << 20) const {
        Atom actual = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> out;
        if (XGetWindowProperty(d_, w, atom(property), 0, max, False, type, &actual, &format, &n, &after, &data) ==
                Success &&
            actual == type && format == 32 && data) {
            const long* v = reinterpret_cast<const long*>(data);
            out.assign(v, v + n);
        }
        if (data) XFree(data);
        return out;
    }

    // Names of the atoms in an atom-list property (_NET_WM_STATE, _NET_WM_ALLOWED_ACTIONS).
    std::vector<std::string> atom_names(Window w, const char* property) const {
        std::vector<std::string> out;
        for (long a : longs(w, property, XA_ATOM)) {
            char* name = XGetAtomName(d_, static_cast<Atom>(a));
            if (name) {
                out.emplace_back(name);
                XFree(name);
            }
        }
        return out;
    }

    bool has_state(Window w, const char* state) const {
        const auto states = atom_names(w, "_NET_WM_STATE");
        return std::find(states.begin(), states.end(), state) != states.end();
    }

    bool allows(Window w, const char* action) const {
        const auto actions = atom_names(w, "_NET_WM_ALLOWED_ACTIONS");
        return std::find(actions.begin(), actions.end(), action) != actions.end();
    }

    Extents extents(Window w) const {
        const auto v = longs(w, "_NET_FRAME_EXTENTS", XA_CARDINAL, 4);
        if (v.size() != 4) return {};
        return Extents{static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3])};
    }

    // The client window in root coordinates.
    QRect client(Window w) const {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(d_, w, &a)) return {};
        int x = 0, y = 0;
        Window child = 0;
        XTranslateCoordinates(d_, w, root(), 0, 0, &x, &y, &child);
        return QRect(x, y, a.width, a.height);
    }

    // The window with the frame the window manager reports around it.
    QRect outer(Window w) const {
        const Extents e = extents(w);
        return client(w).adjusted(-e.left, -e.top, e.right, e.bottom);
    }

    // Position among the root's children, bottom first; a framed window counts by its frame.
    int stack_index(Window w) const {
        const Window top = top_level_of(w);
        Window r = 0, p = 0, *kids = nullptr;
        unsigned int n = 0;
        int index = -1;
        if (XQueryTree(d_, root(), &r, &p, &kids, &n) && kids) {
            for (unsigned int i = 0; i < n; ++i)
                if (kids[i] == top) index = static_cast<int>(i);
            XFree(kids);
        }
        return index;
    }

    // True when the keyboard focus is in the window or one of its children.
    bool has_focus(Window w) const {
        Window f = 0;
        int revert = 0;
        XGetInputFocus(d_, &f, &revert);
        for (Window x = f; x != 0 && x != root();) {
            if (x == w) return true;
            Window r = 0, p = 0, *kids = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(d_, x, &r, &p, &kids, &n)) break;
            if (kids) XFree(kids);
            x = p;
        }
        return false;
    }

    // The sizes of the images in _NET_WM_ICON, and whether each has visible pixels.
    std::vector<QSize> icon_sizes(Window w, bool* all_drawn = nullptr) const {
        const auto v = longs(w, "_NET_WM_ICON", XA_CARDINAL);
        std::vector<QSize> out;
        bool drawn = true;
        for (size_t i = 0; i + 2 <= v.size();) {
            const long width = v[i], height = v[i + 1];
            if (width <= 0 || height <= 0 || i + 2 + width * height > v.size()) break;
            bool any = false;
            for (long k = 0; k < width * height && !any; ++k) any = (v[i + 2 + k] >> 24 & 0xff) != 0;
            drawn = drawn && any;
            out.emplace_back(static_cast<int>(width), static_cast<int>(height));
            i += 2 + static_cast<size_t>(width * height);
        }
        if (all_drawn) *all_drawn = drawn && !out.empty();
        return out;
    }

    // A key press and release through XTest, with modifiers held around it.
    void key(KeySym key, const std::vector<KeySym>& modifiers = {}) {
        for (KeySym m : modifiers) XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, m), True, CurrentTime);
        XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, key), True, CurrentTime);
        XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, key), False, CurrentTime);
        for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
            XTestFakeKeyEvent(d_, XKeysymToKeycode(d_, *m), False, CurrentTime);
        XSync(d_, False);
    }

    // A left click at a point of the screen through XTest.
    void click(int x, int y) {
        XTestFakeMotionEvent(d_, -1, x, y, CurrentTime);
        XTestFakeButtonEvent(d_, 1, True, CurrentTime);
        XTestFakeButtonEvent(d_, 1, False, CurrentTime);
        XSync(d_, False);
    }

    // The close button of the frame: the last one on the title bar, at its right end.
    void click_close_button(Window w) {
        const Extents e = extents(w);
        const QRect o = outer(w);
        click(o.right() - e.right - 8, o.top() + e.top / 2);
    }

    // The functions a window offers the window manager through _MOTIF_WM_HINTS (1: all,
    // 2: resize, 4: move, 8: minimise, 16: maximise, 32: close); 1 without the hint.
    long motif_functions(Window w) const {
        const Atom hints = atom("_MOTIF_WM_HINTS");
        const auto v = longs(w, "_MOTIF_WM_HINTS", hints, 5);
        if (v.size() < 2 || !(v[0] & 1)) return 1;
        return v[1];
    }

    // What a taskbar or a pager does to close a window: it asks the window manager.
    void close_from_taskbar(Window w) {
        send_to_root(w, atom("_NET_CLOSE_WINDOW"), CurrentTime, 2);
    }

    // Every way a desktop has to close a window, each followed by a pause to act on it:
    // the frame's close button where the window manager keeps one, Alt+F4 on the focused
    // window, a taskbar's close, and the close request itself.
    void try_every_close(Window w) {
        if (window_manager_running()) {
            if (extents(w).top > 0 && allows(w, "_NET_WM_ACTION_CLOSE")) {
                click_close_button(w);
                settle(300);
            }
            key(XK_F4, {XK_Alt_L});
            settle(300);
            close_from_taskbar(w);
            settle(300);
        }
        send_delete(w);
        settle(300);
    }

    // What a window manager does for its close button: WM_DELETE_WINDOW to the window.
    void send_delete(Window w) {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = atom("WM_PROTOCOLS");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(atom("WM_DELETE_WINDOW"));
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d_, w, False, NoEventMask, &ev);
        XSync(d_, False);
    }

    // Another program's window, shown.
    Window other_window(int x, int y, int width, int height, unsigned long pixel) {
        Window w = XCreateSimpleWindow(d_, root(), x, y, static_cast<unsigned>(width), static_cast<unsigned>(height),
                                       0, 0, pixel);
        XStoreName(d_, w, "other program");
        keep_position(w, x, y, width, height);
        XMapWindow(d_, w);
        XSync(d_, False);
        made_.push_back(w);
        return w;
    }

    // A panel along the lower edge of the screen, as a desktop's taskbar is: a window
    // manager takes it off the work area.
    Window bottom_panel(int height) {
        const int screen_w = DisplayWidth(d_, DefaultScreen(d_));
        const int screen_h = DisplayHeight(d_, DefaultScreen(d_));
        XSetWindowAttributes attrs{};
        attrs.background_pixel = 0x303030;
        Window w = XCreateWindow(d_, root(), 0, screen_h - height, static_cast<unsigned>(screen_w),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                                 CWBackPixel, &attrs);
        long type = static_cast<long>(atom("_NET_WM_WINDOW_TYPE_DOCK"));
        XChangeProperty(d_, w, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&type), 1);
        long strut[12] = {0, 0, 0, height, 0, 0, 0, 0, 0, 0, 0, screen_w - 1};
        XChangeProperty(d_, w, atom("_NET_WM_STRUT_PARTIAL"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(strut), 12);
        long simple[4] = {0, 0, 0, height};
        XChangeProperty(d_, w, atom("_NET_WM_STRUT"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(simple), 4);
        keep_position(w, 0, screen_h - height, screen_w, height);
        XMapWindow(d_, w);
        XSync(d_, False);
        made_.push_back(w);
        return w;
    }

    // Whether the window is on the screen: mapped, with every ancestor mapped.
    bool viewable(Window w) const {
        XWindowAttributes a{};
        return XGetWindowAttributes(d_, w, &a) && a.map_state == IsViewable;
    }

    // Waits for the window to go out of sight without letting Qt run, so that nothing of
    // ours can bring it back meanwhile: what a window manager did is seen as it did it.
    bool wait_gone_from_sight(Window w, int limit_ms = 3000) const {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limit_ms);
        while (viewable(w)) {
            if (std::chrono::steady_clock::now() > end) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    // The window the window manager keeps this one with (WM_TRANSIENT_FOR), 0 without one.
    Window transient_for(Window w) const {
        Window owner = 0;
        return XGetTransientForHint(d_, w, &owner) ? owner : 0;
    }

    // What a minimise button or a taskbar does: ask the window manager to iconify it.
    void minimise(Window w) { send_to_root(w, atom("WM_CHANGE_STATE"), 3 /* IconicState */, 0); }

    // "Show desktop" (Super+D on many desktops) and back.
    void show_desktop(bool on) { send_to_root(root(), atom("_NET_SHOWING_DESKTOP"), on ? 1 : 0, 0); }
    bool showing_desktop() const {
        const auto v = longs(root(), "_NET_SHOWING_DESKTOP", XA_CARDINAL, 1);
        return v.size() == 1 && v[0] != 0;
    }

    // Workspaces as a pager or a key of the window manager changes them.
    long workspaces() const {
        const auto v = longs(root(), "_NET_NUMBER_OF_DESKTOPS", XA_CARDINAL, 1);
        return v.empty() ? 0 : v[0];
    }
    void set_workspaces(long n) { send_to_root(root(), atom("_NET_NUMBER_OF_DESKTOPS"), n, 0); }
    long current_workspace() const {
        const auto v = longs(root(), "_NET_CURRENT_DESKTOP", XA_CARDINAL, 1);
        return v.empty() ? -1 : v[0];
    }
    void switch_workspace(long n) { send_to_root(root(), atom("_NET_CURRENT_DESKTOP"), n, CurrentTime); }
    // The window's workspace (_NET_WM_DESKTOP); 0xFFFFFFFF is every one, -1 none said.
    long workspace_of(Window w) const {
        const auto v = longs(w, "_NET_WM_DESKTOP", XA_CARDINAL, 1);
        return v.empty() ? -1 : (v[0] & 0xFFFFFFFFL);
    }

    // The work area the window manager publishes (x, y, width, height), empty without one.
    QRect work_area() const {
        const auto v = longs(root(), "_NET_WORKAREA", XA_CARDINAL, 4);
        if (v.size() < 4) return {};
        return QRect(static_cast<int>(v[0]), static_cast<int>(v[1]), static_cast<int>(v[2]), static_cast<int>(v[3]));
    }

    void sync() const { XSync(d_, False); }

private:
    // Where the window was put, not where a window manager would place it.
    void keep_position(Window w, int x, int y, int width, int height) {
        XSizeHints size{};
        size.flags = USPosition | USSize;
        size.x = x;
        size.y = y;
        size.width = width;
        size.height = height;
        XSetWMNormalHints(d_, w, &size);
    }

    Window top_level_of(Window w) const {
        for (;;) {
            Window r = 0, p = 0, *kids = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(d_, w, &r, &p, &kids, &n)) return w;
            if (kids) XFree(kids);
            if (p == r || p == 0) return w;
            w = p;
        }
    }

    // Sent at once: the test goes on to watch what the window manager does with it.
    void send_to_root(Window w, Atom type, long l0, long l1) {
        platform::x11::send_to_root(d_, w, type, l0, l1, 0);
        XSync(d_, False);
    }

    Display* d_;
    std::vector<Window> made_;
};

inline Window xid(QWidget* w) { return static_cast<Window>(w->winId()); }

}  // namespace fakes
