#pragma once
// The calculator: a small four-function window that stays above the others at the
// screen's top-left corner, worked with its buttons or the keyboard.
#include <QObject>
#include <array>
#include <cstdint>
#include <string>

#include "common/forms.h"

class QKeyEvent;
class QLabel;
class QPushButton;

namespace exam_window {

class frmCalc : public common::Form {
    Q_OBJECT
public:
    frmCalc();

    // --- controls ---
    QLabel* lblDisplay = nullptr;
    std::array<QPushButton*, 10> cmdNum{};   // "0" to "9"
    std::array<QPushButton*, 5> cmdEnzan{};  // "＋", "－", "×", "÷", "＝"
    QPushButton* cmdClear = nullptr;

    // --- fields of the window ---
    double accumulator = 0;  // running value of the chain
    double operand = 0;      // kept after "＝" for a repeated "＝"; 0 counts as none
    bool digit_entered = false;
    bool has_accumulator = false;
    int16_t pending_op = -1;  // -1 none, else the index of its key (0 ＋, 1 －, 2 ×, 3 ÷)

    // --- event handlers (public so that tests can call them as the loop would) ---
    void Form_Load() override;
    // key_ascii: the character code of the key pressed.
    void Form_KeyPress(int16_t key_ascii);
    // 0 to 9: that digit; 10: the decimal point (keyboard only).
    void cmdNum_Click(int16_t index);
    void cmdEnzan_Click(int16_t index);
    void cmdClear_Click();

    void apply_pending_op();
    // Kept though no key uses them.
    void reset_display();
    // An older one-step evaluator: 0 ×, 1 ＋, 2 ÷, 3 －.
    void evaluate_entry(int16_t op);

    // What the display shows after a division by zero or a result beyond a double.
    static const char* const kErrorText;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    double display_value() const;
    void set_display(const std::string& text);
    // Shows accumulator; a value that is no finite number shows the error and ends the chain.
    void show_accumulator();
    void show_error();
    void preview_key(QKeyEvent* e);

    bool delivering_key_ = false;
};

// The calculator's one instance, created on first use.
common::DefaultInstance<frmCalc>& calc_form();

}  // namespace exam_window
