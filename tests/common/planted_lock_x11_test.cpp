// Both real programs on a real display with a lock file planted under their lock's name in a
// shared folder, as another account could: a FIFO, a link, a file without any right, a file
// that the other account holds locked. Neither ever says "2重起動エラー", neither hangs: each
// shows its lock box, which is answered as a person would, and ends.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "support/build_paths.h"
#include "support/child_process.h"
#include "support/temp_dir.h"
#include "support/x11_windows.h"
#include "support/screenshot.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr uid_t kOther = 12345;

struct Plant {
    const char* name;
    // Runs as the planting account; returns false when it could not plant.
    std::function<bool(const std::string& path)> make;
};

// Plants as another account (as this one without root) in a forked process that stays, so
// that a lock it takes is held, until the object goes.
class Planter {
public:
    Planter(const Plant& plant, const std::string& path) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(stay_) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            ::close(stay_[1]);
            if (::geteuid() == 0 && (::setgid(kOther) != 0 || ::setuid(kOther) != 0)) ::_exit(2);
            const char ok = plant.make(path) ? 'y' : 'n';
            if (::write(ready[1], &ok, 1) != 1) ::_exit(3);
            char c;
            while (::read(stay_[0], &c, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(stay_[0]);
        char ok = 'n';
        planted_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
        ::close(ready[0]);
    }
    ~Planter() {
        ::close(stay_[1]);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    Planter(const Planter&) = delete;
    Planter& operator=(const Planter&) = delete;
    bool planted() const { return planted_; }

private:
    pid_t pid_ = -1;
    int stay_[2] = {-1, -1};
    bool planted_ = false;
};

class PlantedLock : public ::testing::Test {
protected:
    void SetUp() override {
        d = XOpenDisplay(nullptr);
        ASSERT_NE(d, nullptr) << "needs an X display";
    }
    void TearDown() override {
        if (d) XCloseDisplay(d);
    }

    // The title of the first of the two boxes to come up; "" when neither came in time.
    std::string wait_for_box(fakes::Child& program, Window& box) {
        const auto deadline = Clock::now() + std::chrono::seconds(90);
        while (Clock::now() < deadline && program.running()) {
            for (const char* title : {"起動確認エラー", "2重起動エラー"}) {
                box = fakes::find_window_titled(d, title);
                if (box) return title;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "";
    }

    Display* d = nullptr;
};

TEST_F(PlantedLock, NeitherProgramTakesAPlantedLockForASecondInstanceNorHangs) {
    // Without root the test's own account plants them: still nothing a second instance made.
    if (::geteuid() != 0) std::printf("planting as this account: another account needs root\n");
    const Plant plants[] = {
        {"fifo", [](const std::string& p) { return ::mkfifo(p.c_str(), 0666) == 0; }},
        {"link", [](const std::string& p) { return ::symlink("/etc/hostname", p.c_str()) == 0; }},
        {"file without any right",
         [](const std::string& p) {
             const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0);
             return fd >= 0 && ::close(fd) == 0;
         }},
        {"file held locked",
         [](const std::string& p) {
             const int fd = ::open(p.c_str(), O_RDONLY | O_CREAT | O_EXCL, 0644);
             return fd >= 0 && ::flock(fd, LOCK_EX) == 0;  // the descriptor stays open
         }},
    };
    struct Program {
        const char* name;
        std::string file;
    } programs[] = {{"ledgrin", fakes::built_ledgrin()}, {"launcher", fakes::built_launcher()}};

    for (const Program& program : programs) {
        for (const Plant& plant : plants) {
            SCOPED_TRACE(std::string(program.name) + ", " + plant.name);
            // The lock lies in the temporary folder, here one shared as /tmp is.
            fakes::TempDir root_dir;
            const std::string shared = root_dir.folder("shared");
            ASSERT_EQ(::chmod(root_dir.path().c_str(), 0755), 0);
            ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
            const std::string lock =
                shared + ".ledgrin-" + program.name + "-" + std::to_string(::geteuid()) + ".lock";
            Planter planter(plant, lock);
            ASSERT_TRUE(planter.planted());

            const auto env = fakes::environment_with({{"TMPDIR", shared}, {"XDG_RUNTIME_DIR", ""}});
            fakes::Child started(program.file, env);
            ASSERT_TRUE(started.started());
            Window box = 0;
            const std::string title = wait_for_box(started, box);
            ASSERT_EQ(title, "起動確認エラー") << (started.running() ? "no box came up" : "the program ended without a box");
            if (&plant == plants && &program == programs) {
                EXPECT_TRUE(fakes::save_screenshot("lock-box.png"));
            }

            // Enter answers its one button, and the program ends.
            fakes::press_key_in(d, box, XK_Return);
            EXPECT_EQ(started.wait_exit(std::chrono::seconds(60)), 0);
            // What was planted is left as it was.
            struct stat st {};
            EXPECT_EQ(::lstat(lock.c_str(), &st), 0);
            if (std::string(plant.name) == "fifo") {
                EXPECT_TRUE(S_ISFIFO(st.st_mode));
            }
            if (std::string(plant.name) == "link") {
                EXPECT_TRUE(S_ISLNK(st.st_mode));
            }
        }
    }
}

}  // namespace
