#pragma once
// The main window on its registration form, with the dialogs of the stage answered by a
// script while they are open, and what each of them showed recorded.
#include <QTimer>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "main_window/page_builder.h"
#include "main_window/registration.h"
#include "main_window/registration_form.h"
#include "main_window_fixture.h"
#include "platform/database.h"
#include "support/db_fixture.h"

namespace mw_test {

inline const char* const kStartPage = "<p>試験時間は30分間です。30分間が過ぎると終わります。</p>";
inline const char* const kStartPageShown = "<p>試験時間は40分間です。40分間が過ぎると終わります。</p>";

// What one dialog showed when it was answered.
struct ShownDialog {
    std::string caption;
    std::map<std::string, std::string> labels;
};

class RegistrationTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        main_window::reset_candidate_info();
        auto pages = six_pages();
        pages[4].second = kStartPage;
        write_pages(pages);
        form_ = &main_window::main_form().get();
        form_->Command1_Click();  // "了解": the registration form is shown
        EXPECT_EQ(common::caption_of(form_->Command1), "登録");
        for (const char* id : main_window::kFormFields) pane().add_text_field(id);
        pane().calls.clear();

        auto& s = common::state();
        s.rehearsal_mode = false;
        s.register_url = "https://exam.orvane.example/api/grade/register";
        s.user_agent = "orvanepc";
        s.exe_id = -42;

        answerer_.setInterval(1);
        QObject::connect(&answerer_, &QTimer::timeout, [this] { answer_open_dialog(); });
        answerer_.start();
    }

    void TearDown() override {
        answerer_.stop();
        MainWindowTest::TearDown();
    }

    // The question database the page builder reads, so that a build succeeds.
    void provide_question_database() {
        platform::create_encrypted_database(common::state().data_path + main_window::kQuestionDatabase,
                                            common::kDbPassword, fakes::shipped_sql("exam"));
        for (int i = 0; i < 400; ++i) fp_.random->script({0.0f});
    }

    void type(const main_window::FormValues& values) {
        for (const auto& [id, value] : values) {
            auto it = pane().fields.find(id);
            ASSERT_NE(it, pane().fields.end()) << id;
            it->second.front().value = value;
        }
    }
    std::string field(const std::string& id) {
        auto it = pane().fields.find(id);
        return it == pane().fields.end() ? std::string("(absent)") : it->second.front().value;
    }

    // A candidate that passes every check.
    static main_window::FormValues good_candidate() {
        return {
            {"KanjiFamilyName", "山田"}, {"KanjiGivenName", "Ann"},  {"KanaFamilyName", "やまだ"},
            {"KanaGivenName", "あん"},   {"RomaFamilyName", "van der Berg"}, {"RomaGivenName", "Ann"},
            {"Sex", "女"},               {"Job", "会社員"},           {"BirthYear", "1985"},
            {"BirthMonth", "04"},        {"BirthDay", "12"},          {"mailID", "ａｎｎ.y"},
            {"mailDomain", "example.jp"}, {"Zip1", "１２３"},         {"Zip2", "4567"},
            {"State", "東京都(!~*')"},   {"City", "千代田区 "},       {"Address1", "丸の内1-1"},
            {"Address2", "A&B=C ビル"},  {"Phone1", "03"},            {"Phone2", "1234"},
            {"Phone3", "5678"},
        };
    }
    // Its query, as the server is to get it.
    static std::string good_candidate_query() {
        return "?KFN=%E5%B1%B1%E7%94%B0&KGN=%EF%BC%A1%EF%BD%8E%EF%BD%8E&KanaFN=%E3%82%84%E3%81%BE%E3%81%A0"
               "&KanaGN=%E3%81%82%E3%82%93&RFN=VAN DER BERG&RGN=ANN&Sex=%E5%A5%B3"
               "&Work=%E4%BC%9A%E7%A4%BE%E5%93%A1&Birthday=1985/04/12&Email=ann.y@example.jp&Zip=1234567"
               "&State=%E6%9D%B1%E4%BA%AC%E9%83%BD(!~*')&City=%E5%8D%83%E4%BB%A3%E7%94%B0%E5%8C%BA%20"
               "&Address1=%E4%B8%B8%E3%81%AE%E5%86%851-1&Address2=A%26B%3DC%20%E3%83%93%E3%83%AB"
               "&Tel=03-1234-5678&Password=quib&ExeID=-42";
    }

    void run_stage() { main_window::register_stage(*form_); }

    std::vector<ShownDialog> shown_;
    std::deque<bool> confirm_answers_;  // true: "登録"; once used up, "登録"
    bool shipai_abort_ = false;         // "中断" instead of "やり直し"
    main_window::frmMain* form_ = nullptr;

private:
    void answer_open_dialog() {
        using namespace main_window;
        if (frmEntryMiss* d = entry_miss_dialog().peek(); d && d->isVisible()) {
            shown_.push_back({d->caption(), {{"lblErrMsg", common::text_of(d->lblErrMsg)}}});
            d->CancelButton->click();
        } else if (frmUserInfo* d = user_info_dialog().peek(); d && d->isVisible()) {
            shown_.push_back({d->caption(),
                              {{"lblName", common::text_of(d->lblName)},
                               {"lblSeibetu", common::text_of(d->lblSeibetu)},
                               {"lblWork", common::text_of(d->lblWork)},
                               {"lblBirthday", common::text_of(d->lblBirthday)},
                               {"lblEmail", common::text_of(d->lblEmail)},
                               {"lblZipcode", common::text_of(d->lblZipcode)},
                               {"lblAddress", common::text_of(d->lblAddress)},
                               {"lblAddress2", common::text_of(d->lblAddress2)},
                               {"lblTel", common::text_of(d->lblTel)}}});
            bool register_it = true;
            if (!confirm_answers_.empty()) {
                register_it = confirm_answers_.front();
                confirm_answers_.pop_front();
            }
            (register_it ? d->Command2 : d->Command1)->click();
        } else if (frmShipai* d = shipai_dialog().peek(); d && d->isVisible()) {
            shown_.push_back({d->caption(),
                              {{"Label1", common::text_of(d->Label1)},
                               {"Label2", common::text_of(d->Label2)},
                               {"Label3", common::text_of(d->Label3)}}});
            (shipai_abort_ ? d->OKButton : d->CancelButton)->click();
        }
    }

    QTimer answerer_;
};

}  // namespace mw_test
