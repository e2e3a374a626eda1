// The real start of the examination program: a stub at data/ledgrin.dat in a folder
// whose path holds blanks is started by the sign-in button through the POSIX backend.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "launcher_fixture.h"
#include "platform/backends.h"

namespace {

using launcher_test::LauncherTest;
namespace fs = std::filesystem;

// Reports its arguments and where each of its open descriptors leads.
const char* const kStub = R"SH(#!/bin/sh
here=$(dirname "$0")
{
  echo "args=$#"
  for a in "$@"; do echo "arg=[$a]"; done
  echo "self=$0"
  for fd in /proc/$$/fd/*; do echo "fd=$(readlink "$fd")"; done
} > "$here/report.tmp"
mv "$here/report.tmp" "$here/report.txt"
)SH";

std::string wait_for_file(const std::string& path) {
    for (int i = 0; i < 1000 && !fs::exists(path); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class RealStartTest : public LauncherTest {
protected:
    void SetUp() override {
        LauncherTest::SetUp();
        fp.system->program = fp.root.folder("exam dir with blanks");
        data_ = fp.root.folder("exam dir with blanks/data");
        const std::string stub = fp.root.write("exam dir with blanks/data/ledgrin.dat", kStub);
        ::chmod(stub.c_str(), 0755);
        auto process = std::make_unique<fakes::RealProcess>();
        process_ = process.get();
        fp.platform.process = std::move(process);
        // The real lock, in the test's temporary folder.
        fp.platform.lock = platform::make_flock_instance_lock(*fp.system);
    }

    std::string data_;
    fakes::RealProcess* process_ = nullptr;
};

TEST_F(RealStartTest, TheProgramGetsNoArgumentAndNoDescriptorOfTheLauncher) {
    signed_in_window();
    fill("A123", "secret");
    EXPECT_TRUE(click_sign_in());
    ASSERT_EQ(process_->starts, std::vector<std::string>{data_ + "ledgrin.dat"});
    EXPECT_EQ(process_->ends, 1);

    const std::string report = wait_for_file(data_ + "report.txt");
    ASSERT_FALSE(report.empty()) << "the stub did not run";
    EXPECT_NE(report.find("args=0\n"), std::string::npos) << report;
    EXPECT_EQ(report.find("arg=["), std::string::npos) << report;
    EXPECT_NE(report.find("self=" + data_ + "ledgrin.dat\n"), std::string::npos) << report;

    // The lock lives in the temporary folder; nothing there may stay open in the child,
    // or the examination program would keep the launcher's lock after the launcher ended.
    bool lock_file_there = false;
    for (const auto& e : fs::directory_iterator(fp.system->temp)) {
        if (e.path().extension() == ".lock") lock_file_there = true;
    }
    EXPECT_TRUE(lock_file_there);
    std::istringstream lines(report);
    int descriptors = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("fd=", 0) != 0) continue;
        ++descriptors;
        EXPECT_EQ(line.find(fp.system->temp), std::string::npos) << line;
    }
    EXPECT_GE(descriptors, 3) << report;
}

TEST_F(RealStartTest, AMissingOrNotExecutableProgramShowsTheFailureAndTheLauncherStays) {
    struct Case {
        const char* what;
        std::function<void(const std::string&)> spoil;
    } cases[] = {
        {"missing", [](const std::string& p) { fs::remove(p); }},
        {"not executable", [](const std::string& p) { ::chmod(p.c_str(), 0644); }},
        {"a folder", [](const std::string& p) { fs::remove(p), fs::create_directory(p); }},
    };
    signed_in_window();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string program = data_ + "ledgrin.dat";
        fs::remove_all(program);
        fp.root.write("exam dir with blanks/data/ledgrin.dat", kStub);
        ::chmod(program.c_str(), 0755);
        c.spoil(program);
        modal_seen.clear();
        sign_in_page().fields.clear();
        fill("A123", "secret");

        EXPECT_FALSE(click_sign_in());
        EXPECT_EQ(modal_seen, (std::vector<std::string>{"confirm Ledgrin|2016/12/26 15:30",
                                                        "failure 試験プログラムを起動できませんでした。"}));
        EXPECT_EQ(process_->ends, 0);
        EXPECT_TRUE(sign_in_enabled());
        EXPECT_FALSE(fs::exists(data_ + "report.txt"));
    }
}

}  // namespace
