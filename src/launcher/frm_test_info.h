#pragma once
// Confirmation of the examination to be sat; answers through confirm_flag.
#include "common/forms.h"
#include "common/test_info_layout.h"

namespace launcher {

class frmTestInfo : public common::Form, public common::TestInfoControls {
public:
    frmTestInfo();

    void Form_Load() override;
    void CancelButton_Click();
    void OKButton_Click();

    void show_modal_above_owner();
};

}  // namespace launcher
