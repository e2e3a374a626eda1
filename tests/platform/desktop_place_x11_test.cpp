// Placing another program's window on an X display: moved, sized, shown and taken out of
// the band above the others; a window that has gone is no error.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
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

    XEvent conf{};
    ASSERT_TRUE(wait_for([&](const XEvent& e) { return e.type == ConfigureNotify && e.xconfigure.window == w; },
                         &conf));
    EXPECT_EQ(conf.xconfigure.x, 30);
    EXPECT_EQ(conf.xconfigure.y, 40);
    EXPECT_EQ(conf.xconfigure.width, 300);
    EXPECT_EQ(conf.xconfigure.height, 200);
}

TEST_F(PlaceX11, ShowsAWindowThatWasNotShownAndNeverGivesAnEmptySize) {
    Window w = make_window(false);
    desktop->place(w, -5, 0, 0, 0);
    ASSERT_TRUE(wait_for([&](const XEvent& e) { return e.type == MapNotify && e.xmap.window == w; }));
    XSync(d, False);
    XWindowAttributes attrs{};
    ASSERT_TRUE(XGetWindowAttributes(d, w, &attrs));
    EXPECT_EQ(attrs.map_state, IsViewable);
    EXPECT_EQ(attrs.x, -5);
    EXPECT_EQ(attrs.width, 1);
    EXPECT_EQ(attrs.height, 1);
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
