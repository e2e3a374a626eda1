// The X11 desktop and key sender where there is no X display (offscreen Qt).
#include <gtest/gtest.h>

#include <QWidget>
#include <cstdlib>

#include "platform/backends.h"

namespace {

TEST(X11DesktopWithoutDisplay, EverythingIsANoOp) {
    ::unsetenv("DISPLAY");
    auto desktop = platform::make_x11_desktop();
    EXPECT_EQ(desktop->find_window("Notepad", std::nullopt), 0u);
    EXPECT_EQ(desktop->find_window("Notepad", std::string("x")), 0u);
    desktop->bring_to_front(42);
    desktop->request_close(42);
    auto keys = platform::make_xtest_key_sender();
    keys->key_down(27);
    keys->key_up(27);
}

TEST(X11DesktopWithoutDisplay, TopmostHintOnlyBeforeTheWindowIsShown) {
    auto desktop = platform::make_x11_desktop();
    QWidget window;
    desktop->set_topmost(&window, true);
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    desktop->set_topmost(&window, false);
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    window.show();
    desktop->set_topmost(&window, true);
    // Changing the flags of a shown window would hide it.
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.windowFlags() & Qt::WindowStaysOnTopHint);

    QWidget child(&window);
    desktop->set_topmost(&child, true);  // acts on the child's window
    EXPECT_TRUE(window.isVisible());
}

}  // namespace
