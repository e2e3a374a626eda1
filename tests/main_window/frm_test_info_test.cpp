// The examination program's confirmation of the examination: its design, its answers
// through confirm_flag, and the retry that clears the sign-in fields of the main window.
#include "main_window/frm_test_info.h"

#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "main_window_fixture.h"

namespace {

using namespace main_window;
using mw_test::soon;

class TestInfoTest : public mw_test::MainWindowTest {
public:
    void TearDown() override {
        test_info_dialog().unload();
        mw_test::MainWindowTest::TearDown();
    }
};

QRect px(int l, int t, int w, int h) {
    return QRect(common::twips_to_px(l), common::twips_to_px(t), common::twips_to_px(w), common::twips_to_px(h));
}

TEST_F(TestInfoTest, DesignAndTheNotesOfItsLoad) {
    auto& d = test_info_dialog().get();
    EXPECT_EQ(d.caption(), "試験内容の確認");
    EXPECT_EQ(d.size(), QSize(402, 330));
    EXPECT_EQ(d.minimumSize(), d.maximumSize());
    EXPECT_FALSE(d.testAttribute(Qt::WA_SetWindowIcon)) << "no icon of its own";
    const Qt::WindowFlags flags = d.windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);

    EXPECT_EQ(d.Frame1->title().toStdString(), "受験する試験の内容");
    EXPECT_EQ(d.Frame1->geometry(), px(180, 240, 5595, 1515));
    struct LabelCase {
        const QLabel* label;
        const QWidget* parent;
        const char* text;
        QRect geometry;
        bool right_aligned;
    };
    const LabelCase labels[] = {
        {d.Label1[0], d.Frame1, "【試験種別】", px(240, 480, 1395, 255), true},
        {d.lblShikenName, d.Frame1, "", px(1860, 480, 3555, 315), false},
        {d.Label1[1], d.Frame1, "【開始予定日時】", px(240, 900, 1395, 255), true},
        {d.lblStartTime, d.Frame1, "", px(1860, 900, 3555, 315), false},
        {d.lblMsg[0], &d, "※受験する試験について、上記のもので間違いがないか確認してください。", px(240, 2100, 5535, 435), false},
        {d.lblMsg[1], &d, "※間違いがなければ、［続行］ボタンをクリックしてください。", px(240, 2640, 5535, 435), false},
        {d.lblMsg[2], &d, "※間違っている場合には、［やり直し］ボタンをクリックしてください。", px(240, 3180, 5535, 435), false},
    };
    for (const LabelCase& c : labels) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(common::text_of(c.label), c.text);
        EXPECT_EQ(c.label->parentWidget(), c.parent);
        EXPECT_EQ(c.label->geometry(), c.geometry);
        EXPECT_EQ(bool(c.label->alignment() & Qt::AlignRight), c.right_aligned);
        EXPECT_EQ(c.label->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
        EXPECT_DOUBLE_EQ(c.label->font().pointSizeF(), 9.75);
    }
    // The buttons stand a little apart in height; their left edges are the launcher's.
    EXPECT_EQ(common::caption_of(d.OKButton), "やり直し");
    EXPECT_EQ(d.OKButton->geometry(), px(1080, 4200, 1215, 375));
    EXPECT_EQ(common::caption_of(d.CancelButton), "続行");
    EXPECT_EQ(d.CancelButton->geometry(), px(3660, 4260, 1215, 375));
    EXPECT_EQ(d.OKButton->nextInFocusChain(), d.CancelButton);
}

// "続行" accepts and "やり直し" declines, whatever the flag held; both close the dialog,
// and the next use loads it afresh without what the caller had written.
TEST_F(TestInfoTest, ButtonsAnswerThroughTheFlagAndClose) {
    common::state().main_loaded = true;  // a main window whose load reads nothing
    struct Case {
        bool before;
        bool accept;
    } cases[] = {{false, true}, {true, true}, {true, false}, {false, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.accept ? "続行" : "やり直し");
        common::state().confirm_flag = c.before;
        auto& d = test_info_dialog().get();
        common::set_text(d.lblShikenName, "Ledgrin");
        common::set_text(d.lblStartTime, "2024/04/01 10:00");
        common::set_text(d.lblMsg[0], "changed");
        soon([&] { (c.accept ? d.CancelButton : d.OKButton)->click(); });
        d.show_modal();
        EXPECT_EQ(common::state().confirm_flag, c.accept);
        EXPECT_FALSE(test_info_dialog().loaded());
        common::flush_unloads();
        auto& again = test_info_dialog().get();
        EXPECT_EQ(common::text_of(again.lblShikenName), "");
        EXPECT_EQ(common::text_of(again.lblStartTime), "");
        EXPECT_EQ(common::text_of(again.lblMsg[0]), "※受験する試験について、上記のもので間違いがないか確認してください。");
        test_info_dialog().unload();
        common::flush_unloads();
    }
}

