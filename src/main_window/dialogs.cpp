#include "dialogs.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "common/state.h"
#include "frm_main.h"

namespace main_window {

using common::make_button;
using common::make_frame;
using common::make_label;

Dialog::Dialog(bool fixed_border, double client_width, double client_height) {
    // No control box: a title bar without close, minimize or maximize buttons. A dialog in
    // Qt's sense, whatever its border: only a dialog's X window is marked transient for the
    // window it is opened over, which a window manager keeps it with.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    set_control_box(false);
    set_show_in_taskbar(!fixed_border);
    if (fixed_border) setFixedSize(common::twips_to_px(client_width), common::twips_to_px(client_height));
    set_client_size(client_width, client_height);
    set_start_centred(true);
}

void Dialog::keyPressEvent(QKeyEvent* e) {
    // Esc would be a way out that answers nothing.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    common::Form::keyPressEvent(e);
}

// ---------------------------------------------------------------------------------------

frmShipai::frmShipai() : Dialog(true, 5490, 4200) {
    const QFont font = common::pgothic(12);
    setFont(font);
    set_caption("試験ログインの失敗");
    Label1 = make_label(this, "次の理由により、認証されませんでした。", 300, 180, 4575, 495, font);
    Frame1 = make_frame(this, "否認の理由", 240, 840, 4815, 1395, font);
    Label2 = make_label(Frame1, "試験番号、または認証パスワードが正しくありません。", 120, 360, 4515, 795, font);
    Label3 = make_label(this,
                        "認証をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］"
                        "ボタンをクリックしてください。",
                        360, 2460, 4575, 855, font);
    OKButton = make_button(this, "中断", 780, 3480, 1215, 495, font);
    CancelButton = make_button(this, "やり直し", 3120, 3480, 1215, 495, font);
    setTabOrder(OKButton, CancelButton);
    OKButton->setFocus();
    common::connect_click(OKButton, "OKButton_Click", [this] { OKButton_Click(); });
    common::connect_click(CancelButton, "CancelButton_Click", [this] { CancelButton_Click(); });
}

void frmShipai::OKButton_Click() {
    main_form().unload();
    shipai_dialog().unload();
}

void frmShipai::CancelButton_Click() {
    // The sign-in fields are cleared for a new try where the page shown has them.
    if (frmMain* m = main_form().peek()) {
        platform::BrowserPane* page = m->wbMain.get();
        common::ignore_errors([&] { page->set_field("ExamID", ""); });
        common::ignore_errors([&] { page->set_field("ExamPass", ""); });
        common::ignore_errors([&] { page->focus_field("ExamID"); });
    }
    shipai_dialog().unload();
}

// ---------------------------------------------------------------------------------------

frmEntryMiss::frmEntryMiss() : Dialog(true, 5490, 4200) {
    const QFont font = common::pgothic(12);
    setFont(font);
    set_caption("入力エラー");
    Label1 = make_label(this, "入力内容にエラーがあります。", 300, 180, 4575, 495, font);
    Frame1 = make_frame(this, "エラーの理由", 240, 840, 4815, 1575, font);
    lblErrMsg = make_label(Frame1, "試験番号、または認証パスワードが正しくありません。", 120, 360, 4515, 1095, font);
    Label3 = make_label(this, "［入力内容の訂正］ボタンをクリックして、入力画面に戻ってください。", 360, 2580, 4575,
                        855, font);
    CancelButton = make_button(this, "入力内容の訂正", 1560, 3540, 1995, 495, font);
    CancelButton->setFocus();
    common::connect_click(CancelButton, "CancelButton_Click", [this] { CancelButton_Click(); });
}

void frmEntryMiss::CancelButton_Click() { entry_miss_dialog().unload(); }

void frmEntryMiss::abort_signin() {
    main_form().unload();
    entry_miss_dialog().unload();
}

// ---------------------------------------------------------------------------------------

frmUserInfo::frmUserInfo() : Dialog(false, 7365, 5190) {
    const QFont font = common::pgothic(9.75);
    setFont(font);
    set_caption("受験者情報の内容確認");
    Label1 = make_label(this, "入力内容を確認してください。", 360, 180, 5235, 315, font);
    Frame1 = make_frame(this, "入力内容", 240, 600, 6495, 3255, font);
    // A frame's title stands above its line here, not on it: the frame for
    // the names is a little taller and its label starts below the line.
    Frame2 = make_frame(Frame1, "お名前", 180, 300, 2655, 1380, font);
    // Until the registration fills them, the value labels show their own names.
    lblName = make_label(Frame2, "lblName", 120, 330, 2415, 915, font);
    Label2[0] = make_label(Frame1, "【性別】", 3000, 420, 1035, 255, font);
    lblSeibetu = make_label(Frame1, "lblSeibetu", 4320, 420, 2055, 315, font);
    Label2[1] = make_label(Frame1, "【職業】", 3000, 840, 1035, 255, font);
    lblWork = make_label(Frame1, "lblWork", 4320, 840, 2055, 315, font);
    Label2[2] = make_label(Frame1, "【生年月日】", 3000, 1260, 1155, 255, font);
    lblBirthday = make_label(Frame1, "lblBirthday", 4320, 1260, 2055, 315, font);
    // Wider than the other headings: the substitute font needs more than 1335 twips for it,
    // and the room up to its value label is free.
    Label2[3] = make_label(Frame1, "【メールアドレス】", 180, 1740, 1740, 255, font);
    lblEmail = make_label(Frame1, "lblEmail", 1920, 1740, 4395, 255, font);
    // The lines below stand 270 twips apart where the design has 240: the substitute font's
    // lines are 17 pixels high, and 16 pixels apart they would touch.
    constexpr double row = 270;
    Label2[4] = make_label(Frame1, "【郵便番号】", 180, 2040, 1035, 255, font);
    lblZipcode = make_label(Frame1, "lblZipcode", 1920, 2040, 4395, 255, font);
    Label2[5] = make_label(Frame1, "【住所】", 180, 2040 + row, 1035, 255, font);
    lblAddress = make_label(Frame1, "lblAddress", 1920, 2040 + row, 4395, 255, font);
    lblAddress2 = make_label(Frame1, "lblAddress2", 1920, 2040 + 2 * row, 4395, 255, font);
    Label2[6] = make_label(Frame1, "【電話番号】", 180, 2040 + 3 * row, 1035, 255, font);
    lblTel = make_label(Frame1, "lblTel", 1920, 2040 + 3 * row, 4395, 255, font);
    Label3 = make_label(this,
                        "上記の内容で登録してよろしければ［登録］ボタンを、訂正する場合には［訂正］ボタンをクリックして"
                        "ください。",
                        420, 3960, 6255, 420, font);  // two lines of the substitute font
    Command1 = make_button(this, "訂正", 600, 4500, 1995, 495, font);
    Command2 = make_button(this, "登録", 4560, 4440, 1935, 555, font);
    setTabOrder(Command1, Command2);
    Command1->setFocus();
    common::connect_click(Command1, "Command1_Click", [this] { Command1_Click(); });
    common::connect_click(Command2, "Command2_Click", [this] { Command2_Click(); });
}

void frmUserInfo::Command1_Click() {
    common::state().confirm_flag = false;
    user_info_dialog().unload();
}

void frmUserInfo::Command2_Click() {
    common::state().confirm_flag = true;
    user_info_dialog().unload();
}

// ---------------------------------------------------------------------------------------

common::DefaultInstance<frmShipai>& shipai_dialog() {
    static common::DefaultInstance<frmShipai> instance;
    return instance;
}

common::DefaultInstance<frmEntryMiss>& entry_miss_dialog() {
    static common::DefaultInstance<frmEntryMiss> instance;
    return instance;
}

common::DefaultInstance<frmUserInfo>& user_info_dialog() {
    static common::DefaultInstance<frmUserInfo> instance;
    return instance;
}

}  // namespace main_window
