// The flock instance lock across processes, and what it makes of whatever else lies under
// its name: never a second instance, never a hang.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>

#include "platform/backends.h"
#include "support/fake_system.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

using Outcome = platform::InstanceLock::Outcome;

// An account that is not ours, for files "planted" by another user (root only).
constexpr uid_t kOther = 12345;

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override { system.temp = dir.path(); }

    // Runs body in a forked child and returns its exit code; -1 when it has not ended
    // within the limit (it is then killed), so a lock that hangs fails instead of hanging.
    template <class Body>
    int in_child(Body body, std::chrono::seconds limit = std::chrono::seconds(60)) {
        pid_t pid = ::fork();
        if (pid == 0) ::_exit(body());
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                return -1;
            }
            ::usleep(5000);
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The outcome of one attempt in a fresh process, as its number.
    int outcome_in_child(const std::string& program = "ledgrin") {
        return in_child([&] { return static_cast<int>(platform::make_flock_instance_lock(system)->acquire(program).outcome); });
    }

    std::string lock_path(const std::string& folder, const std::string& program = "ledgrin") {
        return folder + ".ledgrin-" + program + "-" + std::to_string(::geteuid()) + ".lock";
    }

    fakes::TempDir dir;
    fakes::FakeSystem system;
};

TEST_F(InstanceLockTest, SecondProcessIsRefusedWhileTheFirstHoldsTheLock) {
    auto lock = platform::make_flock_instance_lock(system);
    const auto first = lock->acquire("ledgrin");
    ASSERT_EQ(first.outcome, Outcome::Taken);
    EXPECT_EQ(first.path, lock_path(dir.path()));
    EXPECT_EQ(lock->acquire("ledgrin").outcome, Outcome::Taken);  // the holder asking again keeps it

    EXPECT_EQ(outcome_in_child("ledgrin"), static_cast<int>(Outcome::HeldByAnother));
    EXPECT_EQ(outcome_in_child("launcher"), static_cast<int>(Outcome::Taken));
}

TEST_F(InstanceLockTest, LockIsFreeAgainOnceItsProcessEnded) {
    ASSERT_EQ(outcome_in_child(), static_cast<int>(Outcome::Taken));
    EXPECT_EQ(platform::make_flock_instance_lock(system)->acquire("ledgrin").outcome, Outcome::Taken);
}

TEST_F(InstanceLockTest, LockFileIsAPrivateFileInTheTemporaryFolder) {
    system.temp = dir.folder("tmp");
    const auto a = platform::make_flock_instance_lock(system)->acquire("ledgrin");
    ASSERT_EQ(a.outcome, Outcome::Taken);
    EXPECT_EQ(a.path, lock_path(system.temp));
    struct stat st {};
    ASSERT_EQ(::lstat(a.path.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(platform::make_flock_instance_lock(system)->acquire("launcher").path, lock_path(system.temp, "launcher"));
}

TEST_F(InstanceLockTest, ProgramStartedByTheHolderDoesNotKeepTheLock) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    // The child takes the lock, starts a long-lived program without closing anything
    // itself, and ends. Only close-on-exec keeps the lock from living on in that program.
    int code = in_child([&] {
        ::close(report[0]);
        if (platform::make_flock_instance_lock(system)->acquire("ledgrin").outcome != Outcome::Taken) return 2;
        pid_t sleeper = 0;
        char* argv[] = {const_cast<char*>("sleep"), const_cast<char*>("30"), nullptr};
        if (::posix_spawn(&sleeper, "/bin/sleep", nullptr, nullptr, argv, environ) != 0) return 3;
        if (::write(report[1], &sleeper, sizeof sleeper) != sizeof sleeper) return 4;
        return 0;
    });
    ::close(report[1]);
    pid_t sleeper = 0;
    ssize_t n = ::read(report[0], &sleeper, sizeof sleeper);
    ::close(report[0]);
    ASSERT_EQ(code, 0);
    ASSERT_EQ(n, static_cast<ssize_t>(sizeof sleeper));

    // The started program drops close-on-exec descriptors a moment after its starter
    // has already gone on, so allow that moment; an inherited lock would last 30 s.
    auto lock = platform::make_flock_instance_lock(system);
    bool acquired = false;
    for (int i = 0; i < 200 && !acquired; ++i) {
        acquired = lock->acquire("ledgrin").outcome == Outcome::Taken;
        if (!acquired) ::usleep(10000);
    }
    EXPECT_TRUE(acquired);
    ::kill(sleeper, SIGKILL);
}

struct Plant {
    const char* name;
    std::function<void(const std::string& path, const std::string& folder)> make;
    const char* reason;
    bool needs_root;
};

void make_file(const std::string& path, mode_t mode, uid_t owner = ::geteuid()) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    ASSERT_GE(fd, 0) << path;
    ::close(fd);
    ASSERT_EQ(::chown(path.c_str(), owner, owner), 0);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
}

