// Starting program files: no arguments, own session, no descriptors of ours.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/backends.h"
#include "support/temp_dir.h"

namespace {

std::string wait_for_file(const std::string& path) {
    for (int i = 0; i < 500; ++i) {
        std::ifstream in(path);
        if (in) {
            std::stringstream s;
            s << in.rdbuf();
            return s.str();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "(never written)";
}

std::string field(const std::string& report, const std::string& name) {
    std::istringstream in(report);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    return "(missing)";
}

class ProcessTest : public ::testing::Test {
protected:
    std::string make_program(const std::string& name, const std::string& text, mode_t mode) {
        std::string path = dir.write(name, text);
        ::chmod(path.c_str(), mode);
        return path;
    }

    fakes::TempDir dir{"ledgrin process "};  // a blank in every path
    std::unique_ptr<platform::Process> process = platform::make_posix_process();
};

TEST_F(ProcessTest, StubGetsNoArgumentsItsOwnSessionAndNoDescriptorOfOurs) {
    std::string report = dir.file("report");
    std::string marker = dir.write("marker", "x");
    int leaked = ::open(marker.c_str(), O_RDONLY);  // deliberately inheritable
    ASSERT_GE(leaked, 0);

    std::string program = make_program("exam program.dat",
                                       "#!/bin/sh\n"
                                       "exec > '" + report + ".part'\n"
                                       "echo \"args=$#\"\n"
                                       "echo \"first=$1\"\n"
                                       // the name in the stat line holds a blank: count after its ')'
                                       "echo \"sid=$(sed 's/.*) //' /proc/$$/stat | cut -d' ' -f4)\"\n"
                                       "echo \"fds=$(for f in /proc/$$/fd/*; do readlink \"$f\"; done | tr '\\n' '|')\"\n"
                                       "mv '" + report + ".part' '" + report + "'\n",
                                       0755);
    ASSERT_TRUE(process->start(program));
    std::string got = wait_for_file(report);
    ::close(leaked);

    EXPECT_EQ(field(got, "args"), "0") << got;
    EXPECT_EQ(field(got, "first"), "");
    EXPECT_NE(field(got, "sid"), std::to_string(::getsid(0)));
    EXPECT_EQ(field(got, "fds").find(marker), std::string::npos) << got;
}

TEST_F(ProcessTest, FileThatCannotRunIsNotStarted) {
    struct Case {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", dir.file("missing.dat")},
        {"not_executable", make_program("plain.dat", "#!/bin/sh\ntouch '" + dir.file("ran") + "'\n", 0644)},
        {"folder", dir.folder("folder.dat")},
        {"not_a_program", make_program("garbage.dat", std::string("\x01\x02\x03garbage", 10), 0755)},
        {"missing_interpreter", make_program("orphan.dat", "#!/nonexistent/sh\n", 0755)},
    };
    for (const Case& c : cases) EXPECT_FALSE(process->start(c.path)) << c.name;
    EXPECT_FALSE(::access(dir.file("ran").c_str(), F_OK) == 0);
}

}  // namespace
