// Temporary folder and program folder of the Linux system backend.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "support/temp_dir.h"

namespace {

// Sets variables for a test and puts back what the run had.
class EnvironmentGuard {
public:
    explicit EnvironmentGuard(std::vector<std::string> names) : names_(std::move(names)) {
        for (const auto& n : names_) {
            const char* v = std::getenv(n.c_str());
            saved_.push_back(v ? std::optional<std::string>(v) : std::nullopt);
        }
    }
    ~EnvironmentGuard() {
        for (size_t i = 0; i < names_.size(); ++i) set(names_[i], saved_[i] ? saved_[i]->c_str() : nullptr);
    }
    static void set(const std::string& name, const char* value) {
        if (value) ::setenv(name.c_str(), value, 1);
        else ::unsetenv(name.c_str());
    }

private:
    std::vector<std::string> names_;
    std::vector<std::optional<std::string>> saved_;
};

mode_t mode_of(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(LinuxSystem, TempPathIsTmpdirElseTheUsersOwnStateFolder) {
    EnvironmentGuard guard({"TMPDIR", "XDG_STATE_HOME", "HOME"});
    fakes::TempDir dir;
    const std::string home = dir.folder("home");
    const std::string state = dir.folder("state");
    auto system = platform::make_linux_system();
    struct Case {
        const char* tmpdir;  // null: unset
        const char* state_home;
        std::string expected;
    } cases[] = {
        {nullptr, nullptr, home + ".local/state/ledgrin/"},
        {"", nullptr, home + ".local/state/ledgrin/"},
        {"relative/dir", nullptr, home + ".local/state/ledgrin/"},
        {nullptr, state.c_str(), state + "ledgrin/"},
        {nullptr, "relative/state", home + ".local/state/ledgrin/"},
        {nullptr, "", home + ".local/state/ledgrin/"},
        {"/var/tmp/user", state.c_str(), "/var/tmp/user/"},
        {"/var/tmp/user/", nullptr, "/var/tmp/user/"},
        {"/", nullptr, "/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.tmpdir ? c.tmpdir : "(unset)") + ", " + (c.state_home ? c.state_home : "(unset)"));
        EnvironmentGuard::set("TMPDIR", c.tmpdir);
        EnvironmentGuard::set("XDG_STATE_HOME", c.state_home);
        EnvironmentGuard::set("HOME", home.c_str());
        EXPECT_EQ(system->temp_path(), c.expected);
    }
    // Every level it had to make is the user's alone; it lasts, as the home does.
    for (const std::string& made : {home + ".local", home + ".local/state", home + ".local/state/ledgrin",
                                    state + "ledgrin"})
        EXPECT_EQ(mode_of(made), 0700u) << made;
    // The value of TMPDIR is used as it is: nothing is made for it.
    EXPECT_EQ(mode_of("/var/tmp/user"), 0u);
}

TEST(LinuxSystem, StateFolderThatExistsIsLeftAsItIs) {
    EnvironmentGuard guard({"TMPDIR", "XDG_STATE_HOME"});
    fakes::TempDir dir;
    const std::string base = dir.folder("ledgrin");
    ASSERT_EQ(::chmod(base.c_str(), 0750), 0);
    ::unsetenv("TMPDIR");
    ::setenv("XDG_STATE_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(platform::make_linux_system()->temp_path(), base);
    EXPECT_EQ(mode_of(base), 0750u);
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
