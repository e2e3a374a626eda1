// The countdown of the examination window and its time-up question.
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/message_boxes.h"
#include "common/state.h"
#include "common/text.h"
#include "frm_kaikei.h"
#include "platform/platform.h"

namespace exam_window {

using common::ignore_errors;

namespace {

// Minutes without leading zeros, seconds as two digits.
std::string minutes_seconds(int32_t total_seconds) {
    const int32_t minutes = total_seconds / 60;
    const int32_t seconds = total_seconds - 60 * minutes;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", minutes, seconds);
    return text;
}

int16_t saturate_i16(int32_t v) {
    return static_cast<int16_t>(std::clamp<int32_t>(v, std::numeric_limits<int16_t>::min(),
                                                    std::numeric_limits<int16_t>::max()));
}

}  // namespace

void frmKaikei::Timer1_Timer() {
    auto& clock = *platform::current().clock;
    const auto& s = common::state();

    ignore_errors([&] {
        if (start_tick == 0) start_tick = clock.tick_count();
    });
    // Worked out in 32 bits from the unsigned elapsed time: a wrap of the tick count is
    // harmless, and a remainder below what 16 bits hold still reads as time up.
    int32_t remaining = 0;
    ignore_errors([&] {
        const uint32_t elapsed = platform::elapsed_ms(start_tick, clock.tick_count());
        remaining = common::round_to_i32(s.time_limit - elapsed / 1000.0);
        remaining_sec = saturate_i16(remaining);
    });

    if (remaining >= 0) {
        ignore_errors([&] { common::set_text(lblRemaining, "残り時間：" + minutes_seconds(remaining)); });
        return;
    }

    ignore_errors([&] { Timer1->set_Enabled(false); });
    ignore_errors([&] { Command1->setEnabled(false); });
    ignore_errors([&] { set_topmost(false); });
    ignore_errors([&] {
        if (timeup_tick == 0) timeup_tick = clock.tick_count();
    });

    // A question that cannot be shown is taken as No: it is asked again on the next tick.
    QPointer<frmKaikei> self(this);
    const platform::MbResult answer = common::show_box(
        common::box(std::string("【注意】") + common::CRLF + common::CRLF + "解答時間が終了しました。" + common::CRLF +
                        common::CRLF + "採点中はキーボードならびにマウスを" + common::CRLF + common::CRLF +
                        "操作しないでください。",
                    "解答時間終了", platform::MbButtons::YesNo, platform::MbIcon::Warning, platform::MbResult::No,
                    true),
        platform::MbResult::No);
    if (!self || is_unloaded()) return;

    if (answer == platform::MbResult::No) {
        ignore_errors([&] { Timer1->set_Enabled(true); });
        ignore_errors([&] { Command1->setEnabled(true); });
        ignore_errors([&] { set_topmost(true); });
        return;
    }
    ignore_errors([&] { enter_end_sequence(); });
}

void frmKaikei::Timer3_Timer() {
    auto& clock = *platform::current().clock;
    ignore_errors([&] {
        if (timeup_tick == 0) timeup_tick = clock.tick_count();
    });
    ignore_errors([&] {
        overtime_sec = common::round_to_i32(platform::elapsed_ms(timeup_tick, clock.tick_count()) / 1000.0);
    });
    ignore_errors([&] {
        QPalette palette = lblRemaining->palette();
        palette.setColor(QPalette::WindowText, common::rgb(255, 0, 0));
        lblRemaining->setPalette(palette);
    });
    ignore_errors([&] { common::set_text(lblRemaining, "経過時間：" + minutes_seconds(overtime_sec)); });
}

}  // namespace exam_window
