// The sign-in window: its layout, the checks of the two values, the confirmation, the
// dispatch by examination kind and the start of the examination program.
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLabel>
#include <QWindow>

#include "launcher_fixture.h"

namespace {

using launcher_test::Confirm;
using launcher_test::LauncherTest;

class SignIn : public LauncherTest {};

const char* const kBuiltIn = "試験番号、または認証パスワードが正しくありません。";
const char* const kTooLong = "試験IDが間違っています。確認してください。";
const char* const kUnknownKind = "試験実施科目が登録されていません。";
const char* const kNotStarted = "試験プログラムを起動できませんでした。";
const char* const kNoConnection = "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。";

std::string confirm_of_fixed_line() { return "confirm Ledgrin|2016/12/26 15:30"; }

TEST_F(SignIn, WindowCoversTheWorkAreaAndShowsTheSignInPage) {
    fp.screen->area = {0, 0, 1600, 860};
    auto& w = signed_in_window();
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.Width(), 1600 * 15);
    EXPECT_EQ(w.Height(), 860 * 15);
    EXPECT_EQ(w.geometry(), QRect(0, 0, 1600, 860));
    EXPECT_TRUE(w.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(sign_in_page().address, fp.system->program + "data/index.html");
    EXPECT_EQ(sign_in_page().data_folder, fp.system->program + "data/");
    // The page takes all but the strip of the button: 12900 twips = 860 px.
    EXPECT_EQ(sign_in_page().left(), 0);
    EXPECT_EQ(sign_in_page().top(), 0);
    EXPECT_EQ(sign_in_page().width(), 1600);
    EXPECT_EQ(sign_in_page().height(), 793);  // (12900 - 1000) / 15, halves to even
    // Centred: (24000 - 2295) / 2 = 10852.5 twips = 723.5 px, to even 724.
    EXPECT_EQ(w.Command1->geometry(), QRect(724, 803, 153, 45));
    EXPECT_EQ(w.Command1->text().toStdString(), "ログイン");
    EXPECT_TRUE(w.Command1->isEnabled());
    EXPECT_FALSE(w.lblWaitMsg->isVisible());
}

TEST_F(SignIn, UnknownWorkAreaGivesAnEmptyWindowAndNoFailure) {
    fp.screen->area_known = false;
    auto& w = signed_in_window();
    EXPECT_EQ(w.Width(), 0);
    EXPECT_EQ(w.Height(), 0);
}

TEST_F(SignIn, EmptyOrMissingFieldsShowOneModelessBuiltInDialog) {
    struct Case {
        const char* what;
        std::function<void(fakes::FakeBrowserPane&)> page;
    } cases[] = {
        {"both empty", [](auto& p) { p.add_text_field("ExamID", ""), p.add_text_field("ExamPass", ""); }},
        {"id empty", [](auto& p) { p.add_text_field("ExamID", ""), p.add_text_field("ExamPass", "pw"); }},
        {"password empty", [](auto& p) { p.add_text_field("ExamID", "A1"), p.add_text_field("ExamPass", ""); }},
        {"page without the fields", [](auto&) {}},
        {"page without the password", [](auto& p) { p.add_text_field("ExamID", "A1"); }},
        {"page that cannot be read", [](auto& p) {
             p.add_text_field("ExamID", "A1"), p.add_text_field("ExamPass", "pw");
             p.fail_bridge = true;
         }},
    };
    signed_in_window();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        sign_in_page().fields.clear();
        sign_in_page().fail_bridge = false;
        c.page(sign_in_page());

        EXPECT_FALSE(click_sign_in());
        auto* failure = launcher::forms().shipai.peek();
        ASSERT_NE(failure, nullptr);
        EXPECT_TRUE(failure->isVisible());
        EXPECT_FALSE(failure->isModal());
        EXPECT_EQ(common::text_of(failure->Label2), kBuiltIn);
        EXPECT_TRUE(modal_seen.empty());
        EXPECT_FALSE(launcher::forms().test_info.loaded());
        EXPECT_FALSE(sign_in_enabled());
        EXPECT_TRUE(fp.process->starts.empty());
        EXPECT_EQ(fp.process->ends, 0);
        // Kept above the full-screen sign-in window, so "修正" stays within reach.
        ASSERT_NE(failure->windowHandle(), nullptr);
        EXPECT_EQ(failure->windowHandle()->transientParent(), launcher::forms().main.get().windowHandle());

        // The page stays usable but the button stays disabled until "修正".
        common::do_events();
        EXPECT_FALSE(sign_in_enabled());
        failure->Command1_Click();
        EXPECT_TRUE(sign_in_enabled());
        EXPECT_FALSE(launcher::forms().shipai.loaded());
        common::flush_unloads();
    }
}

