#pragma once
// The end of an examination worked in a word processor or spreadsheet: the after-time
// dialog, which counts the time since it opened and closes only once those programs are
// gone, and the end notice. Nothing opens either of them yet.
#include <QObject>
#include <array>
#include <cstdint>

#include "common/forms.h"

class QLabel;
class QPushButton;

namespace exam_window {

class frmTimeOut : public common::Form {
    Q_OBJECT
public:
    frmTimeOut();

    // --- controls ---
    QLabel* Label1 = nullptr;
    QLabel* lblRemaining = nullptr;
    QPushButton* Command1 = nullptr;  // "試験終了"
    common::Timer* Timer1 = nullptr;  // 100 ms

    // --- fields of the window ---
    uint32_t start_tick = 0;  // tick count when the dialog was loaded

    // --- event handlers (public so that tests can call them as the loop would) ---
    void Form_Load() override;
    void Form_Activate() override;
    void Timer1_Timer();
    void Command1_Click();
};

class frmEnd : public common::Form {
    Q_OBJECT
public:
    frmEnd();

    std::array<QLabel*, 2> Label1{};
    QPushButton* cmdOk = nullptr;  // "はい"

    void Form_Load() override;
    void cmdOk_Click();
};

common::DefaultInstance<frmTimeOut>& time_out_form();
common::DefaultInstance<frmEnd>& end_form();

}  // namespace exam_window
