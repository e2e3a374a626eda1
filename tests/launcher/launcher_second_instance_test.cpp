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

        const auto run = fakes::start_in_two_sessions(program, root.path(), tmp, runtime_folders, 0s);
        ASSERT_EQ(run.failure, "");
        EXPECT_EQ(run.second_status, 0);
        EXPECT_EQ(run.boxes,
                  "2重起動エラー\tすでに試験プログラムは起動されています。\\r\\n同時に実行することは出来ません。\tOk\n");
        // The first one is still there, in its sign-in window.
        EXPECT_TRUE(run.first->running());
    }
}

}  // namespace
