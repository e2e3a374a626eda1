// The primary screen as Qt sees it.
#include <QGuiApplication>
#include <QScreen>

#include <memory>

#include "backends.h"
#include "screen.h"

namespace platform {

namespace {

// What a screen at 96 DPI and ratio 1 gives; used when there is no screen to ask.
constexpr double default_twips_per_pixel = 15.0;

QScreen* primary() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::primaryScreen() : nullptr; }

double twips_per_pixel(double dpi, double ratio) {
    double dots = dpi * ratio;
    if (!(dots > 0)) return default_twips_per_pixel;
    return 1440.0 / dots;
}

class QtScreen : public Screen {
public:
    bool work_area(Rect& out) override {
        QScreen* screen = primary();
        if (!screen) return false;
        QRect r = screen->availableGeometry();
        if (r.isEmpty()) return false;
        // right and bottom lie just past the last pixel, as the windows' code expects of a rectangle.
        out.left = r.left();
        out.top = r.top();
        out.right = r.left() + r.width();
        out.bottom = r.top() + r.height();
        return true;
    }

    double twips_per_pixel_x() override {
        QScreen* screen = primary();
        return screen ? twips_per_pixel(screen->logicalDotsPerInchX(), screen->devicePixelRatio())
                      : default_twips_per_pixel;
    }

    double twips_per_pixel_y() override {
        QScreen* screen = primary();
        return screen ? twips_per_pixel(screen->logicalDotsPerInchY(), screen->devicePixelRatio())
                      : default_twips_per_pixel;
    }
};

}  // namespace

std::unique_ptr<Screen> make_qt_screen() { return std::make_unique<QtScreen>(); }

}  // namespace platform
