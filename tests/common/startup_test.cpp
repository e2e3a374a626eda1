#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

#include "common/folders.h"
#include "common/startup.h"
#include "common/state.h"
#include "common/test_definition.h"
#include "common/text.h"
#include "common/windows.h"
#include "platform/backends.h"
#include "support/another_account.h"
#include "support/fake_platform.h"
#include "support/fifo_rescue.h"

using common::state;
using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;

namespace {

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        common::reset_state();
        common::reset_main_values();
        common::windows().show_main_window = [this] { ++main_windows_shown; };
    }
    void TearDown() override { common::windows() = common::WindowDirectory{}; }

    // Runs start-up; true when it ended the program.
    bool run_main(const std::string& args) {
        try {
            common::Main(args);
            return false;
        } catch (const fakes::ProgramEnded&) {
            return true;
        }
    }

    bool exists(const std::string& path) {
        struct stat st;
        return ::stat(path.c_str(), &st) == 0;
    }

    // One system-modal warning box with only OK, and nothing made before it.
    void expect_refused_before_anything(const std::string& title, const std::string& text) {
        ASSERT_EQ(fp.message_box->shown.size(), 1u);
        const auto& box = fp.message_box->shown[0];
        EXPECT_EQ(box.title, title);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.buttons, MbButtons::Ok);
        EXPECT_EQ(box.icon, MbIcon::Warning);
        EXPECT_TRUE(box.system_modal);
        EXPECT_EQ(main_windows_shown, 0);
        EXPECT_FALSE(exists(fp.system->temp + "quorvex/"));
        EXPECT_FALSE(exists(fp.system->temp + "bramwick_result/"));
    }

    fakes::FakePlatform fp;
    int main_windows_shown = 0;
};

TEST_F(StartupTest, EmptyArgumentsRunTheRehearsalStampedWithTheClock) {
    fp.clock->local = {2017, 3, 7, 14, 5, 9};
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(common::join(state().test_definition, ","),
              "TEST TYPE = 8,試験実施日時 = 2017/03/07 14:05,試験名 = Ledgrin,試験ファイル = tarvo,"
              "課題ファイル = dummy.doc,試験機関名 = Orvane,id=rehearsal");
    EXPECT_FALSE(state().main_loaded);
    EXPECT_EQ(main_windows_shown, 1);

    common::take_test_definition_fields();
    EXPECT_TRUE(state().rehearsal_mode);
    EXPECT_EQ(state().exe_id, 0);
    EXPECT_EQ(state().test_name, "OrvaneLedgrin");
    EXPECT_EQ(state().test_center, "Orvane");
}

TEST_F(StartupTest, FixedValuesAndPaths) {
    ASSERT_FALSE(run_main("anything at all"));
    EXPECT_EQ(state().test_definition, std::vector<std::string>{"anything at all"});
    EXPECT_EQ(state().user_agent, "orvanepc");
    EXPECT_EQ(state().db_password, "VtRqmdla_--_KpWe");
    EXPECT_EQ(state().app_path, fp.system->program);
    EXPECT_EQ(state().data_path, fp.system->program + "data/");
    EXPECT_EQ(state().scratch_path, fp.system->temp + "solvetta/");
    EXPECT_EQ(state().result_path, fp.system->temp + "bramwick_result/");
    EXPECT_TRUE(exists(state().scratch_path));
    EXPECT_TRUE(exists(state().result_path));
    ASSERT_TRUE(state().result_folder);  // held from here on
    EXPECT_EQ(state().result_folder->path(), state().result_path);
    ASSERT_TRUE(state().scratch_folder);
    EXPECT_EQ(state().scratch_folder->path(), state().scratch_path);
    EXPECT_TRUE(exists(fp.system->temp + "quorvex/"));
}

TEST_F(StartupTest, ProgramFolderWithoutTrailingSlashGetsOne) {
    fp.system->program.pop_back();
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().data_path, fp.system->program + "/data/");
}