TEST_F(TestInfoTest, RetryClearsTheSignInFieldsAndFocusesTheNumber) {
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("ExamID", "A123");
    pane().add_text_field("ExamPass", "secret");
    pane().add_text_field("KanjiFamilyName", "山田");
    pane().calls.clear();

    test_info_dialog().get().OKButton->click();

    EXPECT_EQ(pane().calls, (std::vector<std::string>{"set ExamID=", "set ExamPass=", "focus ExamID"}));
    EXPECT_EQ(pane().fields["ExamID"].front().value, "");
    EXPECT_EQ(pane().fields["ExamPass"].front().value, "");
    EXPECT_EQ(pane().fields["KanjiFamilyName"].front().value, "山田");
    EXPECT_EQ(pane().focused, "ExamID");
    EXPECT_FALSE(test_info_dialog().loaded());
    EXPECT_TRUE(main_form().loaded());
}

TEST_F(TestInfoTest, RetryLoadsTheMainWindowWhenItIsNotThere) {
    common::state().main_loaded = true;
    ASSERT_FALSE(main_form().loaded());
    auto& d = test_info_dialog().get();
    d.OKButton->click();
    ASSERT_TRUE(main_form().loaded());
    EXPECT_EQ(pane().calls, (std::vector<std::string>{"set ExamID=", "set ExamPass=", "focus ExamID"}));
    EXPECT_FALSE(test_info_dialog().loaded());
    EXPECT_FALSE(common::state().confirm_flag);
}

TEST_F(TestInfoTest, RetryOnAPageWithoutTheFieldsLeavesItAndCloses) {
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("KanjiFamilyName", "山田");
    common::state().confirm_flag = true;
    test_info_dialog().get().OKButton->click();
    EXPECT_EQ(pane().fields["KanjiFamilyName"].front().value, "山田");
    EXPECT_EQ(pane().focused, "");
    EXPECT_FALSE(common::state().confirm_flag);
    EXPECT_FALSE(test_info_dialog().loaded());
}

TEST_F(TestInfoTest, RetryWhosePageFailsKeepsTheDialogOpenWithItsAnswer) {
    // The failure goes to the loop's report; the dialog stays, so the candidate can still
    // choose, and the answer so far is "declined".
    common::state().main_loaded = true;
    main_form().get();
    pane().add_text_field("ExamID", "A123");
    pane().fail_bridge = true;
    common::state().confirm_flag = true;
    auto& d = test_info_dialog().get();
    d.show_modeless();
    d.OKButton->click();
    EXPECT_FALSE(common::state().confirm_flag);
    EXPECT_TRUE(test_info_dialog().loaded());
    EXPECT_EQ(pane().fields["ExamID"].front().value, "A123");
    d.CancelButton->click();
    EXPECT_TRUE(common::state().confirm_flag);
    EXPECT_FALSE(test_info_dialog().loaded());
}

TEST_F(TestInfoTest, SpaceBarAtOpeningChoosesRetry) {
    common::state().main_loaded = true;
    main_form().get();
    common::state().confirm_flag = true;
    auto& d = test_info_dialog().get();
    soon([&] {
        EXPECT_EQ(d.focusWidget(), d.OKButton);
        QTest::keyClick(d.focusWidget(), Qt::Key_Space);
    });
    d.show_modal();
    EXPECT_FALSE(common::state().confirm_flag);
    EXPECT_FALSE(test_info_dialog().loaded());
}

TEST_F(TestInfoTest, CloseRequestAndEscAnswerNothing) {
    for (bool flag : {false, true}) {
        common::state().confirm_flag = flag;
        auto& d = test_info_dialog().get();
        d.show_modeless();
        EXPECT_FALSE(d.close());
        QTest::keyClick(&d, Qt::Key_Escape);
        if (QWidget* w = d.focusWidget()) QTest::keyClick(w, Qt::Key_Escape);
        EXPECT_TRUE(d.isVisible());
        EXPECT_TRUE(test_info_dialog().loaded());
        EXPECT_EQ(common::state().confirm_flag, flag);
    }
}

}  // namespace
