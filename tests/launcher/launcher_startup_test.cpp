// Start-up of the launcher: the order of its refusals and their boxes, its settings and
// its folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "launcher_fixture.h"
#include "platform/backends.h"

namespace {

using launcher_test::LauncherTest;
namespace fs = std::filesystem;

const char* const kOsText = "このバージョンのOSでは試験を実施することはできません。";
const char* const kScreenText =
    "DPI設定が通常の大きさとは違っています。\r\n\r\n画面のプロパティで通常の大きさに戻してから実行してください。"
    "\r\n\r\nプログラムを終了します。";
const char* const kInstanceText = "すでに試験プログラムは起動されています。\r\n同時に実行することは出来ません。";

struct Refusal {
    const char* title;  // nullptr: the launcher starts
    const char* text;
    bool system_modal;
};
const Refusal kNone{nullptr, nullptr, false};
const Refusal kOs{"OSバージョンエラー", kOsText, true};
const Refusal kScreen{"画面設定エラー", kScreenText, false};
const Refusal kInstance{"2重起動エラー", kInstanceText, true};
const Refusal kLock{"起動確認エラー",
                    "2重起動を確認するファイルを使用できません。\r\n/run/user/1000/.ledgrin-launcher-1000.lock\r\n"
                    "通常のファイルではありません。\r\n\r\n試験監督者に連絡してください。\r\nプログラムを終了します。",
                    true};

struct CheckCase {
    int os_major;
    double twips_x, twips_y;
    bool another_runs;
    Refusal expected;
    bool lock_unusable = false;
};

class CheckOrder : public LauncherTest {};

TEST_F(CheckOrder, EachRefusalWithItsBoxAndNothingCreated) {
    const CheckCase cases[] = {
        {6, 15, 15, false, kNone},      {7, 15, 15, false, kNone},     {5, 15, 15, false, kOs},
        {0, 15, 15, false, kOs},        {5, 12, 12, true, kOs},        {6, 12, 12, false, kScreen},
        {6, 15, 12, false, kScreen},    {6, 12, 15, false, kScreen},   {6, 12, 12, true, kScreen},
        {6, 15, 15, true, kInstance},   {6, 15.0001, 15, false, kScreen},
        {6, 15, 15, false, kLock, true}, {6, 12, 12, false, kScreen, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "os " << c.os_major << ", twips " << c.twips_x << "/" << c.twips_y
                                        << ", another " << c.another_runs);
        launcher::unload_all_forms();
        launcher::reset_state();
        fs::remove_all(fp.system->temp);
        fs::create_directory(fp.system->temp);
        fp.message_box->shown.clear();
        fp.message_box->answers = {platform::MbResult::Ok};
        fp.lock->asked.clear();
        fp.lock->running_elsewhere.clear();
        if (c.another_runs) fp.lock->running_elsewhere.insert("launcher");
        fp.lock->unusable.clear();
        if (c.lock_unusable) fp.lock->unusable["launcher"] = "通常のファイルではありません。";
        fp.settings->reads.clear();
        fp.process->ends = 0;
        fp.system->os_major = c.os_major;
        fp.screen->twips_x = c.twips_x;
        fp.screen->twips_y = c.twips_y;

        const bool ended = run_main();

        if (!c.expected.title) {
            EXPECT_FALSE(ended);
            EXPECT_TRUE(fp.message_box->shown.empty());
            EXPECT_TRUE(launcher::forms().main.loaded());
            continue;
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(fp.process->ends, 1);
        ASSERT_EQ(fp.message_box->shown.size(), 1u);
        const auto& box = fp.message_box->shown[0];
        EXPECT_EQ(box.title, c.expected.title);
        EXPECT_EQ(box.text, c.expected.text);
        EXPECT_EQ(box.buttons, platform::MbButtons::Ok);
        EXPECT_EQ(box.icon, platform::MbIcon::Warning);
        EXPECT_EQ(box.default_button, platform::MbResult::Ok);
        EXPECT_EQ(box.system_modal, c.expected.system_modal);
        // Nothing after the refusal: no window, no settings read, no folder made.
        EXPECT_EQ(common::FormSlot::loaded_count(), 0);
        EXPECT_TRUE(fp.settings->reads.empty());
        EXPECT_TRUE(fs::is_empty(fp.system->temp));
        EXPECT_TRUE(launcher::state().download_url.empty());
        // The lock is asked for only after the system and the screen have passed.
        if (c.expected.title == kInstance.title || c.expected.title == kLock.title) {
            EXPECT_EQ(fp.lock->asked, std::vector<std::string>{"launcher"});
        } else {
            EXPECT_TRUE(fp.lock->asked.empty());
        }
    }
}

class Settings : public LauncherTest {};

TEST_F(Settings, KeysOrTheirDefaults) {
    struct Case {
        const char* url;    // nullptr: not set
        const char* login;
        const char* download_url;
        const char* login_url;
    } cases[] = {
        {nullptr, nullptr, launcher::kDefaultDownloadUrl, launcher::kDefaultLoginUrl},
        {"", "", launcher::kDefaultDownloadUrl, launcher::kDefaultLoginUrl},
        // Used as it stands: no separator is added.
        {"http://127.0.0.1:8080/dl", nullptr, "http://127.0.0.1:8080/dl", launcher::kDefaultLoginUrl},
        {nullptr, "https://login.example/in", launcher::kDefaultDownloadUrl, "https://login.example/in"},
        {"https://dl.example/p/", "https://login.example/in", "https://dl.example/p/", "https://login.example/in"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "url " << (c.url ? c.url : "(none)"));
        launcher::unload_all_forms();
        launcher::reset_state();
        *fp.settings = fakes::FakeSettings{};
        if (c.url) fp.settings->set("server", "url", c.url);
        if (c.login) fp.settings->set("server", "login", c.login);

        ASSERT_FALSE(run_main());
        EXPECT_EQ(launcher::state().download_url, c.download_url);
        EXPECT_EQ(launcher::state().login_url, c.login_url);
        ASSERT_EQ(fp.settings->reads.size(), 2u);
        const std::string ini = fp.system->temp + "quorvex/setting.ini";
        EXPECT_EQ(fp.settings->reads[0].section, "server");
        EXPECT_EQ(fp.settings->reads[0].key, "url");
        EXPECT_EQ(fp.settings->reads[0].file_path, ini);
        EXPECT_EQ(fp.settings->reads[1].key, "login");
        EXPECT_EQ(fp.settings->reads[1].file_path, ini);
    }
}

TEST_F(Settings, ReadFromTheRealFile) {
    fp.platform.settings = platform::make_ini_settings_reader();
    fp.root.folder("tmp/quorvex");
    fp.root.write("tmp/quorvex/setting.ini", "[Server]\r\nURL = \"http://127.0.0.1:9/get/\"\r\nlogin=\r\n");
    ASSERT_FALSE(run_main());
    EXPECT_EQ(launcher::state().download_url, "http://127.0.0.1:9/get/");
    EXPECT_EQ(launcher::state().login_url, launcher::kDefaultLoginUrl);
}

class Folders : public LauncherTest {};

TEST_F(Folders, PathsAgentAndTheFoldersMadeAtStart) {
    ASSERT_FALSE(run_main());
    const auto& s = launcher::state();
    EXPECT_EQ(s.data_path, fp.system->program + "data/");
    EXPECT_EQ(s.program_path, fp.system->temp + "bramwick/");
    EXPECT_EQ(s.user_agent, "orvanepc");
    EXPECT_FALSE(s.confirm_flag);
    // Made even without a settings file.
    EXPECT_TRUE(fs::is_directory(fp.system->temp + "quorvex"));
    EXPECT_TRUE(fs::is_directory(fp.system->temp + "bramwick"));
    EXPECT_TRUE(fs::is_directory(fp.system->temp + "bramwick/data"));
}

TEST_F(Folders, DataPathHasExactlyOneSeparator) {
    struct Case {
        const char* program;
        const char* data_path;
    } cases[] = {{"/", "/data/"}, {"/opt/x", "/opt/x/data/"}, {"/opt/x/", "/opt/x/data/"}};
    for (const auto& c : cases) {
        launcher::unload_all_forms();
        fp.system->program = c.program;
        ASSERT_FALSE(run_main());
        EXPECT_EQ(launcher::state().data_path, c.data_path);
    }
}

TEST_F(Folders, AFolderThatCannotBeMadeDoesNotStopTheStart) {
    // Plain files where the folders should go.
    fp.root.write("tmp/quorvex", "");
    fp.root.write("tmp/bramwick", "");
    fp.settings->set("server", "url", "http://planted.example/");
    ASSERT_FALSE(run_main());
    EXPECT_TRUE(launcher::forms().main.loaded());
    EXPECT_TRUE(fp.message_box->shown.empty());
    // No usable working folder: the settings fall back to the defaults.
    EXPECT_EQ(launcher::state().download_url, launcher::kDefaultDownloadUrl);
    EXPECT_EQ(launcher::state().program_path, fp.system->temp + "bramwick/");
    EXPECT_TRUE(fs::is_regular_file(fp.system->temp + "bramwick"));
}

TEST_F(Folders, ProgramFolderWithoutItsDataSubfolderGetsIt) {
    fp.root.folder("tmp/bramwick");
    EXPECT_EQ(launcher::get_program_folder(), fp.system->temp + "bramwick/");
    EXPECT_TRUE(fs::is_directory(fp.system->temp + "bramwick/data"));
    // A second call finds both and changes nothing.
    std::ofstream(fp.system->temp + "bramwick/data/keep") << "x";
    EXPECT_EQ(launcher::get_program_folder(), fp.system->temp + "bramwick/");
    EXPECT_TRUE(fs::exists(fp.system->temp + "bramwick/data/keep"));
}

// The temporary folder holds the lock, the settings and the downloaded programs: one that
// cannot be trusted stops the start after the refusals of the system and the screen, and
// before anything is read from it or made in it.
TEST_F(Folders, ATemporaryFolderThatCannotBeTrustedStopsTheStart) {
    const std::string tail = "\r\n\r\n試験監督者に連絡してください。\r\nプログラムを終了します。";
    const std::string shared = fp.root.folder("shared");
    ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
    struct Case {
        const char* name;
        std::string temp;
        double twips;
        bool another_runs;
        const char* title;
        std::string text;
    } cases[] = {
        {"missing", fp.root.path() + "no such folder/", 15, false, "作業フォルダエラー",
         "作業用のフォルダを使用できません。\r\n" + fp.root.path() + "no such folder/\r\nフォルダがありません。" + tail},
        {"shared as /tmp is", shared, 15, false, "作業フォルダエラー",
         "作業用のフォルダを使用できません。\r\n" + shared + "\r\nほかのユーザーも書き込むことができます。" + tail},
        {"no home folder", "", 15, false, "作業フォルダエラー",
         "作業用のフォルダを使用できません。\r\nホームフォルダも TMPDIR も使用できません。" + tail},
        {"and a screen at 120 DPI", shared, 12, false, "画面設定エラー", kScreenText},
        // The lock lives in the temporary folder: nothing is asked of it there before.
        {"and another instance", shared, 15, true, "作業フォルダエラー",
         "作業用のフォルダを使用できません。\r\n" + shared + "\r\nほかのユーザーも書き込むことができます。" + tail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        launcher::unload_all_forms();
        launcher::reset_state();
        fp.system->temp = c.temp;
        fp.screen->twips_x = fp.screen->twips_y = c.twips;
        fp.lock->running_elsewhere.clear();
        if (c.another_runs) fp.lock->running_elsewhere.insert("launcher");
        fp.settings->set("server", "url", "http://planted.invalid/");
        fp.settings->reads.clear();
        fp.message_box->shown.clear();
        fp.message_box->answers = {platform::MbResult::Ok};
        EXPECT_TRUE(run_main());
        ASSERT_EQ(fp.message_box->shown.size(), 1u);
        EXPECT_EQ(fp.message_box->shown[0].title, c.title);
        EXPECT_EQ(fp.message_box->shown[0].text, c.text);
        EXPECT_EQ(common::FormSlot::loaded_count(), 0);
        EXPECT_TRUE(fp.settings->reads.empty());
        EXPECT_TRUE(fp.lock->asked.empty());
        EXPECT_TRUE(fs::is_empty(shared));
    }
}

}  // namespace