TEST_F(StartupTest, EndpointsFromSettingsOrDefaults) {
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().register_url, common::kDefaultRegisterUrl);
    EXPECT_EQ(state().result_url, common::kDefaultResultUrl);

    common::reset_state();
    fp.settings->set("server", "register", "http://127.0.0.1:8080/reg");
    fp.settings->set("server", "result", "http://127.0.0.1:8080/res");
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().register_url, "http://127.0.0.1:8080/reg");
    EXPECT_EQ(state().result_url, "http://127.0.0.1:8080/res");
    ASSERT_GE(fp.settings->reads.size(), 2u);
    EXPECT_EQ(fp.settings->reads.back().file_path, fp.system->temp + "quorvex/setting.ini");
}

TEST_F(StartupTest, SettingsInAFolderOthersCanWriteAreIgnored) {
    const std::string work = fp.system->temp + "quorvex/";
    ASSERT_EQ(::mkdir(work.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(work.c_str(), 0777), 0);
    fp.settings->set("server", "result", "http://attacker.invalid/res");
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().result_url, common::kDefaultResultUrl);
}

TEST_F(StartupTest, SecondInstanceIsRefusedBeforeTheScreenCheck) {
    fp.lock->running_elsewhere.insert("ledgrin");
    fp.screen->twips_x = fp.screen->twips_y = 12;  // 120 DPI as well
    fp.message_box->answers = {MbResult::Ok};
    EXPECT_TRUE(run_main(""));
    expect_refused_before_anything("2重起動エラー", "すでに試験プログラムは起動されています。\r\n同時に実行することは出来ません。");
}

TEST_F(StartupTest, ALockFileThatCannotBeUsedGetsABoxOfItsOwnNamingTheFileAndTheReason) {
    fp.lock->unusable["ledgrin"] = "リンクになっています。";
    fp.screen->twips_x = fp.screen->twips_y = 12;  // comes first, as the second instance does
    fp.message_box->answers = {MbResult::Ok};
    EXPECT_TRUE(run_main(""));
    expect_refused_before_anything(
        "起動確認エラー",
        "2重起動を確認するファイルを使用できません。\r\n/run/user/1000/.ledgrin-ledgrin-1000.lock\r\n"
        "リンクになっています。\r\n\r\n試験監督者に連絡してください。\r\nプログラムを終了します。");
}

TEST_F(StartupTest, ScreenNotAt96DpiOnEitherAxisIsRefused) {
    for (auto [x, y] : {std::pair{12.0, 12.0}, {15.0, 12.0}, {12.0, 15.0}}) {
        SCOPED_TRACE(testing::Message() << x << "x" << y);
        common::reset_state();
        fp.message_box->shown.clear();
        fp.screen->twips_x = x;
        fp.screen->twips_y = y;
        fp.message_box->answers = {MbResult::Ok};
        EXPECT_TRUE(run_main(""));
        ASSERT_EQ(fp.message_box->shown.size(), 1u);
        const auto& box = fp.message_box->shown[0];
        EXPECT_EQ(box.title, "画面設定エラー");
        EXPECT_EQ(box.text,
                  "DPI設定が通常の大きさとは違っています。\r\n\r\n画面のプロパティで通常の大きさに戻してから実行してください。"
                  "\r\n\r\nプログラムを終了します。");
        EXPECT_EQ(box.icon, MbIcon::Warning);
        EXPECT_FALSE(box.system_modal);
        EXPECT_FALSE(exists(fp.system->temp + "quorvex/"));
        EXPECT_FALSE(exists(fp.system->temp + "solvetta/"));
    }
}

TEST_F(StartupTest, AResultFolderThatCannotBeUsedStopsTheStart) {
    // A plain file where the folder should be.
    fp.root.write("tmp/bramwick_result", "not a folder");
    fp.message_box->answers = {MbResult::Ok};
    EXPECT_TRUE(run_main(""));
    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    EXPECT_NE(fp.message_box->shown[0].text.find(fp.system->temp + "bramwick_result/"), std::string::npos);
    EXPECT_TRUE(fp.message_box->shown[0].system_modal);
    EXPECT_EQ(main_windows_shown, 0);
}

