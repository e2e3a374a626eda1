// Other programs' windows, and our own windows' place in the stack, on an X display.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <memory>
#include <unordered_map>
#include <vector>

#include "backends.h"
#include "desktop.h"
#include "window_registry.h"
#include "x11_own_windows.h"

// Xlib defines macros (None, Bool, Status, ...) that Qt's and our headers use as
// names, so it comes after all of them.
#include "x11_connection.h"
#include <X11/Xatom.h>
#include <X11/Xutil.h>

namespace platform {

using x11::send_to_root;

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

// Milliseconds of a monotonic clock, wrapping as the tick count does.
uint32_t now_ms() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

// What we keep of a window whose properties we follow.
struct Watched {
    ClientWindow info;
    bool has_class = false;
    // Properties that changed since they were read.
    bool stale_class = false, stale_title = false, stale_protocols = false, stale_transient = false;
    bool stale_workspace = false;
};

// A child of the root, as followed on a display without a window manager's client list.
struct TopLevel {
    bool override_redirect = false;
    bool mapped = false;
    Window client = 0;  // itself, or the client inside it when it is a frame; 0: none yet
};

class X11Desktop : public Desktop {
public:
    WindowId find_window(const std::string& window_class, const std::optional<std::string>& title) override {
        Display* d = display();
        if (!d) return 0;
        x11::ErrorTrap trap(d);
        update(d);
        return registry_.find(window_class, title);
    }

    WindowId find_window_to_close(const std::string& window_class,
                                  const std::optional<std::string>& title) override {
        Display* d = display();
        if (!d) return 0;
        x11::ErrorTrap trap(d);
        update(d);
        return registry_.find_to_close(window_class, title, now_ms());
    }

    bool bring_to_front(WindowId id) override {
        Display* d = display();
        if (!d || id == 0) return false;
        x11::ErrorTrap trap(d);
        update(d);
        // Activating a window on another workspace makes the window manager switch to
        // that workspace, away from the one the candidate is on.
        if (registry_.on_other_workspace(id)) return false;
        Window w = static_cast<Window>(id);
        if (wm_window_ != 0) {
            send_to_root(d, w, net_active_window_, source_pager, CurrentTime, 0);
            XRaiseWindow(d, w);
        } else {
            XRaiseWindow(d, w);
            // Without a window manager nobody acts on an activation request, so the focus
            // is given directly.
            XWindowAttributes attrs{};
            if (XGetWindowAttributes(d, w, &attrs) && attrs.map_state == IsViewable)
                XSetInputFocus(d, w, RevertToParent, CurrentTime);
        }
        // The answer comes after every request above has been carried out.
        maybe_pending_ = true;
        return x11::focus_within(d, w);
    }

    void request_close(WindowId id) override {
        Display* d = display();
        if (!d || id == 0) return;
        x11::ErrorTrap trap(d);
        update(d);
        const uint32_t now = now_ms();
        if (!registry_.may_ask(id, now)) return;
        Window w = static_cast<Window>(id);
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = wm_protocols_;
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = static_cast<long>(wm_delete_window_);
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(d, w, False, NoEventMask, &ev);
        XFlush(d);
        registry_.asked(id, now);
    }

    void place(WindowId id, int x, int y, int width, int height) override {
        Display* d = display();
        if (!d || id == 0) return;
        x11::ErrorTrap trap(d);
        Window w = static_cast<Window>(id);
        // The program may have closed the window since it was found.
        XWindowAttributes attrs{};
        maybe_pending_ = true;
        if (!XGetWindowAttributes(d, w, &attrs)) return;
        send_to_root(d, w, net_wm_state_, net_wm_state_remove, static_cast<long>(net_wm_state_above_), 0,
                     source_pager);
        // The protocol knows no empty window.
        const unsigned cx = static_cast<unsigned>(std::max(1, width));
        const unsigned cy = static_cast<unsigned>(std::max(1, height));
        // Moved before it is mapped, so that a window shown only now comes up in its place.
        XMoveResizeWindow(d, w, x, y, cx, cy);
        // Mapping shows a withdrawn window and asks the window manager to restore an iconified one.
        XMapWindow(d, w);
        // A window manager that has just taken the window on places it by its own rules;
        // asked once more, it moves it where it was asked to.
        if (attrs.map_state != IsViewable) XMoveResizeWindow(d, w, x, y, cx, cy);
        XFlush(d);
    }