TEST_F(SignIn, LengthsAreCountedAfterNarrowing) {
    struct Case {
        const char* id;
        const char* pass;
        bool passes;
    } cases[] = {
        {"ＡＢＣＤＥＦＧＨＩＪ", "pw", true},        // ten full-width letters: ten narrow ones
        {"ＡＢＣＤＥＦＧＨＩＪＫ", "pw", false},     // eleven
        {"1234567890", "ａｂｃｄｅｆｇｈｉｊ", true},
        {"1234567890", "12345678901", false},        // the password, with the ID message
        {"ガギグゲゴザ", "pw", false},               // six voiced kana: twelve narrow characters
        {"ガギグゲゴ", "pw", true},                  // five: ten
        {"ab", "アイウエオカキクケコサ", false},     // eleven kana
        {"漢字漢字漢字漢字漢字", "pw", true},        // no narrow form: ten as they stand
    };
    signed_in_window();
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.id << " / " << c.pass);
        modal_seen.clear();
        enabled_during_modal.clear();
        fp.process->starts.clear();
        launcher::unload_all_forms();
        signed_in_window();
        fill(c.id, c.pass);

        const bool ended = click_sign_in();
        if (c.passes) {
            EXPECT_TRUE(ended);
            EXPECT_EQ(modal_seen, std::vector<std::string>{confirm_of_fixed_line()});
            EXPECT_EQ(fp.process->starts.size(), 1u);
        } else {
            EXPECT_FALSE(ended);
            EXPECT_EQ(modal_seen, std::vector<std::string>{std::string("failure ") + kTooLong});
            EXPECT_EQ(enabled_during_modal, std::vector<bool>{false});
            EXPECT_TRUE(fp.process->starts.empty());
            // "修正" (given by the answerer) enabled the button again.
            EXPECT_TRUE(sign_in_enabled());
        }
    }
}

TEST_F(SignIn, ContinueStartsTheProgramWithItsPathOnlyThenEnds) {
    signed_in_window();
    fill("A123", "secret");
    EXPECT_TRUE(click_sign_in());
    EXPECT_EQ(modal_seen, std::vector<std::string>{confirm_of_fixed_line()});
    EXPECT_EQ(fp.process->starts, std::vector<std::string>{fp.system->program + "data/ledgrin.dat"});
    EXPECT_EQ(fp.process->ends, 1);
    EXPECT_TRUE(launcher::state().confirm_flag);
    EXPECT_TRUE(fp.message_box->shown.empty());
}

TEST_F(SignIn, RedoEndsWithoutAStart) {
    confirm_answer = Confirm::Redo;
    signed_in_window();
    fill("A123", "secret");
    EXPECT_TRUE(click_sign_in());
    EXPECT_EQ(modal_seen, std::vector<std::string>{confirm_of_fixed_line()});
    EXPECT_TRUE(fp.process->starts.empty());
    EXPECT_EQ(fp.process->ends, 1);
    EXPECT_FALSE(launcher::state().confirm_flag);
}