TEST_F(StartupTest, AResultFolderOthersCanWriteStopsTheStart) {
    const std::string folder = fp.system->temp + "bramwick_result/";
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    fp.message_box->answers = {MbResult::Ok};
    EXPECT_TRUE(run_main(""));
    EXPECT_EQ(main_windows_shown, 0);
}

// The temporary folder holds every working folder and the lock: one that another account
// could swap or write into stops the start, with a box naming it and the reason, before
// anything is read from it or made in it.
TEST_F(StartupTest, ATemporaryFolderThatCannotBeTrustedStopsTheStart) {
    const bool root = ::geteuid() == 0;
    const std::string tail = "\r\n\r\n試験監督者に連絡してください。\r\nプログラムを終了します。";
    struct Case {
        const char* name;
        bool needs_root;
        std::function<std::string()> prepare;  // makes the temporary folder; returns the reason
    } cases[] = {
        {"writable by others", false,
         [&] {
             EXPECT_EQ(::chmod(fp.system->temp.c_str(), 0777), 0);
             return std::string("ほかのユーザーも書き込むことができます。");
         }},
        {"missing", false,
         [&] {
             fp.system->temp = fp.root.file("missing/");
             return std::string("フォルダがありません。");
         }},
        {"in another account's folder with the sticky bit", true,
         [&] {
             const std::string shared = fp.root.folder("shared");
             fp.system->temp = fp.root.folder("shared/t");
             EXPECT_EQ(::chown(shared.c_str(), fakes::uid_without_account(), 0), 0);
             EXPECT_EQ(::chmod(shared.c_str(), 01777), 0);
             return "上位のフォルダ「" + shared + "」の中身をほかのユーザーが入れ替えることができます。";
         }},
        {"in root's folder writable by all without the sticky bit", true,
         [&] {
             const std::string open = fp.root.folder("open");
             fp.system->temp = fp.root.folder("open/t");
             EXPECT_EQ(::chmod(open.c_str(), 0777), 0);
             return "上位のフォルダ「" + open + "」の中身をほかのユーザーが入れ替えることができます。";
         }},
    };
    const std::string base = fp.system->temp;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.needs_root && !root) {
            std::printf("skipped \"%s\": needs root\n", c.name);
            continue;
        }
        common::reset_state();
        fp.message_box->shown.clear();
        fp.settings->reads.clear();
        fp.system->temp = base;
        ASSERT_EQ(::chmod(base.c_str(), 0700), 0);
        const std::string reason = c.prepare();
        fp.settings->set("server", "result", "http://planted.invalid/res");
        fp.message_box->answers = {MbResult::Ok};
        EXPECT_TRUE(run_main(""));
        expect_refused_before_anything("作業フォルダエラー",
                                       "作業用のフォルダを使用できません。\r\n" + fp.system->temp + "\r\n" + reason + tail);
        EXPECT_TRUE(fp.settings->reads.empty());
        EXPECT_TRUE(fp.lock->asked.empty());  // the lock lives there too
        EXPECT_FALSE(exists(fp.system->temp + "solvetta/"));
    }
}

TEST_F(StartupTest, WithoutAnyFolderOfTheUsersOwnTheStartStopsWithABox) {
    fp.system->temp = "";  // no home folder and no usable TMPDIR
    fp.message_box->answers = {MbResult::Ok};
    EXPECT_TRUE(run_main(""));
    ASSERT_EQ(fp.message_box->shown.size(), 1u);
    EXPECT_EQ(fp.message_box->shown[0].title, "作業フォルダエラー");
    EXPECT_EQ(fp.message_box->shown[0].text,
              "作業用のフォルダを使用できません。\r\nホームフォルダも TMPDIR も使用できません。\r\n\r\n"
              "試験監督者に連絡してください。\r\nプログラムを終了します。");
    EXPECT_TRUE(fp.settings->reads.empty());
    EXPECT_EQ(main_windows_shown, 0);
}