    void set_topmost(QWidget* widget, bool on) override {
        if (!widget) return;
        QWidget* window = widget->window();
        // A window that must stay in front of everything must be on whatever workspace the
        // candidate looks at; it stays on all of them once it has been put there.
        if (on) x11::keep_on_every_workspace(window);
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
            net_wm_state_ = XInternAtom(d, "_NET_WM_STATE", False);
            net_wm_state_above_ = XInternAtom(d, "_NET_WM_STATE_ABOVE", False);
            net_wm_name_ = XInternAtom(d, "_NET_WM_NAME", False);
            net_wm_pid_ = XInternAtom(d, "_NET_WM_PID", False);
            net_supporting_wm_check_ = XInternAtom(d, "_NET_SUPPORTING_WM_CHECK", False);
            net_client_list_ = XInternAtom(d, "_NET_CLIENT_LIST", False);
            net_client_list_stacking_ = XInternAtom(d, "_NET_CLIENT_LIST_STACKING", False);
            utf8_string_ = XInternAtom(d, "UTF8_STRING", False);
            net_wm_desktop_ = XInternAtom(d, "_NET_WM_DESKTOP", False);
            net_current_desktop_ = XInternAtom(d, "_NET_CURRENT_DESKTOP", False);
            atoms_ready_ = true;
        }
        return d;
    }

    // ---- the registry, kept from the display's events ------------------------------------
    //
    // Under a window manager that keeps a client list on the root, that list says which
    // windows there are and in which order; otherwise the root's children do, followed
    // through the root's structure events. Each known window's class, title, protocols and
    // owner are read once and again only when its property changes, so a lookup in which
    // nothing changed asks the server nothing: the pending events are read without waiting.

