#include "after_time.h"

#include <QLabel>
#include <QPushButton>
#include <optional>
#include <string>

#include "common/message_boxes.h"
#include "common/text.h"
#include "platform/platform.h"

namespace exam_window {

using common::CRLF;

namespace {

// A title bar without any of its buttons, centred on the screen at the given inner size
// (twips); the window manager's close request is refused.
void no_control_box(common::Form* f, double width, double height) {
    f->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    f->set_control_box(false);
    f->set_client_size(width, height);
    f->set_start_centred(true);
}

void set_text_colour(QWidget* w, const QColor& c) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    p.setColor(QPalette::ButtonText, c);
    w->setPalette(p);
}

QFont gothic(double points, bool bold) {
    QFont f(QString::fromUtf8("ＭＳ ゴシック"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

// Built by appending: prepending to a temporary string trips a false overlap warning of
// the optimiser.
std::string two_digits(int32_t n) {
    std::string text = n < 10 ? "0" : "";
    text += std::to_string(n);
    return text;
}

}  // namespace

frmTimeOut::frmTimeOut() {
    no_control_box(this, 5250, 3690);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, true);
    setFixedSize(common::twips_to_px(5250), common::twips_to_px(3690));
    set_caption("タイムアウト");

    Label1 = common::make_label(this, "", 120, 120, 4935, 2715, common::pgothic(15.75, true));
    set_text_colour(Label1, common::rgb(192, 0, 0));

    lblRemaining = common::make_label(this, "残り時間：00:00", 180, 3180, 3015, 525, gothic(18, true));
    lblRemaining->setWordWrap(false);
    lblRemaining->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    common::set_background(lblRemaining, common::rgb(192, 192, 192));
    set_text_colour(lblRemaining, common::rgb(255, 0, 0));

    Command1 = common::make_button(this, "試験終了", 3300, 3120, 1815, 495, common::pgothic(18, true));
    common::set_background(Command1, common::rgb(255, 192, 192));
    common::connect_click(Command1, "Command1_Click", [this] { Command1_Click(); });

    Timer1 = new common::Timer(this, "Timer1_Timer", 100, true, [this] { Timer1_Timer(); });
}

void frmTimeOut::Form_Load() {
    common::set_text(Label1, std::string("解答時間が終了しました。") + CRLF + CRLF +
                                 "指示に従いファイルを保存してください。1分以上経過すると減点対象となります。" + CRLF +
                                 "保存・終了できましたら［試験終了］ボタンをクリックしてください。");
    start_tick = platform::current().clock->tick_count();
}

void frmTimeOut::Form_Activate() { platform::current().desktop->set_topmost(this, true); }

void frmTimeOut::Timer1_Timer() {
    // The unsigned difference keeps counting up across a wrap of the tick count, and the
    // seconds are kept in 32 bits, so a dialog left open for hours never stops its counter.
    const uint32_t elapsed = platform::elapsed_ms(start_tick, platform::current().clock->tick_count());
    const int32_t seconds = common::round_to_i32(elapsed / 1000.0);
    const int32_t minutes = seconds / 60;
    const int32_t rest = seconds - 60 * minutes;
    common::set_text(lblRemaining, "経過時間：" + std::to_string(minutes) + ":" + two_digits(rest));
}

void frmTimeOut::Command1_Click() {
    std::string message;
    auto& desktop = *platform::current().desktop;
    // Each class stands for its kind of program: LibreOffice Writer and Calc, AbiWord,
    // Gnumeric and the others of platform/program_kinds.h.
    if (desktop.find_window("OpusApp", std::nullopt) != 0)
        message = std::string("Wordが起動しています。") + CRLF + CRLF +
                  "Wordをすべて終了してから、試験終了を実行してください。";
    if (desktop.find_window("XLMAIN", std::nullopt) != 0)
        message = std::string("Excelが起動しています。") + CRLF + CRLF +
                  "Excelをすべて終了してから、試験終了を実行してください。";
    if (!message.empty()) {
        platform::current().message_box->show(common::box(message, "", platform::MbButtons::Ok, platform::MbIcon::None,
                                                          platform::MbResult::Ok, false));
        return;
    }
    time_out_form().unload();
}

// ---------------------------------------------------------------------------------------

frmEnd::frmEnd() {
    no_control_box(this, 7110, 4515);
    set_caption("試験終了");
    const QFont font = common::pgothic(18, true);
    Label1[0] = common::make_label(this, "Label1", 360, 600, 6495, 615, font);
    Label1[1] = common::make_label(this, "Label1", 360, 1680, 6495, 1575, font);
    for (QLabel* l : Label1) set_text_colour(l, common::rgb(192, 0, 0));
    cmdOk = common::make_button(this, "はい", 5040, 3840, 1455, 495, common::pgothic(12, true));
    common::connect_click(cmdOk, "cmdOk_Click", [this] { cmdOk_Click(); });
}

void frmEnd::Form_Load() {
    common::set_text(Label1[0], "試験はすべて終了しました。");
    common::set_text(Label1[1], "試験結果を表示します。");
}

void frmEnd::cmdOk_Click() { end_form().unload(); }

// ---------------------------------------------------------------------------------------

common::DefaultInstance<frmTimeOut>& time_out_form() {
    static common::DefaultInstance<frmTimeOut> instance;
    return instance;
}

common::DefaultInstance<frmEnd>& end_form() {
    static common::DefaultInstance<frmEnd> instance;
    return instance;
}

}  // namespace exam_window
