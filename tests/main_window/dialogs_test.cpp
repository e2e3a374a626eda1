// The three dialogs: their texts and layout, their answers, and that they can be left only
// through their buttons.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>

#include "main_window_fixture.h"

namespace {

using namespace main_window;
using mw_test::soon;

class DialogsTest : public mw_test::MainWindowTest {};

QRect px(int l, int t, int w, int h) {
    return QRect(common::twips_to_px(l), common::twips_to_px(t), common::twips_to_px(w), common::twips_to_px(h));
}

struct LabelCase {
    const QLabel* label;
    const char* text;
    QRect geometry;
};

void expect_labels(const std::vector<LabelCase>& cases, double points) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::text_of(c.label), c.text);
        EXPECT_EQ(c.label->textFormat(), Qt::PlainText);
        EXPECT_EQ(c.label->geometry(), c.geometry);
        EXPECT_EQ(c.label->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
        EXPECT_DOUBLE_EQ(c.label->font().pointSizeF(), points);
        EXPECT_FALSE(c.label->font().bold());
    }
}

TEST_F(DialogsTest, FailureDialogShowsItsTextsAtCreation) {
    auto& d = shipai_dialog().get();
    EXPECT_EQ(d.caption(), "試験ログインの失敗");
    EXPECT_EQ(d.size(), QSize(366, 280));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());  // fixed border
    expect_labels({{d.Label1, "次の理由により、認証されませんでした。", px(300, 180, 4575, 495)},
                   {d.Label2, "試験番号、または認証パスワードが正しくありません。", px(120, 360, 4515, 795)},
                   {d.Label3,
                    "認証をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］ボタンを"
                    "クリックしてください。",
                    px(360, 2460, 4575, 855)}},
                  12);
    EXPECT_EQ(d.Label2->parentWidget(), d.Frame1);
    EXPECT_EQ(d.Frame1->title().toStdString(), "否認の理由");
    EXPECT_EQ(d.Frame1->geometry(), px(240, 840, 4815, 1395));
    EXPECT_EQ(common::caption_of(d.OKButton), "中断");
    EXPECT_EQ(d.OKButton->geometry(), px(780, 3480, 1215, 495));
    EXPECT_EQ(common::caption_of(d.CancelButton), "やり直し");
    EXPECT_EQ(d.CancelButton->geometry(), px(3120, 3480, 1215, 495));
    EXPECT_EQ(d.OKButton->nextInFocusChain(), d.CancelButton);
}

TEST_F(DialogsTest, InputErrorDialogShowsItsTextsAtCreation) {
    auto& d = entry_miss_dialog().get();
    EXPECT_EQ(d.caption(), "入力エラー");
    EXPECT_EQ(d.size(), QSize(366, 280));
    expect_labels({{d.Label1, "入力内容にエラーがあります。", px(300, 180, 4575, 495)},
                   {d.lblErrMsg, "試験番号、または認証パスワードが正しくありません。", px(120, 360, 4515, 1095)},
                   {d.Label3, "［入力内容の訂正］ボタンをクリックして、入力画面に戻ってください。",
                    px(360, 2580, 4575, 855)}},
                  12);
    EXPECT_EQ(d.Frame1->title().toStdString(), "エラーの理由");
    EXPECT_EQ(d.Frame1->geometry(), px(240, 840, 4815, 1575));
    EXPECT_EQ(common::caption_of(d.CancelButton), "入力内容の訂正");
    EXPECT_EQ(d.CancelButton->geometry(), px(1560, 3540, 1995, 495));
}

TEST_F(DialogsTest, ConfirmationDialogShowsItsTextsAtCreation) {
    auto& d = user_info_dialog().get();
    EXPECT_EQ(d.caption(), "受験者情報の内容確認");
    EXPECT_EQ(d.size(), QSize(491, 346));
    EXPECT_NE(d.minimumSize(), d.maximumSize());  // an ordinary, resizable border
    expect_labels({{d.Label1, "入力内容を確認してください。", px(360, 180, 5235, 315)},
                   {d.Label2[0], "【性別】", px(3000, 420, 1035, 255)},
                   {d.Label2[1], "【職業】", px(3000, 840, 1035, 255)},
                   {d.Label2[2], "【生年月日】", px(3000, 1260, 1155, 255)},
                   {d.Label2[3], "【メールアドレス】", px(180, 1740, 1740, 255)},
                   {d.Label2[4], "【郵便番号】", px(180, 2040, 1035, 255)},
                   {d.Label2[5], "【住所】", px(180, 2310, 1035, 255)},
                   {d.Label2[6], "【電話番号】", px(180, 2850, 1035, 255)},
                   {d.Label3,
                    "上記の内容で登録してよろしければ［登録］ボタンを、訂正する場合には［訂正］ボタンをクリックしてください。",
                    px(420, 3960, 6255, 420)}},
                  9.75);
    EXPECT_EQ(d.Frame1->title().toStdString(), "入力内容");
    EXPECT_EQ(d.Frame2->title().toStdString(), "お名前");
    EXPECT_EQ(d.Frame2->parentWidget(), d.Frame1);
    EXPECT_EQ(d.lblName->parentWidget(), d.Frame2);
    EXPECT_EQ(d.lblName->geometry(), px(120, 330, 2415, 915));
    EXPECT_EQ(d.lblTel->geometry(), px(1920, 2850, 4395, 255));
    EXPECT_EQ(common::caption_of(d.Command1), "訂正");
    EXPECT_EQ(d.Command1->geometry(), px(600, 4500, 1995, 495));
    EXPECT_EQ(common::caption_of(d.Command2), "登録");
    EXPECT_EQ(d.Command2->geometry(), px(4560, 4440, 1935, 555));
    EXPECT_EQ(d.Command1->nextInFocusChain(), d.Command2);
}

