// Placing another program's window on an X display: moved, sized, shown and taken out of
// the band above the others; a window that has gone is no error. On a bare display and
// under a window manager.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/backends.h"

// Xlib's macros clash with names in Qt's and our headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "support/x11_events.h"

namespace {

class PlaceX11 : public ::testing::Test {
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

    Window make_window(bool mapped) {
        Window w = XCreateSimpleWindow(d, root, 10, 10, 200, 100, 0, 0, 0);
        XClassHint hint{const_cast<char*>("placeprobe"), const_cast<char*>("PlaceProbe")};
        XSetClassHint(d, w, &hint);
        XSelectInput(d, w, StructureNotifyMask);
        if (mapped) {
            XMapWindow(d, w);
            EXPECT_TRUE(wait_for([&](const XEvent& e) { return e.type == MapNotify && e.xmap.window == w; }));
        }
        XSync(d, False);
        return w;
    }

    // Where the whole window is: the origin of the top-level window holding it (the window
    // manager's frame, or the window itself), and the size of the window.
    struct Geometry {
        int x = 0, y = 0, width = 0, height = 0;
        bool operator==(const Geometry&) const = default;
        std::string text() const {
            return std::to_string(x) + "," + std::to_string(y) + " " + std::to_string(width) + "x" +
                   std::to_string(height);
        }
    };
    Geometry outer(Window w) {
        Window top = w;
        for (;;) {
            Window r = 0, parent = 0, *kids = nullptr;
            unsigned int n = 0;
            if (!XQueryTree(d, top, &r, &parent, &kids, &n)) break;
            if (kids) XFree(kids);
            if (parent == root || parent == 0) break;
            top = parent;
        }
        XWindowAttributes frame{}, inner{};
        XGetWindowAttributes(d, top, &frame);
        XGetWindowAttributes(d, w, &inner);
        return {frame.x, frame.y, inner.width, inner.height};
    }

    static bool eventually(const std::function<bool()>& condition) { return fakes::eventually(condition); }

    // Next event that passes the test, within two seconds; others are dropped.
    bool wait_for(const std::function<bool(const XEvent&)>& test, XEvent* out = nullptr) {
        return fakes::wait_for_event(d, test, out);
    }

    Display* d = nullptr;
    Window root = 0;
    std::unique_ptr<platform::Desktop> desktop = platform::make_x11_desktop();
};

TEST_F(PlaceX11, MovesSizesAndTakesTheWindowOutOfTheTopBand) {
    Window w = make_window(true);
    desktop->place(w, 30, 40, 300, 200);

    XEvent state{};
    ASSERT_TRUE(wait_for(
        [&](const XEvent& e) {
            return e.type == ClientMessage && e.xclient.window == w &&
                   e.xclient.message_type == atom("_NET_WM_STATE");
        },
        &state));
    EXPECT_EQ(state.xclient.data.l[0], 0);  // remove
    EXPECT_EQ(static_cast<Atom>(state.xclient.data.l[1]), atom("_NET_WM_STATE_ABOVE"));

    ASSERT_TRUE(wait_for([&](const XEvent& e) {
        return e.type == ConfigureNotify && e.xconfigure.window == w && e.xconfigure.width == 300;
    }));
    // Under a window manager the position is its frame's, as the origin of the whole window.
    EXPECT_TRUE(eventually([&] { return outer(w) == Geometry{30, 40, 300, 200}; })) << outer(w).text();
}

TEST_F(PlaceX11, ShowsAWindowThatWasNotShownAndNeverGivesAnEmptySize) {
    Window w = make_window(false);
    // A window manager keeps the frame of a window on the screen.
    const int x = fakes::window_manager_running(d) ? 5 : -5;
    desktop->place(w, x, 0, 0, 0);
    ASSERT_TRUE(wait_for([&](const XEvent& e) { return e.type == MapNotify && e.xmap.window == w; }));
    XSync(d, False);
    XWindowAttributes attrs{};
    ASSERT_TRUE(XGetWindowAttributes(d, w, &attrs));
    EXPECT_EQ(attrs.map_state, IsViewable);
    EXPECT_TRUE(eventually([&] { return outer(w) == Geometry{x, 0, 1, 1}; })) << outer(w).text();
}

TEST_F(PlaceX11, AWindowThatHasGoneOrNoWindowAtAllChangesNothing) {
    Window w = make_window(true);
    XDestroyWindow(d, w);
    XSync(d, False);
    // Xlib's default handler would end the program on the error a gone window gives.
    desktop->place(w, 0, 0, 100, 100);
    desktop->place(0, 0, 0, 100, 100);
    Window alive = make_window(true);
    desktop->place(alive, 1, 2, 50, 60);
    XEvent conf{};
    ASSERT_TRUE(wait_for(
        [&](const XEvent& e) { return e.type == ConfigureNotify && e.xconfigure.window == alive; }, &conf));
    EXPECT_EQ(conf.xconfigure.width, 50);
    // Nothing was asked of the window manager for the gone window.
    EXPECT_FALSE(wait_for([&](const XEvent& e) { return e.type == ClientMessage && e.xclient.window == w; }));
}

}  // namespace
