#pragma once
// The small dialogs of the examination program: the failure dialog, the input-error dialog
// and the confirmation of the candidate's details. Each has one default instance; its
// caller fills the labels and shows it modal, and it answers by unloading itself.
#include <array>

#include "common/forms.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace main_window {

// A dialog without a close box: the window manager's close request and Esc are refused,
// so it can only be left through its buttons. Centred on the screen when shown.
class Dialog : public common::Form {
    Q_OBJECT
public:
    // fixed_border: not resizable and not in the taskbar. The size is the client area's.
    Dialog(bool fixed_border, double client_width, double client_height);

protected:
    void keyPressEvent(QKeyEvent* e) override;
};

class frmShipai : public Dialog {
    Q_OBJECT
public:
    frmShipai();

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* Label2;  // the reason
    QLabel* Label3;
    QPushButton* OKButton;      // "中断"
    QPushButton* CancelButton;  // "やり直し"

    void OKButton_Click();
    void CancelButton_Click();
};

class frmEntryMiss : public Dialog {
    Q_OBJECT
public:
    frmEntryMiss();

    QLabel* Label1;
    QGroupBox* Frame1;
    QLabel* lblErrMsg;  // the validation message
    QLabel* Label3;
    QPushButton* CancelButton;  // "入力内容の訂正"

    void CancelButton_Click();
    // Bound to no control; kept as the dialog's way to give up the sign-in.
    void abort_signin();
};

class frmUserInfo : public Dialog {
    Q_OBJECT
public:
    frmUserInfo();

    QLabel* Label1;
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QLabel* lblName;
    std::array<QLabel*, 7> Label2;  // the headings
    QLabel* lblSeibetu;
    QLabel* lblWork;
    QLabel* lblBirthday;
    QLabel* lblEmail;
    QLabel* lblZipcode;
    QLabel* lblAddress;
    QLabel* lblAddress2;
    QLabel* lblTel;
    QLabel* Label3;
    QPushButton* Command1;  // "訂正"
    QPushButton* Command2;  // "登録"

    void Command1_Click();
    void Command2_Click();
};

common::DefaultInstance<frmShipai>& shipai_dialog();
common::DefaultInstance<frmEntryMiss>& entry_miss_dialog();
common::DefaultInstance<frmUserInfo>& user_info_dialog();

}  // namespace main_window
