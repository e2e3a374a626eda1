#include "x11_own_windows.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <memory>
#include <vector>

#include <poll.h>

// Xlib's macros clash with names in Qt's headers, so it comes after all of them.
#include "x11_connection.h"
#include <X11/Xatom.h>
#include <xcb/xcb.h>

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
// Our own requests to show a window again come from the program, yet a window manager that
// guards the focus against applications would refuse them: they speak as a pager does.
constexpr long kSourcePager = 2;
constexpr long kAllWorkspaces = 0xFFFFFFFF;
constexpr long kIconicState = 3;
// Bounds the requests for the focus after a window was hidden, for a window manager that
// never gives it.
constexpr int kActivationsAfterHiding = 3;

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

namespace {

bool has_atom(const std::vector<long>& list, Atom a) {
    return std::find(list.begin(), list.end(), static_cast<long>(a)) != list.end();
}

bool viewable(Display* d, Window w) {
    XWindowAttributes attrs{};
    return XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable;
}

bool showing_desktop(Display* d) {
    const std::vector<long> v =
        read_longs(d, DefaultRootWindow(d), atom(d, "_NET_SHOWING_DESKTOP"), XA_CARDINAL, 1);
    return v.size() == 1 && v[0] != 0;
}

// Put out of sight by the window manager while it is shown: minimised, or set aside by
// "show desktop". A window on another workspace is neither, and is left there.
bool hidden_by_window_manager(Display* d, Window w) {
    if (viewable(d, w)) return false;
    if (showing_desktop(d)) return true;
    const Atom wm_state = atom(d, "WM_STATE");
    const std::vector<long> state = read_longs(d, w, wm_state, wm_state, 2);
    if (!state.empty() && state[0] == kIconicState) return true;
    return has_atom(read_longs(d, w, atom(d, "_NET_WM_STATE"), XA_ATOM, 1024), atom(d, "_NET_WM_STATE_HIDDEN"));
}

// Before the map the window manager takes both from the properties; afterwards only a
// request changes them.
void ask_every_workspace(Display* d, Window w) {
    const Atom desktop = atom(d, "_NET_WM_DESKTOP");
    const Atom state = atom(d, "_NET_WM_STATE");
    const Atom sticky = atom(d, "_NET_WM_STATE_STICKY");
    const bool sticky_known = wm_supports(d, sticky);
    if (!mapped(d, w)) {
        write_longs(d, w, desktop, XA_CARDINAL, {kAllWorkspaces});
        // Qt adds its own states to what it finds here when it maps the window.
        std::vector<long> states = read_longs(d, w, state, XA_ATOM, 1024);
        if (sticky_known && !has_atom(states, sticky)) {
            states.push_back(static_cast<long>(sticky));
            write_longs(d, w, state, XA_ATOM, states);
        }
        return;
    }
    const std::vector<long> now = read_longs(d, w, desktop, XA_CARDINAL, 1);
    if (now.size() != 1 || (now[0] & kAllWorkspaces) != kAllWorkspaces)
        send_to_root(d, w, desktop, kAllWorkspaces, kSourcePager, 0);
    if (sticky_known && !has_atom(read_longs(d, w, state, XA_ATOM, 1024), sticky))
        send_to_root(d, w, state, kStateAdd, static_cast<long>(sticky), 0, kSourcePager);
}

void activate(Display* d, Window w) {
    send_to_root(d, w, atom(d, "_NET_ACTIVE_WINDOW"), kSourcePager, CurrentTime, 0);
    XRaiseWindow(d, w);
}

// The window and its owners come back, the owners first, and the window is raised and
// given the focus; leaving "show desktop" brings back what it had set aside.
void show_again(Display* d, QWidget* widget) {
    std::vector<Window> chain;
    for (QWindow* w = widget->windowHandle(); w && w->isVisible(); w = w->transientParent())
        chain.push_back(static_cast<Window>(w->winId()));
    if (chain.empty()) return;
    if (showing_desktop(d)) send_to_root(d, DefaultRootWindow(d), atom(d, "_NET_SHOWING_DESKTOP"), 0, 0, 0);
    // Mapping an iconic window asks the window manager to restore it.
    for (auto w = chain.rbegin(); w != chain.rend(); ++w)
        if (!viewable(d, *w)) XMapWindow(d, *w);
    activate(d, chain.front());
}

// Our windows kept on every workspace or shown again, followed through the events that
// Qt's own connection receives for them: their map, unmap and property changes, and the
// root's property changes, which Qt listens to as well. Nothing is polled.
class KeptWindows final : public QObject, public QAbstractNativeEventFilter {
public:
    static KeptWindows* get() {
        Display* d = display();
        if (!d || !QCoreApplication::instance()) return nullptr;
        static KeptWindows* kept = new KeptWindows(d);
        return kept;
    }

    void every_workspace(QWidget* window) {
        Entry& e = entry(window);
        e.every_workspace = true;
        check(e.widget);
    }

    void keep_shown(QWidget* window, std::function<bool()> wanted) {
        Entry& e = entry(window);
        e.keep_shown = true;
        e.wanted = std::move(wanted);
    }