TEST_F(SignIn, AProgramThatCannotBeStartedLeavesTheLauncherInTheSignIn) {
    fp.process->fail_all = true;
    signed_in_window();
    fill("A123", "secret");
    EXPECT_FALSE(click_sign_in());
    EXPECT_EQ(modal_seen, (std::vector<std::string>{confirm_of_fixed_line(), std::string("failure ") + kNotStarted}));
    EXPECT_EQ(enabled_during_modal, (std::vector<bool>{false, false}));
    EXPECT_EQ(fp.process->starts.size(), 1u);
    EXPECT_EQ(fp.process->ends, 0);
    EXPECT_TRUE(sign_in_enabled());

    // After "修正" the candidate may try again.
    fp.process->fail_all = false;
    modal_seen.clear();
    EXPECT_TRUE(click_sign_in());
    EXPECT_EQ(fp.process->starts.size(), 2u);
}

TEST_F(SignIn, DispatchByKind) {
    struct Case {
        const char* kind_field;  // field 0 as written in the line
        const char* shown_name;
        // "start", "unknown" (modeless) or "download" (a row that downloads first; the
        // server is out of reach, so its modal failure dialog comes instead of a start)
        const char* outcome;
    } cases[] = {
        {"TEST TYPE = 323", "Ledgrin", "start"},
        {"TEST TYPE = 18", "OrvaneLedgrin", "download"},
        {"TEST TYPE = 0323", "Ledgrin", "unknown"},
        {"TEST TYPE =  323", "Ledgrin", "unknown"},
        {"TEST TYPE = kr01", "Ledgrin", "unknown"},
        {"TEST TYPE = KR01", "OrvaneLedgrin", "download"},
        {"TEST TYPE = ", "Ledgrin", "unknown"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind_field);
        launcher::unload_all_forms();
        modal_seen.clear();
        fp.process->starts.clear();
        auto& w = signed_in_window();
        w.test_definition_line = std::string(c.kind_field) + ",試験実施日時 = 2016/12/26 15:30,試験名 = Ledgrin";
        fill("A123", "secret");

        const bool ended = click_sign_in();
        ASSERT_FALSE(modal_seen.empty());
        EXPECT_EQ(modal_seen[0], std::string("confirm ") + c.shown_name + "|2016/12/26 15:30");
        const std::string outcome = c.outcome;
        if (outcome == "start") {
            EXPECT_TRUE(ended);
            EXPECT_EQ(fp.process->starts, std::vector<std::string>{fp.system->program + "data/ledgrin.dat"});
            EXPECT_TRUE(fp.http->requests.empty());  // nothing is downloaded for it
        } else if (outcome == "unknown") {
            EXPECT_FALSE(ended);
            EXPECT_EQ(modal_seen.size(), 1u);
            auto* failure = launcher::forms().shipai.peek();
            ASSERT_NE(failure, nullptr);
            EXPECT_TRUE(failure->isVisible());
            EXPECT_FALSE(failure->isModal());
            EXPECT_EQ(common::text_of(failure->Label2), kUnknownKind);
            EXPECT_TRUE(fp.process->starts.empty());
            EXPECT_FALSE(sign_in_enabled());
            failure->Command1_Click();
            EXPECT_TRUE(sign_in_enabled());
        } else {
            EXPECT_FALSE(ended);
            EXPECT_EQ(modal_seen.size(), 2u);
            if (modal_seen.size() == 2) {
                EXPECT_EQ(modal_seen[1], std::string("failure ") + kNoConnection);
            }
            EXPECT_EQ(fp.http->requests.size(), 1u);
            fp.http->requests.clear();
            EXPECT_TRUE(fp.process->starts.empty());
            EXPECT_TRUE(sign_in_enabled());
        }
        EXPECT_TRUE(fp.message_box->shown.empty());
    }
}

TEST_F(SignIn, AFreshFailureDialogShowsTheBuiltInReasonAgain) {
    auto& w = signed_in_window();
    w.test_definition_line = "TEST TYPE = 0323,試験実施日時 = x,試験名 = y";
    fill("A123", "secret");
    EXPECT_FALSE(click_sign_in());
    ASSERT_TRUE(launcher::forms().shipai.loaded());
    EXPECT_EQ(common::text_of(launcher::forms().shipai.peek()->Label2), kUnknownKind);
    launcher::forms().shipai.peek()->Command1_Click();
    common::flush_unloads();

    sign_in_page().fields.clear();
    EXPECT_FALSE(click_sign_in());
    ASSERT_TRUE(launcher::forms().shipai.loaded());
    EXPECT_EQ(common::text_of(launcher::forms().shipai.peek()->Label2), kBuiltIn);
}

