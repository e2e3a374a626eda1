#include "support/build_paths.h"

#include <filesystem>

namespace fakes {

std::string source_dir() { return LEDGRIN_SOURCE_DIR; }
std::string built_data_dir() { return LEDGRIN_BUILT_DATA_DIR; }
std::string built_ledgrin() { return LEDGRIN_BUILT_LEDGRIN; }
std::string built_launcher() { return LEDGRIN_BUILT_LAUNCHER; }
std::string built_ledgrin_scripted() { return LEDGRIN_BUILT_LEDGRIN_SCRIPTED; }
std::string built_launcher_scripted() { return LEDGRIN_BUILT_LAUNCHER_SCRIPTED; }
std::string built_make_db() { return LEDGRIN_BUILT_MAKE_DB; }
std::string built_test(const std::string& name) { return std::string(LEDGRIN_BUILT_TESTS_DIR) + "/" + name; }

namespace {

std::filesystem::path build_folder(const char* name) {
    const std::filesystem::path folder = std::filesystem::path(LEDGRIN_BINARY_DIR) / name;
    std::filesystem::create_directories(folder);
    return folder;
}

}  // namespace

std::string shot_path(const std::string& file_name) { return (build_folder("test-shots") / file_name).string(); }

std::string scratch_dir() { return build_folder("test-scratch").string(); }

}  // namespace fakes
