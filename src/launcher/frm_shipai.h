#pragma once
// The launcher's failure dialog: why the sign-in or the start failed, with the way back
// to the sign-in window ("修正") or out of the launcher ("中断").
#include "common/forms.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace launcher {

inline const char* const kShipaiBuiltInReason = "試験番号、または認証パスワードが正しくありません。";

class frmShipai : public common::Form {
public:
    frmShipai();

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label2;  // the reason
    QLabel* Label3;
    QPushButton* OKButton;  // "中断"
    QPushButton* Command1;  // "修正"

    void Command1_Click();
    void OKButton_Click();
    // The same as "修正", each step with its errors ignored. Nothing calls it.
    void back_to_signin();

    // Modeless, yet above the sign-in window, so its "修正" always stays within reach.
    void show_modeless_above_owner();
    void show_modal_above_owner();
};

}  // namespace launcher
