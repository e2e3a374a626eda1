// The tests as a person starts them by hand: without CTest's environment every one starts,
// some run through and find their data and programs and pass; an X11 test without a
// display skips and says why. And the programs as shipped carry none of the hooks that the
// test builds answer boxes with.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// Runs a built program in an environment of PATH, HOME and TMPDIR alone.
fakes::Finished run_bare(const std::string& program, const fakes::TempDir& dir, const std::vector<std::string>& args = {}) {
    return fakes::run_to_end(program, args, {"PATH=/usr/bin:/bin", "HOME=" + dir.path(), "TMPDIR=" + dir.path()},
                             dir.file("output.txt"));
}

// Every other test of this build, as CMake registered them.
std::vector<std::string> all_tests() {
    std::vector<std::string> names;
    std::istringstream in(LEDGRIN_ALL_TESTS);
    for (std::string name; std::getline(in, name, ',');) names.push_back(name);
    return names;
}

bool is_x11_test(const std::string& name) {
    const std::string tail = "_x11_test";
    return name.size() > tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
}

std::string bytes_of(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(Harness, TestsStartedByHandFindTheirDataAndProgramsAndPass) {
    for (const char* test : {"registration_stage_test", "registration_wire_test", "ledgrin_second_instance_test"}) {
        SCOPED_TRACE(test);
        fakes::TempDir dir("ledgrin-harness-");
        const fakes::Finished r = run_bare(fakes::built_test(test), dir);
        EXPECT_EQ(r.status, 0) << r.output;
    }
}

// Each test started by hand without a display: every X11 test skips with CTest's status
// and says why, every other one comes up (offscreen) and lists its tests.
TEST(Harness, EveryTestStartsByHandAndAnX11TestWithoutADisplaySkipsAndSaysWhy) {
    const std::vector<std::string> tests = all_tests();
    for (const char* known : {"dialogs_x11_test", "result_under_faults_test", "registration_wire_test"})
        ASSERT_NE(std::find(tests.begin(), tests.end(), known), tests.end()) << known << " is not in the list";
    // A few at a time: each brings up Qt and nothing more.
    std::vector<fakes::Finished> finished(tests.size());
    std::atomic<size_t> next{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w)
        workers.emplace_back([&] {
            for (size_t i; (i = next++) < tests.size();) {
                fakes::TempDir dir("ledgrin-harness-");
                finished[i] = run_bare(fakes::built_test(tests[i]), dir, {"--gtest_list_tests"});
            }
        });
    for (auto& w : workers) w.join();
    for (size_t i = 0; i < tests.size(); ++i) {
        const std::string& test = tests[i];
        const fakes::Finished& r = finished[i];
        SCOPED_TRACE(test);
        if (is_x11_test(test)) {
            EXPECT_EQ(r.status, 77) << r.output;  // a skip, not an abort
            EXPECT_NE(r.output.find("[  SKIPPED ] " + test + ": every test needs an X display and DISPLAY is not set"),
                      std::string::npos)
                << r.output;
        } else {
            EXPECT_EQ(r.status, 0) << r.output;
            EXPECT_NE(r.output.find(".\n  "), std::string::npos) << "no tests listed:\n" << r.output;
        }
    }
}

TEST(Harness, TheShippedProgramsCarryNoTestHook) {
    const char* const hooks[] = {"LEDGRIN_MSGBOX_SCRIPT", "LEDGRIN_MSGBOX_LOG", "LEDGRIN_PRINT_TO_PDF"};
    for (const std::string& program : {fakes::built_ledgrin(), fakes::built_launcher()}) {
        SCOPED_TRACE(program);
        const std::string bytes = bytes_of(program);
        ASSERT_GT(bytes.size(), 0u);
        for (const char* hook : hooks) EXPECT_EQ(bytes.find(hook), std::string::npos) << hook;
    }
    // The search itself finds a hook where one is built in.
    EXPECT_NE(bytes_of(fakes::built_ledgrin_scripted()).find("LEDGRIN_MSGBOX_SCRIPT"), std::string::npos);
}

}  // namespace
