// Both real programs with TMPDIR naming a folder of the user's own that sits in a folder
// another account could rearrange: each stops at its start with the box that names the folder
// and why, and neither reads nor writes anything in it. Runs the test builds of the programs
// offscreen, with their message boxes answered from a script and logged.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "support/another_account.h"
#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(UntrustedTemporaryFolder, NeitherProgramUsesAFolderInsideOneAnotherAccountCanRearrange) {
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* name;
        mode_t mode;
        bool another_owner;  // else the folder is this account's (root's, as root)
    } cases[] = {
        {"another account's, shared with the sticky bit", 01777, true},
        {"writable by all without the sticky bit", 0777, false},
    };
    struct Program {
        const char* name;
        std::string built;
    } programs[] = {{"ledgrin", fakes::built_ledgrin_scripted()}, {"launcher", fakes::built_launcher_scripted()}};

    for (const Program& program : programs) {
        ASSERT_TRUE(fs::exists(program.built)) << program.built << " is not built";
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(program.name) + ", " + c.name);
            if (c.another_owner && !root) {
                std::printf("skipped \"%s\": a folder of another account needs root\n", c.name);
                continue;
            }
            fakes::TempDir dir;
            const std::string file = dir.file(program.name);
            fs::copy_file(program.built, file);
            dir.folder("data");
            // Qt makes a runtime folder of its own in TMPDIR when the session names none.
            const std::string runtime = dir.folder("run");
            const std::string parent = dir.folder("p");
            const std::string temp = dir.folder("p/t");
            if (c.another_owner) {
                ASSERT_EQ(::chown(parent.c_str(), fakes::uid_without_account(), 0), 0);
            }
            ASSERT_EQ(::chmod(parent.c_str(), c.mode), 0);
            const std::string script = dir.write("answers.txt", "Ok\n");
            const std::string log = dir.file("boxes.log");
            const auto env = fakes::environment_with({{"TMPDIR", temp},
                                                      {"XDG_RUNTIME_DIR", runtime},
                                                      {"LEDGRIN_MSGBOX_SCRIPT", script},
                                                      {"LEDGRIN_MSGBOX_LOG", log}});

            fakes::Child started(file, env);
            ASSERT_TRUE(started.started());
            EXPECT_EQ(started.wait_exit(std::chrono::seconds(60)), 0) << "it went on past its start";
            EXPECT_EQ(fakes::read_text_file(log),
                      "作業フォルダエラー\t作業用のフォルダを使用できません。\\r\\n" + temp +
                          "\\r\\n上位のフォルダ「" + parent +
                          "」の中身をほかのユーザーが入れ替えることができます。\\r\\n\\r\\n"
                          "試験監督者に連絡してください。\\r\\nプログラムを終了します。\tOk\n");
            EXPECT_TRUE(fs::is_empty(temp));  // not even the instance lock
        }
    }
}

}  // namespace
