// Two real launchers: the second one started while the first runs is refused with its
// box and ends, the first one stays. Runs the built executable offscreen, with message
// boxes answered from a script and logged.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::string read_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// This process's environment with some variables replaced.
std::vector<std::string> environment_with(const std::vector<std::pair<std::string, std::string>>& set) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        bool replaced = false;
        for (const auto& [name, value] : set) replaced = replaced || entry.rfind(name + "=", 0) == 0;
        if (!replaced) env.push_back(entry);
    }
    for (const auto& [name, value] : set) env.push_back(name + "=" + value);
    return env;
}

pid_t spawn(const std::string& program, const std::vector<std::string>& env) {
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
}

// True once the process holds a flock lock, as the kernel lists them.
bool holds_flock(pid_t pid) {
    std::istringstream locks(read_file("/proc/locks"));
    for (std::string line; std::getline(locks, line);) {
        std::istringstream f(line);
        std::string n, kind, mode, access, holder;
        f >> n >> kind >> mode >> access >> holder;
        if (kind == "FLOCK" && holder == std::to_string(pid)) return true;
    }
    return false;
}

// Waits for the child to end; -1 when it is still running at the deadline.
int wait_exit(pid_t pid, std::chrono::seconds limit) {
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return -1;
}

TEST(SecondInstance, ARealLauncherStartedWhileAnotherRunsIsRefused) {
    const char* build = std::getenv("LEDGRIN_BINARY_DIR");
    const char* source = std::getenv("LEDGRIN_SOURCE_DIR");
    ASSERT_TRUE(build && source) << "run through CTest";
    const std::string built = std::string(build) + "/src/launcher/launcher";
    ASSERT_TRUE(fs::exists(built)) << built << " is not built";

    // An installation whose path holds blanks.
    fakes::TempDir root("ledgrin launcher ");
    const std::string program = root.file("launcher");
    fs::copy_file(built, program);
    root.folder("data");
    fs::copy_file(std::string(source) + "/data/index.html", root.file("data/index.html"));
    const std::string tmp = root.folder("tmp");
    const std::string script = root.write("answers.txt", "Ok\n");
    const std::string log = root.file("boxes.log");
    const auto env = environment_with(
        {{"TMPDIR", tmp}, {"XDG_RUNTIME_DIR", ""}, {"LEDGRIN_MSGBOX_SCRIPT", script}, {"LEDGRIN_MSGBOX_LOG", log}});

    const pid_t first = spawn(program, env);
    ASSERT_GT(first, 0);
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    while (!holds_flock(first) && Clock::now() < deadline) {
        ASSERT_EQ(wait_exit(first, std::chrono::seconds(0)), -1) << "the first launcher ended: " << read_file(log);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ASSERT_TRUE(holds_flock(first)) << "the first launcher never took its lock";

    const pid_t second = spawn(program, env);
    ASSERT_GT(second, 0);
    const int second_exit = wait_exit(second, std::chrono::seconds(60));
    if (second_exit == -1) {
        ::kill(second, SIGKILL);
        ::waitpid(second, nullptr, 0);
    }
    EXPECT_EQ(second_exit, 0);
    EXPECT_EQ(read_file(log),
              "2重起動エラー\tすでに試験プログラムは起動されています。\\r\\n同時に実行することは出来ません。\tOk\n");

    // The first one is still there, in its sign-in window.
    EXPECT_EQ(wait_exit(first, std::chrono::seconds(0)), -1);
    ::kill(first, SIGTERM);
    if (wait_exit(first, std::chrono::seconds(20)) == -1) {
        ::kill(first, SIGKILL);
        ::waitpid(first, nullptr, 0);
    }
}

}  // namespace
