// One running copy per program and user, through an advisory lock on a file.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <memory>

#include "backends.h"
#include "instance_lock.h"
#include "system.h"

namespace platform {

namespace {

// Keeps the lock file name to plain characters whatever the program is called.
std::string file_word(const std::string& program) {
    std::string out;
    for (unsigned char c : program) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_' || c == '.';
        out += plain ? static_cast<char>(c) : '_';
    }
    return out;
}

class FlockInstanceLock : public InstanceLock {
public:
    explicit FlockInstanceLock(System& system) : system_(system) {}

    // The descriptors stay open on purpose: the lock lasts as long as the process.
    bool acquire(const std::string& program) override {
        if (held_.count(program)) return true;
        std::string path = system_.temp_path() + ".ledgrin-" + file_word(program) + "-" +
                           std::to_string(::geteuid()) + ".lock";
        // O_CLOEXEC: a program we start must not keep our lock alive after we end.
        // O_NOFOLLOW: nobody else's link in the shared temporary folder is followed.
        int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) return false;
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            ::close(fd);
            return false;
        }
        held_[program] = fd;
        return true;
    }

private:
    System& system_;
    std::map<std::string, int> held_;
};

}  // namespace

std::unique_ptr<InstanceLock> make_flock_instance_lock(System& system) {
    return std::make_unique<FlockInstanceLock>(system);
}

}  // namespace platform
