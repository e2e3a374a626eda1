// Two real examination programs on one display: the second one started while the first
// runs shows its box and ends, the first one goes on. Runs the test build of the program
// offscreen from an installed layout, with message boxes answered from a script and logged;
// and how such a run ends when its script fails.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Also when each has a runtime folder of its own, as a desktop session and a "su -" shell of
// one user have: they share the working folders, so one of them must stay out.
TEST(SecondInstance, ASecondExaminationProgramIsRefusedAndTheFirstGoesOn) {
    const std::string built = fakes::built_ledgrin_scripted();
    const std::string pages = fakes::built_data_dir() + "/qfile.dat";
    ASSERT_TRUE(fs::exists(built)) << built << " is not built";
    ASSERT_TRUE(fs::exists(pages)) << pages << " is not built";

    for (const bool runtime_folders : {false, true}) {
        SCOPED_TRACE(runtime_folders ? "a runtime folder each" : "no runtime folder");
        // The program as the launcher finds it, in a path that holds blanks.
        fakes::TempDir root("ledgrin exam ");
        const std::string program = root.file("ledgrin.dat");
        fs::copy_file(built, program);
        root.folder("data");
        fs::copy_file(pages, root.file("data/qfile.dat"));
        const std::string tmp = root.folder("tmp");

        // Let the first get as far as its main window.
        const auto run = fakes::start_in_two_sessions(program, root.path(), tmp, runtime_folders, 1s);
        ASSERT_EQ(run.failure, "");
        EXPECT_EQ(run.second_status, 0);
        EXPECT_EQ(run.boxes,
                  "2重起動エラー\tすでに試験プログラムは起動されています。\\r\\n同時に実行することは出来ません。\tOk\n");
        EXPECT_TRUE(run.first->running());
        EXPECT_TRUE(fakes::holds_flock(run.first->pid()));
    }
}

// A box that the test build cannot answer (its script has run out) ends the program with
// the reason on stderr and status 1: a failing run is a failed test, never an abort.
TEST(ScriptedRun, AnUnanswerableBoxEndsTheProgramWithItsReasonNotAnAbort) {
    fakes::TempDir root("ledgrin exam ");
    const std::string program = root.file("ledgrin.dat");
    fs::copy_file(fakes::built_ledgrin_scripted(), program);
    root.folder("data");
    const std::string tmp = root.folder("tmp");
    // A result folder that others may write is refused with a box at once.
    const std::string results = root.folder("tmp/bramwick_result");
    fs::permissions(results, fs::perms::all);
    const std::string script = root.write("answers.txt", "");
    const auto env = fakes::environment_with({{"TMPDIR", tmp}, {"LEDGRIN_MSGBOX_SCRIPT", script}});

    const fakes::Finished run = fakes::run_to_end(program, {}, env, root.file("output.txt"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("Main: message box: the answer script has no answer left"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.output.find("terminate called"), std::string::npos) << run.output;
}

}  // namespace
