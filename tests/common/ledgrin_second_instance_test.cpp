// Two real examination programs on one display: the second one started while the first
// runs shows its box and ends, the first one goes on. Runs the built executable offscreen
// from an installed layout, with message boxes answered from a script and logged.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(SecondInstance, ASecondExaminationProgramIsRefusedAndTheFirstGoesOn) {
    const char* build = std::getenv("LEDGRIN_BINARY_DIR");
    ASSERT_TRUE(build) << "run through CTest";
    const std::string built = std::string(build) + "/ledgrin";
    const std::string pages = std::string(build) + "/data/qfile.dat";
    ASSERT_TRUE(fs::exists(built)) << built << " is not built";
    ASSERT_TRUE(fs::exists(pages)) << pages << " is not built";

    // The program as the launcher finds it, in a path that holds blanks.
    fakes::TempDir root("ledgrin exam ");
    const std::string program = root.file("ledgrin.dat");
    fs::copy_file(built, program);
    root.folder("data");
    fs::copy_file(pages, root.file("data/qfile.dat"));
    const std::string tmp = root.folder("tmp");
    const std::string script = root.write("answers.txt", "Ok\n");
    const std::string log = root.file("boxes.log");
    const auto env =
        fakes::environment_with({{"TMPDIR", tmp}, {"XDG_RUNTIME_DIR", ""}, {"LEDGRIN_MSGBOX_SCRIPT", script}, {"LEDGRIN_MSGBOX_LOG", log}});

    fakes::Child first(program, env);
    ASSERT_TRUE(first.started());
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (!fakes::holds_flock(first.pid()) && std::chrono::steady_clock::now() < deadline) {
        ASSERT_TRUE(first.running()) << "the first program ended: " << fakes::read_text_file(log);
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(fakes::holds_flock(first.pid())) << "the first program never took its lock";
    // Let it get as far as its main window.
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(first.running()) << fakes::read_text_file(log);

    fakes::Child second(program, env);
    ASSERT_TRUE(second.started());
    EXPECT_EQ(second.wait_exit(60s), 0);
    EXPECT_EQ(fakes::read_text_file(log),
              "2重起動エラー\tすでに試験プログラムは起動されています。\\r\\n同時に実行することは出来ません。\tOk\n");

    EXPECT_TRUE(first.running());
    EXPECT_TRUE(fakes::holds_flock(first.pid()));
}

}  // namespace
