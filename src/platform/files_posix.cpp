// Files and folders on a POSIX file system.
#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "backends.h"
#include "codec.h"
#include "error.h"
#include "files.h"

namespace platform {

namespace {

std::string describe(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
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

// Whoever may rename entries of a folder can swap what sits in it for something of their
// own. Only its owner, root and those it lets write hold that right, and the sticky bit
// leaves the others only their own entries: so a level above a trusted folder belongs to
// root or the user and is either closed to everyone else or sticky.
bool parent_keeps_it(const struct stat& parent) {
    if (parent.st_uid != 0 && parent.st_uid != ::geteuid()) return false;
    return (parent.st_mode & S_ISVTX) != 0 || (parent.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::string failure(int error, const char* what) {
    return std::string(what) + "（" + std::strerror(error) + "）。";
}

// Why `name`, a level of the path under the open folder `dir`, could not be opened as a folder.
std::string why_not_opened(int dir, const std::string& name, int error) {
    struct stat st {};
    if ((error == ELOOP || error == ENOTDIR) && ::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0)
        return S_ISLNK(st.st_mode) ? "リンクになっています。" : "フォルダではありません。";
    if (error == ENOENT) return "フォルダがありません。";
    return failure(error, "開くことができません");
}

// The folder itself, never through a link, open when it is trusted; -1 with why set
// otherwise. Each level is opened from the one above and checked on its descriptor, so no
// second lookup of the path can be led elsewhere between the check and the use.
int open_trusted_folder(const std::string& path, std::string& why) {
    if (path.empty() || path.front() != '/') {
        why = "絶対パスではありません。";
        return -1;
    }
    std::vector<std::string> names;
    for (size_t at = 0; at < path.size();) {
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string name = path.substr(at, end - at);
        at = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            why = "「..」を含むパスです。";
            return -1;
        }
        names.push_back(name);
    }
    // The levels above are only passed through: O_PATH needs no right to read them.
    const int through = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    const int held = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open("/", names.empty() ? held : through);
    if (fd < 0) {
        why = failure(errno, "開くことができません");
        return -1;
    }
    std::string level = "/";
    struct stat st {};
    for (size_t i = 0; i < names.size(); ++i) {
        const bool last = i + 1 == names.size();
        int next = -1;
        if (::fstat(fd, &st) != 0) {
            why = failure(errno, "状態を確認できません");
        } else if (!parent_keeps_it(st)) {
            why = "上位のフォルダ「" + level + "」の中身をほかのユーザーが入れ替えることができます。";
        } else if ((next = ::openat(fd, names[i].c_str(), last ? held : through)) < 0) {
            const std::string reason = why_not_opened(fd, names[i], errno);
            why = last ? reason : "上位のフォルダ「" + level + names[i] + "」: " + reason;
        }
        ::close(fd);
        if (next < 0) return -1;
        fd = next;
        level += names[i] + "/";
    }
    if (::fstat(fd, &st) != 0) why = failure(errno, "状態を確認できません");
    else if (st.st_uid != ::geteuid()) why = "別のユーザーのフォルダです。";
    else if (st.st_mode & (S_IWGRP | S_IWOTH)) why = "ほかのユーザーも書き込むことができます。";
    else return fd;
    ::close(fd);
    return -1;
}

// Reads what is left of the open file; false on a read error.
bool read_to_end(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        out.append(buffer, static_cast<size_t>(n));
    }
}

// Deletes the matching plain files of the open folder dir_fd, which it takes over and closes.
int delete_matching(int dir_fd, const std::string& name_pattern) {
    DIR* dir = ::fdopendir(dir_fd);
    if (!dir) {
        ::close(dir_fd);
        return 0;
    }
    // A duplicate of a held descriptor shares its position: start from the first entry.
    ::rewinddir(dir);
    const bool every_file = name_pattern == "*.*";
    const std::string glob = to_fnmatch(name_pattern);
    int deleted = 0;
    while (dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
        if (!every_file && ::fnmatch(glob.c_str(), name, 0) != 0) continue;
        struct stat st {};
        if (::fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode)) continue;
        // A file without its owner's write bit is kept: the owner marked it as not to be removed.
        if ((st.st_mode & S_IWUSR) == 0) continue;
        if (::unlinkat(dir_fd, name, 0) == 0) ++deleted;
    }
    ::closedir(dir);
    return deleted;
}

class PosixHeldFolder : public HeldFolder {
public:
    PosixHeldFolder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    ~PosixHeldFolder() override { ::close(fd_); }
    PosixHeldFolder(const PosixHeldFolder&) = delete;
    PosixHeldFolder& operator=(const PosixHeldFolder&) = delete;

    const std::string& path() const override { return path_; }

