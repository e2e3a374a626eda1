// scripts/test runs three CTest passes, each with --no-tests=error, then lists the tests that
// skipped with their reasons, and fails, run as root, on a skip that is not by design or on
// a case that failed beside a skip (CTest counts such a test as skipped). Run here with
// stand-ins for cmake, ctest, xvfb-run, dpkg-query and id, the stand-in ctest playing back
// a console output and a test log for each pass.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// Plays back pass N (counted in $FAKE/count): prints passN.out, leaves passN.log as CTest's
// log in the build tree, ends with passN.status; notes its arguments in $FAKE/ctest-args.
const char* const kFakeCtest = R"SH(#!/bin/sh
echo "$*" >> "$FAKE/ctest-args"
n=$(( $(cat "$FAKE/count" 2>/dev/null || echo 0) + 1 ))
echo $n > "$FAKE/count"
while [ $# -gt 0 ]; do
  if [ "$1" = --test-dir ]; then build=$2; fi
  shift
done
mkdir -p "$build/Testing/Temporary"
cp "$FAKE/pass$n.log" "$build/Testing/Temporary/LastTest.log"
cat "$FAKE/pass$n.out"
exit $(cat "$FAKE/pass$n.status" 2>/dev/null || echo 0)
)SH";

// Drops its own options and the window manager, then runs the command.
const char* const kFakeXvfbRun = R"SH(#!/bin/sh
while [ $# -gt 0 ]; do
  case $1 in
    -a) shift ;;
    -s) shift 2 ;;
    scripts/with-openbox) shift ;;
    *) break ;;
  esac
done
exec "$@"
)SH";

// A CTest log with one test whose output is `output`, counted as skipped when `skipped`.
std::string ctest_log(const std::string& test, const std::string& output, bool skipped) {
    return "Start testing: Dec 11 04:36 UTC\n"
           "----------------------------------------------------------\n"
           "1/1 Testing: " + test + "\n1/1 Test: " + test + "\nCommand: \"" + test + "\"\nOutput:\n"
           "----------------------------------------------------------\n" + output + "<end of output>\n"
           "Test time =   0.07 sec\n----------------------------------------------------------\n" +
           (skipped ? "Test Pass Reason:\nSkip regular expression found in output. Regex=[\\[  SKIPPED \\]]\n"
                    : "Test Passed.\n") +
           "\"" + test + "\" end time: Dec 11 04:36 UTC\n"
           "----------------------------------------------------------\n\nEnd testing: Dec 11 04:36 UTC\n";
}

// What GoogleTest prints for a case that skipped with this reason.
std::string gtest_skip(const std::string& test_case, const std::string& reason) {
    return "[ RUN      ] " + test_case + "\n../tests/x.cpp:95: Skipped\n" + reason + "\n\n[  SKIPPED ] " +
           test_case + " (0 ms)\n";
}

std::string summary(int tests, int failed) {
    return "\n" + std::to_string(failed ? 100 * (tests - failed) / tests : 100) + "% tests passed, " +
           std::to_string(failed) + " tests failed out of " + std::to_string(tests) +
           "\n\nTotal Test time (real) =   1.00 sec\n";
}

struct Pass {
    std::string log;  // the tests' log CTest leaves
    int status = 0;
    int failed = 0;
};

const Pass kClean{ctest_log("a_test", "[  PASSED  ] 1 test.\n", false)};

struct ScriptRun {
    int status = -1;
    std::string output;
    std::vector<std::string> ctest_args;
};

