// Starting program files: no arguments, own session, no descriptors of ours.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

// A program written through a held folder, as a download is stored, is started from the file
// held: another file renamed over its name in the last instant never runs. A native program
// starts through its descriptor whatever its name leads to; a script, which its interpreter
// must read by its path, starts only while that path still leads to the file held.
TEST_F(ProcessTest, AHeldProgramStartsAsTheFileWrittenNeverWhatWasPutInItsPlace) {
    auto files = platform::make_posix_files();
    const std::string folder = dir.folder("bramwick");
    auto held = files->hold_trusted_folder(folder);
    ASSERT_TRUE(held);
    const std::string swapped_ran = dir.file("swapped ran");
    const auto put_in_place = [&](const std::string& name) {
        const std::string other = make_program("other", "#!/bin/sh\ntouch '" + swapped_ran + "'\n", 0755);
        ASSERT_EQ(::rename(other.c_str(), (folder + name).c_str()), 0);
    };

    // A native program whose output shows that it ran: env prints the environment.
    const auto env_program = held->write_file("exam.exe", files->read_all("/usr/bin/env"), true);
    put_in_place("exam.exe");
    EXPECT_FALSE(env_program->still_in_place());
    const std::string output = dir.file("output");
    ::setenv("LEDGRIN_HELD_PROGRAM", "ran", 1);
    std::fflush(stdout);
    const int saved_stdout = ::dup(1);
    const int to_file = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(to_file, 0);
    ::dup2(to_file, 1);
    const bool started = process->start_held(*env_program);
    ::dup2(saved_stdout, 1);
    ::close(saved_stdout);
    ::close(to_file);
    ::unsetenv("LEDGRIN_HELD_PROGRAM");
    EXPECT_TRUE(started);
    std::string printed;
    for (int i = 0; i < 500 && printed.find("LEDGRIN_HELD_PROGRAM=ran") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        printed = wait_for_file(output);
    }
    EXPECT_NE(printed.find("LEDGRIN_HELD_PROGRAM=ran"), std::string::npos) << printed;

    // A script, in place: it runs and sees its own path.
    const std::string report = dir.file("report");
    const std::string script = "#!/bin/sh\necho \"self=$0\" > '" + report + ".part'\nmv '" + report + ".part' '" +
                               report + "'\n";
    const auto in_place = held->write_file("exam.sh", script, true);
    ASSERT_TRUE(process->start_held(*in_place));
    EXPECT_EQ(field(wait_for_file(report), "self"), folder + "exam.sh");

    // A script whose name leads elsewhere by now: nothing is started.
    const auto moved = held->write_file("moved.sh", script, true);
    put_in_place("moved.sh");
    EXPECT_FALSE(process->start_held(*moved));

    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(::access(swapped_ran.c_str(), F_OK) == 0) << "what was put in the program's place ran";
}

}  // namespace
