#include "frm_test_info.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "module1.h"
#include "windows.h"

namespace launcher {

frmTestInfo::frmTestInfo() {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    set_refuse_close(true);
    set_caption("試験内容の確認");
    const QFont font = common::pgothic(9.75);
    setFont(font);

    Frame1 = common::make_frame(this, "受験する試験の内容", 180, 240, 5595, 1515, font);
    Label1[0] = common::make_label(Frame1, "【試験種別】", 240, 480, 1395, 255, font);
    Label1[0]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblShikenName = common::make_label(Frame1, "", 1860, 480, 3555, 315, font);
    Label1[1] = common::make_label(Frame1, "【開始予定日時】", 240, 900, 1395, 255, font);
    Label1[1]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblStartTime = common::make_label(Frame1, "", 1860, 900, 3555, 315, font);
    // The notes are written by the load; the design holds a placeholder.
    for (int i = 0; i < 3; ++i) lblMsg[i] = common::make_label(this, "Label2", 240, 2100 + 540 * i, 5535, 435, font);
    OKButton = common::make_button(this, "やり直し", 1080, 4320, 1215, 375, font);
    CancelButton = common::make_button(this, "続行", 3660, 4320, 1215, 375, font);
    setTabOrder(OKButton, CancelButton);
    OKButton->setFocus();

    on_click(OKButton, this, "OKButton_Click", [this] { OKButton_Click(); });
    on_click(CancelButton, this, "CancelButton_Click", [this] { CancelButton_Click(); });

    centre_on_screen(this, 6030, 4950);
}

void frmTestInfo::Form_Load() {
    common::set_text(lblMsg[0], "※受験する試験について、上記のもので間違いがないか確認してください。");
    common::set_text(lblMsg[1], "※間違いがなければ、［続行］ボタンをクリックしてください。");
    common::set_text(lblMsg[2], "※間違っている場合には、［やり直し］ボタンをクリックしてください。");
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
