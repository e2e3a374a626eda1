// The end sequence: the result page, the upload loop with its boxes, the result file and the
// hand-back to the main window, on a platform of fakes with real files.
#include "exam_window/end_sequence.h"

#include <gtest/gtest.h>

#include "exam_window/result_page.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "common/forms.h"
#include "common/state.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "platform/codec.h"
#include "support/answers.h"
#include "support/fake_platform.h"

namespace {

using exam_window::frmKaikei;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;

const std::string kUrl = "https://exam.test/api/grade/result";
const std::string kTemplate =
    "<html><body><p>FamilyName</p><p>TestCenter テスト名 StartTime</p>"
    "<p>SelectPoint1/SelectPoint2/SelectPoint3/ExePoint/SelectPointA</p>結果イメージ"
    "<img src=\"sample.png\"></body></html>";
const std::string kCallInvigilator = "試験監督をお呼びください。";

std::string expected_page(const std::string& data_path) {
    return "<html><body><p>山田 太郎</p><p>東京会場 体験試験 2024/04/01 09:30</p>"
           "<p>24/28/18/0/70</p><img src=\"" +
           data_path + "pass.gif\" /><img src=\"" + data_path + "sample.png\"></body></html>";
}

// ------------------------------------------------------------------------------------------
// The result page alone.

struct PageCase {
    const char* name;
    std::string templ;
    exam_window::ResultPageValues values;
    std::string expected;
};

void PrintTo(const PageCase& c, std::ostream* os) { *os << c.name; }

exam_window::ResultPageValues values() {
    return {"山田 太郎", "東京会場", "体験試験", "2024/04/01 09:30", 0, "/opt/ledgrin/data/"};
}

exam_window::ResultPageValues with(std::function<void(exam_window::ResultPageValues&)> change) {
    auto v = values();
    change(v);
    return v;
}

class ResultPageTable : public ::testing::TestWithParam<PageCase> {};

TEST_P(ResultPageTable, ReplacesInOrder) {
    const PageCase& c = GetParam();
    const exam_window::ResultPage page = exam_window::build_result_page(c.templ, c.values);
    EXPECT_EQ(page.html, c.expected);
    EXPECT_EQ(page.score, 70);
    EXPECT_TRUE(page.pass);
}

INSTANTIATE_TEST_SUITE_P(
    Placeholders, ResultPageTable,
    ::testing::Values(
        PageCase{"every_placeholder",
                 "FamilyName|TestCenter|テスト名|StartTime|SelectPoint1|SelectPoint2|SelectPoint3|ExePoint|"
                 "SelectPointA|結果イメージ|sample.png",
                 values(),
                 "山田 太郎|東京会場|体験試験|2024/04/01 09:30|24|28|18|0|70|"
                 "<img src=\"/opt/ledgrin/data/pass.gif\" />|/opt/ledgrin/data/sample.png"},
        PageCase{"a_placeholder_twice", "<b>FamilyName</b> 様 (FamilyName)", values(),
                 "<b>山田 太郎</b> 様 (山田 太郎)"},
        PageCase{"test_name_holding_StartTime", "テスト名",
                 with([](auto& v) { v.test_name = "StartTime模試"; }), "2024/04/01 09:30模試"},
        PageCase{"a_replacement_is_not_searched_again_by_its_own_step", "TestCenter",
                 with([](auto& v) { v.test_center = "TestCenter第2"; }), "TestCenter第2"},
        PageCase{"the_run_points_as_given", "ExePoint", with([](auto& v) { v.exe_point = 7; }), "7"},
        PageCase{"without_placeholders_unchanged", "<p>結果</p>", values(), "<p>結果</p>"},
        PageCase{"case_and_width_as_written", "familyname ＦａｍｉｌｙＮａｍｅ selectpoint1", values(),
                 "familyname ＦａｍｉｌｙＮａｍｅ selectpoint1"}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------------------------------------
// The whole sequence.

// A pane of the main window that logs its calls, each followed by a marker queued behind it,
// so that the log shows where pending events were let run.
class LoggedPane : public fakes::FakeBrowserPane {
public:
    explicit LoggedPane(std::vector<std::string>& log) : log_(log) {}
    void navigate(const std::string& a) override {
        if (on_navigate) on_navigate();
        FakeBrowserPane::navigate(a);
        note("navigate " + a);
    }
    void refresh() override {
        FakeBrowserPane::refresh();
        note("refresh");
    }
    void write_document(const std::string& html) override {
        FakeBrowserPane::write_document(html);
        note("write");
    }
    std::function<void()> on_navigate;

private:
    void note(const std::string& what) {
        log_.push_back(what);
        auto* log = &log_;
        QMetaObject::invokeMethod(
            qApp, [log, what] { log->push_back("events after " + what); }, Qt::QueuedConnection);
    }
    std::vector<std::string>& log_;
};

class FakeMainWindow : public common::MainWindowApi {
public:
    platform::BrowserPane& main_browser() override { return pane; }
    void set_stage_caption(const std::string& c) override {
        caption = c;
        log.push_back("caption " + c);
    }
    void set_print_button_visible(bool v) override { log.push_back(v ? "print button shown" : "print button hidden"); }
    void show_topmost_at_origin() override {
        log.push_back(std::string("show topmost at origin, examination window ") +
                      (exam_window::kaikei().loaded() ? "loaded" : "gone"));
    }

    std::vector<std::string> log;
    LoggedPane pane{log};
    std::string caption;
};

std::vector<std::string> answer_key() {
    std::vector<std::string> key(51);
    for (int j = 0; j < 10; ++j) key[static_cast<size_t>(j)] = std::to_string(j + 1);
    for (int r = 0; r < 10; ++r) key[static_cast<size_t>(10 + r)] = "現金,1000,売上,1000";
    return key;
}

// Runs a check as each request goes out, in front of the platform's HTTP for as long as it lives.
class RequestWatch : public platform::Http {
public:
    RequestWatch(fakes::FakePlatform& fp, std::function<void()> check)
        : fp_(fp), inner_(std::move(fp.platform.http)), check_(std::move(check)) {
        fp_.platform.http.reset(this);
    }
    ~RequestWatch() override {
        (void)fp_.platform.http.release();
        fp_.platform.http = std::move(inner_);
    }
    platform::HttpAnswer get(const std::string& url, const std::string& agent, const std::string& header) override {
        check_();
        return inner_->get(url, agent, header);
    }
    platform::HttpAnswer get_keeping_https(const std::string& url, const std::string& agent,
                                           const std::string& header) override {
        check_();
        return inner_->get_keeping_https(url, agent, header);
    }

private:
    fakes::FakePlatform& fp_;
    std::unique_ptr<platform::Http> inner_;
    std::function<void()> check_;
};

class EndSequenceTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_windows_ = common::windows();
        common::windows().main_window = [this]() -> common::MainWindowApi& { return main; };
        result_folder = fp.root.folder("tmp/bramwick_result");
        new_program_run();
    }

    void TearDown() override {
        if (exam_window::kaikei().loaded()) exam_window::kaikei().unload();
        common::flush_unloads();
        QCoreApplication::processEvents();
        common::windows() = saved_windows_;
        common::reset_state();
        common::reset_main_values();
    }

    // Program-wide values as they stand when the examination window opens.
    void new_program_run() {
        common::reset_state();
        common::reset_main_values();
        auto& s = common::state();
        s.data_path = fp.system->program + "data/";
        s.result_path = result_folder;
        s.result_folder = fp.files->hold_trusted_folder(result_folder);
        s.screen_html[6] = kTemplate;
        s.test_name = "体験試験";
        s.test_center = "東京会場";
        s.rehearsal_mode = false;
        s.result_url = kUrl;
        s.user_agent = "orvanepc";
        s.roma_family_name = "YAMADA";
        s.roma_given_name = "TARO";
        s.result_id = 2;
        s.jid = 1;
        s.exe_id = 35;
        s.answer_key = answer_key();
        s.q4_group = 4;
        common::main_values().strKanjiName = "山田 太郎";
        common::main_values().test_start_time = "2024/04/01 09:30";
    }

    frmKaikei& load(const std::string& body = "<body><p>第１問</p></body>") {
        frmKaikei& f = exam_window::kaikei().get();
        pane(f, 1).outer_html = body;
        return f;
    }

    // Fills the three panes: every field empty, or every field answered correctly.
    void answer(frmKaikei& f, bool correct) {
        const auto key = answer_key();
        for (int j = 0; j < 10; ++j) pane(f, 1).add_text_field("answer", correct ? key[static_cast<size_t>(j)] : "");
        const char* const row[] = {"現金", "1000", "売上", "1000", "", "", "", ""};
        for (int r = 0; r < 10; ++r)
            for (const char* v : row) pane(f, 2).add_text_field("answer3", correct ? v : "");
        const auto q4 = fakes::correct_q4_group4();
        for (const auto& v : q4) pane(f, 3).add_text_field("answer4", correct ? v : "");
        f.page_opened[1] = true;
        f.page_opened[2] = true;
    }

    // What the end button and the countdown do before the sequence.
    void end(frmKaikei& f) {
        f.Timer1->set_Enabled(false);
        f.block_unload = false;
        f.end_sequence_entered = true;
        exam_window::end_syori(f);
    }

    static fakes::FakeBrowserPane& pane(frmKaikei& f, int n) {
        return static_cast<fakes::FakeBrowserPane&>(f.question_pane(n));
    }

    // The bytes of result.txt, and the same read back from code page 932.
    std::string result_file_bytes() const {
        std::ifstream in(result_folder + "result.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::string result_file() const { return platform::cp932::decode(result_file_bytes()); }

    std::vector<std::string> request_urls() const {
        std::vector<std::string> out;
        for (const auto& r : fp.http->requests) out.push_back(r.url);
        return out;
    }

    std::vector<std::string> sending_times() const {
        std::vector<std::string> out;
        for (const auto& r : fp.http->requests) {
            const size_t from = r.url.find("&TC=") + 4;
            out.push_back(r.url.substr(from, r.url.find("&GOUHI=") - from));
        }
        return out;
    }

    std::vector<std::string> box_titles() const {
        std::vector<std::string> out;
        for (const auto& b : fp.message_box->shown) out.push_back(b.title);
        return out;
    }

    fakes::FakePlatform fp;
    FakeMainWindow main;
    std::string result_folder;

private:
    common::WindowDirectory saved_windows_;
};

TEST_F(EndSequenceTest, StepsRunInOrderAndHandTheResultPageToTheMainWindow) {
    auto& s = common::state();
    s.rehearsal_mode = true;
    s.exe_point = 9;
    frmKaikei& f = load("<body>解答</body>");
    QPointer<frmKaikei> form(&f);

    // Runs at the first chance pending events get: the wait message must be up by then,
    // and nothing read yet.
    std::string at_first_events;
    QMetaObject::invokeMethod(
        qApp,
        [&] {
            at_first_events = std::string("wait ") + (f.lblWaitMsg->isHidden() ? "hidden" : "shown") +
                              ", remaining " + (f.lblRemaining->isHidden() ? "hidden" : "shown") + ", end button " +
                              (f.Command1->isHidden() ? "hidden" : "shown") +
                              ", reads " + std::to_string(pane(f, 1).reads);
        },
        Qt::QueuedConnection);
    std::string file_at_hand_back = "(not asked)";
    main.pane.on_navigate = [&] {
        if (file_at_hand_back == "(not asked)") file_at_hand_back = result_file();
    };

    end(f);

    EXPECT_EQ(at_first_events, "wait shown, remaining hidden, end button hidden, reads 0");
    EXPECT_EQ(file_at_hand_back, "<body>解答</body>");
    const std::vector<std::string> expected = {
        "navigate about:blank",
        "events after navigate about:blank",
        "refresh",
        "events after refresh",
        "caption 試験終了",
        "print button shown",
        "write",
        "events after write",
        "show topmost at origin, examination window loaded",
    };
    EXPECT_EQ(main.log, expected);
    EXPECT_EQ(main.pane.document, expected_page(s.data_path));
    EXPECT_EQ(main.caption, "試験終了");
    EXPECT_FALSE(exam_window::kaikei().loaded());
    ASSERT_TRUE(form);
    EXPECT_EQ(f.result_html, expected_page(s.data_path));
    EXPECT_EQ(s.exam_score, 70);
    EXPECT_EQ(s.exe_point, 0);
    EXPECT_TRUE(s.exam_ended);
    // Pages the candidate never opened are not read.
    EXPECT_EQ(pane(f, 1).reads, 1);
    EXPECT_EQ(pane(f, 2).reads, 0);
    EXPECT_EQ(pane(f, 3).reads, 0);
}

TEST_F(EndSequenceTest, EmptyAndFullAnswersGiveTheSamePageAndRequest) {
    std::vector<std::string> pages, urls;
    for (bool correct : {false, true}) {
        SCOPED_TRACE(correct ? "full" : "empty");
        new_program_run();
        main.pane.document.clear();
        fp.http->requests.clear();
        fp.http->answer("OK");
        frmKaikei& f = load();
        QPointer<frmKaikei> form(&f);
        answer(f, correct);

        end(f);

        ASSERT_TRUE(form);
        // Each pane's fields come in one round trip, and the second page is brought up.
        EXPECT_EQ(pane(f, 1).reads, 1);
        EXPECT_EQ(pane(f, 2).reads, 1);
        EXPECT_EQ(pane(f, 3).reads, 1);
        ASSERT_FALSE(pane(f, 2).visibility.empty());
        EXPECT_TRUE(pane(f, 2).visibility.back());
        EXPECT_EQ(common::state().exam_score, 70);
        EXPECT_TRUE(fp.message_box->shown.empty());
        pages.push_back(main.pane.document);
        ASSERT_EQ(fp.http->requests.size(), 1u);
        urls.push_back(fp.http->requests[0].url);
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
    EXPECT_EQ(pages[0], expected_page(common::state().data_path));
    EXPECT_EQ(pages[1], pages[0]);
    EXPECT_EQ(urls[0],
              kUrl + "?RFN=YAMADA&RGN=TARO&result_id=2&jid=1&exe_id=35&SP=70&TC=2024/04/01 10:00:00&GOUHI=True");
    EXPECT_EQ(urls[1], urls[0]);
}

// How the server answers one attempt.
enum class Answer { Ok, Ng, Nothing };

struct UploadCase {
    const char* name;
    std::vector<Answer> server;
    std::vector<MbResult> candidate;
    std::vector<std::string> titles;        // the boxes shown, by title
    std::vector<std::string> failure_lines;  // first line of each failure box
    std::vector<std::string> times;          // TC of each attempt; each box takes a second
};

void PrintTo(const UploadCase& c, std::ostream* os) { *os << c.name; }

class UploadLoop : public EndSequenceTest, public ::testing::WithParamInterface<UploadCase> {};

const std::string kRefused = "サーバで登録できませんでした。";

TEST_P(UploadLoop, RetriesUntilAcceptedOrGivenUp) {
    const UploadCase& c = GetParam();
    for (Answer a : c.server) {
        switch (a) {
            case Answer::Ok: fp.http->answer("OK"); break;
            case Answer::Ng: fp.http->answer("NG"); break;
            case Answer::Nothing: fp.http->unreachable(); break;
        }
    }
    fp.message_box->answers.assign(c.candidate.begin(), c.candidate.end());
    fp.message_box->during_box = [this](const platform::MessageBoxSpec&) { fp.clock->advance(1000); };
    frmKaikei& f = load("<body>第１問の解答</body>");

    end(f);

    EXPECT_EQ(box_titles(), c.titles);
    std::vector<std::string> failure_lines;
    for (const auto& b : fp.message_box->shown)
        if (b.title == "送信失敗") {
            EXPECT_EQ(b.text.substr(b.text.size() - kCallInvigilator.size() - 2), "\r\n" + kCallInvigilator);
            failure_lines.push_back(b.text.substr(0, b.text.size() - kCallInvigilator.size() - 2));
        }
    EXPECT_EQ(failure_lines, c.failure_lines);
    EXPECT_EQ(sending_times(), c.times);
    for (const auto& url : request_urls()) EXPECT_NE(url.find("&SP=70&"), std::string::npos) << url;
    EXPECT_TRUE(fp.message_box->answers.empty()) << "a scripted answer was not asked for";
    // Whatever the end of the loop, the file is written and the page handed on.
    EXPECT_EQ(result_file(), "<body>第１問の解答</body>");
    EXPECT_EQ(main.pane.document, expected_page(common::state().data_path));
    EXPECT_FALSE(exam_window::kaikei().loaded());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, UploadLoop,
    ::testing::Values(
        UploadCase{"ok_at_once", {Answer::Ok}, {}, {}, {}, {"2024/04/01 10:00:00"}},
        UploadCase{"nothing_received_then_ok",
                   {Answer::Nothing, Answer::Ok},
                   {MbResult::Ok, MbResult::Ok},
                   {"送信失敗", "送信リトライ"},
                   {""},
                   {"2024/04/01 10:00:00", "2024/04/01 10:00:02"}},
        UploadCase{"ng_retry_cancelled_stop_cancelled_then_ok",
                   {Answer::Ng, Answer::Ok},
                   {MbResult::Ok, MbResult::Cancel, MbResult::Cancel},
                   {"送信失敗", "送信リトライ", "送信中止"},
                   {kRefused},
                   {"2024/04/01 10:00:00", "2024/04/01 10:00:03"}},
        UploadCase{"given_up_after_a_refusal_and_a_silence",
                   {Answer::Ng, Answer::Nothing},
                   {MbResult::Ok, MbResult::Ok, MbResult::Ok, MbResult::Cancel, MbResult::Ok, MbResult::Ok},
                   {"送信失敗", "送信リトライ", "送信失敗", "送信リトライ", "送信中止", ""},
                   // A silence keeps the reason of the refusal before it.
                   {kRefused, kRefused},
                   {"2024/04/01 10:00:00", "2024/04/01 10:00:02"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EndSequenceTest, TheFourUploadBoxesAsShown) {
    fp.http->unreachable();
    fp.message_box->answers = {MbResult::Ok, MbResult::Cancel, MbResult::Ok, MbResult::Ok};
    end(load());

    struct Box {
        std::string title, text;
        MbButtons buttons;
        MbIcon icon;
        MbResult default_button;
    };
    const std::vector<Box> expected = {
        {"送信失敗", "\r\n試験監督をお呼びください。", MbButtons::Ok, MbIcon::Warning, MbResult::Ok},
        {"送信リトライ",
         "ネットワークを確認し、OKボタンを押してください。\r\nもう一度送信します。\r\n"
         "何度リトライしてもだめな場合はVarnelセンターにお問い合わせください。\r\n"
         "キャンセルをクリックすると送信を中止します。",
         MbButtons::OkCancel, MbIcon::Warning, MbResult::Ok},
        {"送信中止", "本当に送信を中止してよろしいですか？", MbButtons::OkCancel, MbIcon::Warning, MbResult::Cancel},
        {"", "Varnelセンターに試験結果を通知してください。\r\n結果を2枚印刷して記録してください。", MbButtons::Ok,
         MbIcon::None, MbResult::Ok},
    };
    const auto& shown = fp.message_box->shown;
    ASSERT_EQ(shown.size(), expected.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(shown[i].title, expected[i].title);
        EXPECT_EQ(shown[i].text, expected[i].text);
        EXPECT_EQ(shown[i].buttons, expected[i].buttons);
        EXPECT_EQ(shown[i].icon, expected[i].icon);
        EXPECT_EQ(shown[i].default_button, expected[i].default_button);
        EXPECT_TRUE(shown[i].system_modal);
    }
}

TEST_F(EndSequenceTest, TheRecordIsOnDiskBeforeTheUploadBeginsAndAFailedRecordIsToldFirst) {
    for (bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "writable" : "result file is a folder");
        new_program_run();
        fp.message_box->shown.clear();
        fp.http->requests.clear();
        std::filesystem::remove(result_folder + "result.txt");
        if (!writable) std::filesystem::create_directory(result_folder + "result.txt");
        std::vector<std::string> file_at_request;
        RequestWatch watch(fp, [&] { file_at_request.push_back(writable ? result_file() : "(folder)"); });
        fp.http->answer("OK");
        fp.message_box->answers = {MbResult::Ok};
        if (writable) fp.message_box->answers.clear();

        end(load("<body>先に記録</body>"));

        EXPECT_EQ(file_at_request, std::vector<std::string>{writable ? "<body>先に記録</body>" : "(folder)"});
        EXPECT_EQ(box_titles(), writable ? std::vector<std::string>{} : std::vector<std::string>{"保存失敗"});
        exam_window::kaikei().unload();
        common::flush_unloads();
    }
}

TEST_F(EndSequenceTest, RehearsalSendsNothingAndShowsNoBox) {
    common::state().rehearsal_mode = true;
    end(load("<body>体験</body>"));

    EXPECT_TRUE(fp.http->requests.empty());
    EXPECT_TRUE(fp.message_box->shown.empty());
    EXPECT_EQ(result_file(), "<body>体験</body>");
    EXPECT_EQ(main.pane.document, expected_page(common::state().data_path));
}

TEST_F(EndSequenceTest, OnlyTheFirstCallDoesAnything) {
    fp.http->unreachable();
    fp.message_box->answers = {MbResult::Ok, MbResult::Cancel, MbResult::Ok, MbResult::Ok};
    frmKaikei& f = load("<body>一度だけ</body>");
    // A second call while the first waits in its boxes.
    int nested_calls = 0;
    fp.message_box->during_box = [&](const platform::MessageBoxSpec&) {
        ++nested_calls;
        exam_window::end_syori(f);
    };
    end(f);
    ASSERT_EQ(nested_calls, 4);
    const auto log_after_first = main.log;
    EXPECT_EQ(fp.http->requests.size(), 1u);
    EXPECT_EQ(result_file(), "<body>一度だけ</body>");
    common::flush_unloads();

    // And a call after the end, on the window loaded once more.
    frmKaikei& again = load("<body>二度目</body>");
    end(again);

    EXPECT_EQ(fp.http->requests.size(), 1u);
    EXPECT_EQ(fp.message_box->shown.size(), 4u);
    EXPECT_EQ(result_file(), "<body>一度だけ</body>");
    EXPECT_EQ(main.log, log_after_first);
    EXPECT_EQ(pane(again, 1).reads, 0);
    EXPECT_TRUE(exam_window::kaikei().loaded());
}

TEST_F(EndSequenceTest, TwoRunsLeaveBothBodiesBackToBackInCp932) {
    std::ofstream(result_folder + "result.txt", std::ios::binary) << "earlier";
    // The second character of the first body is one the code page lacks: it alone is lost.
    const std::string bodies[] = {"<body><input name=\"answer\" value=\"現金\">한</body>",
                                  "<body><input name=\"answer\" value=\"売掛金\"></body>"};
    for (const auto& body : bodies) {
        new_program_run();
        common::state().rehearsal_mode = true;
        end(load(body));
        common::flush_unloads();
    }
    EXPECT_EQ(result_file_bytes(),
              "earlier"
              "<body><input name=\"answer\" value=\"\x8c\xbb\x8b\xe0\">?</body>"
              "<body><input name=\"answer\" value=\"\x94\x84\x8a\x7c\x8b\xe0\"></body>");
}

struct UnwritableCase {
    const char* name;
    std::function<void(const std::string& result_folder, frmKaikei&)> spoil;
};

void PrintTo(const UnwritableCase& c, std::ostream* os) { *os << c.name; }

class UnwritableResult : public EndSequenceTest, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableResult, CandidateIsToldAndThePageIsStillShown) {
    common::state().rehearsal_mode = true;
    fp.message_box->answers = {MbResult::Ok};
    frmKaikei& f = load();
    GetParam().spoil(result_folder, f);

    end(f);

    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    const auto& b = fp.message_box->shown[0];
    EXPECT_EQ(b.text, "試験結果をファイルに保存できませんでした。\r\n試験監督をお呼びください。");
    EXPECT_EQ(b.title, "保存失敗");
    EXPECT_EQ(b.buttons, MbButtons::Ok);
    EXPECT_EQ(b.icon, MbIcon::Warning);
    EXPECT_TRUE(b.system_modal);
    EXPECT_EQ(main.pane.document, expected_page(common::state().data_path));
    EXPECT_EQ(main.log.back(), "show topmost at origin, examination window loaded");
    EXPECT_FALSE(exam_window::kaikei().loaded());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, UnwritableResult,
    ::testing::Values(
        UnwritableCase{"result_file_is_a_folder",
                       [](const std::string& folder, frmKaikei&) {
                           std::filesystem::create_directory(folder + "result.txt");
                       }},
        UnwritableCase{"first_page_cannot_be_read",
                       [](const std::string&, frmKaikei& f) {
                           static_cast<fakes::FakeBrowserPane&>(f.question_pane(1)).fail_bridge = true;
                       }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
