#include "calculator.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <charconv>
#include <cmath>

#include "common/text.h"
#include "platform/dispatch_gate.h"
#include "platform/platform.h"

namespace exam_window {

namespace {

constexpr double kClientWidth = 3720;
constexpr double kClientHeight = 4710;
constexpr double kKey = 615;
constexpr double kDisplayPoints = 36;
constexpr double kSmallestDisplayPoints = 9;

// At most 15 significant digits, "." whatever the locale, exponent form for very large
// and very small magnitudes.
std::string number_text(double v) {
    if (v == 0) v = 0;  // no "-0"
    char buffer[40];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15).ptr;
    std::string s(buffer, end);
    for (char& c : s)
        if (c == 'e') c = 'E';
    return s;
}

}  // namespace

const char* const frmCalc::kErrorText = "エラー";

frmCalc::frmCalc() {
    // Fixed border, a title bar without any of its buttons.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    set_control_box(false);
    setFixedSize(common::twips_to_px(kClientWidth), common::twips_to_px(kClientHeight));
    set_caption("電卓");

    lblDisplay = new QLabel(this);
    lblDisplay->setTextFormat(Qt::PlainText);
    lblDisplay->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    common::place(lblDisplay, 240, 240, 3255, 735);
    set_display("0");

    const QFont key_font = common::pgothic(15.75, true);
    const QFont big_font = common::pgothic(20.25, true);
    const double lefts[3] = {120, 840, 1560};
    const double tops[3] = {3120, 2280, 1440};  // rows of 1-3, 4-6, 7-9
    for (int d = 1; d <= 9; ++d)
        cmdNum[d] = common::make_button(this, std::to_string(d), lefts[(d - 1) % 3], tops[(d - 1) / 3], kKey, kKey,
                                        key_font);
    cmdNum[0] = common::make_button(this, "0", 120, 3960, 1335, kKey, key_font);

    struct Op {
        const char* caption;
        double left, top, width;
    };
    const Op ops[5] = {{"＋", 2280, 3120, kKey},
                       {"－", 3000, 2280, kKey},
                       {"×", 2280, 2280, kKey},
                       {"÷", 3000, 1440, kKey},
                       {"＝", 2280, 3960, 1335}};
    for (int i = 0; i < 5; ++i) {
        cmdEnzan[i] =
            common::make_button(this, ops[i].caption, ops[i].left, ops[i].top, ops[i].width, kKey, i == 4 ? big_font : key_font);
        common::set_background(cmdEnzan[i], common::rgb(192, 192, 192));
    }
    cmdClear = common::make_button(this, "Ｃ", 2280, 1440, kKey, kKey, big_font);
    common::set_background(cmdClear, common::rgb(255, 128, 128));

    for (int16_t i = 0; i < 10; ++i)
        common::connect_click(cmdNum[i], "cmdNum_Click", [this, i] { cmdNum_Click(i); });
    for (int16_t i = 0; i < 5; ++i)
        common::connect_click(cmdEnzan[i], "cmdEnzan_Click", [this, i] { cmdEnzan_Click(i); });
    common::connect_click(cmdClear, "cmdClear_Click", [this] { cmdClear_Click(); });

    // The window sees every key before the focused button, which then gets it as well:
    // Enter and Space still press the button that has the focus.
    for (QPushButton* b : findChildren<QPushButton*>()) {
        b->setAutoDefault(true);
        b->installEventFilter(this);
    }
}

void frmCalc::Form_Load() {
    accumulator = 0;
    operand = 0;
    pending_op = -1;
    digit_entered = false;
    has_accumulator = false;
    move(0, 0);
    platform::current().desktop->set_topmost(this, true);
}

double frmCalc::display_value() const { return common::leading_number(common::text_of(lblDisplay)); }

void frmCalc::set_display(const std::string& text) {
    common::set_text(lblDisplay, text);
    // A long figure is drawn smaller rather than cut off: the display is only about eight
    // digits wide at its design size, and a result may have fifteen.
    const QString shown = lblDisplay->text();
    double points = kDisplayPoints;
    QFont font = common::pgothic(points);
    while (points > kSmallestDisplayPoints && QFontMetrics(font).horizontalAdvance(shown) > lblDisplay->width()) {
        points -= 0.75;
        font.setPointSizeF(points);
    }
    lblDisplay->setFont(font);
}

void frmCalc::show_error() {
    set_display(kErrorText);
    accumulator = 0;
    operand = 0;
    pending_op = -1;
    digit_entered = false;
    has_accumulator = false;
}