    void update(Display* d) {
        if (!started_) {
            started_ = true;
            XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask | PropertyChangeMask);
            list_stale_ = true;
            watch_socket(d);
        }
        // Where the event loop watches the connection, a lookup with nothing new to read
        // costs no call to the system either; where no loop runs between lookups, the
        // connection is read at least every kReadEveryMs.
        const uint32_t now = now_ms();
        if (!socket_ || maybe_pending_ || now - last_read_ms_ >= kReadEveryMs) {
            maybe_pending_ = false;
            last_read_ms_ = now;
            while (XPending(d)) {
                XEvent e;
                XNextEvent(d, &e);
                handle(d, e);
            }
            if (socket_) socket_->setEnabled(true);
        }
        bool asked_server = false;
        if (list_stale_) {
            read_window_list(d);
            asked_server = true;
        }
        if (shown_workspace_stale_) {
            read_shown_workspace(d);
            asked_server = true;
        }
        for (auto& [id, w] : watched_) {
            if (!w.stale_class && !w.stale_title && !w.stale_protocols && !w.stale_transient && !w.stale_workspace)
                continue;
            read_properties(d, id, w);
            dirty_ = true;
            asked_server = true;
        }
        if (dirty_) rebuild();
        // Waiting for an answer reads whatever came with it: events may wait in Xlib's
        // queue with nothing left in the socket.
        if (asked_server) maybe_pending_ = true;
    }

    void watch_socket(Display* d) {
        if (!QCoreApplication::instance()) return;
        socket_ = std::make_unique<QSocketNotifier>(ConnectionNumber(d), QSocketNotifier::Read);
        // Off until the next lookup has read what came, so the loop does not spin on it.
        QObject::connect(socket_.get(), &QSocketNotifier::activated, [this] {
            maybe_pending_ = true;
            socket_->setEnabled(false);
        });
    }

    void handle(Display* d, const XEvent& e) {
        const Window root = DefaultRootWindow(d);
        switch (e.type) {
            case PropertyNotify: {
                const Atom a = e.xproperty.atom;
                if (e.xproperty.window == root) {
                    if (a == net_client_list_ || a == net_client_list_stacking_ || a == net_supporting_wm_check_)
                        list_stale_ = true;
                    if (a == net_current_desktop_) shown_workspace_stale_ = true;
                    return;
                }
                auto it = watched_.find(e.xproperty.window);
                if (it == watched_.end()) return;
                Watched& w = it->second;
                if (a == XA_WM_CLASS || a == net_wm_pid_) w.stale_class = true;
                if (a == XA_WM_NAME || a == net_wm_name_) w.stale_title = true;
                if (a == wm_protocols_) w.stale_protocols = true;
                if (a == XA_WM_TRANSIENT_FOR) w.stale_transient = true;
                if (a == net_wm_desktop_) w.stale_workspace = true;
                return;
            }
            case DestroyNotify:
                if (e.xdestroywindow.window == wm_window_) list_stale_ = true;
                forget(e.xdestroywindow.window);
                return;
            default:
                break;
        }
        if (wm_window_ != 0) return;  // the window manager's list says the rest
        switch (e.type) {
            case CreateNotify:
                if (e.xcreatewindow.parent == root)
                    add_top(d, e.xcreatewindow.window, e.xcreatewindow.override_redirect);
                return;
            case ReparentNotify:
                if (e.xreparent.event != root) return;
                if (e.xreparent.parent == root) {
                    add_top(d, e.xreparent.window, e.xreparent.override_redirect);
                } else {
                    remove_top(e.xreparent.window);
                    // A frame that was given a client: the client is the window a person sees.
                    if (Window top = top_ancestor(d, e.xreparent.parent); tops_.count(top)) {
                        tops_[top].client = e.xreparent.window;
                        watch(d, e.xreparent.window);
                        dirty_ = true;
                    }
                }
                return;
            case MapNotify:
            case UnmapNotify: {
                const Window w = e.type == MapNotify ? e.xmap.window : e.xunmap.window;
                if (e.xany.window != root) return;
                if (auto it = tops_.find(w); it != tops_.end()) {
                    it->second.mapped = e.type == MapNotify;
                    dirty_ = true;
                }
                return;
            }
            case ConfigureNotify:
                if (e.xconfigure.event == root) restack(e.xconfigure.window, e.xconfigure.above);
                return;
            case CirculateNotify:
                if (e.xcirculate.event == root)
                    restack(e.xcirculate.window, e.xcirculate.place == PlaceOnTop ? Window(~0UL) : Window(0));
                return;
            default:
                return;
        }
    }

    // Decides between the window manager's list and the root's children, and reads what
    // that source holds now.
    void read_window_list(Display* d) {
        list_stale_ = false;
        const Window root = DefaultRootWindow(d);
        wm_window_ = x11::window_manager_window(d);
        shown_workspace_stale_ = true;
        std::vector<Window> list;
        if (wm_window_ != 0 &&
            (window_list(d, root, net_client_list_stacking_, list) || window_list(d, root, net_client_list_, list))) {
            // The window manager's check window, so that its end is noticed.
            XSelectInput(d, wm_window_, StructureNotifyMask);
            tops_.clear();
            stack_.clear();
            std::reverse(list.begin(), list.end());  // top of the stack first
            std::unordered_map<Window, Watched> kept;
            // The list may still name a window that has gone: its id may come back on
            // another window, which must then be read as a new one.
            std::erase_if(list, [&](Window w) {
                auto it = watched_.find(w);
                if (it != watched_.end()) {
                    kept.insert(*it);
                    return false;
                }
                if (start_watching(d, w, kept[w])) return false;
                kept.erase(w);
                return true;
            });
            watched_.swap(kept);
            clients_ = std::move(list);
        } else {
            wm_window_ = 0;
            clients_.clear();
            watched_.clear();
            tops_.clear();
            stack_ = children_of(d, root);  // bottom first
            for (Window w : stack_) {
                XWindowAttributes attrs{};
                TopLevel& t = tops_[w];
                if (XGetWindowAttributes(d, w, &attrs)) {
                    t.override_redirect = attrs.override_redirect;
                    t.mapped = attrs.map_state != IsUnmapped;
                }
                t.client = find_client(d, w, 0);
                if (t.client) watch(d, t.client);
                if (t.client != w) watch(d, w);  // it may be given a class later
            }
        }
        dirty_ = true;
    }

    bool window_list(Display* d, Window w, Atom property, std::vector<Window>& out) {
        std::vector<long> ids;
        if (!x11::read_longs(d, w, property, XA_WINDOW, 65536, ids)) return false;
        out.assign(ids.begin(), ids.end());
        return true;
    }

    void add_top(Display* d, Window w, bool override_redirect) {
        remove_top(w);
        stack_.push_back(w);
        TopLevel& t = tops_[w];
        t.override_redirect = override_redirect;
        watch(d, w);
        auto it = watched_.find(w);
        if (it != watched_.end() && it->second.has_class) t.client = w;
        dirty_ = true;
    }

    void remove_top(Window w) {
        if (tops_.erase(w) == 0) return;
        std::erase(stack_, w);
        dirty_ = true;
    }

    // Moves w just above `above` (0: to the bottom, all ones: to the top).
    void restack(Window w, Window above) {
        auto it = std::find(stack_.begin(), stack_.end(), w);
        if (it == stack_.end()) return;
        const size_t from = static_cast<size_t>(it - stack_.begin());
        size_t to = 0;
        if (above == Window(~0UL)) {
            to = stack_.size() - 1;
        } else if (above != 0) {
            auto a = std::find(stack_.begin(), stack_.end(), above);
            if (a == stack_.end()) return;
            const size_t pos = static_cast<size_t>(a - stack_.begin());
            to = pos < from ? pos + 1 : pos;
        }
        if (to == from) return;  // a move or a resize: the order stands
        stack_.erase(stack_.begin() + static_cast<long>(from));
        stack_.insert(stack_.begin() + static_cast<long>(to), w);
        dirty_ = true;
    }

    Window top_ancestor(Display* d, Window w) {
        const Window root = DefaultRootWindow(d);
        for (int depth = 0; depth < max_frame_depth && w != 0; ++depth) {
            if (tops_.count(w)) return w;
            Window r = 0, parent = 0, *kids = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(d, w, &r, &parent, &kids, &n)) return 0;
            if (kids) XFree(kids);
            if (parent == root) return w;
            w = parent;
        }
        return 0;
    }

    // The window itself when it has a class, else the first client inside it (a window
    // manager's frame holds its client a few levels down).
    Window find_client(Display* d, Window w, int depth) {
        XClassHint hint{};
        if (XGetClassHint(d, w, &hint)) {
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
            return w;
        }
        if (depth + 1 >= max_frame_depth) return 0;
        std::vector<Window> kids = children_of(d, w);
        for (auto it = kids.rbegin(); it != kids.rend(); ++it)
            if (Window inner = find_client(d, *it, depth + 1)) return inner;
        return 0;
    }

    void watch(Display* d, Window w) {
        if (watched_.count(w)) return;
        if (!start_watching(d, w, watched_[w])) watched_.erase(w);
    }

    // Events first, then the first reading: a change in between is not lost. False when
    // the window had gone already; one that goes later reports its end.
    bool start_watching(Display* d, Window w, Watched& entry) {
        XSelectInput(d, w, PropertyChangeMask | StructureNotifyMask);
        XWindowAttributes attrs{};
        if (!XGetWindowAttributes(d, w, &attrs)) return false;
        entry.info.id = w;
        entry.info.seen_ms = now_ms();
        entry.stale_class = entry.stale_title = entry.stale_protocols = entry.stale_transient = true;
        entry.stale_workspace = true;
        read_properties(d, w, entry);
        dirty_ = true;
        return true;
    }

    void forget(Window w) {
        if (watched_.erase(w)) dirty_ = true;
        remove_top(w);
        for (auto& [id, t] : tops_)
            if (t.client == w) {
                t.client = 0;
                dirty_ = true;
            }
        if (std::erase(clients_, w)) dirty_ = true;
    }

    void read_properties(Display* d, Window w, Watched& entry) {
        ClientWindow& info = entry.info;
        if (entry.stale_class) {
            XClassHint hint{};
            entry.has_class = XGetClassHint(d, w, &hint) != 0;
            info.instance = hint.res_name ? hint.res_name : "";
            info.window_class = hint.res_class ? hint.res_class : "";
            if (hint.res_name) XFree(hint.res_name);
            if (hint.res_class) XFree(hint.res_class);
            info.ours = made_here(d, w);
            if (entry.has_class)
                if (auto t = tops_.find(w); t != tops_.end()) t->second.client = w;
        }
        if (entry.stale_title) {
            std::string name;
            if (net_wm_name(d, w, name) || wm_name(d, w, name))
                info.title = name;
            else
                info.title.clear();
        }
        if (entry.stale_protocols) info.can_be_asked = supports_delete(d, w);
        if (entry.stale_transient) {
            Window owner = 0;
            info.transient_for = XGetTransientForHint(d, w, &owner) ? owner : 0;
        }
        if (entry.stale_workspace) info.workspace = workspace_of(d, w);
        entry.stale_class = entry.stale_title = entry.stale_protocols = entry.stale_transient = false;
        entry.stale_workspace = false;
    }

    // A window's _NET_WM_DESKTOP, or the root's _NET_CURRENT_DESKTOP; kEveryWorkspace when
    // it is not set.
    uint32_t workspace_of(Display* d, Window w) {
        std::vector<long> v;
        const Atom property = w == DefaultRootWindow(d) ? net_current_desktop_ : net_wm_desktop_;
        if (!x11::read_longs(d, w, property, XA_CARDINAL, 1, v) || v.size() != 1) return kEveryWorkspace;
        return static_cast<uint32_t>(static_cast<unsigned long>(v[0]));
    }

    void read_shown_workspace(Display* d) {
        shown_workspace_stale_ = false;
        // Without a window manager nobody switches workspaces, whatever a property says.
        shown_workspace_ = wm_window_ != 0 ? workspace_of(d, DefaultRootWindow(d)) : kEveryWorkspace;
        dirty_ = true;
    }

    void rebuild() {
        dirty_ = false;
        std::vector<ClientWindow> view;
        auto add = [&](Window w) {
            auto it = watched_.find(w);
            if (it != watched_.end() && it->second.has_class) view.push_back(it->second.info);
        };
        if (wm_window_ != 0) {
            for (Window w : clients_) add(w);
        } else {
            for (auto it = stack_.rbegin(); it != stack_.rend(); ++it) {
                const TopLevel& t = tops_[*it];
                if (t.mapped && !t.override_redirect && t.client) add(t.client);
            }
        }
        registry_.assign(view, shown_workspace_);
    }

    // A window of this process: Qt names our process id and our machine on each of ours.
    bool made_here(Display* d, Window w) {
        std::vector<long> pid;
        const bool same_pid = x11::read_longs(d, w, net_wm_pid_, XA_CARDINAL, 1, pid) && pid.size() == 1 &&
                              static_cast<unsigned long>(pid[0]) == static_cast<unsigned long>(::getpid());
        if (!same_pid) return false;
        XTextProperty machine{};
        if (!XGetWMClientMachine(d, w, &machine) || !machine.value) return true;
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const bool here = std::string(reinterpret_cast<const char*>(machine.value), machine.nitems) == host;
        XFree(machine.value);
        return here;
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
    Atom wm_protocols_ = 0, wm_delete_window_ = 0, net_active_window_ = 0, net_wm_state_ = 0,
         net_wm_state_above_ = 0, net_wm_name_ = 0, net_wm_pid_ = 0, net_supporting_wm_check_ = 0,
         net_client_list_ = 0, net_client_list_stacking_ = 0, utf8_string_ = 0;
    Atom net_wm_desktop_ = 0, net_current_desktop_ = 0;

    bool started_ = false;
    std::unique_ptr<QSocketNotifier> socket_;
    bool maybe_pending_ = true;  // events may have come since the last reading
    static constexpr uint32_t kReadEveryMs = 100;
    uint32_t last_read_ms_ = 0;
    bool list_stale_ = false;  // the source of the window list must be read again
    bool shown_workspace_stale_ = false;
    uint32_t shown_workspace_ = kEveryWorkspace;  // the window manager's _NET_CURRENT_DESKTOP
    bool dirty_ = false;       // the registry must be built again
    Window wm_window_ = 0;     // the running window manager's check window; 0: none
    std::vector<Window> clients_;  // under a window manager: its clients, top first
    std::vector<Window> stack_;    // without one: the root's children, bottom first
    std::unordered_map<Window, TopLevel> tops_;
    std::unordered_map<Window, Watched> watched_;
    WindowRegistry registry_;
};

}  // namespace

std::unique_ptr<Desktop> make_x11_desktop() { return std::make_unique<X11Desktop>(); }

}  // namespace platform