    bool read_own_file(const std::string& name, std::string& bytes) override {
        const int fd = ::openat(fd_, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        struct stat st {};
        const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
                        read_to_end(fd, bytes);
        ::close(fd);
        return ok;
    }

    int delete_files(const std::string& name_pattern) override {
        const int fd = ::fcntl(fd_, F_DUPFD_CLOEXEC, 0);
        return fd < 0 ? 0 : delete_matching(fd, name_pattern);
    }

    void append_cp932(const std::string& name, const std::string& utf8) override {
        const std::string bytes = cp932::encode(utf8);
        const std::string where = path_ + name;
        bool created = false;
        const int fd = open_for_append(name, where, created);
        off_t old_size = -1;
        try {
            struct stat st {};
            if (::fstat(fd, &st) != 0) throw Error(describe("cannot examine", where));
            if (!S_ISREG(st.st_mode)) throw Error("cannot write " + where + ": not a plain file");
            old_size = st.st_size;
            write_all(fd, bytes, where);
            if (::fsync(fd) != 0) throw Error(describe("cannot flush", where));
            if (created && ::fsync(fd_) != 0) throw Error(describe("cannot flush the folder of", where));
        } catch (...) {
            // A full disk may take part of the text: cut it off again, so the earlier records
            // stay whole and the next one does not follow a fragment.
            if (created) {
                ::unlinkat(fd_, name.c_str(), 0);
            } else if (old_size >= 0 && ::ftruncate(fd, old_size) == 0) {
                ::fsync(fd);
            }
            ::close(fd);
            throw;
        }
        ::close(fd);
    }

private:
    // Never through a link, and never blocking on something that is not a plain file.
    int open_for_append(const std::string& name, const std::string& where, bool& created) {
        const int flags = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        for (int attempt = 0; attempt < 3; ++attempt) {
            int fd = ::openat(fd_, name.c_str(), flags);
            if (fd >= 0) return fd;
            if (errno != ENOENT) break;
            fd = ::openat(fd_, name.c_str(), flags | O_CREAT | O_EXCL, 0644);
            if (fd >= 0) {
                created = true;
                return fd;
            }
            if (errno != EEXIST) break;
        }
        throw Error(describe("cannot open", where));
    }

    int fd_;
    std::string path_;
};

// Same folder, so the rename never crosses a file system and readers (or a start of the
// file) see the old file or the whole new one, never a part.
void replace_whole(const std::string& path, const std::string& bytes, mode_t mode) {
    size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp = folder + "." + base + ".XXXXXX";
    int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) throw Error(describe("cannot create a temporary file for", path));
    try {
        write_all(fd, bytes, path);
        if (::fchmod(fd, mode) != 0) throw Error(describe("cannot set the mode of", path));
        // On disk before the name points at it: a crash then leaves the old file or the new
        // one, never an empty file under the name.
        if (::fsync(fd) != 0) throw Error(describe("cannot flush", path));
        int rc = ::close(fd);
        fd = -1;
        if (rc != 0) throw Error(describe("cannot write", path));
        if (::rename(temp.c_str(), path.c_str()) != 0) throw Error(describe("cannot replace", path));
    } catch (...) {
        if (fd >= 0) ::close(fd);
        ::unlink(temp.c_str());
        throw;
    }
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

    bool folder_is_trusted(const std::string& path) override { return hold_trusted_folder(path) != nullptr; }

    using Files::hold_trusted_folder;
    std::shared_ptr<HeldFolder> hold_trusted_folder(const std::string& path, std::string& why) override {
        const int fd = open_trusted_folder(path, why);
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
        const size_t slash = pattern.rfind('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : pattern.substr(0, slash + 1);
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return 0;
        return delete_matching(fd, slash == std::string::npos ? pattern : pattern.substr(slash + 1));
    }

    void write_utf8_bom(const std::string& path, const std::string& utf8) override {
        replace_whole(path, "\xEF\xBB\xBF" + utf8, 0644);
    }

    void write_bytes(const std::string& path, const std::string& bytes, bool executable) override {
        // A rename would replace a read-only file as easily as any other; keep such a
        // file as opening it for writing would (even for root, who may open anything).
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) throw Error("cannot write " + path + ": not a plain file");
            if ((st.st_mode & S_IWUSR) == 0) throw Error("cannot write " + path + ": read-only");
        }
        replace_whole(path, bytes, executable ? 0755 : 0644);
    }

    std::string read_all(const std::string& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) throw Error(describe("cannot open", path));
        std::string out;
        const bool ok = read_to_end(fd, out);
        const std::string message = ok ? std::string() : describe("cannot read", path);
        ::close(fd);
        if (!ok) throw Error(message);
        return out;
    }

    void remove_file(const std::string& path) override {
        if (::unlink(path.c_str()) == 0 || errno == ENOENT) return;
        throw Error(describe("cannot remove", path));
    }
};

}  // namespace

std::unique_ptr<Files> make_posix_files() { return std::make_unique<PosixFiles>(); }

}  // namespace platform