void frmCalc::show_accumulator() {
    if (!std::isfinite(accumulator)) {
        show_error();
        return;
    }
    set_display(number_text(accumulator));
}

void frmCalc::cmdNum_Click(int16_t index) {
    if (index < 0 || index > 10) return;
    std::string text = common::text_of(lblDisplay);
    if (text == "0" || !digit_entered) {
        text.clear();
        operand = 0;
    }
    if (index <= 9) {
        text += static_cast<char>('0' + index);
    } else if (text.empty()) {
        text = "0.";
    } else if (text.find('.') == std::string::npos) {
        text += '.';
    }
    set_display(text);
    digit_entered = true;
}

void frmCalc::apply_pending_op() {
    switch (pending_op) {
        case 0: accumulator = operand + accumulator; break;
        case 1: accumulator = accumulator - operand; break;
        case 2: accumulator = operand * accumulator; break;
        // A division by zero gives no finite number; show_accumulator turns it into the error.
        case 3: accumulator = accumulator / operand; break;
        default: break;
    }
}

void frmCalc::cmdEnzan_Click(int16_t index) {
    if (index < 0 || index > 4) return;
    if (digit_entered) {
        if (has_accumulator) {
            operand = display_value();
            apply_pending_op();
        } else {
            accumulator = display_value();
            has_accumulator = true;
        }
        if (index == 4) {
            has_accumulator = false;
        } else {
            operand = 0;
            pending_op = index;
        }
        show_accumulator();
    } else if (index == 4) {
        if (operand == 0) operand = accumulator;
        apply_pending_op();
        show_accumulator();
        has_accumulator = false;
    } else {
        accumulator = display_value();
        operand = 0;
        has_accumulator = true;
        pending_op = index;
    }
    digit_entered = false;
}

void frmCalc::cmdClear_Click() {
    set_display("0");
    accumulator = 0;
    operand = 0;
    pending_op = -1;
    digit_entered = false;
    has_accumulator = false;
}

void frmCalc::reset_display() {
    set_display("0");
    accumulator = 0;
    operand = 0;
    pending_op = -1;
}

void frmCalc::evaluate_entry(int16_t op) {
    if (accumulator == 0) {
        accumulator = display_value();
        set_display("0");
        return;
    }
    const double v = display_value();
    switch (op) {
        case 0: operand = v * accumulator; break;
        case 1: operand = v + accumulator; break;
        case 2: operand = accumulator / v; break;
        case 3: operand = accumulator - v; break;
        default: break;
    }
    if (!std::isfinite(operand)) {
        show_error();
        return;
    }
    std::string shown = operand < 0 ? "" : " ";
    shown += number_text(operand);
    set_display(shown);
    accumulator = operand;
}

void frmCalc::Form_KeyPress(int16_t key_ascii) {
    if (key_ascii >= '0' && key_ascii <= '9') {
        cmdNum_Click(static_cast<int16_t>(key_ascii - '0'));
        return;
    }
    switch (key_ascii) {
        case '.': cmdNum_Click(10); break;
        case 'C':
        case 'c': cmdClear_Click(); break;
        case '+': cmdEnzan_Click(0); break;
        case '-': cmdEnzan_Click(1); break;
        case '*': cmdEnzan_Click(2); break;
        case '/': cmdEnzan_Click(3); break;
        case '=': cmdEnzan_Click(4); break;
        default: break;
    }
}

void frmCalc::preview_key(QKeyEvent* e) {
    const QString text = e->text();
    if (text.size() != 1 || text.at(0).unicode() >= 128) return;
    const auto code = static_cast<int16_t>(text.at(0).unicode());
    if (platform::dispatch_blocked()) return;
    common::run_handler("Form_KeyPress", [this, code] { Form_KeyPress(code); });
}

bool frmCalc::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::KeyPress || delivering_key_) return common::Form::eventFilter(watched, e);
    auto* key = static_cast<QKeyEvent*>(e);
    preview_key(key);
    if (is_unloaded()) return true;
    // Now the button's own turn; a key it does not take comes up to this window, which
    // has seen it already.
    delivering_key_ = true;
    QCoreApplication::sendEvent(watched, e);
    delivering_key_ = false;
    e->accept();
    return true;
}

void frmCalc::keyPressEvent(QKeyEvent* e) {
    // Keys sent to the window itself, with no button focused.
    if (!delivering_key_) preview_key(e);
    common::Form::keyPressEvent(e);
}

common::DefaultInstance<frmCalc>& calc_form() {
    static common::DefaultInstance<frmCalc> instance;
    return instance;
}

}  // namespace exam_window