// A FIFO would hold the start before any window if it were opened as a file is; a link may
// lead to anybody's file. Both count as no settings file.
TEST_F(StartupTest, ASettingsFileThatIsAFifoOrALinkMeansTheBuiltInAddresses) {
    fp.platform.settings = platform::make_ini_settings_reader();
    const std::string planted = fp.root.write("planted.ini", "[server]\nregister=http://planted.invalid/reg\n");
    const std::string ini = fp.root.folder("tmp/quorvex") + "setting.ini";
    struct Case {
        const char* name;
        std::function<int()> make;
    } cases[] = {
        {"fifo", [&] { return ::mkfifo(ini.c_str(), 0600); }},
        {"link", [&] { return ::symlink(planted.c_str(), ini.c_str()); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        common::reset_state();
        main_windows_shown = 0;
        ::unlink(ini.c_str());
        ASSERT_EQ(c.make(), 0);
        fakes::FifoRescue rescue(ini);
        ASSERT_FALSE(run_main(""));
        EXPECT_FALSE(rescue.rescued()) << "the start waited on setting.ini";
        EXPECT_EQ(state().register_url, common::kDefaultRegisterUrl);
        EXPECT_EQ(state().result_url, common::kDefaultResultUrl);
        EXPECT_EQ(main_windows_shown, 1);
    }
    // The same file, put there as a plain file of the user's own, is read.
    common::reset_state();
    ::unlink(ini.c_str());
    ASSERT_EQ(::rename(planted.c_str(), ini.c_str()), 0);
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().register_url, "http://planted.invalid/reg");
}

TEST_F(StartupTest, AWorkingFolderThatCannotBeMadeMeansDefaults) {
    fp.root.write("tmp/quorvex", "in the way");
    fp.settings->set("server", "register", "http://127.0.0.1/reg");
    ASSERT_FALSE(run_main(""));
    EXPECT_EQ(state().register_url, common::kDefaultRegisterUrl);
    EXPECT_EQ(main_windows_shown, 1);
}

TEST_F(StartupTest, FoldersAreCreatedOnceAndKept) {
    const std::string first = common::get_result_folder();
    fp.root.write("tmp/bramwick_result/result.txt", "kept");
    EXPECT_EQ(common::get_result_folder(), first);
    EXPECT_TRUE(exists(first + "result.txt"));
    EXPECT_EQ(common::get_work_folder(), fp.system->temp + "quorvex/");
    EXPECT_EQ(common::get_scratch_folder(), fp.system->temp + "solvetta/");
}

TEST_F(StartupTest, TempFolderWithAndWithoutTrailingSlash) {
    const std::string base = fp.system->temp;  // ends in '/'
    for (bool trailing : {true, false}) {
        SCOPED_TRACE(trailing ? "with /" : "without /");
        fp.system->temp = trailing ? base : base.substr(0, base.size() - 1);
        EXPECT_EQ(common::get_work_folder(), base + "quorvex/");
        EXPECT_EQ(common::get_scratch_folder(), base + "solvetta/");
        EXPECT_EQ(common::get_result_folder(), base + "bramwick_result/");
        for (const char* name : {"quorvex", "solvetta", "bramwick_result"}) EXPECT_TRUE(exists(base + name)) << name;
    }
}

TEST_F(StartupTest, APlainFileInTheWayIsReported) {
    fp.root.write("tmp/solvetta", "x");
    EXPECT_THROW(common::get_scratch_folder(), platform::Error);
}

TEST(WorkArea, UnknownGivesZeros) {
    fakes::FakePlatform fp;
    fp.screen->area = {10, 20, 1930, 1060};
    auto r = common::get_work_area();
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.bottom, 1060);
    fp.screen->area_known = false;
    r = common::get_work_area();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
}

}  // namespace
