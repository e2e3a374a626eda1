#include "frm_test_info.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "module1.h"
#include "windows.h"

namespace launcher {

frmTestInfo::frmTestInfo() {
    make_dialog(this, common::kTestInfoWidth, common::kTestInfoHeight);
    common::lay_out_test_info(*this, *this, 4320, 4320);

    on_click(OKButton, this, "OKButton_Click", [this] { OKButton_Click(); });
    on_click(CancelButton, this, "CancelButton_Click", [this] { CancelButton_Click(); });
}

void frmTestInfo::Form_Load() {
    common::write_test_info_notes(*this);
}

void frmTestInfo::CancelButton_Click() {
    state().confirm_flag = true;
    forms().test_info.unload();
}

void frmTestInfo::OKButton_Click() {
    state().confirm_flag = false;
    forms().test_info.unload();
}

void frmTestInfo::show_modal_above_owner() {
    keep_above_sign_in_window(this);
    OKButton->setFocus();
    show_modal();
}

}  // namespace launcher
