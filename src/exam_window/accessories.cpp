// Accessories of the examination window for a candidate who needs larger text, works beside
// a word processor or wants the calculator.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "calculator.h"
#include "common/text.h"
#include "frm_kaikei.h"
#include "platform/platform.h"

namespace exam_window {

using common::ignore_errors;

namespace {

constexpr int16_t kSmallestFont = 9;
constexpr int16_t kLargestFont = 40;
const char* const kWordProcessorClass = "OpusApp";

uint32_t to_handle(platform::WindowId id) {
    if (id > std::numeric_limits<uint32_t>::max()) throw std::overflow_error("window id beyond 32 bits");
    return static_cast<uint32_t>(id);
}

// Where one layout puts the two windows: ours in twips, the word processor's in pixels.
struct Arrangement {
    double left, top, width, height;
    double x, y, cx, cy;
};

}  // namespace

void frmKaikei::change_font_size(bool smaller) {
    int32_t size = font_size;
    if (smaller && size > kSmallestFont) --size;
    if (!smaller && size < kLargestFont) ++size;
    // A size from outside the range (the window's load did not run) comes back into it
    // instead of giving the page unreadable text.
    font_size = static_cast<int16_t>(std::clamp<int32_t>(size, kSmallestFont, kLargestFont));
    // A number without a unit is a pixel size only to a page in quirks mode; with the unit
    // it holds for every page.
    wbQuestion->set_body_style("font-size: " + std::to_string(font_size) + "px; line-height: 1.5");
}

void frmKaikei::arrange_with_word(int16_t layout) {
    auto& p = platform::current();
    // A failed look-up leaves no handle from an earlier call: that window may be gone, and
    // its id may by now name another program's window.
    ignore_errors([&] { word_hwnd = 0; });
    ignore_errors([&] { word_hwnd = to_handle(p.desktop->find_window(kWordProcessorClass, std::nullopt)); });
    ignore_errors([&] { setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized)); });

    // Twips of a wide screen do not fit in 16 bits (2185 pixels at 15 twips a pixel).
    int32_t H = 0, W = 0, h = 0, w = 0;
    const double height_px = static_cast<double>(work_area.bottom) - work_area.top;
    const double width_px = static_cast<double>(work_area.right) - work_area.left;
    // The full size in layout 4 is not rounded.
    double full_height = 0, full_width = 0;
    ignore_errors([&] { full_height = p.screen->twips_per_pixel_y() * height_px; });
    ignore_errors([&] { full_width = p.screen->twips_per_pixel_x() * width_px; });
    ignore_errors([&] { H = common::round_to_i32(full_height); });
    ignore_errors([&] { W = common::round_to_i32(full_width); });
    ignore_errors([&] { h = common::round_to_i32(height_px); });
    ignore_errors([&] { w = common::round_to_i32(width_px); });

    std::optional<Arrangement> a;
    switch (layout) {
        case 0:  // examination above
            a = Arrangement{-15, -15, double(W), H / 4.0, 0, h / 4.0, double(w), h / 4.0 * 3};
            break;
        case 1:  // examination below
            a = Arrangement{-15, H / 4.0 * 3, double(W), H / 4.0, 0, 0, double(w), h / 4.0 * 3};
            break;
        case 2:  // examination left
            a = Arrangement{-15, -15, W / 2.3, double(H), w / 3.0, 0, w / 3.0 * 2, double(h)};
            break;
        case 3:  // examination right
            a = Arrangement{W - W / 2.3, -15, W / 2.3, double(H), 0, 0, w / 3.0 * 2, double(h)};
            break;
        case 4:  // both full size
            a = Arrangement{-15, -15, full_width, full_height, 0, 0, double(w), double(h)};
            break;
    }
    if (!a) return;

    ignore_errors([&] {
        common::FlagScope arranging(arranging_);
        move_twips(a->left, a->top, a->width, a->height);
    });
    // Our window stays in the topmost band; the word processor's goes just below it.
    if (word_hwnd != 0) {
        ignore_errors([&] {
            p.desktop->place(word_hwnd, common::round_to_i32(a->x), common::round_to_i32(a->y),
                             common::round_to_i32(a->cx), common::round_to_i32(a->cy));
        });
    }
}

void frmKaikei::show_calculator() { calc_form().get().show_modeless(); }

}  // namespace exam_window
