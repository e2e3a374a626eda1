// The tests as a person starts them by hand: without CTest's environment they find their
// data and programs and pass; an X11 test without a display skips and says why. And the
// programs as shipped carry none of the hooks that the test builds answer boxes with.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// Runs a built program in an environment of PATH, HOME and TMPDIR alone.
fakes::Finished run_bare(const std::string& program, const fakes::TempDir& dir) {
    return fakes::run_to_end(program, {}, {"PATH=/usr/bin:/bin", "HOME=" + dir.path(), "TMPDIR=" + dir.path()},
                             dir.file("output.txt"));
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

TEST(Harness, AnX11TestWithoutADisplaySkipsAndSaysWhy) {
    fakes::TempDir dir("ledgrin-harness-");
    const fakes::Finished r = run_bare(fakes::built_test("dialogs_x11_test"), dir);
    EXPECT_EQ(r.status, 77) << r.output;  // CTest's skip status, not an abort
    EXPECT_NE(r.output.find("needs an X display"), std::string::npos) << r.output;
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
