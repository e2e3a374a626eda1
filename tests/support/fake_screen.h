#pragma once
// A screen with a settable work area and resolution (96 DPI by default).
#include "platform/screen.h"

namespace fakes {

class FakeScreen : public platform::Screen {
public:
    bool work_area(platform::Rect& out) override {
        if (!area_known) return false;
        out = area;
        return true;
    }
    double twips_per_pixel_x() override { return twips_x; }
    double twips_per_pixel_y() override { return twips_y; }

    platform::Rect area{0, 0, 1920, 1040};
    bool area_known = true;
    double twips_x = 15;
    double twips_y = 15;
};

}  // namespace fakes
