// The stage "登録" on the main window with fake platform facilities: the sample fill on the
// page, the input-error dialog and its focus, the confirmation, the request, the answer and
// the start page.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/windows.h"
#include "platform/codec.h"
#include "registration_fixture.h"

namespace {

using namespace main_window;
using mw_test::kStartPageShown;
using mw_test::RegistrationTest;

const char* const kRetryHeading = "次の理由により、認証されませんでした。";
const char* const kRetryInstruction =
    "認証をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］ボタンをクリックしてく"
    "ださい。";

class RegistrationStageTest : public RegistrationTest {
protected:
    bool pages_built() const { return std::filesystem::exists(common::state().data_path + "index.html"); }
    size_t count_calls(const std::string& call) {
        return static_cast<size_t>(std::count(pane().calls.begin(), pane().calls.end(), call));
    }
};

TEST_F(RegistrationStageTest, SampleFillOverwritesTypedValuesAndPasses) {
    type({{"KanjiGivenName", "次郎"}, {"KanaFamilyName", "ヤマダ"}, {"RomaGivenName", "Jiro!"}, {"Sex", "女"},
          {"BirthYear", "2001"}, {"BirthDay", "31"}, {"mailID", "jiro"}, {"Zip1", "123"}, {"Phone1", "03"},
          {"Phone2", "1234"}});
    confirm_answers_ = {false};
    run_stage();

    std::vector<std::string> sets;
    for (const auto& c : pane().calls)
        if (c.rfind("set ", 0) == 0) sets.push_back(c);
    EXPECT_EQ(sets, (std::vector<std::string>{"set KanjiFamilyName=Orvane", "set KanjiGivenName=太郎",
                                              "set KanaFamilyName=あ", "set KanaGivenName=あ", "set RomaFamilyName=a",
                                              "set RomaGivenName=a", "set Sex=男", "set Job=高校生",
                                              "set BirthYear=1999", "set BirthMonth=06", "set BirthDay=06"}));
    EXPECT_EQ(field("KanjiGivenName"), "太郎");
    EXPECT_EQ(field("BirthDay"), "06");
    EXPECT_EQ(field("mailID"), "jiro");  // not one of the eleven: kept
    EXPECT_EQ(pane().reads, 2);          // the page as it was, then as the fill left it

    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].caption, "受験者情報の内容確認");
    EXPECT_EQ(shown_[0].labels["lblName"], "Ｏｒｖａｎｅ 太郎\r\nあ あ\r\nA A");
    EXPECT_EQ(shown_[0].labels["lblSeibetu"], "男");
    EXPECT_EQ(shown_[0].labels["lblWork"], "高校生");
    EXPECT_EQ(shown_[0].labels["lblBirthday"], "1999/06/06");
    EXPECT_EQ(shown_[0].labels["lblEmail"], "");
    EXPECT_EQ(shown_[0].labels["lblZipcode"], "");
    EXPECT_EQ(shown_[0].labels["lblAddress"], "");
    EXPECT_EQ(shown_[0].labels["lblTel"], "");
    EXPECT_EQ(common::main_values().strKanjiName, "Ｏｒｖａｎｅ 太郎");
    EXPECT_EQ(common::state().roma_family_name, "A");
}

struct InputErrorRow {
    const char* name;
    main_window::FormValues typed;
    std::vector<std::string> removed;  // fields the page lacks
    std::string message;
    std::vector<std::string> focus_calls;
};

