// The X11 desktop and the XTest key sender against windows made here with Xlib, on a bare
// display and under a window manager.
#include <gtest/gtest.h>

#include <QWidget>

#include <chrono>
#include <functional>
#include <thread>

#include "platform/backends.h"

// Xlib's macros clash with names in Qt's and our headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/x11_events.h"
#include <X11/keysym.h>

namespace {

class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        d = XOpenDisplay(nullptr);
        if (!d) GTEST_SKIP() << "no X display";
        root = DefaultRootWindow(d);
        // Sees the requests sent to the root window for a window manager.
        XSelectInput(d, root, SubstructureNotifyMask);
    }
    void TearDown() override {
        if (d) XCloseDisplay(d);
    }

    Atom atom(const char* name) { return XInternAtom(d, name, False); }

    bool window_manager_running() { return fakes::window_manager_running(d); }
    static bool eventually(const std::function<bool()>& condition) { return fakes::eventually(condition); }

    Window make_window(Window parent, const char* res_name, const char* res_class, const char* net_title,
                       const char* wm_title, bool delete_protocol) {
        Window w = XCreateSimpleWindow(d, parent, 10, 10, 200, 100, 0, 0, 0);
        if (res_class) {
            XClassHint hint{const_cast<char*>(res_name), const_cast<char*>(res_class)};
            XSetClassHint(d, w, &hint);
        }
        if (net_title)
            XChangeProperty(d, w, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(net_title), static_cast<int>(strlen(net_title)));
        if (wm_title) XStoreName(d, w, wm_title);
        if (delete_protocol) {
            Atom del = atom("WM_DELETE_WINDOW");
            XSetWMProtocols(d, w, &del, 1);
        }
        XSelectInput(d, w, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
        XMapWindow(d, w);
        XSync(d, False);
        return w;
    }

    void wait_mapped(Window w) {
        ASSERT_TRUE(wait_for([&](const XEvent& e) { return e.type == MapNotify && e.xmap.window == w; }));
    }

    // Next event that passes the test, within two seconds; others are dropped.
    bool wait_for(const std::function<bool(const XEvent&)>& test, XEvent* out = nullptr) {
        return fakes::wait_for_event(d, test, out);
    }

    Display* d = nullptr;
    Window root = 0;
    std::unique_ptr<platform::Desktop> desktop = platform::make_x11_desktop();
};

TEST_F(X11Test, FindsWindowByClassAndExactTitle) {
    Window w = make_window(root, "ledgrinprobe", "LedgrinProbe", "試験 ウィンドウ", "probe", true);
    Window plain = make_window(root, "plainprobe", "PlainProbe", nullptr, "Plain Title", true);
    wait_mapped(w);
    wait_mapped(plain);
    // A window manager takes the windows on in its own time.
    ASSERT_TRUE(eventually([&] { return desktop->find_window("PlainProbe", std::nullopt) == plain; }));
    ASSERT_TRUE(eventually([&] { return desktop->find_window("LedgrinProbe", std::nullopt) == w; }));

    EXPECT_EQ(desktop->find_window("LedgrinProbe", std::string("試験 ウィンドウ")), w);
    EXPECT_EQ(desktop->find_window("ledgrinprobe", std::string("試験 ウィンドウ")), w);  // instance name
    EXPECT_EQ(desktop->find_window("LedgrinProbe", std::string("probe")), 0u);  // the UTF-8 title comes first
    EXPECT_EQ(desktop->find_window("LedgrinProbe", std::string("試験")), 0u);   // exact, not a prefix
    EXPECT_EQ(desktop->find_window("ledgrinProbe", std::nullopt), 0u);        // exact case
    EXPECT_EQ(desktop->find_window("PlainProbe", std::string("Plain Title")), plain);  // the older title
    EXPECT_EQ(desktop->find_window("NoSuchClass", std::nullopt), 0u);
}

TEST_F(X11Test, FindsTheClientInsideAFrameOfAWindowManagerWithoutAClientList) {
    if (window_manager_running()) GTEST_SKIP() << "the window manager's list names its clients";
    // A frame without a class of its own, holding the client window, as a window manager
    // that keeps no list of its clients leaves them.
    Window frame = XCreateSimpleWindow(d, root, 0, 0, 300, 200, 0, 0, 0);
    XMapWindow(d, frame);
    Window framed = make_window(frame, "framedprobe", "FramedProbe", "Framed", nullptr, true);
    EXPECT_TRUE(eventually([&] { return desktop->find_window("FramedProbe", std::string("Framed")) == framed; }));
    // One framed later, into a frame that is there already.
    Window later = make_window(root, "laterprobe", "LaterProbe", "Later", nullptr, true);
    wait_mapped(later);
    ASSERT_TRUE(eventually([&] { return desktop->find_window("LaterProbe", std::nullopt) == later; }));
    Window frame2 = XCreateSimpleWindow(d, root, 0, 0, 300, 200, 0, 0, 0);
    XMapWindow(d, frame2);
    XReparentWindow(d, later, frame2, 0, 0);
    XSync(d, False);
    EXPECT_TRUE(eventually([&] { return desktop->find_window("LaterProbe", std::nullopt) == later; }));
    XDestroyWindow(d, frame2);
    XSync(d, False);
    EXPECT_TRUE(eventually([&] { return desktop->find_window("LaterProbe", std::nullopt) == 0; }));
    XDestroyWindow(d, frame);
}

