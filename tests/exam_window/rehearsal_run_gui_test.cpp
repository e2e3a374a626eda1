// A whole rehearsal run of the examination program in-process, on the real web engine, the
// real databases and real files, with scripted answers to the message boxes and printing into a file.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/forms.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/windows.h"
#include "exam_window/frm_kaikei.h"
#include "exam_window/install.h"
#include "main_window/dialogs.h"
#include "main_window/frm_main.h"
#include "main_window/install.h"
#include "platform/backends.h"
#include "platform/codec.h"
#include "support/build_paths.h"
#include "support/fake_platform.h"
#include "support/print_to_pdf.h"

namespace {

namespace fs = std::filesystem;
using platform::MbResult;

std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string body_of(platform::BrowserPane& pane) { return pane.body_outer_html(); }

// The text of the second option (the first after "選んでください") of the first "answer" list.
std::string first_choice(const std::string& body) {
    size_t at = body.find("name=\"answer\"");
    for (int i = 0; i < 2 && at != std::string::npos; ++i) at = body.find("<option", at + 1);
    if (at == std::string::npos) return {};
    const size_t from = body.find('>', at) + 1;
    return body.substr(from, body.find("</option>", from) - from);
}

TEST(RehearsalRun, FromTheNoticePageToTheEndOfTheProgram) {
    const std::string built = fakes::built_data_dir();

    fakes::FakePlatform fp;
    const std::string pdf = fp.root.path() + "result.pdf";
    fp.platform.browsers = platform::make_webengine_browsers(fakes::print_to_pdf(pdf));
    fp.platform.database = platform::make_sqlcipher_engine();
    fp.platform.random = platform::make_std_random(*fp.clock);
    // Busy waits come to an end, and the countdown sees time pass without running out.
    fp.clock->step_per_read = 20;
    const std::string data = fp.system->program + "data/";
    for (const char* file : {"qfile.dat", "exam.dat", "pass.gif", "sample.png"})
        fs::copy_file(fs::path(built) / file, data + file);

    common::reset_state();
    common::reset_main_values();
    main_window::install();
    exam_window::install();
    common::Main("");

    auto& s = common::state();
    ASSERT_TRUE(s.rehearsal_mode);
    main_window::frmMain* main = main_window::main_form().peek();
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(main->stage_caption(), "了解");
    EXPECT_NE(body_of(*main->wbMain).find("<"), std::string::npos);

    // Notice page read: the registration form.
    main->Command1_Click();
    ASSERT_EQ(main->stage_caption(), "登録");
    ASSERT_TRUE(main->wbMain->read_fields({"KanjiFamilyName"}).front().present());

    // The empty form takes the sample details; the confirmation is answered "登録".
    bool confirmation_seen = false;
    std::function<void()> answer_confirmation = [&] {
        main_window::frmUserInfo* dialog = main_window::user_info_dialog().peek();
        if (dialog && dialog->isVisible()) {
            confirmation_seen = true;
            dialog->Command2_Click();
            return;
        }
        QTimer::singleShot(20, qApp, answer_confirmation);
    };
    QTimer::singleShot(0, qApp, answer_confirmation);
    main->Command1_Click();
    ASSERT_TRUE(confirmation_seen);
    ASSERT_EQ(main->stage_caption(), "試験開始");
    EXPECT_FALSE(common::main_values().strKanjiName.empty());
    for (const char* page : {"index.html", "index2.html", "index3.html"})
        EXPECT_TRUE(fs::exists(data + page)) << page;

    // Start: the examination window opens and the main window goes.
    main->Command1_Click();
    common::flush_unloads();
    ASSERT_FALSE(main_window::main_form().loaded());
    exam_window::frmKaikei* exam = exam_window::kaikei().peek();
    ASSERT_NE(exam, nullptr);

    // Answers in the three pages, each brought up through its tab. The first page's fields
    // are choices: the candidate takes the first real choice of the first one.
    const std::string choice = first_choice(body_of(*exam->wbQuestion));
    ASSERT_FALSE(choice.empty());
    ASSERT_TRUE(exam->wbQuestion->set_field("answer", choice));
    exam->cmdMondai_Click(1);
    ASSERT_TRUE(exam->wbQuestion2->set_field("answer3", "売掛金"));
    ASSERT_EQ(exam->wbQuestion2->read_fields({"answer3"}).front().first_value(), "売掛金");
    exam->cmdMondai_Click(2);
    ASSERT_TRUE(exam->wbQuestion3->set_field("answer4", "損益"));
    exam->cmdMondai_Click(0);

    // End button, "はい".
    fp.message_box->answers = {MbResult::Yes};
    exam->Command1_Click();
    common::flush_unloads();
    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    EXPECT_FALSE(exam_window::kaikei().loaded());
    EXPECT_TRUE(fp.http->requests.empty());

    main = main_window::main_form().peek();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->stage_caption(), "試験終了");
    EXPECT_FALSE(main->cmdPrint->isHidden());
    const std::string result_page = body_of(*main->wbMain);
    for (const char* shown : {"24", "28", "18", "70", "pass.gif"})
        EXPECT_NE(result_page.find(shown), std::string::npos) << shown;
    EXPECT_EQ(result_page.find("SelectPoint"), std::string::npos);

    // The first page as the candidate left it, in code page 932.
    const std::string record = platform::cp932::decode(read_bytes(s.result_path + "result.txt"));
    EXPECT_EQ(record.rfind("<body", 0), 0u) << record.substr(0, 80);
    EXPECT_NE(record.find("selected=\"selected\">" + choice + "</option>"), std::string::npos) << record;

    // Print, then the last stage ends the program and takes the question pages with it.
    fp.message_box->answers = {MbResult::Yes};
    main->cmdPrint_Click();
    EXPECT_TRUE(common::main_values().printed_flag);
    EXPECT_GT(fs::file_size(pdf), 0u);

    EXPECT_THROW(main->Command1_Click(), fakes::ProgramEnded);
    EXPECT_EQ(fp.process->ends, 1);
    for (const char* page : {"index.html", "index2.html", "index3.html"})
        EXPECT_FALSE(fs::exists(data + page)) << page;
    EXPECT_TRUE(fs::exists(s.result_path + "result.txt"));

    common::flush_unloads();
    QCoreApplication::processEvents();
}

}  // namespace
