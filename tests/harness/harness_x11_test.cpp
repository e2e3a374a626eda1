// An X11 test started by hand on a display writes its screenshots into the build tree, and
// nothing into a shared folder of the machine.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The time of the last write, or the earliest time when there is no such file.
fs::file_time_type written_at(const fs::path& p) {
    std::error_code ec;
    const auto t = fs::last_write_time(p, ec);
    return ec ? fs::file_time_type::min() : t;
}

TEST(Harness, ScreenshotsGoIntoTheBuildTree) {
    const fs::path shared = "/tmp/shots/frmShipai.png";
    const fs::path ours = fakes::shot_path("frmShipai.png");
    const auto shared_before = written_at(shared);
    const auto ours_before = written_at(ours);

    fakes::TempDir dir("ledgrin-harness-");
    // The display as this test has it, and nothing else of its environment.
    std::vector<std::string> env = {"PATH=/usr/bin:/bin", "HOME=" + dir.path(), "TMPDIR=" + dir.path(),
                                    std::string("DISPLAY=") + std::getenv("DISPLAY")};
    if (const char* auth = std::getenv("XAUTHORITY")) env.push_back(std::string("XAUTHORITY=") + auth);
    const fakes::Finished r = fakes::run_to_end(fakes::built_test("dialogs_x11_test"), {}, env, dir.file("output.txt"));
    ASSERT_EQ(r.status, 0) << r.output;

    EXPECT_EQ(written_at(shared), shared_before) << "a screenshot went to " << shared;
    EXPECT_GT(written_at(ours), ours_before) << "no screenshot in " << ours;
}

}  // namespace
