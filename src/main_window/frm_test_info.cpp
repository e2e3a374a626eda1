#include "frm_test_info.h"

#include <QPushButton>

#include "common/state.h"
#include "frm_main.h"

namespace main_window {

frmTestInfo::frmTestInfo() : Dialog(true, common::kTestInfoWidth, common::kTestInfoHeight) {
    // No window icon of its own, and the buttons a little higher than in the launcher's.
    common::lay_out_test_info(*this, *this, 4200, 4260);
    common::connect_click(OKButton, "OKButton_Click", [this] { OKButton_Click(); });
    common::connect_click(CancelButton, "CancelButton_Click", [this] { CancelButton_Click(); });
}

void frmTestInfo::Form_Load() { common::write_test_info_notes(*this); }

void frmTestInfo::CancelButton_Click() {
    common::state().confirm_flag = true;
    test_info_dialog().unload();
}

void frmTestInfo::OKButton_Click() {
    common::state().confirm_flag = false;
    // A page without the fields is left as it is; a browser that fails keeps the dialog
    // open with its answer given, so the candidate can still choose.
    platform::BrowserPane& page = *main_form().get().wbMain;
    page.set_field("ExamID", "");
    page.set_field("ExamPass", "");
    page.focus_field("ExamID");
    test_info_dialog().unload();
}

common::DefaultInstance<frmTestInfo>& test_info_dialog() {
    static common::DefaultInstance<frmTestInfo> instance;
    return instance;
}

}  // namespace main_window
