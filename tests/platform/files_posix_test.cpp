// The POSIX files backend on a real folder of the test's own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>

#include "platform/backends.h"
#include "platform/error.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
}

class FilesTest : public ::testing::Test {
protected:
    fakes::TempDir dir;
    std::unique_ptr<platform::Files> files = platform::make_posix_files();
};

struct DeleteCase {
    const char* name;
    std::string pattern;  // last component
    std::set<std::string> kept;
    int deleted;
};

class DeletePattern : public FilesTest, public ::testing::WithParamInterface<DeleteCase> {};

// Every case runs on the same folder: plain files with and without a dot, a dot file,
// a read-only file, a subfolder, a link, and names with brackets.
TEST_P(DeletePattern, DeletesOnlyMatchingWritablePlainFiles) {
    const DeleteCase& c = GetParam();
    for (const char* n : {"index.html", "index2.html", "index3.html", "index.htm", "notes", ".hidden", "a[1].txt",
                          "a1.txt", "page.html"})
        dir.write(n, "x");
    std::string ro = dir.write("locked.html", "x");
    ::chmod(ro.c_str(), 0444);
    dir.folder("sub.dir");
    dir.write("sub.dir/inner.html", "x");
    ::symlink("/etc/hostname", dir.file("link.html").c_str());

    EXPECT_EQ(files->delete_files(dir.path() + c.pattern), c.deleted);
    EXPECT_EQ(names_in(dir.path()), c.kept);
    EXPECT_EQ(names_in(dir.path() + "sub.dir"), std::set<std::string>{"inner.html"});
}

const std::set<std::string> kAlwaysKept = {"locked.html", "sub.dir", "link.html"};

std::set<std::string> kept_plus(std::initializer_list<std::string> more) {
    std::set<std::string> s = kAlwaysKept;
    s.insert(more.begin(), more.end());
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, DeletePattern,
    ::testing::Values(
        DeleteCase{"every_file", "*.*", kAlwaysKept, 9},
        DeleteCase{"star", "*", kAlwaysKept, 9},
        DeleteCase{"index_pages", "index*.html",
                   kept_plus({"index.htm", "notes", ".hidden", "a[1].txt", "a1.txt", "page.html"}), 3},
        DeleteCase{"question_mark", "index?.html",
                   kept_plus({"index.html", "index.htm", "notes", ".hidden", "a[1].txt", "a1.txt", "page.html"}), 2},
        DeleteCase{"brackets_are_plain", "a[1].txt",
                   kept_plus({"index.html", "index2.html", "index3.html", "index.htm", "notes", ".hidden", "a1.txt",
                              "page.html"}),
                   1},
        DeleteCase{"exact_name", "notes",
                   kept_plus({"index.html", "index2.html", "index3.html", "index.htm", ".hidden", "a[1].txt",
                              "a1.txt", "page.html"}),
                   1},
        DeleteCase{"no_match", "*.pdf",
                   kept_plus({"index.html", "index2.html", "index3.html", "index.htm", "notes", ".hidden",
                              "a[1].txt", "a1.txt", "page.html"}),
                   0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FilesTest, DeleteInMissingFolderDeletesNothing) {
    EXPECT_EQ(files->delete_files(dir.path() + "missing/*.*"), 0);
}

TEST_F(FilesTest, WriteUtf8BomWritesExactBytesAndReplacesALongerFile) {
    std::string path = dir.write("index.html", std::string(5000, 'z'));
    files->write_utf8_bom(path, "<p>試験</p>\r\n");
    EXPECT_EQ(files->read_all(path), "\xEF\xBB\xBF<p>\xE8\xA9\xA6\xE9\xA8\x93</p>\r\n");
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"index.html"});  // no temporary left
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IRUSR);
}

TEST_F(FilesTest, WriteUtf8BomFailureThrowsAndLeavesNoTemporary) {
    dir.folder("index.html");  // a folder in the way of the rename
    EXPECT_THROW(files->write_utf8_bom(dir.file("index.html"), "x"), platform::Error);
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"index.html"});
    EXPECT_THROW(files->write_utf8_bom(dir.file("missing/index.html"), "x"), platform::Error);
}

TEST_F(FilesTest, WriteUtf8BomOnAFullDiskKeepsTheOldFileWhole) {
    const std::string path = dir.write("index.html", "old page");
    {
        fakes::FileSizeLimit full(4);
        EXPECT_THROW(files->write_utf8_bom(path, std::string(5000, 'n')), platform::Error);
    }
    EXPECT_EQ(files->read_all(path), "old page");
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"index.html"});
}

