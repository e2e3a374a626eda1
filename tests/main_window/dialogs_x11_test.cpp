// The dialogs on a real X display: each is shown, saved as <dialog>.png in the build's
// test-shots folder for a look, and measured: the Japanese font is the installed substitute and no text is cut.
#include <gtest/gtest.h>

#include <QDir>
#include <QFontInfo>
#include <QGroupBox>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

#include "main_window_fixture.h"
#include "support/build_paths.h"
#include "support/screenshot.h"

namespace {

using namespace main_window;

class DialogsX11Test : public mw_test::MainWindowTest {
public:
    void SetUp() override {
        MainWindowTest::SetUp();
        common::install_fonts();
    }

    // Shows the dialog, saves its picture and checks every text in it.
    void shoot(common::Form& d, const char* name) {
        d.show_modeless();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        QTest::qWait(100);
        EXPECT_TRUE(fakes::save_screenshot(std::string(name) + ".png", &d));

        for (QLabel* l : d.findChildren<QLabel*>()) {
            SCOPED_TRACE(common::text_of(l));
            EXPECT_EQ(QFontInfo(l->font()).family(), QStringLiteral("IPAPGothic"));
            const int needed = l->wordWrap() ? l->heightForWidth(l->width()) : l->sizeHint().height();
            EXPECT_LE(needed, l->height()) << "text does not fit its label";
            EXPECT_LE(l->geometry().right(), l->parentWidget()->width()) << "label runs out of its container";
            EXPECT_LE(l->geometry().bottom(), l->parentWidget()->height()) << "label runs out of its container";
        }
        for (QPushButton* b : d.findChildren<QPushButton*>()) {
            SCOPED_TRACE(common::caption_of(b));
            EXPECT_LE(b->fontMetrics().horizontalAdvance(b->text()), b->width() - 8) << "caption does not fit";
            EXPECT_LE(b->geometry().right(), d.width());
            EXPECT_LE(b->geometry().bottom(), d.height());
        }
        for (QGroupBox* g : d.findChildren<QGroupBox*>()) {
            SCOPED_TRACE(g->title().toStdString());
            EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()), g->width() - 16);
            // What a frame holds stands below its title and its line, inside its border.
            QStyleOptionGroupBox option;
            option.initFrom(g);
            option.text = g->title();
            option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            const QRect inside = g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, g);
            for (QWidget* w : g->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                EXPECT_GE(w->y(), inside.top()) << w->metaObject()->className() << " on the frame's line";
                EXPECT_LE(w->geometry().bottom(), inside.bottom()) << w->metaObject()->className();
            }
        }
        // No two texts of one container overlap: each line of text can be read whole.
        const QList<QLabel*> labels = d.findChildren<QLabel*>();
        for (qsizetype i = 0; i < labels.size(); ++i)
            for (qsizetype j = i + 1; j < labels.size(); ++j) {
                if (labels[i]->parentWidget() != labels[j]->parentWidget()) continue;
                EXPECT_FALSE(labels[i]->geometry().intersects(labels[j]->geometry()))
                    << common::text_of(labels[i]) << " / " << common::text_of(labels[j]);
            }
    }
};

TEST_F(DialogsX11Test, FailureDialog) {
    auto& d = shipai_dialog().get();
    common::set_text(d.Label2, "データファイルの取得に失敗しました。インターネット環境の確認をお願いいたします。");
    shoot(d, "frmShipai");
}

TEST_F(DialogsX11Test, FailureDialogAfterARegistration) {
    auto& d = shipai_dialog().get();
    common::set_text(d.Label1, "次の理由により、登録されませんでした。");
    common::set_text(d.Label2, "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。");
    common::set_text(d.Label3,
                     "登録をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］ボタンを"
                     "クリックしてください。");
    shoot(d, "frmShipai_registration");
}

TEST_F(DialogsX11Test, InputErrorDialog) {
    auto& d = entry_miss_dialog().get();
    common::set_text(d.lblErrMsg, "メールアドレスに使用できない文字が含まれています。");
    shoot(d, "frmEntryMiss");
}

TEST_F(DialogsX11Test, ConfirmationDialog) {
    auto& d = user_info_dialog().get();
    common::set_text(d.lblName, "山田 太郎\r\nヤマダ タロウ\r\nYAMADA TARO");  // as the registration writes it
    common::set_text(d.lblSeibetu, "男");
    common::set_text(d.lblWork, "高校生");
    common::set_text(d.lblBirthday, "2006/04/01");
    common::set_text(d.lblEmail, "taro.yamada@example.jp");
    common::set_text(d.lblZipcode, "100-0001");
    common::set_text(d.lblAddress, "東京都千代田区千代田1-1");
    common::set_text(d.lblAddress2, "千代田ハイツ101号室");
    common::set_text(d.lblTel, "03-1234-5678");
    shoot(d, "frmUserInfo");
}

}  // namespace
