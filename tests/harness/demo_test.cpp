// scripts/demo builds what it runs and nothing more: the programs and their data with the
// tests off, in a build folder of its own, then starts the installed launcher. Run here
// with stand-ins for cmake and dpkg-query that record what they were asked.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"

namespace {

// Notes its arguments; for an install it leaves a launcher that notes it was started.
const char* const kFakeCmake = R"SH(#!/bin/sh
echo "cmake $*" >> "$DEMO_LOG"
if [ "$1" = --install ]; then
  prefix=
  while [ $# -gt 0 ]; do
    if [ "$1" = --prefix ]; then prefix=$2; fi
    shift
  done
  mkdir -p "$prefix"
  printf '#!/bin/sh\necho "launcher started from $0" >> "$DEMO_LOG"\n' > "$prefix/launcher"
  chmod 755 "$prefix/launcher"
fi
)SH";

// Every package counts as installed, so the demo installs nothing.
const char* const kFakeDpkgQuery = "#!/bin/sh\nprintf 'install ok installed'\n";

TEST(Demo, BuildsOnlyTheProgramsInAFolderOfItsOwnAndStartsTheLauncher) {
    fakes::TempDir dir("ledgrin-demo-");
    const std::string bin = dir.folder("bin");
    for (const auto& [name, text] : {std::pair{"cmake", kFakeCmake}, std::pair{"dpkg-query", kFakeDpkgQuery}}) {
        const std::string path = dir.write(std::string("bin/") + name, text);
        ASSERT_EQ(::chmod(path.c_str(), 0755), 0);
    }
    const std::string log = dir.file("demo.log");
    const std::string build = dir.path() + "build-demo";
    const fakes::Finished run = fakes::run_to_end(
        fakes::source_dir() + "/scripts/demo", {},
        {"PATH=" + bin + ":/usr/bin:/bin", "HOME=" + dir.path(), "DISPLAY=:999", "DEMO_LOG=" + log,
         "DEMO_BUILD_DIR=" + build},
        dir.file("output.txt"));
    ASSERT_EQ(run.status, 0) << run.output;

    std::vector<std::string> lines;
    std::istringstream in(fakes::read_text_file(log));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u) << run.output;
    EXPECT_EQ(lines[0], "cmake -S . -B " + build +
                            " -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DLEDGRIN_BENCH=OFF");
    // The default target of that build: the programs, their data and the data tool.
    EXPECT_EQ(lines[1].rfind("cmake --build " + build + " -j ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], "cmake --install " + build + " --prefix " + build + "/dist");
    EXPECT_EQ(lines[3], "launcher started from " + build + "/dist/launcher");
}

}  // namespace