TEST_F(InstanceLockTest, WhateverElseLiesUnderTheNameIsUnusableNeverASecondInstanceAndNeverAHang) {
    const bool root = ::geteuid() == 0;
    const Plant plants[] = {
        {"fifo", [](const std::string& p, const std::string&) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); },
         "通常のファイルではありません。", false},
        {"link to a file",
         [](const std::string& p, const std::string& folder) {
             make_file(folder + "target", 0600);
             ASSERT_EQ(::symlink((folder + "target").c_str(), p.c_str()), 0);
         },
         "リンクになっています。", false},
        {"dangling link",
         [](const std::string& p, const std::string& folder) {
             ASSERT_EQ(::symlink((folder + "nowhere").c_str(), p.c_str()), 0);
         },
         "リンクになっています。", false},
        {"folder", [](const std::string& p, const std::string&) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); },
         "フォルダになっています。", false},
        {"open to others", [](const std::string& p, const std::string&) { make_file(p, 0644); },
         "ほかのユーザーも開くことができます。", false},
        {"another account's file", [](const std::string& p, const std::string&) { make_file(p, 0600, kOther); },
         "別のユーザーのファイルです。", true},
        {"another account's file with mode 000", [](const std::string& p, const std::string&) { make_file(p, 0, kOther); },
         "別のユーザーのファイルです。", true},
    };
    for (const Plant& plant : plants) {
        SCOPED_TRACE(plant.name);
        if (plant.needs_root && !root) {
            std::printf("skipped \"%s\": planting a file of another account needs root\n", plant.name);
            continue;
        }
        const std::string folder = dir.folder(std::string("plant-") + std::to_string(&plant - plants));
        system.temp = folder;
        const std::string path = lock_path(folder);
        plant.make(path, folder);

        // In a child with a time limit: an open that waits for a FIFO's writer would hang.
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const int code = in_child(
            [&] {
                ::close(report[0]);
                const auto a = platform::make_flock_instance_lock(system)->acquire("ledgrin");
                const std::string line = a.path + "\n" + a.reason;
                if (::write(report[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 99;
                return static_cast<int>(a.outcome);
            },
            std::chrono::seconds(30));
        ::close(report[1]);
        char buffer[4096];
        const ssize_t n = ::read(report[0], buffer, sizeof buffer);
        ::close(report[0]);
        ASSERT_NE(code, -1) << "the attempt hung";
        EXPECT_EQ(code, static_cast<int>(Outcome::Unusable));
        EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0), path + "\n" + plant.reason);
    }
}

TEST_F(InstanceLockTest, AFileOfOurOwnWithoutAnyRightIsUnusableOrUsedButNeverASecondInstance) {
    make_file(lock_path(dir.path()), 0);
    const auto a = platform::make_flock_instance_lock(system)->acquire("ledgrin");
    // Root may open anything, so for root it is a lock like any other.
    if (::geteuid() == 0) {
        EXPECT_EQ(a.outcome, Outcome::Taken);
    } else {
        EXPECT_EQ(a.outcome, Outcome::Unusable);
        EXPECT_NE(a.reason.find("開くことができません"), std::string::npos) << a.reason;
    }
}

TEST_F(InstanceLockTest, AMissingFolderIsUnusableAndNamesTheFile) {
    system.temp = dir.path() + "nonexistent/";
    const auto a = platform::make_flock_instance_lock(system)->acquire("ledgrin");
    EXPECT_EQ(a.outcome, Outcome::Unusable);
    EXPECT_EQ(a.path, lock_path(system.temp));
    EXPECT_EQ(a.reason.rfind("開くことができません（", 0), 0u) << a.reason;
}

TEST_F(InstanceLockTest, AFileAnotherAccountHoldsIsNotASecondInstance) {
    if (::geteuid() != 0) GTEST_SKIP() << "holding a lock as another account needs root";
    // A shared folder, as /tmp is: the other account plants its own file under our name and
    // holds the lock on it.
    ASSERT_EQ(::chmod(dir.path().c_str(), 01777), 0);
    const std::string path = lock_path(dir.path());
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::close(ready[0]);
        if (::setgid(kOther) != 0 || ::setuid(kOther) != 0) ::_exit(2);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL, 0644);
        if (fd < 0 || ::flock(fd, LOCK_EX) != 0) ::_exit(3);
        if (::write(ready[1], "x", 1) != 1) ::_exit(4);
        ::pause();
        ::_exit(0);
    }
    ::close(ready[1]);
    char c = 0;
    const bool held = ::read(ready[0], &c, 1) == 1;
    ::close(ready[0]);
    const auto a = held ? platform::make_flock_instance_lock(system)->acquire("ledgrin") : platform::InstanceLock::Attempt{};
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ASSERT_TRUE(held) << "the other account could not take its lock";
    EXPECT_EQ(a.outcome, Outcome::Unusable);
    // Where the system protects files in shared folders, opening it is refused outright.
    EXPECT_TRUE(a.reason == "別のユーザーのファイルです。" || a.reason.rfind("開くことができません", 0) == 0) << a.reason;
}

}  // namespace
