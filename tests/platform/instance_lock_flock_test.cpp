// The flock instance lock across processes.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/backends.h"
#include "support/fake_system.h"
#include "support/temp_dir.h"

extern char** environ;

namespace {

class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override { system.temp = dir.path(); }

    // Runs body in a forked child and returns its exit code.
    template <class Body>
    int in_child(Body body) {
        pid_t pid = ::fork();
        if (pid == 0) ::_exit(body());
        int status = 0;
        ::waitpid(pid, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fakes::TempDir dir;
    fakes::FakeSystem system;
};

TEST_F(InstanceLockTest, SecondProcessIsRefusedWhileTheFirstHoldsTheLock) {
    auto lock = platform::make_flock_instance_lock(system);
    ASSERT_TRUE(lock->acquire("ledgrin"));
    EXPECT_TRUE(lock->acquire("ledgrin"));  // the holder asking again keeps it

    int refused = in_child([this] { return platform::make_flock_instance_lock(system)->acquire("ledgrin") ? 1 : 0; });
    EXPECT_EQ(refused, 0);
    int other_program = in_child(
        [this] { return platform::make_flock_instance_lock(system)->acquire("launcher") ? 1 : 0; });
    EXPECT_EQ(other_program, 1);
}

TEST_F(InstanceLockTest, LockIsFreeAgainOnceItsProcessEnded) {
    int taken = in_child([this] { return platform::make_flock_instance_lock(system)->acquire("ledgrin") ? 1 : 0; });
    ASSERT_EQ(taken, 1);
    EXPECT_TRUE(platform::make_flock_instance_lock(system)->acquire("ledgrin"));
}

TEST_F(InstanceLockTest, ProgramStartedByTheHolderDoesNotKeepTheLock) {
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    // The child takes the lock, starts a long-lived program without closing anything
    // itself, and ends. Only close-on-exec keeps the lock from living on in that program.
    int code = in_child([&] {
        ::close(report[0]);
        if (!platform::make_flock_instance_lock(system)->acquire("ledgrin")) return 2;
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
        acquired = lock->acquire("ledgrin");
        if (!acquired) ::usleep(10000);
    }
    EXPECT_TRUE(acquired);
    ::kill(sleeper, SIGKILL);
}

}  // namespace
