// One running copy per program and user, through an advisory lock on a file of the user's own.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "backends.h"
#include "instance_lock.h"
#include "system.h"

namespace platform {

namespace {

using Outcome = InstanceLock::Outcome;

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

InstanceLock::Attempt unusable(const std::string& path, std::string reason) {
    return {Outcome::Unusable, path, std::move(reason)};
}

std::string with_error(const char* what, int error) { return std::string(what) + "（" + std::strerror(error) + "）"; }

class FlockInstanceLock : public InstanceLock {
public:
    explicit FlockInstanceLock(System& system) : system_(system) {}

    // The descriptors stay open on purpose: the lock lasts as long as the process.
    Attempt acquire(const std::string& program) override {
        if (auto it = held_.find(program); it != held_.end()) return {Outcome::Taken, it->second.path, ""};
        // In the temporary folder whose working folders it guards, whatever the session: two
        // sessions of one user (a desktop and a "su -" shell, each with a runtime folder of
        // its own) share those folders, so they must meet at the one lock.
        const std::string path =
            system_.temp_path() + ".ledgrin-" + file_word(program) + "-" + std::to_string(::geteuid()) + ".lock";

        // O_NOFOLLOW: a link planted under the name is not followed. O_NONBLOCK: a FIFO
        // planted there cannot hold the start in open. O_CLOEXEC: a program we start must
        // not keep our lock alive after we end.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
        if (fd < 0) {
            const int error = errno;
            if (error == ELOOP) return unusable(path, "リンクになっています。");
            if (error == EISDIR) return unusable(path, "フォルダになっています。");
            return unusable(path, with_error("開くことができません", error) + "。");
        }
        // Only a plain file of the user's own that nobody else may open can tell that
        // another instance runs: anything else was put there by someone or something else.
        struct stat st {};
        std::string problem;
        if (::fstat(fd, &st) != 0) problem = with_error("状態を確認できません", errno) + "。";
        else if (!S_ISREG(st.st_mode)) problem = "通常のファイルではありません。";
        else if (st.st_uid != ::geteuid()) problem = "別のユーザーのファイルです。";
        else if (st.st_mode & (S_IRWXG | S_IRWXO)) problem = "ほかのユーザーも開くことができます。";
        if (!problem.empty()) {
            ::close(fd);
            return unusable(path, problem);
        }
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const int error = errno;
            ::close(fd);
            if (error == EWOULDBLOCK) return {Outcome::HeldByAnother, path, ""};
            return unusable(path, with_error("ロックできません", error) + "。");
        }
        held_[program] = Held{fd, path};
        return {Outcome::Taken, path, ""};
    }

private:
    struct Held {
        int fd = -1;
        std::string path;
    };
    System& system_;
    std::map<std::string, Held> held_;
};

}  // namespace

std::unique_ptr<InstanceLock> make_flock_instance_lock(System& system) {
    return std::make_unique<FlockInstanceLock>(system);
}

}  // namespace platform