TEST_F(FilesTest, HeldFolderAppendsCp932ToTheEndAndCreatesThePlainFile) {
    auto folder = files->hold_trusted_folder(dir.path());
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->path(), dir.path());
    folder->append_cp932("result.txt", "試験,");
    folder->append_cp932("result.txt", "a€\r\n");
    EXPECT_EQ(files->read_all(dir.file("result.txt")), "\x8E\x8E\x8C\xB1,a?\r\n");
    struct stat st {};
    ASSERT_EQ(::lstat(dir.file("result.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    EXPECT_EQ(files->hold_trusted_folder(dir.path() + "missing/"), nullptr);
}

TEST_F(FilesTest, HeldFolderWritesOnlyIntoAPlainFileOfItsOwnAndNeverWaits) {
    const std::string outside = dir.write("outside.txt", "theirs");
    const std::string folder_path = dir.folder("bramwick_result");
    auto folder = files->hold_trusted_folder(folder_path);
    ASSERT_TRUE(folder);
    struct Case {
        const char* name;
        std::function<void(const std::string&)> make;
    } cases[] = {
        {"link to another file", [&](const std::string& p) { ASSERT_EQ(::symlink(outside.c_str(), p.c_str()), 0); }},
        {"dangling link", [&](const std::string& p) { ASSERT_EQ(::symlink((dir.path() + "new").c_str(), p.c_str()), 0); }},
        {"fifo", [](const std::string& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }},
        {"folder", [](const std::string& p) { ASSERT_EQ(::mkdir(p.c_str(), 0700), 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = std::string("result-") + std::to_string(&c - cases) + ".txt";
        c.make(folder_path + name);
        EXPECT_THROW(folder->append_cp932(name, "record"), platform::Error);
    }
    EXPECT_EQ(files->read_all(outside), "theirs");
    EXPECT_FALSE(fs::exists(dir.path() + "new"));
}

TEST_F(FilesTest, HeldFolderKeepsWritingIntoTheFolderItCheckedWhenItsPathIsSwapped) {
    const std::string folder_path = dir.folder("bramwick_result");
    auto folder = files->hold_trusted_folder(folder_path);
    ASSERT_TRUE(folder);
    folder->append_cp932("result.txt", "first,");
    // Someone moves the folder away and puts a link to a folder of theirs in its place.
    ASSERT_EQ(::rename(folder_path.c_str(), dir.file("moved").c_str()), 0);
    const std::string theirs = dir.folder("theirs");
    ASSERT_EQ(::symlink(theirs.c_str(), dir.file("bramwick_result").c_str()), 0);

    folder->append_cp932("result.txt", "second");

    EXPECT_EQ(files->read_all(dir.file("moved/result.txt")), "first,second");
    EXPECT_TRUE(names_in(theirs).empty());
    EXPECT_EQ(files->hold_trusted_folder(folder_path), nullptr);  // a link is not the folder
}

TEST_F(FilesTest, AnAppendThatDoesNotFitLeavesTheFileByteForByteAsItWas) {
    auto folder = files->hold_trusted_folder(dir.path());
    ASSERT_TRUE(folder);
    const std::string earlier = "<body>earlier record</body>";
    dir.write("result.txt", earlier);
    const std::string record = "<body>" + std::string(4000, 'r') + "</body>";
    struct Case {
        const char* name;
        rlim_t limit;
    } cases[] = {
        {"room for part of the record", earlier.size() + 100},
        {"no room at all", earlier.size()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        {
            fakes::FileSizeLimit full(c.limit);
            EXPECT_THROW(folder->append_cp932("result.txt", record), platform::Error);
        }
        EXPECT_EQ(files->read_all(dir.file("result.txt")), earlier);
    }
    // A file that the failed append would have created is not left behind, not even empty.
    {
        fakes::FileSizeLimit full(100);
        EXPECT_THROW(folder->append_cp932("new.txt", record), platform::Error);
    }
    EXPECT_FALSE(fs::exists(dir.file("new.txt")));
    // Once there is room again, the record follows the earlier one directly.
    folder->append_cp932("result.txt", record);
    EXPECT_EQ(files->read_all(dir.file("result.txt")), earlier + record);
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"result.txt"});  // no temporary left
}

// Where nothing can be taken back: the program killed in the middle of the write (by the
// signal a file-size limit raises, as it is by default), and a record file that may only
// grow, which no take-back could cut again. The file still holds exactly what it held, and
// the next record follows the earlier one with nothing between them.
TEST_F(FilesTest, AnAppendCutShortWhereNothingCanBeTakenBackLeavesNoFragment) {
    const std::string earlier = "<body>earlier record</body>";
    const std::string record = "<body>" + std::string(4000, 'r') + "</body>";
    const std::string result = dir.write("result.txt", earlier);
    auto folder = files->hold_trusted_folder(dir.path());
    ASSERT_TRUE(folder);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_DFL);
        const rlimit limit{earlier.size() + 100, earlier.size() + 100};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            folder->append_cp932("result.txt", record);
        } catch (...) {
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the write was not cut short";
    EXPECT_EQ(files->read_all(result), earlier);
    folder->append_cp932("result.txt", record);
    EXPECT_EQ(files->read_all(result), earlier + record);

    // Only grows: set as root on a file system that knows the flag, removed again below.
    const int fd = ::open(result.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    int flags = 0;
    bool flagged = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (flagged) {
        flags |= FS_APPEND_FL;
        flagged = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (!flagged) {
        ::close(fd);
        GTEST_SKIP() << "the append-only flag cannot be set here (it needs root and a file system that knows it)";
    }
    bool threw = false;
    {
        // Room for a part of the record.
        fakes::FileSizeLimit full(earlier.size() + record.size() + 100);
        try {
            folder->append_cp932("result.txt", record);
        } catch (const platform::Error&) {
            threw = true;
        }
    }
    flags &= ~FS_APPEND_FL;
    EXPECT_EQ(::ioctl(fd, FS_IOC_SETFLAGS, &flags), 0);
    ::close(fd);
    EXPECT_TRUE(threw);
    EXPECT_EQ(files->read_all(result), earlier + record);
}

TEST_F(FilesTest, CreateFolderOneLevel) {
    std::string path = dir.path() + "quorvex/";
    EXPECT_FALSE(files->folder_exists(path));
    files->create_folder(path);
    EXPECT_TRUE(files->folder_exists(path));
    EXPECT_TRUE(files->folder_is_trusted(path));
    files->create_folder(path);  // already there: nothing to do
    EXPECT_THROW(files->create_folder(dir.path() + "a/b/"), platform::Error);
    dir.write("plain", "x");
    EXPECT_THROW(files->create_folder(dir.file("plain")), platform::Error);
    EXPECT_FALSE(files->folder_exists(dir.file("plain")));
    EXPECT_TRUE(files->file_exists(dir.file("plain")));
    EXPECT_FALSE(files->file_exists(path));
}

TEST_F(FilesTest, TrustedFolderTable) {
    struct Case {
        const char* name;
        mode_t mode;
        bool trusted;
    } cases[] = {
        {"private", 0700, true},
        {"readable", 0755, true},
        {"group_writable", 0770, false},
        {"other_writable", 0707, false},
        {"sticky_world", 01777, false},
    };
    for (const Case& c : cases) {
        std::string p = dir.folder(c.name);
        ASSERT_EQ(::chmod(p.c_str(), c.mode), 0);
        EXPECT_EQ(files->folder_is_trusted(p), c.trusted) << c.name;
    }
    EXPECT_FALSE(files->folder_is_trusted(dir.path() + "missing/"));
    std::string target = dir.folder("target");
    ::symlink(target.c_str(), dir.file("link").c_str());
    EXPECT_FALSE(files->folder_is_trusted(dir.file("link") + "/"));  // a link is not the folder itself
    EXPECT_FALSE(files->folder_is_trusted(dir.write("plain", "x")));
    if (::geteuid() == 0) {
        std::string other = dir.folder("others");
        ASSERT_EQ(::chown(other.c_str(), 12345, 12345), 0);
        EXPECT_FALSE(files->folder_is_trusted(other));
    }
}

TEST_F(FilesTest, AFolderInsideOneThatAnotherAccountMayRearrangeIsNotTrusted) {
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* name;
        mode_t parent_mode;
        uid_t parent_owner;  // 0 stands for this test's own account when it is not root
        bool trusted;
    } cases[] = {
        {"own private", 0700, ::geteuid(), true},
        {"shared with the sticky bit, as /tmp", 01777, ::geteuid(), true},
        {"another account's, open to nobody else", 0755, 12345, false},
        {"another account's, shared with the sticky bit", 01777, 12345, true},
        {"own, but others may rename in it", 0777, ::geteuid(), root},  // root's own folders are the system's
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.parent_owner != ::geteuid() && !root) {
            std::printf("skipped \"%s\": a folder of another account needs root\n", c.name);
            continue;
        }
        const std::string parent = dir.folder(std::string("parent-") + std::to_string(&c - cases));
        const std::string folder = parent + "bramwick_result/";
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        ASSERT_EQ(::chown(parent.c_str(), c.parent_owner, c.parent_owner), 0);
        ASSERT_EQ(::chmod(parent.c_str(), c.parent_mode), 0);
        EXPECT_EQ(files->folder_is_trusted(folder), c.trusted);
        EXPECT_EQ(files->hold_trusted_folder(folder) != nullptr, c.trusted);
    }
}

TEST_F(FilesTest, ReadAndRemove) {
    std::string path = dir.write("f", std::string("a\0b", 3));
    EXPECT_EQ(files->read_all(path), std::string("a\0b", 3));
    files->remove_file(path);
    EXPECT_FALSE(files->file_exists(path));
    files->remove_file(path);  // already gone
    EXPECT_THROW(files->read_all(path), platform::Error);
}

}  // namespace
