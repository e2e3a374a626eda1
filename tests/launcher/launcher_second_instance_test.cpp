// Two real launchers: the second one started while the first runs is refused with its
// box and ends, the first one stays. Runs the test build of the launcher offscreen, with
// message boxes answered from a script and logged.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Also when each has a runtime folder of its own, as two sessions of one user have.
TEST(SecondInstance, ARealLauncherStartedWhileAnotherRunsIsRefused) {
    const std::string built = fakes::built_launcher_scripted();
    ASSERT_TRUE(fs::exists(built)) << built << " is not built";

    for (const bool runtime_folders : {false, true}) {
        SCOPED_TRACE(runtime_folders ? "a runtime folder each" : "no runtime folder");
        // An installation whose path holds blanks.
        fakes::TempDir root("ledgrin launcher ");
        const std::string program = root.file("launcher");
        fs::copy_file(built, program);
        root.folder("data");
        fs::copy_file(fakes::source_dir() + "/data/index.html", root.file("data/index.html"));
        const std::string tmp = root.folder("tmp");
        const std::string script = root.write("answers.txt", "Ok\n");
        const std::string log = root.file("boxes.log");
        const auto env_with_runtime = [&](const std::string& name) {
            std::string runtime;
            if (runtime_folders) {
                runtime = root.folder(name);
                fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
            }
            return fakes::environment_with({{"TMPDIR", tmp},
                                            {"XDG_RUNTIME_DIR", runtime},
                                            {"LEDGRIN_MSGBOX_SCRIPT", script},
                                            {"LEDGRIN_MSGBOX_LOG", log}});
        };

        fakes::Child first(program, env_with_runtime("run-desktop"));
        ASSERT_TRUE(first.started());
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while (!fakes::holds_flock(first.pid()) && std::chrono::steady_clock::now() < deadline) {
            ASSERT_TRUE(first.running()) << "the first launcher ended: " << fakes::read_text_file(log);
            std::this_thread::sleep_for(20ms);
        }
        ASSERT_TRUE(fakes::holds_flock(first.pid())) << "the first launcher never took its lock";

        fakes::Child second(program, env_with_runtime("run-shell"));
        ASSERT_TRUE(second.started());
        EXPECT_EQ(second.wait_exit(60s), 0);
        EXPECT_EQ(fakes::read_text_file(log),
                  "2重起動エラー\tすでに試験プログラムは起動されています。\\r\\n同時に実行することは出来ません。\tOk\n");

        // The first one is still there, in its sign-in window.
        EXPECT_TRUE(first.running());
    }
}

}  // namespace