TEST_F(SignIn, AbortInTheFailureDialogEndsTheLauncher) {
    signed_in_window();
    EXPECT_FALSE(click_sign_in());
    auto* failure = launcher::forms().shipai.peek();
    ASSERT_NE(failure, nullptr);
    EXPECT_THROW(failure->OKButton_Click(), fakes::ProgramEnded);
    EXPECT_EQ(fp.process->ends, 1);
    EXPECT_TRUE(fp.process->starts.empty());
}

class Dialogs : public LauncherTest {};

TEST_F(Dialogs, FailureDialogDesign) {
    signed_in_window();
    auto& d = launcher::forms().shipai.get();
    EXPECT_EQ(d.caption(), "試験ログインの失敗");
    EXPECT_EQ(common::text_of(d.Label1), "次の理由により、認証されませんでした。");
    EXPECT_EQ(d.Frame1->title().toStdString(), "否認の理由");
    EXPECT_EQ(common::text_of(d.Label2), kBuiltIn);
    EXPECT_EQ(d.Label2->parentWidget(), d.Frame1);
    EXPECT_EQ(common::text_of(d.Label3), "中断してプログラムを終了するには［中断］ボタンをクリックしてください。");
    EXPECT_EQ(d.OKButton->text().toStdString(), "中断");
    EXPECT_EQ(d.Command1->text().toStdString(), "修正");
    EXPECT_EQ(d.size(), QSize(366, 280));
    EXPECT_EQ(d.focusWidget(), d.OKButton);
    EXPECT_FALSE(d.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

TEST_F(Dialogs, ConfirmationDesignAndItsNotes) {
    signed_in_window();
    auto& d = launcher::forms().test_info.get();
    EXPECT_EQ(d.caption(), "試験内容の確認");
    EXPECT_EQ(d.Frame1->title().toStdString(), "受験する試験の内容");
    EXPECT_EQ(common::text_of(d.Label1[0]), "【試験種別】");
    EXPECT_EQ(common::text_of(d.Label1[1]), "【開始予定日時】");
    EXPECT_TRUE(d.Label1[0]->alignment().testFlag(Qt::AlignRight));
    EXPECT_EQ(common::text_of(d.lblMsg[0]), "※受験する試験について、上記のもので間違いがないか確認してください。");
    EXPECT_EQ(common::text_of(d.lblMsg[1]), "※間違いがなければ、［続行］ボタンをクリックしてください。");
    EXPECT_EQ(common::text_of(d.lblMsg[2]), "※間違っている場合には、［やり直し］ボタンをクリックしてください。");
    EXPECT_EQ(d.OKButton->text().toStdString(), "やり直し");
    EXPECT_EQ(d.CancelButton->text().toStdString(), "続行");
    EXPECT_EQ(d.size(), QSize(402, 330));
    EXPECT_EQ(d.focusWidget(), d.OKButton);
}

TEST_F(Dialogs, ConfirmFlagFollowsTheButtonsAndSurvivesAClose) {
    signed_in_window();
    launcher::forms().test_info.get().CancelButton_Click();
    EXPECT_TRUE(launcher::state().confirm_flag);
    EXPECT_FALSE(launcher::forms().test_info.loaded());
    common::flush_unloads();

    // No close box: a close from outside leaves the dialog and the flag as they are.
    auto& d = launcher::forms().test_info.get();
    d.show_modeless();
    d.close();
    EXPECT_TRUE(launcher::forms().test_info.loaded());
    EXPECT_TRUE(launcher::state().confirm_flag);
    d.OKButton_Click();
    EXPECT_FALSE(launcher::state().confirm_flag);
}

}  // namespace
