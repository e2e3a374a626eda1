#pragma once
// Confirmation of the examination to be sat; answers through confirm_flag.
#include "common/forms.h"

class QGroupBox;
class QLabel;
class QPushButton;

namespace launcher {

class frmTestInfo : public common::Form {
public:
    frmTestInfo();

    QGroupBox* Frame1;
    QLabel* Label1[2];
    QLabel* lblShikenName;
    QLabel* lblStartTime;
    QLabel* lblMsg[3];
    QPushButton* OKButton;      // "やり直し": declines
    QPushButton* CancelButton;  // "続行": accepts

    void Form_Load() override;
    void CancelButton_Click();
    void OKButton_Click();

    void show_modal_above_owner();
};

}  // namespace launcher
