#include "frm_kaikei.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <stdexcept>

#include "calculator.h"
#include "common/folders.h"
#include "common/message_boxes.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/text.h"
#include "end_sequence.h"
#include "platform/platform.h"
#include "platform/stacking.h"

namespace exam_window {

using common::ignore_errors;

namespace {

constexpr double kTabWidth = 1900, kTabHeight = 615;
constexpr double kEndWidth = 1335, kEndHeight = 495;
constexpr double kRemainingWidth = 3015, kRemainingHeight = 405;
constexpr double kWaitWidth = 3675, kWaitHeight = 435;
// Panes wait off screen until the load brings them in.
constexpr double kPaneDesignLeft = -10000;
constexpr int kPaneDesignWidthPx = 640, kPaneDesignHeightPx = 480;

QFont gothic(double points, bool bold) {
    QFont f(QString::fromUtf8("ＭＳ ゴシック"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

void set_text_colour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

// Sizes in twips; a window too small for the margin gives an empty pane, never a negative one.
void size_pane(platform::BrowserPane& pane, double width, double height) {
    pane.set_geometry(pane.left(), pane.top(), std::max(0, common::twips_to_px(width)),
                      std::max(0, common::twips_to_px(height)));
}

void move_pane_left(platform::BrowserPane& pane, double left) {
    pane.set_geometry(common::twips_to_px(left), pane.top(), pane.width(), pane.height());
}

}  // namespace

QColor button_face_colour() { return QApplication::palette().color(QPalette::Button); }

common::DefaultInstance<frmKaikei>& kaikei() {
    static common::DefaultInstance<frmKaikei> instance;
    return instance;
}

frmKaikei::frmKaikei() : end_sequence(end_syori) {
    // No title bar: no caption and no close box.
    setWindowFlag(Qt::FramelessWindowHint, true);
    common::set_background(this, common::rgb(0, 64, 64));

    static const char* const tab_captions[] = {"第１問", "第２問", "第３問"};
    for (int16_t i = 0; i < 3; ++i) {
        cmdMondai[i] = common::make_button(this, tab_captions[i], 0, 0, kTabWidth, kTabHeight, common::pgothic(18, true));
        common::set_background(cmdMondai[i], i == 0 ? chosen_tab_colour() : button_face_colour());
        common::connect_click(cmdMondai[i], "cmdMondai_Click", [this, i] { cmdMondai_Click(i); });
    }

    Command1 = common::make_button(this, "試験終了", 0, 0, kEndWidth, kEndHeight, gothic(12, true));
    common::connect_click(Command1, "Command1_Click", [this] { Command1_Click(); });

    lblRemaining =
        common::make_label(this, "残り時間：30:00", 0, 0, kRemainingWidth, kRemainingHeight, gothic(15.75, true));
    common::set_background(lblRemaining, common::rgb(192, 192, 192));
    set_text_colour(lblRemaining, Qt::white);

    lblWaitMsg =
        common::make_label(this, "しばらくお待ちください...", 0, 0, kWaitWidth, kWaitHeight, common::pgothic(18));
    common::set_background(lblWaitMsg, common::rgb(0, 64, 64));
    set_text_colour(lblWaitMsg, Qt::white);
    lblWaitMsg->hide();

    auto& browsers = *platform::current().browsers;
    const std::string& data = common::state().data_path;
    wbQuestion = browsers.create(this, data);
    wbQuestion2 = browsers.create(this, data);
    wbQuestion3 = browsers.create(this, data);
    for (auto* pane : {wbQuestion.get(), wbQuestion2.get(), wbQuestion3.get()})
        pane->set_geometry(common::twips_to_px(kPaneDesignLeft), 0, kPaneDesignWidthPx, kPaneDesignHeightPx);

    Timer1 = new common::Timer(this, "Timer1_Timer", 10, false, [this] { Timer1_Timer(); });
    Timer2 = new common::Timer(this, "Timer2_Timer", 10, true, [this] { Timer2_Timer(); });
    Timer3 = new common::Timer(this, "Timer3_Timer", 0, false, [this] { Timer3_Timer(); });
    platform::keep_shown(this, [this] { return topmost_ && !is_unloaded(); });
}

frmKaikei::~frmKaikei() = default;

bool frmKaikei::events_keep_window() {
    QPointer<frmKaikei> self(this);
    common::do_events();
    return self && !self->is_unloaded();
}

void frmKaikei::set_topmost(bool on) {
    platform::current().desktop->set_topmost(this, on);
    topmost_ = on;
    if (on) platform::show_again_if_hidden(this);
}

void frmKaikei::wait_ticks(int32_t ms) { common::wait_ticks(ms); }

void frmKaikei::place_tabs() {
    const double top = Height() - 950;
    for (int i = 0; i < 3; ++i) {
        const double left = (kTabWidth + 100) * i + 100;
        common::place(cmdMondai[i], left, top, kTabWidth, kTabHeight);
    }
}

void frmKaikei::Form_Load() {
    auto& s = common::state();
    if (s.exam_ended) return;
    auto& clock = *platform::current().clock;

    ignore_errors([&] { work_area = common::get_work_area(); });
    pane_margin = 1060;
    font_size = 16;
    ignore_errors([&] { place_tabs(); });
    s.time_limit = 2400;
    ignore_errors([&] { start_tick = clock.tick_count(); });
    block_unload = true;

    ignore_errors([&] { wbQuestion->navigate(s.data_path + "index.html"); });
    if (!events_keep_window()) return;
    ignore_errors([&] { move_pane_left(*wbQuestion, 0); });

    ignore_errors([&] { wbQuestion2->navigate(s.data_path + "index2.html"); });
    if (!events_keep_window()) return;
    ignore_errors([&] { move_pane_left(*wbQuestion2, 0); });
    ignore_errors([&] { wbQuestion2->set_visible(false); });

    ignore_errors([&] { wbQuestion3->navigate(s.data_path + "index3.html"); });
    if (!events_keep_window()) return;
    ignore_errors([&] { move_pane_left(*wbQuestion3, 0); });
    ignore_errors([&] { wbQuestion3->set_visible(true); });
    if (!events_keep_window()) return;
    ignore_errors([&] { wbQuestion3->set_visible(false); });

    current_tab = 0;
    if (!events_keep_window()) return;

    Timer1->set_Enabled(true);
    Timer2->set_Enabled(true);
    if (!events_keep_window()) return;

    ignore_errors([&] { set_topmost(true); });
}

void frmKaikei::Form_Resize() {
    // Sizing the window below is itself a size change; the nested call has nothing to add.
    if (in_resize_) return;
    common::FlagScope resizing(in_resize_);

    auto& screen = *platform::current().screen;
    ignore_errors([&] { place_tabs(); });
    const double height_before = Height();
    // A size given by arrange_with_word stays; only the controls follow it.
    if (!arranging_) {
        ignore_errors([&] {
            const double height =
                screen.twips_per_pixel_y() * (static_cast<double>(work_area.bottom) - work_area.top);
            const double width = screen.twips_per_pixel_x() * (static_cast<double>(work_area.right) - work_area.left);
            move_twips(-15, -15, width, height);
        });
    }
    // The tabs stand on the window's lower edge, which has just moved.
    if (Height() != height_before) ignore_errors([&] { place_tabs(); });
    ignore_errors([&] { common::place(Command1, Width() - 1800, Height() - 900, kEndWidth, kEndHeight); });
    ignore_errors([&] {
        common::place(lblRemaining, (Width() - kRemainingWidth) / 2, Height() - 840, kRemainingWidth,
                      kRemainingHeight);
    });
    ignore_errors([&] {
        const double left = std::max(60.0, (Width() - kWaitWidth) / 2);
        common::place(lblWaitMsg, left, Height() - 870, kWaitWidth, kWaitHeight);
    });
}

void frmKaikei::Form_Activate() { size_pane(*wbQuestion, ScaleWidth(), Height() - pane_margin); }

void frmKaikei::Form_Unload(bool& cancel) {
    if (block_unload || end_sequence_entered) cancel = true;
}

bool frmKaikei::Form_QueryUnload() {
    bool cancel = false;
    Form_Unload(cancel);
    return !cancel;
}

void frmKaikei::cmdMondai_Click(int16_t index) {
    // Only the three tabs exist; anything else would leave no tab chosen.
    if (index < 0 || index > 2) return;
    common::set_background(cmdMondai[current_tab], button_face_colour());
    common::set_background(cmdMondai[index], chosen_tab_colour());

    const double pane_height = Height() - pane_margin;
    switch (index) {
        case 0:
            size_pane(*wbQuestion, ScaleWidth(), pane_height);
            if (!events_keep_window()) return;
            wbQuestion->set_visible(true);
            wbQuestion2->set_visible(false);
            wbQuestion3->set_visible(false);
            break;
        case 1:
            page_opened[1] = true;
            size_pane(*wbQuestion2, 10, 10);
            if (!events_keep_window()) return;
            size_pane(*wbQuestion2, ScaleWidth(), Height() - pane_margin);
            if (!events_keep_window()) return;
            wbQuestion2->set_visible(true);
            wbQuestion->set_visible(false);
            wbQuestion3->set_visible(false);
            break;
        case 2:
            page_opened[2] = true;
            size_pane(*wbQuestion3, 10, 10);
            if (!events_keep_window()) return;
            size_pane(*wbQuestion3, ScaleWidth(), Height() - pane_margin);
            wbQuestion3->set_visible(true);
            wbQuestion->set_visible(false);
            wbQuestion2->set_visible(false);
            if (!events_keep_window()) return;
            wbQuestion3->set_visible(false);
            if (!events_keep_window()) return;
            wbQuestion3->set_visible(true);
            break;
    }
    if (!events_keep_window()) return;
    current_tab = index;
}

void frmKaikei::Command1_Click() {
    auto& p = platform::current();
    Command1->setEnabled(false);
    Timer1->set_Enabled(false);
    set_topmost(false);

    QPointer<frmKaikei> self(this);
    const platform::MbResult answer = p.message_box->show(
        common::box(std::string("試験を終了してもよろしいですか？") + common::CRLF + common::CRLF +
                        "よろしければ「はい」をクリックしてください。",
                    common::kProgramTitle, platform::MbButtons::YesNo, platform::MbIcon::Warning,
                    platform::MbResult::No, false));
    if (!self || is_unloaded()) return;

    // Half a second in which the window takes no input, whatever the answer.
    wait_ticks(500);

    if (answer == platform::MbResult::No) {
        set_topmost(true);
        Command1->setEnabled(true);
        Timer1->set_Enabled(true);
        return;
    }
    if (calc_form().loaded()) calc_form().unload();
    Timer1->set_Enabled(false);
    enter_end_sequence();
}

void frmKaikei::enter_end_sequence() {
    block_unload = false;
    end_sequence_entered = true;
    end_sequence(*this);
}

void frmKaikei::show_modeless() { Form::show_modeless(); }

platform::BrowserPane& frmKaikei::question_pane(int n) {
    switch (n) {
        case 1:
            return *wbQuestion;
        case 2:
            return *wbQuestion2;
        case 3:
            return *wbQuestion3;
    }
    throw std::out_of_range("question pane 1 to 3");
}

bool frmKaikei::unloaded() const { return is_unloaded(); }

}  // namespace exam_window