TEST_F(DialogsTest, NoDialogHasACloseBox) {
    std::vector<common::Form*> dialogs{&shipai_dialog().get(), &entry_miss_dialog().get(), &user_info_dialog().get()};
    for (auto* d : dialogs) {
        SCOPED_TRACE(d->caption());
        const Qt::WindowFlags flags = d->windowFlags();
        EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
        EXPECT_TRUE(flags & Qt::WindowTitleHint);
        EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
        EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
    }
}

// The confirmation answers through confirm_flag, whatever the flag held before.
TEST_F(DialogsTest, ConfirmationButtonsSetTheFlag) {
    struct Case {
        bool before;
        bool press_register;
        bool after;
    } cases[] = {{false, true, true}, {true, true, true}, {true, false, false}, {false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.press_register ? "登録" : "訂正");
        common::state().confirm_flag = c.before;
        auto& d = user_info_dialog().get();
        soon([&] { (c.press_register ? d.Command2 : d.Command1)->click(); });
        d.show_modal();
        EXPECT_EQ(common::state().confirm_flag, c.after);
        EXPECT_FALSE(user_info_dialog().loaded());
        common::flush_unloads();
    }
}

// A dialog without a close box must not be closed by the window manager or Esc: a
// closed confirmation would leave confirm_flag as an earlier answer left it.
TEST_F(DialogsTest, CloseRequestAndEscAreRefused) {
    for (bool flag : {false, true}) {
        common::state().confirm_flag = flag;
        std::vector<common::Form*> dialogs{&shipai_dialog().get(), &entry_miss_dialog().get(),
                                           &user_info_dialog().get()};
        for (auto* d : dialogs) {
            SCOPED_TRACE(d->caption());
            d->show_modeless();
            EXPECT_FALSE(d->close());
            QTest::keyClick(d, Qt::Key_Escape);
            if (QWidget* w = d->focusWidget()) QTest::keyClick(w, Qt::Key_Escape);
            EXPECT_TRUE(d->isVisible());
            EXPECT_FALSE(d->is_unloaded());
            EXPECT_EQ(common::state().confirm_flag, flag);
        }
        EXPECT_TRUE(shipai_dialog().loaded());
        EXPECT_TRUE(entry_miss_dialog().loaded());
        EXPECT_TRUE(user_info_dialog().loaded());
    }
}

// A modal dialog that is asked to close keeps its caller waiting until a button answers.
TEST_F(DialogsTest, ModalConfirmationOutlastsACloseRequest) {
    common::state().confirm_flag = true;
    auto& d = user_info_dialog().get();
    bool still_open = false;
    soon([&] {
        d.close();
        soon([&] {
            still_open = d.isVisible();
            d.Command1->click();
        });
    });
    d.show_modal();
    EXPECT_TRUE(still_open);
    EXPECT_FALSE(common::state().confirm_flag);
}

TEST_F(DialogsTest, NextShowingHasTheBuiltInTextsAgain) {
    common::state().main_loaded = true;  // a main window whose load reads nothing
    main_form().get();
    auto& d = shipai_dialog().get();
    common::set_text(d.Label1, "次の理由により、登録されませんでした。");
    common::set_text(d.Label2, "試験サーバの接続に失敗しました。");
    d.CancelButton->click();
    EXPECT_FALSE(shipai_dialog().loaded());
    common::flush_unloads();
    auto& again = shipai_dialog().get();
    EXPECT_EQ(common::text_of(again.Label1), "次の理由により、認証されませんでした。");
    EXPECT_EQ(common::text_of(again.Label2), "試験番号、または認証パスワードが正しくありません。");

    auto& miss = entry_miss_dialog().get();
    common::set_text(miss.lblErrMsg, "姓を入力してください。");
    miss.CancelButton->click();
    common::flush_unloads();
    EXPECT_EQ(common::text_of(entry_miss_dialog().get().lblErrMsg), "試験番号、または認証パスワードが正しくありません。");
}

