// Temporary folder and program folder of the Linux system backend.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include "platform/backends.h"

namespace {

class TmpdirGuard {
public:
    TmpdirGuard() {
        if (const char* v = std::getenv("TMPDIR")) saved_ = v;
    }
    ~TmpdirGuard() {
        if (saved_) ::setenv("TMPDIR", saved_->c_str(), 1);
        else ::unsetenv("TMPDIR");
    }

private:
    std::optional<std::string> saved_;
};

TEST(LinuxSystem, TempPathTable) {
    TmpdirGuard guard;
    auto system = platform::make_linux_system();
    struct Case {
        const char* tmpdir;  // null: unset
        const char* expected;
    } cases[] = {
        {nullptr, "/tmp/"},
        {"", "/tmp/"},
        {"relative/dir", "/tmp/"},
        {"/var/tmp/user", "/var/tmp/user/"},
        {"/var/tmp/user/", "/var/tmp/user/"},
        {"/", "/"},
    };
    for (const Case& c : cases) {
        if (c.tmpdir) ::setenv("TMPDIR", c.tmpdir, 1);
        else ::unsetenv("TMPDIR");
        EXPECT_EQ(system->temp_path(), c.expected) << (c.tmpdir ? c.tmpdir : "(unset)");
    }
}

TEST(LinuxSystem, ProgramFolderHoldsThisTestProgram) {
    auto system = platform::make_linux_system();
    std::string folder = system->program_folder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.front(), '/');
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(::access((folder + "system_linux_test").c_str(), X_OK), 0) << folder;
    EXPECT_GE(system->os_major_version(), 6);
}

}  // namespace
