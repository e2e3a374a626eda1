#pragma once
#include <cstdint>

namespace platform {

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // False when the work area cannot be told; the caller then uses four zeros.
    virtual bool work_area(Rect& out) = 0;
    // 1440 / (logical DPI x device pixel ratio): 15 on a 96-DPI screen.
    virtual double twips_per_pixel_x() = 0;
    virtual double twips_per_pixel_y() = 0;
};

}  // namespace platform
