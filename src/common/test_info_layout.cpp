#include "test_info_layout.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace common {

void lay_out_test_info(Form& dialog, TestInfoControls& c, double ok_top, double cancel_top) {
    dialog.set_caption("試験内容の確認");
    const QFont font = pgothic(9.75);
    dialog.setFont(font);

    c.Frame1 = make_frame(&dialog, "受験する試験の内容", 180, 240, 5595, 1515, font);
    c.Label1[0] = make_label(c.Frame1, "【試験種別】", 240, 480, 1395, 255, font);
    c.Label1[0]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    c.lblShikenName = make_label(c.Frame1, "", 1860, 480, 3555, 315, font);
    c.Label1[1] = make_label(c.Frame1, "【開始予定日時】", 240, 900, 1395, 255, font);
    c.Label1[1]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    c.lblStartTime = make_label(c.Frame1, "", 1860, 900, 3555, 315, font);
    for (int i = 0; i < 3; ++i) c.lblMsg[i] = make_label(&dialog, "Label2", 240, 2100 + 540 * i, 5535, 435, font);
    c.OKButton = make_button(&dialog, "やり直し", 1080, ok_top, 1215, 375, font);
    c.CancelButton = make_button(&dialog, "続行", 3660, cancel_top, 1215, 375, font);
    QWidget::setTabOrder(c.OKButton, c.CancelButton);
    c.OKButton->setFocus();
}

void write_test_info_notes(TestInfoControls& c) {
    set_text(c.lblMsg[0], "※受験する試験について、上記のもので間違いがないか確認してください。");
    set_text(c.lblMsg[1], "※間違いがなければ、［続行］ボタンをクリックしてください。");
    set_text(c.lblMsg[2], "※間違っている場合には、［やり直し］ボタンをクリックしてください。");
}

}  // namespace common
