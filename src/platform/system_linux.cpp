// Where this process runs: temporary folder, program folder, facility level.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>
#include <vector>

#include "backends.h"
#include "error.h"
#include "system.h"

namespace platform {

namespace {

std::string with_slash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// A variable naming a folder counts only when absolute: a relative one would move with the
// working directory.
std::string absolute_variable(const char* name) {
    const char* value = std::getenv(name);
    return value && value[0] == '/' ? std::string(value) : std::string();
}

std::string home_folder() {
    std::string home = absolute_variable("HOME");
    if (!home.empty()) return home;
    std::vector<char> buffer(16384);
    passwd entry {};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir &&
        found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

// Creates each missing level with mode 0700, as folders of the user's own state are made.
// Levels that exist are left as they are; a failure shows later, when a folder under it
// cannot be made or is not trusted.
void create_levels(const std::string& folder) {
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1)) {
        const std::string level = folder.substr(0, at);
        if (::mkdir(level.c_str(), 0700) != 0 && errno != EEXIST) return;
    }
}

class LinuxSystem : public System {
public:
    std::string temp_path() override {
        const std::string tmpdir = absolute_variable("TMPDIR");
        if (!tmpdir.empty()) return with_slash(tmpdir);
        std::string state = absolute_variable("XDG_STATE_HOME");
        if (state.empty()) {
            const std::string home = home_folder();
            // Without any home there is nothing of the user's own to use.
            if (home.empty()) return "/tmp/";
            state = with_slash(home) + ".local/state";
        }
        const std::string base = with_slash(state) + "ledgrin/";
        create_levels(base);
        return base;
    }

    std::string program_folder() override {
        std::string buffer(4096, '\0');
        for (;;) {
            ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
            if (n < 0) throw Error("cannot tell the program's folder");
            if (static_cast<size_t>(n) < buffer.size()) {
                buffer.resize(static_cast<size_t>(n));
                break;
            }
            buffer.resize(buffer.size() * 2);
        }
        size_t slash = buffer.rfind('/');
        return slash == std::string::npos ? std::string("./") : buffer.substr(0, slash + 1);
    }

    // Everything this layer offers is there on any Linux it builds on.
    int os_major_version() override { return 6; }
};

}  // namespace

std::unique_ptr<System> make_linux_system() { return std::make_unique<LinuxSystem>(); }

}  // namespace platform
