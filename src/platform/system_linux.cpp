// Where this process runs: temporary folder, program folder, facility level.
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "backends.h"
#include "error.h"
#include "system.h"

namespace platform {

namespace {

std::string with_slash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

class LinuxSystem : public System {
public:
    std::string temp_path() override {
        const char* dir = std::getenv("TMPDIR");
        // A relative TMPDIR would move with the working directory.
        if (dir && dir[0] == '/') return with_slash(dir);
        return "/tmp/";
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
