#pragma once
// Where the build put what the tests use. The paths are fixed when the tests are built, so
// a test started by hand finds everything as it does under CTest.
#include <string>

namespace fakes {

std::string source_dir();      // the source tree, no trailing '/'
std::string built_data_dir();  // the databases and images the build made, no trailing '/'

// The programs as built: the shipped ones and their test builds (scripted message boxes).
std::string built_ledgrin();
std::string built_launcher();
std::string built_ledgrin_scripted();
std::string built_launcher_scripted();
std::string built_make_db();
// Another test executable of this build.
std::string built_test(const std::string& name);

// A path for a screenshot, in the build tree's test-shots folder, which is made when missing.
std::string shot_path(const std::string& file_name);
// A folder in the build tree for what the programs a test starts write (their homes and
// profiles) and for each test process's own folders (support/test_process.h), made when
// missing; no trailing '/'.
std::string scratch_dir();

}  // namespace fakes