// scripts/test with the three passes given, as uid `uid`.
ScriptRun run_script(const Pass (&passes)[3], int uid) {
    fakes::TempDir dir("ledgrin-test-script-");
    const std::string fake = dir.folder("fake");
    const std::string bin = dir.folder("bin");
    const std::pair<const char*, std::string> tools[] = {
        {"ctest", kFakeCtest},
        {"xvfb-run", kFakeXvfbRun},
        {"cmake", "#!/bin/sh\nexit 0\n"},
        {"dpkg-query", "#!/bin/sh\nprintf 'install ok installed'\n"},
        {"id", "#!/bin/sh\necho " + std::to_string(uid) + "\n"},
    };
    for (const auto& [name, text] : tools) {
        const std::string path = dir.write(std::string("bin/") + name, text);
        ::chmod(path.c_str(), 0755);
    }
    for (int i = 0; i < 3; ++i) {
        const std::string n = std::to_string(i + 1);
        dir.write("fake/pass" + n + ".log", passes[i].log);
        dir.write("fake/pass" + n + ".out", "    Start 1: a_test\n" + summary(4, passes[i].failed));
        dir.write("fake/pass" + n + ".status", std::to_string(passes[i].status));
    }
    const fakes::Finished f = fakes::run_to_end(
        fakes::source_dir() + "/scripts/test", {},
        {"PATH=" + bin + ":/usr/bin:/bin", "HOME=" + dir.path(), "FAKE=" + fake, "BUILD_DIR=" + dir.path() + "build"},
        dir.file("output.txt"));
    ScriptRun r{f.status, f.output, {}};
    std::istringstream args(fakes::read_text_file(fake + "ctest-args"));
    for (std::string line; std::getline(args, line);) r.ctest_args.push_back(line);
    return r;
}

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(TestScript, EveryPassRefusesNoTestsAndCtestsSummariesCloseTheOutput) {
    Pass failing = kClean;
    failing.status = 8;
    failing.failed = 1;
    const ScriptRun r = run_script({kClean, failing, kClean}, 0);
    EXPECT_EQ(r.status, 8) << r.output;  // CTest's own
    ASSERT_EQ(r.ctest_args.size(), 3u) << r.output;
    for (const std::string& args : r.ctest_args) EXPECT_TRUE(has(args, "--no-tests=error")) << args;
    EXPECT_TRUE(has(r.ctest_args[0], "-L unit|gui")) << r.ctest_args[0];
    EXPECT_TRUE(has(r.ctest_args[1], "-L x11 -j 1")) << r.ctest_args[1];
    const std::string tail = r.output.substr(r.output.rfind("== Skipped tests"));
    EXPECT_TRUE(has(tail, "== x11 on a bare display\n75% tests passed, 1 tests failed out of 4\n")) << tail;
    const std::string last = "100% tests passed, 0 tests failed out of 4\n\nTotal Test time (real) =   1.00 sec\n";
    EXPECT_EQ(r.output.substr(r.output.size() - last.size()), last) << r.output;
}

TEST(TestScript, SkipsAreListedWithTheirReasonsAndOnlyThoseByDesignPassAsRoot) {
    const Pass by_design{ctest_log("files_bytes_test",
                                   gtest_skip("WriteBytes.AFolderWithoutTheRightToWrite", "root writes into any folder"),
                                   true)};
    const Pass wm{ctest_log("desktop_keys_x11_test",
                            gtest_skip("DesktopKeys.ListedClients", "the window manager's list names its clients"), true)};
    const Pass no_server{ctest_log("print_cups_x11_test", gtest_skip("PrintToCups.Result", "cupsd did not start"), true)};
    const Pass no_display{ctest_log("dialogs_x11_test",
                                    "[  SKIPPED ] dialogs_x11_test: every test needs an X display and DISPLAY is not set\n",
                                    true)};
    const Pass no_reason{ctest_log("a_test", gtest_skip("A.B", ""), true)};
    const Pass failed_beside_skip{
        ctest_log("files_bytes_test",
                  gtest_skip("WriteBytes.AFolderWithoutTheRightToWrite", "root writes into any folder") +
                      "[ RUN      ] WriteBytes.Other\n../x.cpp:3: Failure\n[  FAILED  ] WriteBytes.Other (1 ms)\n",
                  true)};
    struct Case {
        const char* name;
        Pass passes[3];
        int uid;
        int status;
        std::vector<std::string> listed;
    } cases[] = {
        {"by design only", {by_design, kClean, wm}, 0, 0,
         {"unit and gui: files_bytes_test WriteBytes.AFolderWithoutTheRightToWrite: root writes into any folder\n",
          "x11 under openbox: desktop_keys_x11_test DesktopKeys.ListedClients: the window manager's list names its "
          "clients\n"}},
        {"a server that did not start", {kClean, no_server, kClean}, 0, 1,
         {"x11 on a bare display: print_cups_x11_test PrintToCups.Result: cupsd did not start (not by design)\n",
          "1 skipped for a reason not by design"}},
        {"the same, not as root", {kClean, no_server, kClean}, 1000, 0,
         {"cupsd did not start (not by design)\n", "run as root, these would fail the run"}},
        {"no display", {kClean, no_display, kClean}, 0, 1,
         {"x11 on a bare display: dialogs_x11_test: every test needs an X display and DISPLAY is not set (not by "
          "design)\n"}},
        {"no reason", {no_reason, kClean, kClean}, 0, 1, {"a_test A.B: (no reason given) (not by design)\n"}},
        {"a failure beside a skip", {failed_beside_skip, kClean, kClean}, 1000, 1,
         {"unit and gui: files_bytes_test: a case FAILED beside a skip"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ScriptRun r = run_script(c.passes, c.uid);
        EXPECT_EQ(r.status, c.status) << r.output;
        const std::string listing = r.output.substr(r.output.rfind("== Skipped tests"));
        for (const std::string& line : c.listed) EXPECT_TRUE(has(listing, line)) << line << "\nin\n" << listing;
    }
}

}  // namespace
