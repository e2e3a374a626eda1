#include "frm_shipai.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "frm_main.h"
#include "platform/platform.h"
#include "windows.h"

namespace launcher {

frmShipai::frmShipai() {
    make_dialog(this, 5490, 4200);
    set_caption("試験ログインの失敗");
    const QFont font = common::pgothic(12);
    setFont(font);

    Label1 = common::make_label(this, "次の理由により、認証されませんでした。", 300, 180, 4575, 495, font);
    Frame1 = common::make_frame(this, "否認の理由", 240, 840, 4815, 1395, font);
    Label2 = common::make_label(Frame1, kShipaiBuiltInReason, 120, 360, 4515, 795, font);
    Label3 = common::make_label(this, "中断してプログラムを終了するには［中断］ボタンをクリックしてください。", 360, 2460,
                                4575, 855, font);
    OKButton = common::make_button(this, "中断", 840, 3480, 1215, 495, font);
    Command1 = common::make_button(this, "修正", 3000, 3480, 1215, 495, font);
    setTabOrder(OKButton, Command1);
    OKButton->setFocus();

    on_click(OKButton, this, "OKButton_Click", [this] { OKButton_Click(); });
    on_click(Command1, this, "Command1_Click", [this] { Command1_Click(); });
}

void frmShipai::Command1_Click() {
    forms().main.get().Command1->setEnabled(true);
    forms().shipai.unload();
}

void frmShipai::OKButton_Click() { platform::current().process->end_program(); }

void frmShipai::back_to_signin() {
    common::ignore_errors([] { forms().main.get().Command1->setEnabled(true); });
    common::ignore_errors([] { forms().shipai.unload(); });
}

void frmShipai::show_modeless_above_owner() {
    keep_above_sign_in_window(this);
    show_modeless();
    OKButton->setFocus();
}

void frmShipai::show_modal_above_owner() {
    keep_above_sign_in_window(this);
    OKButton->setFocus();
    show_modal();
}

}  // namespace launcher
