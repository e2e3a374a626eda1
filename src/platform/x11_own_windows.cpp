#include "x11_own_windows.h"

#include <QGuiApplication>
#include <QRect>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <vector>

#include <poll.h>

// Xlib's macros clash with names in Qt's headers, so it comes after all of them.
#include "x11_connection.h"
#include <X11/Xatom.h>

namespace platform::x11 {

namespace {

// A window manager answers a frame request at once; this only bounds a slow or busy one.
constexpr std::chrono::milliseconds kFrameAnswerLimit{3000};

// _MOTIF_WM_HINTS: five values, of which the first three are used.
constexpr long kMwmHintsFunctions = 1L << 0;
constexpr long kMwmHintsDecorations = 1L << 1;
constexpr long kMwmFuncResize = 1L << 1;
constexpr long kMwmFuncMove = 1L << 2;
constexpr long kMwmDecorBorder = 1L << 1;
constexpr long kMwmDecorResizeh = 1L << 2;
constexpr long kMwmDecorTitle = 1L << 3;
constexpr long kMwmDecorMenu = 1L << 4;
constexpr long kMwmDecorMinimize = 1L << 5;
constexpr long kMwmDecorMaximize = 1L << 6;

constexpr long kStateRemove = 0, kStateAdd = 1;
constexpr long kSourceApplication = 1;

Display* display() {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) return nullptr;
    static Connection connection;
    return connection.get();
}

Atom atom(Display* d, const char* name) { return XInternAtom(d, name, False); }

// The values of a 32-bit property, empty when it is missing or of another type.
std::vector<long> read_longs(Display* d, Window w, Atom property, Atom type, long max_count) {
    std::vector<long> out;
    x11::read_longs(d, w, property, type, max_count, out);
    return out;
}

void write_longs(Display* d, Window w, Atom property, Atom type, const std::vector<long>& values) {
    XChangeProperty(d, w, property, type, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(values.data()),
                    static_cast<int>(values.size()));
}

bool wm_running(Display* d) { return window_manager_window(d) != 0; }

bool wm_supports(Display* d, Atom what) {
    const std::vector<long> supported =
        read_longs(d, DefaultRootWindow(d), atom(d, "_NET_SUPPORTED"), XA_ATOM, 4096);
    return std::find(supported.begin(), supported.end(), static_cast<long>(what)) != supported.end();
}

bool read_extents(Display* d, Window w, FrameExtents& out) {
    const std::vector<long> v = read_longs(d, w, atom(d, "_NET_FRAME_EXTENTS"), XA_CARDINAL, 4);
    if (v.size() != 4) return false;
    out = FrameExtents{static_cast<int>(v[0]), static_cast<int>(v[2]), static_cast<int>(v[1]), static_cast<int>(v[3])};
    return true;
}

bool mapped(Display* d, Window w) {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(d, w, &attrs) && attrs.map_state != IsUnmapped;
}

// Waits for the window manager to write the frame of an unmapped window after a request.
bool request_extents(Display* d, Window w, FrameExtents& out) {
    const Atom request = atom(d, "_NET_REQUEST_FRAME_EXTENTS");
    if (!wm_supports(d, request)) return false;
    const Atom extents = atom(d, "_NET_FRAME_EXTENTS");
    XSelectInput(d, w, PropertyChangeMask);
    send_to_root(d, w, request, 0, 0, 0, 0);
    XFlush(d);
    const auto end = std::chrono::steady_clock::now() + kFrameAnswerLimit;
    bool answered = false;
    while (!answered) {
        while (!answered && XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            answered = e.type == PropertyNotify && e.xproperty.window == w && e.xproperty.atom == extents;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (answered || left.count() <= 0) break;
        pollfd fd{ConnectionNumber(d), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left.count()));
    }
    XSelectInput(d, w, NoEventMask);
    return read_extents(d, w, out);
}

FrameExtents qt_frame(QWidget* window) {
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    return FrameExtents{std::max(0, inner.left() - outer.left()), std::max(0, inner.top() - outer.top()),
                        std::max(0, outer.right() - inner.right()), std::max(0, outer.bottom() - inner.bottom())};
}

void set_taskbar_entry(Display* d, Window w, bool shown) {
    const Atom state = atom(d, "_NET_WM_STATE");
    const Atom skip = atom(d, "_NET_WM_STATE_SKIP_TASKBAR");
    if (mapped(d, w)) {
        send_to_root(d, w, state, shown ? kStateRemove : kStateAdd, static_cast<long>(skip), 0, kSourceApplication);
        return;
    }
    // Qt adds its own states to what it finds here when it maps the window.
    std::vector<long> states = read_longs(d, w, state, XA_ATOM, 1024);
    const auto at = std::find(states.begin(), states.end(), static_cast<long>(skip));
    if (shown == (at == states.end())) return;
    if (shown)
        states.erase(at);
    else
        states.push_back(static_cast<long>(skip));
    if (states.empty())
        XDeleteProperty(d, w, state);
    else
        write_longs(d, w, state, XA_ATOM, states);
}

// Qt cannot say "no buttons at all": a window without any of its button hints is offered
// every function. The functions are written here in its place.
void remove_control_box(Display* d, Window w, bool sizable) {
    const Atom hints = atom(d, "_MOTIF_WM_HINTS");
    std::vector<long> v = read_longs(d, w, hints, hints, 5);
    v.resize(5, 0);
    v[0] |= kMwmHintsFunctions;
    v[1] = kMwmFuncMove | (sizable ? kMwmFuncResize : 0);
    if (v[0] & kMwmHintsDecorations) {
        v[2] &= ~(kMwmDecorMenu | kMwmDecorMinimize | kMwmDecorMaximize);
    } else {
        v[0] |= kMwmHintsDecorations;
        v[2] = kMwmDecorBorder | kMwmDecorTitle | (sizable ? kMwmDecorResizeh : 0);
    }
    write_longs(d, w, hints, hints, v);
}

}  // namespace

FrameExtents frame_extents(QWidget* window) {
    if (!window || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created)) return {};
    Display* d = display();
    if (!d) return {};
    ErrorTrap trap(d);
    if (!wm_running(d)) return {};
    const Window w = static_cast<Window>(window->winId());
    FrameExtents f;
    if (read_extents(d, w, f)) return f;
    if (mapped(d, w)) return qt_frame(window);
    if (request_extents(d, w, f)) return f;
    return {};
}

void set_window_hints(QWidget* window, const WindowHints& hints) {
    if (!window || !window->isWindow() || !window->testAttribute(Qt::WA_WState_Created)) return;
    Display* d = display();
    if (!d) return;
    ErrorTrap trap(d);
    const Window w = static_cast<Window>(window->winId());
    set_taskbar_entry(d, w, hints.taskbar);
    if (!hints.control_box) remove_control_box(d, w, window->minimumSize() != window->maximumSize());
    XFlush(d);
}

}  // namespace platform::x11