TEST_F(RegistrationStageTest, AnInputErrorShowsItsMessageAndMovesTheFocus) {
    const InputErrorRow rows[] = {
        {"normal page, family name typed", {{"KanjiFamilyName", "山田"}}, {}, "漢字の名が空欄です。",
         {"focus KanjiGivenName"}},
        {"page without the kanji family name", {}, {"KanjiFamilyName"}, "漢字の姓が空欄です。",
         {"focus KanjiFamilyName"}},
        {"1999/02/30",
         [] {
             auto f = good_candidate();
             f["BirthYear"] = "1999";
             f["BirthMonth"] = "02";
             f["BirthDay"] = "30";
             return f;
         }(),
         {},
         "誕生日の日付が間違っています。",
         {}},
        {"katakana name", {{"KanjiFamilyName", "山田"}, {"KanjiGivenName", "花子"}, {"KanaFamilyName", "ヤマダ"}},
         {},
         "かなの姓にかな以外の字が使用されています。",
         {"focus KanaFamilyName"}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        for (const char* id : kFormFields) pane().fields.erase(id);
        for (const char* id : kFormFields) pane().add_text_field(id);
        for (const auto& id : r.removed) pane().fields.erase(id);
        type(r.typed);
        pane().calls.clear();
        shown_.clear();
        common::main_values().strKanjiName = "earlier";
        run_stage();

        ASSERT_EQ(shown_.size(), 1u);
        EXPECT_EQ(shown_[0].caption, "入力エラー");
        EXPECT_EQ(shown_[0].labels["lblErrMsg"], r.message);
        std::vector<std::string> focus;
        for (const auto& c : pane().calls)
            if (c.rfind("focus ", 0) == 0) focus.push_back(c);
        EXPECT_EQ(focus, r.focus_calls);
        EXPECT_EQ(common::caption_of(form_->Command1), "登録");
        EXPECT_TRUE(fp_.http->requests.empty());
        EXPECT_EQ(common::main_values().strKanjiName, "earlier");  // only a whole pass replaces it
    }
}

TEST_F(RegistrationStageTest, AFormThatNeedsNoFillIsReadInOneRoundTrip) {
    type(good_candidate());
    confirm_answers_ = {false};
    run_stage();
    EXPECT_EQ(pane().reads, 1);
    EXPECT_EQ(count_calls("set KanjiFamilyName=Orvane"), 0u);
}

TEST_F(RegistrationStageTest, CorrectionSendsNothing) {
    type(good_candidate());
    common::state().confirm_flag = true;  // left from an earlier confirmation
    confirm_answers_ = {false};
    run_stage();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].labels["lblZipcode"], "123-4567");
    EXPECT_TRUE(fp_.http->requests.empty());
    EXPECT_EQ(common::caption_of(form_->Command1), "登録");
    EXPECT_FALSE(common::state().confirm_flag);
    EXPECT_FALSE(pages_built());
    EXPECT_EQ(pane().document, "<p>page 3</p>");
}

TEST_F(RegistrationStageTest, RehearsalSendsNothingAndShowsTheStartPage) {
    provide_question_database();
    common::state().rehearsal_mode = true;
    type(good_candidate());
    run_stage();
    EXPECT_TRUE(fp_.http->requests.empty());
    EXPECT_EQ(common::state().jid, 0);
    EXPECT_EQ(common::state().result_id, 0);
    EXPECT_TRUE(pages_built());
    EXPECT_EQ(common::caption_of(form_->Command1), "試験開始");
    EXPECT_EQ(pane().document, kStartPageShown);
    EXPECT_EQ(common::state().screen_html[5], kStartPageShown);
    const std::vector<std::string> tail(pane().calls.end() - 3, pane().calls.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"navigate about:blank", "refresh", "write"}));
    EXPECT_EQ(common::state().register_password, "quib");
}

TEST_F(RegistrationStageTest, TheRequestAddressAndASuccessfulAnswer) {
    provide_question_database();
    type(good_candidate());
    fp_.http->answer("123,456");
    run_stage();

    ASSERT_EQ(fp_.http->requests.size(), 1u);
    const std::string expected = common::state().register_url + good_candidate_query();
    EXPECT_EQ(fp_.http->requests[0].url, platform::cp932::encode(expected));
    EXPECT_EQ(fp_.http->requests[0].user_agent, "orvanepc");
    // The confirmation shows the postal code with its "-"; the details keep it without.
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].labels["lblZipcode"], "123-4567");
    EXPECT_EQ(candidate_info().strZipCode, "1234567");
    EXPECT_EQ(common::state().jid, 123);
    EXPECT_EQ(common::state().result_id, 456);
    EXPECT_EQ(common::main_values().strKanjiName, "山田 Ａｎｎ");
    EXPECT_EQ(common::state().roma_family_name, "VAN DER BERG");
    EXPECT_EQ(common::state().roma_given_name, "ANN");
    EXPECT_EQ(common::caption_of(form_->Command1), "試験開始");
    EXPECT_EQ(pane().document, kStartPageShown);
}

// The failure dialog's texts for a registration that did not go through.
const char* const kRegisterHeading = "次の理由により、登録されませんでした。";
const char* const kRegisterInstruction =
    "登録をもう一度やり直す場合には［やり直し］ボタンを、中断してプログラムを終了するには［中断］ボタンをクリックして"
    "ください。";