TEST_F(X11Test, RequestCloseSendsDeleteWindowAndLeavesTheWindowAlive) {
    Window w = make_window(root, "closeprobe", "CloseProbe", "Close me", nullptr, true);
    wait_mapped(w);
    platform::WindowId found = 0;
    ASSERT_TRUE(eventually([&] { return (found = desktop->find_window("CloseProbe", std::string("Close me"))) == w; }));
    desktop->request_close(found);
    XEvent e{};
    ASSERT_TRUE(wait_for(
        [&](const XEvent& ev) {
            return ev.type == ClientMessage && ev.xclient.window == w &&
                   ev.xclient.message_type == atom("WM_PROTOCOLS");
        },
        &e));
    EXPECT_EQ(static_cast<Atom>(e.xclient.data.l[0]), atom("WM_DELETE_WINDOW"));
    XWindowAttributes attrs;
    EXPECT_TRUE(XGetWindowAttributes(d, w, &attrs));  // asked, not killed
}

TEST_F(X11Test, WindowWithoutDeleteProtocolIsLeftAlone) {
    Window w = make_window(root, "rude", "RudeProbe", nullptr, "Rude", false);
    wait_mapped(w);
    ASSERT_TRUE(eventually([&] { return desktop->find_window("RudeProbe", std::nullopt) == w; }));
    EXPECT_EQ(desktop->find_window_to_close("RudeProbe", std::nullopt), 0u);
    desktop->request_close(w);
    // Neither the window nor the window manager (which would kill its program) is asked.
    XEvent e{};
    EXPECT_FALSE(wait_for(
        [&](const XEvent& ev) {
            return ev.type == ClientMessage &&
                   (ev.xclient.message_type == atom("WM_PROTOCOLS") ||
                    ev.xclient.message_type == atom("_NET_CLOSE_WINDOW"));
        },
        &e))
        << XGetAtomName(d, e.xclient.message_type);
    XWindowAttributes attrs;
    EXPECT_TRUE(XGetWindowAttributes(d, w, &attrs));
}

TEST_F(X11Test, GoneWindowIsNoError) {
    Window w = make_window(root, "gone", "GoneProbe", nullptr, "Gone", true);
    XDestroyWindow(d, w);
    XSync(d, False);
    EXPECT_FALSE(desktop->bring_to_front(w));
    desktop->request_close(w);
    EXPECT_EQ(desktop->find_window("GoneProbe", std::nullopt), 0u);
}

TEST_F(X11Test, BringToFrontFocusesAndKeysReachTheWindow) {
    Window w = make_window(root, "keyprobe", "KeyProbe", nullptr, "Keys", true);
    wait_mapped(w);
    ASSERT_TRUE(eventually([&] { return desktop->find_window("KeyProbe", std::nullopt) == w; }));
    const bool focused_at_once = desktop->bring_to_front(w);
    if (window_manager_running()) {
        XEvent e{};
        ASSERT_TRUE(wait_for(
            [&](const XEvent& ev) {
                return ev.type == ClientMessage && ev.xclient.message_type == atom("_NET_ACTIVE_WINDOW");
            },
            &e));
        EXPECT_EQ(e.xclient.window, w);
        // The window manager gives the focus once it has acted on the request.
        ASSERT_TRUE(focused_at_once || eventually([&] { return desktop->bring_to_front(w); }));
    } else {
        EXPECT_TRUE(focused_at_once);  // given directly
    }
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(d, &focus, &revert);
    ASSERT_EQ(focus, w);

    auto keys = platform::make_xtest_key_sender();
    struct Case {
        uint8_t vk;
        KeySym sym;
    } cases[] = {{27, XK_Escape}, {13, XK_Return}, {0x41, XK_a}, {0x35, XK_5}, {0x70, XK_F1}};
    for (const Case& c : cases) {
        KeyCode code = XKeysymToKeycode(d, c.sym);
        keys->key_down(c.vk);
        keys->key_up(c.vk);
        EXPECT_TRUE(wait_for([&](const XEvent& ev) {
            return ev.type == KeyPress && ev.xkey.window == w && ev.xkey.keycode == code;
        })) << int(c.vk);
        EXPECT_TRUE(wait_for([&](const XEvent& ev) {
            return ev.type == KeyRelease && ev.xkey.window == w && ev.xkey.keycode == code;
        })) << int(c.vk);
    }
}

TEST_F(X11Test, TopmostOfAShownWindowAsksTheWindowManager) {
    QWidget window;
    window.show();
    XSync(d, False);
    desktop->set_topmost(&window, true);
    XEvent e{};
    ASSERT_TRUE(wait_for(
        [&](const XEvent& ev) { return ev.type == ClientMessage && ev.xclient.message_type == atom("_NET_WM_STATE"); },
        &e));
    EXPECT_EQ(e.xclient.window, static_cast<Window>(window.winId()));
    EXPECT_EQ(e.xclient.data.l[0], 1);  // add
    EXPECT_EQ(static_cast<Atom>(e.xclient.data.l[1]), atom("_NET_WM_STATE_ABOVE"));
    EXPECT_TRUE(window.isVisible());

    desktop->set_topmost(&window, false);
    ASSERT_TRUE(wait_for(
        [&](const XEvent& ev) { return ev.type == ClientMessage && ev.xclient.message_type == atom("_NET_WM_STATE"); },
        &e));
    EXPECT_EQ(e.xclient.data.l[0], 0);  // remove
}

}  // namespace