    void check_now(QWidget* window) {
        for (const auto& e : entries_)
            if (e->widget == window) check(window);
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (entries_.empty() || type != "xcb_generic_event_t") return false;
        const auto* ev = static_cast<const xcb_generic_event_t*>(message);
        switch (ev->response_type & 0x7f) {
            case XCB_MAP_NOTIFY:
                changed(reinterpret_cast<const xcb_map_notify_event_t*>(ev)->window);
                break;
            case XCB_UNMAP_NOTIFY: {
                // Out of sight while shown: a window manager took it away, and once it is
                // back, by whatever way, it is to have the focus again.
                const uint32_t window = reinterpret_cast<const xcb_unmap_notify_event_t*>(ev)->window;
                for (const auto& e : entries_)
                    if (is(*e, window) && e->widget->isVisible()) e->activations_left = kActivationsAfterHiding;
                changed(window);
                break;
            }
            case XCB_FOCUS_OUT:
                changed(reinterpret_cast<const xcb_focus_out_event_t*>(ev)->event);
                break;
            case XCB_PROPERTY_NOTIFY: {
                const auto* p = reinterpret_cast<const xcb_property_notify_event_t*>(ev);
                if (p->window == root_) {
                    // The focus handed elsewhere while a window waits for it counts too.
                    if (p->atom == showing_desktop_ || p->atom == active_window_)
                        for (const auto& e : entries_)
                            if (p->atom == showing_desktop_ || e->activations_left > 0) queue(*e);
                } else if (p->atom == wm_state_ || p->atom == net_wm_state_ || p->atom == net_wm_desktop_) {
                    changed(p->window);
                }
                break;
            }
            default:
                break;
        }
        return false;
    }

protected:
    // Before each map of a window kept on every workspace: its properties say so when
    // the window manager first looks.
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            for (const auto& e : entries_)
                if (e->object == object && e->every_workspace) check(e->widget);
        }
        return false;
    }

private:
    struct Entry {
        QPointer<QWidget> widget;
        const QObject* object = nullptr;  // compared once the widget is going
        bool every_workspace = false;
        bool keep_shown = false;
        std::function<bool()> wanted;
        bool queued = false;
        int activations_left = 0;
    };

    explicit KeptWindows(Display* d)
        : root_(static_cast<uint32_t>(DefaultRootWindow(d))),
          wm_state_(static_cast<uint32_t>(atom(d, "WM_STATE"))),
          net_wm_state_(static_cast<uint32_t>(atom(d, "_NET_WM_STATE"))),
          net_wm_desktop_(static_cast<uint32_t>(atom(d, "_NET_WM_DESKTOP"))),
          showing_desktop_(static_cast<uint32_t>(atom(d, "_NET_SHOWING_DESKTOP"))),
          active_window_(static_cast<uint32_t>(atom(d, "_NET_ACTIVE_WINDOW"))) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }

    Entry& entry(QWidget* window) {
        for (auto& e : entries_)
            if (e->widget == window) return *e;
        auto e = std::make_unique<Entry>();
        e->widget = window;
        e->object = window;
        window->installEventFilter(this);
        QObject::connect(window, &QObject::destroyed, this, [this](QObject* gone) {
            entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                          [gone](const std::unique_ptr<Entry>& x) { return x->object == gone; }),
                           entries_.end());
        });
        entries_.push_back(std::move(e));
        return *entries_.back();
    }

    static bool is(const Entry& e, uint32_t window) {
        return e.widget && e.widget->testAttribute(Qt::WA_WState_Created) &&
               static_cast<uint32_t>(e.widget->internalWinId()) == window;
    }

    void changed(uint32_t window) {
        for (const auto& e : entries_)
            if (is(*e, window)) queue(*e);
    }

    // Looked at once Qt has taken the event in, and once for a burst of events.
    void queue(Entry& e) {
        if (e.queued || !e.widget) return;
        e.queued = true;
        QPointer<QWidget> widget = e.widget;
        QMetaObject::invokeMethod(
            this,
            [this, widget] {
                for (const auto& x : entries_)
                    if (x->widget == widget) x->queued = false;
                if (widget) check(widget);
            },
            Qt::QueuedConnection);
    }

    static bool wanted(const Entry& e) {
        if (!e.wanted) return true;
        try {
            return e.wanted();
        } catch (...) {
            return false;
        }
    }

    void check(QWidget* widget) {
        Entry* e = nullptr;
        for (const auto& x : entries_)
            if (x->widget == widget) e = x.get();
        if (!e || !widget->isWindow() || !widget->testAttribute(Qt::WA_WState_Created)) return;
        Display* d = display();
        if (!d) return;
        ErrorTrap trap(d);
        if (!wm_running(d)) return;
        const Window w = static_cast<Window>(widget->winId());
        if (e->every_workspace && (widget->isVisible() || !mapped(d, w))) ask_every_workspace(d, w);
        if (e->keep_shown && widget->isVisible() && wanted(*e)) {
            if (hidden_by_window_manager(d, w)) {
                show_again(d, widget);
                e->activations_left = kActivationsAfterHiding;
            } else if (e->activations_left > 0 && !showing_desktop(d) && viewable(d, w)) {
                // Back on the screen, through us or through the window manager itself, it
                // asks for the focus at each of its events until it has it: a window manager
                // that brings back what "show desktop" set aside may hand the focus elsewhere.
                if (focus_within(d, w)) {
                    e->activations_left = 0;
                } else {
                    --e->activations_left;
                    activate(d, w);
                }
            }
        }
        XFlush(d);
    }

    std::vector<std::unique_ptr<Entry>> entries_;
    const uint32_t root_, wm_state_, net_wm_state_, net_wm_desktop_, showing_desktop_, active_window_;
};

}  // namespace

void keep_on_every_workspace(QWidget* window) {
    if (!window || !window->isWindow()) return;
    if (KeptWindows* kept = KeptWindows::get()) kept->every_workspace(window);
}

void keep_shown(QWidget* window, std::function<bool()> wanted) {
    if (!window || !window->isWindow()) return;
    if (KeptWindows* kept = KeptWindows::get()) kept->keep_shown(window, std::move(wanted));
}

void show_again_if_hidden(QWidget* window) {
    if (!window) return;
    if (KeptWindows* kept = KeptWindows::get()) kept->check_now(window);
}

}  // namespace platform::x11
