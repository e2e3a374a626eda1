// Starting another program file and ending this one.
#include <fcntl.h>
#include <linux/close_range.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>
#include <memory>

#include "backends.h"
#include "process.h"

extern char** environ;

namespace platform {

namespace {

// Marks every descriptor above 2 close-on-exec, so the program we start gets only
// the standard three, while our report pipe still works until the exec.
void close_on_exec_from_3() {
    if (::syscall(SYS_close_range, 3u, ~0u, CLOSE_RANGE_CLOEXEC) == 0) return;
    rlimit lim{};
    int top = (::getrlimit(RLIMIT_NOFILE, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY && lim.rlim_cur < 65536)
                  ? static_cast<int>(lim.rlim_cur)
                  : 65536;
    for (int fd = 3; fd < top; ++fd) ::fcntl(fd, F_SETFD, FD_CLOEXEC);
}

void write_errno(int fd, int err) {
    while (::write(fd, &err, sizeof err) < 0 && errno == EINTR) {
    }
}

// Starts the program in a session of its own, as nobody's child of ours, with only the
// standard three descriptors. `exec` runs in the new process just before the program would and
// returns only when it failed, with errno set. False when it could not be started.
template <class Exec>
bool start_detached(Exec exec) {
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;

    pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        // After fork only async-signal-safe calls are allowed in a threaded process: all
        // that exec needs was prepared before. The middle process leaves at once, so the
        // program never lingers as a zombie of this process.
        ::close(report[0]);
        if (::setsid() < 0) {
            write_errno(report[1], errno);
            ::_exit(127);
        }
        pid_t grandchild = ::fork();
        if (grandchild < 0) {
            write_errno(report[1], errno);
            ::_exit(127);
        }
        if (grandchild > 0) ::_exit(0);

        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        ::signal(SIGXFSZ, SIG_DFL);
        close_on_exec_from_3();
        exec();
        write_errno(report[1], errno);
        ::_exit(127);
    }

    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &err, sizeof err);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    // Nothing read: the pipe closed at a successful exec.
    return n == 0;
}

class PosixProcess : public Process {
public:
    bool start(const std::string& program_file) override {
        struct stat st {};
        if (::stat(program_file.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
        if (::access(program_file.c_str(), X_OK) != 0) return false;
        char* const argv[] = {const_cast<char*>(program_file.c_str()), nullptr};
        return start_detached([&] { ::execve(program_file.c_str(), argv, environ); });
    }

    bool start_held(const HeldFile& program) override {
        const int fd = program.descriptor();
        struct stat held {};
        if (fd < 0 || ::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) return false;
        char* const argv[] = {const_cast<char*>(program.path().c_str()), nullptr};
        return start_detached([&] {
            // The descriptor itself is started: no lookup of the path comes in between.
            ::fexecve(fd, argv, environ);
            if (errno != ENOENT) return;
            // A script: its interpreter needs a path to read it by, which a descriptor closed at
            // the start cannot give. It gets the path, once the path is seen to lead to the file
            // held, right before the start, so that the script still sees its own path as $0.
            struct stat now {};
            if (::lstat(program.path().c_str(), &now) != 0) return;
            if (!S_ISREG(now.st_mode) || now.st_dev != held.st_dev || now.st_ino != held.st_ino) {
                errno = ESTALE;
                return;
            }
            ::execve(program.path().c_str(), argv, environ);
        });
    }

    [[noreturn]] void end_program() override {
        std::cout.flush();
        std::cerr.flush();
        std::fflush(nullptr);
        ::_exit(0);
    }
};

}  // namespace

std::unique_ptr<Process> make_posix_process() { return std::make_unique<PosixProcess>(); }

}  // namespace platform
