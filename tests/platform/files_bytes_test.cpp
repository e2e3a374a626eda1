// Whole-file writes of raw bytes through a held folder of the POSIX files backend: what a
// downloaded program is stored with before it is started, and the file held open after.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <set>

#include "platform/backends.h"
#include "platform/error.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> names_in(const std::string& folder) {
    std::set<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename().string());
    return out;
}

unsigned mode_of(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

class WriteBytes : public ::testing::Test {
protected:
    // Writes through the folder held at once, as the download does.
    std::shared_ptr<platform::HeldFile> write(const std::string& folder, const std::string& name,
                                              const std::string& bytes, bool executable) {
        const auto held = files->hold_trusted_folder(folder);
        if (!held) throw platform::Error("not trusted: " + folder);
        return held->write_file(name, bytes, executable);
    }

    fakes::TempDir dir;
    std::unique_ptr<platform::Files> files = platform::make_posix_files();
};

TEST_F(WriteBytes, StoresEveryByteWithTheModeAsked) {
    const std::string bytes("\x7f" "ELF\0\x01\xff\r\n", 10);
    struct Case {
        bool executable;
        unsigned mode;
    } cases[] = {{true, 0755}, {false, 0644}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        const std::string name = c.executable ? "prog.exe" : "plain.bin";
        const mode_t old_mask = ::umask(077);  // a strict umask does not take the mode away
        const auto written = write(dir.path(), name, bytes, c.executable);
        ::umask(old_mask);
        EXPECT_EQ(written->path(), dir.file(name));
        EXPECT_EQ(files->read_all(dir.file(name)), bytes);
        EXPECT_EQ(mode_of(dir.file(name)), c.mode);
        EXPECT_TRUE(written->still_in_place());
    }
    EXPECT_EQ(names_in(dir.path()), (std::set<std::string>{"prog.exe", "plain.bin"}));
}

TEST_F(WriteBytes, ALongerOldFileLeavesNoTail) {
    const std::string path = dir.write("prog.exe", "an old program, far longer than the new one");
    write(dir.path(), "prog.exe", "new", true);
    EXPECT_EQ(files->read_all(path), "new");
    EXPECT_EQ(mode_of(path), 0755u);
    EXPECT_EQ(names_in(dir.path()), std::set<std::string>{"prog.exe"});
}

TEST_F(WriteBytes, WhatCannotBeWrittenThrowsAndLeavesEverythingAsItWas) {
    struct Case {
        const char* what;
        std::function<std::string(fakes::TempDir&)> make;  // returns the path to write
        std::set<std::string> names_after;
    } cases[] = {
        {"read-only file",
         [](fakes::TempDir& d) {
             const std::string p = d.write("locked.exe", "old");
             ::chmod(p.c_str(), 0555);
             return p;
         },
         {"locked.exe"}},
        {"a folder",
         [](fakes::TempDir& d) {
             d.folder("sub.exe");
             return d.file("sub.exe");
         },
         {"sub.exe"}},
        {"a link",
         [](fakes::TempDir& d) {
             const std::string target = d.write("target", "old");
             ::symlink(target.c_str(), d.file("link.exe").c_str());
             return d.file("link.exe");
         },
         {"target", "link.exe"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fakes::TempDir d;
        const std::string path = c.make(d);
        EXPECT_THROW(write(d.path(), fs::path(path).filename().string(), "new", true), platform::Error);
        EXPECT_EQ(names_in(d.path()), c.names_after);
        if (fs::is_regular_file(path)) {
            EXPECT_EQ(files->read_all(path), "old");
        }
    }
}

TEST_F(WriteBytes, AFolderWithoutTheRightToWriteLeavesNoTemporaryFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder";
    const std::string sub = dir.folder("ro");
    ::chmod(sub.c_str(), 0555);
    EXPECT_THROW(write(sub, "prog.exe", "new", true), platform::Error);
    ::chmod(sub.c_str(), 0755);
    EXPECT_TRUE(names_in(sub).empty());
}

// What is started is the file held, whatever its name leads to by then: the name is seen to
// lead elsewhere, and the descriptor still reads the bytes written.
TEST_F(WriteBytes, TheFileHeldIsTheOneWrittenWhateverItsNameLeadsToLater) {
    const std::string outside = dir.write("outside", "theirs");
    const std::string folder = dir.folder("bramwick");
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> swap;
    } cases[] = {
        {"another file renamed over it",
         [&](const std::string& p) { ASSERT_EQ(::rename(dir.write("bramwick/other", "other").c_str(), p.c_str()), 0); }},
        {"the same bytes in a new file",
         [&](const std::string& p) {
             ASSERT_EQ(::unlink(p.c_str()), 0);
             dir.write("bramwick/prog.exe", "program");
             ::chmod(p.c_str(), 0755);
         }},
        {"a link to a file outside",
         [&](const std::string& p) {
             ASSERT_EQ(::unlink(p.c_str()), 0);
             ASSERT_EQ(::symlink(outside.c_str(), p.c_str()), 0);
         }},
        {"removed", [](const std::string& p) { ASSERT_EQ(::unlink(p.c_str()), 0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(folder);
        dir.folder("bramwick");
        const auto written = write(folder, "prog.exe", "program", true);
        ASSERT_TRUE(written->still_in_place());
        c.swap(folder + "prog.exe");

        EXPECT_FALSE(written->still_in_place());
        char bytes[16] = {};
        EXPECT_EQ(::pread(written->descriptor(), bytes, sizeof bytes, 0), 7);
        EXPECT_EQ(std::string(bytes), "program");
    }
    EXPECT_EQ(files->read_all(outside), "theirs");
}

}  // namespace
