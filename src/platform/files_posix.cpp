// Files and folders on a POSIX file system.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include "backends.h"
#include "codec.h"
#include "error.h"
#include "files.h"

namespace platform {

namespace {

std::string describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

// lstat must not follow a final link, which a trailing '/' would make it do.
std::string without_trailing_slashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void write_all(int fd, const std::string& bytes, const std::string& path) {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error(describe("cannot write", path));
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

std::string read_fd(int fd, const std::string& path) {
    std::string out;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw Error(describe("cannot read", path));
        }
        if (n == 0) return out;
        out.append(buffer, static_cast<size_t>(n));
    }
}

// Closes the descriptor it owns when it goes.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool same_file(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A temporary name beside `name` that nobody can tell in advance.
std::string temporary_name(const std::string& name) {
    uint64_t random = 0;
    if (::getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        timespec now {};
        ::clock_gettime(CLOCK_MONOTONIC, &now);
        random = (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(now.tv_sec) ^
                 (static_cast<uint64_t>(::getpid()) << 40);
    }
    static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    std::string out = "." + name + ".";
    for (int i = 0; i < 10; ++i, random /= 36) out += digits[random % 36];
    return out;
}

// What a whole-file write may replace: nothing that is not a plain file, and no file its
// owner marked as not to be changed (a rename would replace it as easily as any other, even
// for root, who may open anything).
void refuse_unreplaceable(const struct stat& st, const std::string& where) {
    if (!S_ISREG(st.st_mode)) throw Error("cannot write " + where + ": not a plain file");
    if ((st.st_mode & S_IWUSR) == 0) throw Error("cannot write " + where + ": read-only");
}

// Writes the bytes as the whole new content of `name` in the folder `dir`: into a temporary
// file beside it, flushed, renamed over the name within the same folder, and the folder
// flushed. Readers, a start of the file and a crash at any point meet the old file or the
// whole new one, never a part. Returns what fstat told of the file written.
struct stat replace_whole_at(int dir, const std::string& name, const std::string& bytes, mode_t mode,
                             const std::string& where) {
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = temporary_name(name);
        fd = ::openat(dir, temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) throw Error(describe("cannot create a temporary file for", where));
    struct stat written {};
    try {
        write_all(fd, bytes, where);
        if (::fchmod(fd, mode) != 0) throw Error(describe("cannot set the mode of", where));
        // On disk before the name leads to it: a crash then leaves the old file or the new
        // one, never an empty file under the name.
        if (::fsync(fd) != 0) throw Error(describe("cannot flush", where));
        if (::fstat(fd, &written) != 0) throw Error(describe("cannot examine", where));
        const int rc = ::close(fd);
        fd = -1;
        if (rc != 0) throw Error(describe("cannot write", where));
        if (::renameat(dir, temp.c_str(), dir, name.c_str()) != 0) throw Error(describe("cannot replace", where));
    } catch (const Error& failure) {
        if (fd >= 0) ::close(fd);
        // The name was never touched; what is left to say is whether the temporary went too.
        if (::unlinkat(dir, temp.c_str(), 0) != 0 && errno != ENOENT)
            throw Error(std::string(failure.what()) + "; " + describe("cannot remove the temporary file", temp));
        throw;
    }
    if (::fsync(dir) != 0) throw Error(describe("cannot flush the folder of", where));
    return written;
}

// Only '*' and '?' are wildcards in our patterns; brackets and backslashes are
// ordinary characters of a file name.
std::string to_fnmatch(const std::string& pattern) {
    std::string out;
    for (char c : pattern) {
        if (c == '[') out += "[[]";
        else if (c == '\\') out += "\\\\";
        else out += c;
    }
    return out;
}

std::string parent_of(const std::string& path) {
    const std::string p = without_trailing_slashes(path);
    const size_t slash = p.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

// Whoever may rename entries of the folder a folder sits in can swap that folder for one of
// their own: only the sticky bit, the administrator or the user alone may hold that right.
bool parent_keeps_it(const std::string& path) {
    struct stat st {};
    if (::stat(parent_of(path).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (st.st_mode & S_ISVTX) return true;
    if (st.st_uid == 0) return true;
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// The folder itself, never a link to it, open when it is trusted; -1 otherwise. The checks
// are made on the open folder, so they hold for the folder that is then used.
int open_trusted_folder(const std::string& path) {
    const int fd = ::open(without_trailing_slashes(path).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat st {};
    const bool trusted = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
                         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0 && parent_keeps_it(path);
    if (trusted) return fd;
    ::close(fd);
    return -1;
}

class PosixHeldFile : public HeldFile {
public:
    PosixHeldFile(int folder, std::string name, std::string path, int fd, const struct stat& identity)
        : folder_(folder), name_(std::move(name)), path_(std::move(path)), fd_(fd), identity_(identity) {}

    const std::string& path() const override { return path_; }

    bool still_in_place() const override {
        struct stat st {};
        return ::fstatat(folder_.get(), name_.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
               same_file(st, identity_);
    }

    int descriptor() const override { return fd_.get(); }

private:
    Descriptor folder_;
    std::string name_;
    std::string path_;
    Descriptor fd_;
    struct stat identity_;
};

class PosixHeldFolder : public HeldFolder {
public:
    PosixHeldFolder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixHeldFolder() override { ::close(fd_); }
    PosixHeldFolder(const PosixHeldFolder&) = delete;
    PosixHeldFolder& operator=(const PosixHeldFolder&) = delete;

    const std::string& path() const override { return path_; }

    // The file is written anew whole, through a temporary file and a rename, never appended
    // to in place: a write that a full disk, a crash or a kill cuts short then leaves the old
    // file as it was, so no record is ever followed by a fragment, and there is no take-back
    // that could itself fail. The folder is the user's own and one instance at a time uses
    // it, so nobody appends between the read and the rename.
    void append_cp932(const std::string& name, const std::string& utf8) override {
        const std::string where = path_ + name;
        std::string content;
        mode_t mode = 0644;
        // Never through a link, and never blocking on something that is not a plain file.
        Descriptor old(::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        if (old.get() >= 0) {
            struct stat st {};
            if (::fstat(old.get(), &st) != 0) throw Error(describe("cannot examine", where));
            refuse_unreplaceable(st, where);
            mode = st.st_mode & 0777;
            content = read_fd(old.get(), where);
        } else if (errno != ENOENT) {
            throw Error(describe("cannot open", where));
        }
        content += cp932::encode(utf8);
        replace_whole_at(fd_, name, content, mode, where);
    }

    std::shared_ptr<HeldFile> write_file(const std::string& name, const std::string& bytes,
                                         bool executable) override {
        const std::string where = path_ + name;
        struct stat old {};
        if (::fstatat(fd_, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) refuse_unreplaceable(old, where);
        const struct stat written = replace_whole_at(fd_, name, bytes, executable ? 0755 : 0644, where);
        // Opened again for reading (a descriptor that writes would keep it from being started)
        // and kept only when it is the file just written.
        Descriptor fd(::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat st {};
        if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) throw Error(describe("cannot open", where));
        if (!same_file(st, written)) throw Error("cannot write " + where + ": replaced as it was written");
        Descriptor folder(::fcntl(fd_, F_DUPFD_CLOEXEC, 0));
        if (folder.get() < 0) throw Error(describe("cannot hold the folder of", where));
        return std::make_shared<PosixHeldFile>(folder.release(), name, where, fd.release(), written);
    }

private:
    int fd_;
    std::string path_;
};

// Through the folder the path names now, as a path is meant.
void replace_whole(const std::string& path, const std::string& bytes, mode_t mode) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() < 0) throw Error(describe("cannot open the folder of", path));
    replace_whole_at(dir.get(), name, bytes, mode, path);
}

class PosixFiles : public Files {
public:
    // Past a file-size limit a write fails as on a full disk, and is reported as that,
    // instead of ending the program before it can tell anyone.
    PosixFiles() { ::signal(SIGXFSZ, SIG_IGN); }

    bool folder_exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }

    void create_folder(const std::string& path) override {
        // Private to the user: the working folders sit in a temporary folder others share.
        if (::mkdir(path.c_str(), 0700) == 0) return;
        if (errno == EEXIST && folder_exists(path)) return;
        throw Error(describe("cannot create folder", path));
    }

    bool folder_is_trusted(const std::string& path) override {
        const int fd = open_trusted_folder(path);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    }

    std::shared_ptr<HeldFolder> hold_trusted_folder(const std::string& path) override {
        const int fd = open_trusted_folder(path);
        if (fd < 0) return nullptr;
        std::string shown = path;
        if (shown.empty() || shown.back() != '/') shown += '/';
        return std::make_shared<PosixHeldFolder>(fd, shown);
    }

    bool file_exists(const std::string& path) override {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }

    int delete_files(const std::string& pattern) override {
        size_t slash = pattern.rfind('/');
        std::string folder = slash == std::string::npos ? std::string(".") : pattern.substr(0, slash + 1);
        std::string name_pattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
        bool every_file = name_pattern == "*.*";
        std::string glob = to_fnmatch(name_pattern);

        DIR* dir = ::opendir(folder.c_str());
        if (!dir) return 0;
        int fd = ::dirfd(dir);
        int deleted = 0;
        while (dirent* entry = ::readdir(dir)) {
            const char* name = entry->d_name;
            if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
            if (!every_file && ::fnmatch(glob.c_str(), name, 0) != 0) continue;
            struct stat st {};
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
            if (!S_ISREG(st.st_mode)) continue;
            // A file without its owner's write bit is kept: the owner marked it as not to be removed.
            if ((st.st_mode & S_IWUSR) == 0) continue;
            if (::unlinkat(fd, name, 0) == 0) ++deleted;
        }
        ::closedir(dir);
        return deleted;
    }

    void write_utf8_bom(const std::string& path, const std::string& utf8) override {
        replace_whole(path, "\xEF\xBB\xBF" + utf8, 0644);
    }

    std::string read_all(const std::string& path) override {
        const Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.get() < 0) throw Error(describe("cannot open", path));
        return read_fd(fd.get(), path);
    }

    void remove_file(const std::string& path) override {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT) return;
        throw Error(describe("cannot remove", path));
    }
};

}  // namespace

std::unique_ptr<Files> make_posix_files() { return std::make_unique<PosixFiles>(); }

}  // namespace platform