struct StoppingAnswer {
    const char* name;
    std::function<void(fakes::FakeHttp&)> script;
    std::string heading, reason, instruction;
};

TEST_F(RegistrationStageTest, AnswersThatKeepTheRegistrationForm) {
    const std::string connect_reason = "試験サーバの接続に失敗しました。インターネット環境の確認をお願いいたします。";
    const std::string connect_heading = kRegisterHeading;
    const std::string connect_instruction = kRegisterInstruction;
    const StoppingAnswer rows[] = {
        {"unreachable", [](fakes::FakeHttp& h) { h.unreachable(); }, connect_heading, connect_reason,
         connect_instruction},
        {"empty body", [](fakes::FakeHttp& h) { h.answer(""); }, connect_heading, connect_reason, connect_instruction},
        {"broken body", [](fakes::FakeHttp& h) { h.broken("123,4"); }, connect_heading, connect_reason,
         connect_instruction},
        {"request throws", [](fakes::FakeHttp& h) { h.fails(); }, connect_heading, connect_reason,
         connect_instruction},
        {"NG alone", [](fakes::FakeHttp& h) { h.answer("NG"); }, kRetryHeading, "", kRetryInstruction},
        {"NG:bat tim", [](fakes::FakeHttp& h) { h.answer("NG:bat tim"); }, kRetryHeading,
         "試験実施可能時間を過ぎています。試験時間の確認をお願いいたします。", kRetryInstruction},
        {"NG RESULT x", [](fakes::FakeHttp& h) { h.answer("NG RESULT x"); }, kRetryHeading,
         "受験者登録に失敗しました。繰り返し失敗する場合は試験センターにお問い合わせください。", kRetryInstruction},
        {"NG ADD ERR in CP932", [](fakes::FakeHttp& h) { h.answer(platform::cp932::encode("NG ADD ERR 登録済み")); },
         kRetryHeading, "受験者登録に失敗しました。繰り返し失敗する場合は試験センターにお問い合わせください。",
         kRetryInstruction},
    };
    provide_question_database();
    type(good_candidate());
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        common::state().jid = 7;
        common::state().result_id = 8;
        shown_.clear();
        fp_.http->requests.clear();
        r.script(*fp_.http);
        run_stage();
        EXPECT_EQ(fp_.http->requests.size(), 1u);
        ASSERT_EQ(shown_.size(), 2u);
        EXPECT_EQ(shown_[1].caption, "試験ログインの失敗");
        EXPECT_EQ(shown_[1].labels["Label1"], r.heading);
        EXPECT_EQ(shown_[1].labels["Label2"], r.reason);
        EXPECT_EQ(shown_[1].labels["Label3"], r.instruction);
        EXPECT_EQ(common::state().jid, 7);
        EXPECT_EQ(common::state().result_id, 8);
        EXPECT_EQ(common::caption_of(form_->Command1), "登録");
        EXPECT_EQ(pane().document, "<p>page 3</p>");
        EXPECT_FALSE(pages_built());
    }
}

TEST_F(RegistrationStageTest, AnswersThatStartTheExamination) {
    struct Row {
        const char* answer;
        int32_t jid, result_id;
    } rows[] = {
        {"123,456", 123, 456}, {"123", 123, 8},         {"12.5,13.5", 12, 14},
        {"99999999999", 7, 8}, {"ng...", 7, 8},         {"OK,1", 7, 1},
    };
    provide_question_database();
    type(good_candidate());
    for (const auto& r : rows) {
        SCOPED_TRACE(r.answer);
        common::state().jid = 7;
        common::state().result_id = 8;
        common::set_caption(form_->Command1, "登録");
        fp_.http->answer(r.answer);
        run_stage();
        EXPECT_EQ(common::state().jid, r.jid);
        EXPECT_EQ(common::state().result_id, r.result_id);
        EXPECT_EQ(common::caption_of(form_->Command1), "試験開始");
        EXPECT_EQ(pane().document, kStartPageShown);
        // The start page was changed once for the run: the next showing finds nothing to change.
        EXPECT_EQ(common::state().screen_html[5], kStartPageShown);
        for (const char* id : kFormFields) pane().add_text_field(id);  // the form back for the next row
        type(good_candidate());
    }
}

