// One pass of the event loop puts what changed on the screen: a label shown just before a
// busy wait or a blocking request is there while the window is frozen.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QWindow>
#include <QWidget>

#include "common/forms.h"

#include "support/x11_desktop.h"

namespace {

// Share of the label's pixels on the screen, read by the X server itself, that are dark.
double inked_on_screen(Display* d, QWidget* w) {
    const QPoint at = w->mapToGlobal(QPoint(0, 0));
    XImage* image = XGetImage(d, DefaultRootWindow(d), at.x(), at.y(), static_cast<unsigned>(w->width()),
                              static_cast<unsigned>(w->height()), AllPlanes, ZPixmap);
    if (!image) return 0;
    long dark = 0;
    for (int y = 0; y < w->height(); ++y)
        for (int x = 0; x < w->width(); ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            const int gray = static_cast<int>(((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF)) / 3;
            if (gray < 100) ++dark;
        }
    XDestroyImage(image);
    return double(dark) / (double(w->width()) * w->height());
}

TEST(DoEvents, ALabelShownBeforeAFreezeIsOnTheScreen) {
    if (QGuiApplication::platformName() != QLatin1String("xcb")) GTEST_SKIP() << "needs an X display";
    Display* d = XOpenDisplay(nullptr);
    ASSERT_NE(d, nullptr);

    QWidget window;
    window.setGeometry(40, 40, 420, 200);
    common::set_background(&window, common::rgb(192, 192, 192));
    auto* label = new QLabel(QString::fromUtf8("しばらくお待ちください..."), &window);
    label->setGeometry(20, 80, 380, 40);
    label->setFont(common::pgothic(18));
    common::set_background(label, common::rgb(192, 192, 192));
    label->hide();
    window.show();
    ASSERT_TRUE(fakes::wait_until([&] { return window.isVisible() && window.windowHandle()->isExposed(); }));
    fakes::settle(300);
    ASSERT_LT(inked_on_screen(d, label), 0.01) << "the label is not shown yet";

    label->show();
    common::do_events();
    // Nothing of Qt runs from here on, as in the wait that follows in the program.
    XSync(d, False);
    EXPECT_GT(inked_on_screen(d, label), 0.02) << "the label is not on the screen";
    XCloseDisplay(d);
}

}  // namespace