TEST_F(DialogsTest, RetryClearsTheSignInFieldsWhereThePageHasThem) {
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("ExamID", "A123");
    pane().add_text_field("ExamPass", "secret");
    pane().add_text_field("KanjiFamilyName", "山田");
    pane().document = "<form>...</form>";

    auto& d = shipai_dialog().get();
    soon([&] { d.CancelButton->click(); });
    d.show_modal();

    EXPECT_EQ(pane().fields["ExamID"].front().value, "");
    EXPECT_EQ(pane().fields["ExamPass"].front().value, "");
    EXPECT_EQ(pane().fields["KanjiFamilyName"].front().value, "山田");
    EXPECT_EQ(pane().focused, "ExamID");
    EXPECT_EQ(pane().document, "<form>...</form>");
    EXPECT_FALSE(shipai_dialog().loaded());
    EXPECT_TRUE(main_form().loaded());
}

TEST_F(DialogsTest, RetryOnAPageWithoutTheFieldsOnlyCloses) {
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("KanjiFamilyName", "山田");
    auto& d = shipai_dialog().get();
    d.CancelButton->click();
    EXPECT_EQ(pane().fields["KanjiFamilyName"].front().value, "山田");
    EXPECT_EQ(pane().focused, "");
    EXPECT_FALSE(shipai_dialog().loaded());
    EXPECT_TRUE(main_form().loaded());
    EXPECT_FALSE(main_form().peek()->is_unloaded());
}

TEST_F(DialogsTest, RetryWhosePageCannotBeReachedStillCloses) {
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("ExamID", "A123");
    pane().fail_bridge = true;
    shipai_dialog().get().CancelButton->click();
    EXPECT_FALSE(shipai_dialog().loaded());
}

TEST_F(DialogsTest, AbortClosesTheDialogAndTheMainWindow) {
    common::state().main_loaded = true;
    QPointer<frmMain> main = &main_form().get();
    auto& d = shipai_dialog().get();
    soon([&] { d.OKButton->click(); });
    d.show_modal();
    EXPECT_FALSE(main_form().loaded());
    EXPECT_FALSE(shipai_dialog().loaded());
    EXPECT_EQ(common::FormSlot::loaded_count(), 0);
    EXPECT_EQ(last_unloaded_, 1);
    common::flush_unloads();
    EXPECT_TRUE(main.isNull());
}

TEST_F(DialogsTest, InputErrorAbortClosesBothWindows) {
    common::state().main_loaded = true;
    main_form().get();
    entry_miss_dialog().get().abort_signin();
    EXPECT_FALSE(main_form().loaded());
    EXPECT_FALSE(entry_miss_dialog().loaded());
}

// The first button in tab order has the focus, so a space bar pressed at once chooses it.
TEST_F(DialogsTest, SpaceBarChoosesTheFirstButton) {
    common::state().main_loaded = true;
    main_form().get();
    {
        auto& d = shipai_dialog().get();
        soon([&] {
            EXPECT_EQ(d.focusWidget(), d.OKButton);
            QTest::keyClick(d.focusWidget(), Qt::Key_Space);
        });
        d.show_modal();
        EXPECT_FALSE(main_form().loaded());
        EXPECT_FALSE(shipai_dialog().loaded());
    }
    {
        common::state().confirm_flag = true;
        auto& d = user_info_dialog().get();
        soon([&] {
            EXPECT_EQ(d.focusWidget(), d.Command1);
            QTest::keyClick(d.focusWidget(), Qt::Key_Space);
        });
        d.show_modal();
        EXPECT_FALSE(common::state().confirm_flag);
        EXPECT_FALSE(user_info_dialog().loaded());
    }
    {
        auto& d = entry_miss_dialog().get();
        soon([&] {
            EXPECT_EQ(d.focusWidget(), d.CancelButton);
            QTest::keyClick(d.focusWidget(), Qt::Key_Space);
        });
        d.show_modal();
        EXPECT_FALSE(entry_miss_dialog().loaded());
    }
}

TEST_F(DialogsTest, ShownCentredOnTheScreen) {
    auto& d = shipai_dialog().get();
    d.show_modeless();
    const QRect area = d.screen()->availableGeometry();
    EXPECT_NEAR(d.frameGeometry().center().x(), area.center().x(), 1);
    EXPECT_NEAR(d.frameGeometry().center().y(), area.center().y(), 1);
}

}  // namespace