// "NG" inside the first field ends the program once the failure dialog has closed.
TEST_F(RegistrationStageTest, NgInTheFirstFieldEndsTheProgram) {
    provide_question_database();
    // "中断" last: it closes the main window as well.
    for (bool abort : {false, true}) {
        SCOPED_TRACE(abort ? "中断" : "やり直し");
        type(good_candidate());
        shipai_abort_ = abort;
        shown_.clear();
        fp_.process->ends = 0;
        fp_.http->answer("WARNING,5");
        EXPECT_THROW(run_stage(), fakes::ProgramEnded);
        EXPECT_EQ(fp_.process->ends, 1);
        ASSERT_EQ(shown_.size(), 2u);
        EXPECT_EQ(shown_[1].labels["Label2"], "受験者の登録に失敗しました。");
        EXPECT_EQ(common::state().result_id, 5);
        EXPECT_FALSE(pages_built());
    }
    EXPECT_FALSE(main_form().loaded());
}

// Without its question pages the examination cannot start: the failure dialog comes instead
// of the start page.
TEST_F(RegistrationStageTest, AFailedPageBuildShowsTheFailureDialog) {
    type(good_candidate());
    fp_.http->answer("123,456");
    run_stage();
    ASSERT_EQ(shown_.size(), 2u);
    EXPECT_EQ(shown_[1].caption, "試験ログインの失敗");
    EXPECT_EQ(shown_[1].labels["Label1"], kRegisterHeading);
    EXPECT_EQ(shown_[1].labels["Label2"], kPageBuildFailedReason);
    EXPECT_EQ(shown_[1].labels["Label3"], kRegisterInstruction);
    EXPECT_EQ(common::caption_of(form_->Command1), "登録");
    EXPECT_EQ(pane().document, "<p>page 3</p>");
    EXPECT_EQ(count_calls("navigate about:blank"), 0u);
    EXPECT_EQ(common::state().screen_html[5], mw_test::kStartPage);
}

// "中断" after a failed request closes the main window and the stage goes no further.
TEST_F(RegistrationStageTest, AbortAfterNothingReceivedUnloadsTheMainWindow) {
    type(good_candidate());
    shipai_abort_ = true;
    fp_.http->unreachable();
    run_stage();
    EXPECT_FALSE(main_form().loaded());
    EXPECT_EQ(fp_.http->requests.size(), 1u);
    EXPECT_EQ(fp_.process->ends, 0);
}

// A field that a later page lacks is sent empty, not with what the earlier pass found.
TEST_F(RegistrationStageTest, AFieldMissingOnALaterPassIsSentEmpty) {
    type(good_candidate());
    fp_.http->answer("NG");
    run_stage();
    ASSERT_EQ(fp_.http->requests.size(), 1u);
    EXPECT_NE(fp_.http->requests[0].url.find("&State=%E6%9D%B1"), std::string::npos);

    pane().fields.erase("State");
    pane().fields.erase("Address2");
    fp_.http->answer("NG");
    run_stage();
    ASSERT_EQ(fp_.http->requests.size(), 2u);
    EXPECT_NE(fp_.http->requests[1].url.find("&State=&City="), std::string::npos) << fp_.http->requests[1].url;
    EXPECT_NE(fp_.http->requests[1].url.find("&Address2=&Tel="), std::string::npos);
    EXPECT_EQ(candidate_info().strState, "");
}

// The click on the button runs the whole stage.
TEST_F(RegistrationStageTest, TheButtonRunsTheStage) {
    provide_question_database();
    type(good_candidate());
    fp_.http->answer("1,2");
    form_->Command1_Click();
    EXPECT_EQ(common::caption_of(form_->Command1), "試験開始");
    EXPECT_EQ(common::state().jid, 1);
}

}  // namespace

namespace {

// A page that cannot be read at all holds nothing: the stage stops at its first check.
TEST_F(RegistrationStageTest, APageThatCannotBeReadStopsAtTheFirstCheck) {
    type(good_candidate());
    pane().fail_bridge = true;
    run_stage();
    ASSERT_EQ(shown_.size(), 1u);
    EXPECT_EQ(shown_[0].labels["lblErrMsg"], "漢字の姓が空欄です。");
    EXPECT_TRUE(fp_.http->requests.empty());
    EXPECT_EQ(common::caption_of(form_->Command1), "登録");
}

}  // namespace
