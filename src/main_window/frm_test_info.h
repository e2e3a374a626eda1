#pragma once
// The examination program's own examination confirmation: the name and start of the
// examination, answered through state().confirm_flag. Nothing in this program opens it;
// the launcher shows its own before the program starts.
#include "common/test_info_layout.h"
#include "dialogs.h"

namespace main_window {

class frmTestInfo : public Dialog, public common::TestInfoControls {
    Q_OBJECT
public:
    frmTestInfo();

    void Form_Load() override;
    // "続行": accepted.
    void CancelButton_Click();
    // "やり直し": declined; the sign-in fields of the main window's page are cleared for a
    // new try.
    void OKButton_Click();
};

common::DefaultInstance<frmTestInfo>& test_info_dialog();

}  // namespace main_window
