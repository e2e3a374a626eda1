#pragma once
// Another program on the test's X display, started with arguments, its standard output read
// line by line as it comes: the tests' own X client (tests/x_test_client) says there what
// happened to its window. The destructor ends a program that still runs.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/build_paths.h"
#include "support/child_process.h"

extern char** environ;

namespace fakes {

class XClient : public Spawned {
public:
    XClient(const std::string& program, const std::vector<std::string>& args) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        if (::posix_spawnp(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out_ = fds[0];
        ::fcntl(out_, F_SETFL, O_NONBLOCK);
    }
    ~XClient() {
        stop();
        if (out_ >= 0) ::close(out_);
    }

    // The tests' own client, built beside the tests.
    static std::string test_client() { return built_test("x_test_client"); }

    // Waits, within the limit, for a line starting with prefix that has not been waited
    // for yet; its remainder goes to rest.
    bool wait_line(const std::string& prefix, std::string* rest = nullptr,
                   std::chrono::milliseconds limit = std::chrono::seconds(20)) {
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            read_available();
            for (size_t i = taken_; i < lines_.size(); ++i) {
                if (lines_[i].rfind(prefix, 0) != 0) continue;
                if (rest) *rest = lines_[i].substr(prefix.size());
                taken_ = i + 1;
                return true;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            pollfd p{out_, POLLIN, 0};
            ::poll(&p, 1, static_cast<int>(std::min<long>(left.count(), 100)));
        }
    }

    // Every line so far, in order.
    const std::vector<std::string>& lines() {
        read_available();
        return lines_;
    }
    int count(const std::string& line) {
        int n = 0;
        for (const auto& l : lines())
            if (l == line) ++n;
        return n;
    }

private:
    void read_available() {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(out_, buf, sizeof buf);
            if (n <= 0) break;
            partial_.append(buf, static_cast<size_t>(n));
        }
        for (size_t nl; (nl = partial_.find('\n')) != std::string::npos;) {
            lines_.push_back(partial_.substr(0, nl));
            partial_.erase(0, nl + 1);
        }
    }

    int out_ = -1;
    std::string partial_;
    std::vector<std::string> lines_;
    size_t taken_ = 0;
};

}  // namespace fakes
