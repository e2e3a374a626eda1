#pragma once
// Starting a built program as a child of the test and watching it: its environment, whether
// it holds its instance lock yet, and how it ended.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace fakes {

inline std::string read_text_file(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// This process's environment with some variables replaced.
inline std::vector<std::string> environment_with(const std::vector<std::pair<std::string, std::string>>& set) {
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

// The strings as the null-ended array that posix_spawn takes; they must outlive it.
inline std::vector<char*> c_strings(const std::vector<std::string>& strings) {
    std::vector<char*> out;
    for (const auto& s : strings) out.push_back(const_cast<char*>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

// True once the process holds a flock lock, as the kernel lists them.
inline bool holds_flock(pid_t pid) {
    std::istringstream locks(read_text_file("/proc/locks"));
    for (std::string line; std::getline(locks, line);) {
        std::istringstream f(line);
        std::string n, kind, mode, access, holder;
        f >> n >> kind >> mode >> access >> holder;
        if (kind == "FLOCK" && holder == std::to_string(pid)) return true;
    }
    return false;
}

// A child process of the test. It is reaped once, so its id is never signalled after the
// system may have given it to another process; the destructor ends it when it still runs.
class Spawned {
public:
    ~Spawned() { stop(); }
    Spawned(const Spawned&) = delete;
    Spawned& operator=(const Spawned&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }

    // The exit status (128 + signal when killed), or -1 when it still runs at the deadline.
    int wait_exit(std::chrono::milliseconds limit) {
        if (status_ != -1 || pid_ <= 0) return status_;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int raw = 0;
            if (::waitpid(pid_, &raw, WNOHANG) == pid_) {
                status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                return status_;
            }
            if (std::chrono::steady_clock::now() >= deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    bool running() { return started() && wait_exit(std::chrono::milliseconds(0)) == -1; }

    // Politely first, then for good.
    void stop() {
        if (!running()) return;
        ::kill(pid_, SIGTERM);
        if (wait_exit(std::chrono::seconds(20)) == -1) {
            ::kill(pid_, SIGKILL);
            wait_exit(std::chrono::seconds(20));
        }
    }

protected:
    Spawned() = default;
    pid_t pid_ = -1;  // set by the derived class once it has started the process

private:
    int status_ = -1;
};

// Waits until the child holds a flock lock; false once it has ended or the time is up.
inline bool wait_until_locked(Spawned& child, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!holds_flock(child.pid())) {
        if (!child.running() || std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// A program started with these arguments in exactly the given environment.
class Child : public Spawned {
public:
    Child(const std::string& program, const std::vector<std::string>& env, std::vector<std::string> args = {}) {
        args.insert(args.begin(), program);
        std::vector<char*> argv = c_strings(args), envp = c_strings(env);
        if (::posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv.data(), envp.data()) != 0) pid_ = -1;
    }
};

// One program started in two sessions of one user that share the temporary folder `tmp`,
// each with a runtime folder of its own under `folder` when runtime_folders is set, with the
// message boxes answered "Ok" from a script and logged: the first is started and, once it holds
// its lock and `settle` has passed, the second, which is waited for.
struct TwoSessions {
    std::unique_ptr<Child> first;
    int second_status = -1;  // the second one's exit status, -1 when it did not end in time
    std::string boxes;       // the boxes shown, as logged
    std::string failure;     // what went wrong before the second start; "" when nothing did
};

inline TwoSessions start_in_two_sessions(const std::string& program, const std::string& folder,
                                         const std::string& tmp, bool runtime_folders,
                                         std::chrono::milliseconds settle) {
    const std::string script = folder + "answers.txt";
    const std::string log = folder + "boxes.log";
    std::ofstream(script) << "Ok\n";
    const auto session = [&](const std::string& name) {
        std::string runtime;
        if (runtime_folders) {
            runtime = folder + name;
            ::mkdir(runtime.c_str(), 0700);
            ::chmod(runtime.c_str(), 0700);
        }
        return environment_with(
            {{"TMPDIR", tmp}, {"XDG_RUNTIME_DIR", runtime}, {"LEDGRIN_MSGBOX_SCRIPT", script}, {"LEDGRIN_MSGBOX_LOG", log}});
    };
    TwoSessions out;
    out.first = std::make_unique<Child>(program, session("run-desktop"));
    if (!wait_until_locked(*out.first, std::chrono::seconds(60))) {
        out.failure = "the first one never took its lock: " + read_text_file(log);
        return out;
    }
    std::this_thread::sleep_for(settle);
    if (!out.first->running()) {
        out.failure = "the first one ended: " + read_text_file(log);
        return out;
    }
    Child second(program, session("run-shell"));
    out.second_status = second.wait_exit(std::chrono::seconds(60));
    out.boxes = read_text_file(log);
    return out;
}

// Starts argv[0] (looked up on the PATH when it names no folder) with these arguments in
// exactly this environment, its stdout and stderr into output_file, written afresh or
// appended to. Descriptors without the close-on-exec flag are inherited. The process id,
// or -1 when it could not start.
inline pid_t spawn_logged(const std::vector<std::string>& argv, const std::vector<std::string>& env,
                          const std::string& output_file, bool append) {
    std::vector<char*> args = c_strings(argv);
    std::vector<char*> envp = c_strings(env);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output_file.c_str(),
                                     O_WRONLY | O_CREAT | (append ? O_APPEND : O_TRUNC), 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

struct Finished {
    int status = -1;  // exit status, 128 + signal when killed, -1 when it could not start
    std::string output;  // what it wrote to stdout and stderr
};

// Runs a program with these arguments in exactly this environment (NAME=value entries) and
// waits for its end; its output goes through output_file.
inline Finished run_to_end(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env, const std::string& output_file) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    Finished f;
    const pid_t pid = spawn_logged(argv, env, output_file, false);
    if (pid <= 0) return f;
    int raw = 0;
    while (::waitpid(pid, &raw, 0) == -1 && errno == EINTR) {
    }
    f.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    f.output = read_text_file(output_file);
    return f;
}

}  // namespace fakes
