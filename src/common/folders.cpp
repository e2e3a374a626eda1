#include "folders.h"

#include "platform/platform.h"

namespace common {

platform::Rect get_work_area() {
    platform::Rect r;
    if (!platform::current().screen->work_area(r)) r = platform::Rect{};
    return r;
}

std::string with_trailing_slash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

std::string ensure_temp_subfolder(const std::string& name) {
    auto& p = platform::current();
    const std::string folder = with_trailing_slash(p.system->temp_path()) + name + "/";
    if (!p.files->folder_exists(folder)) p.files->create_folder(folder);
    return folder;
}

std::string get_work_folder() { return ensure_temp_subfolder("quorvex"); }
std::string get_scratch_folder() { return ensure_temp_subfolder("solvetta"); }
std::string get_result_folder() { return ensure_temp_subfolder("bramwick_result"); }

std::string read_server_setting(const std::string& key) {
    auto& p = platform::current();
    std::shared_ptr<platform::HeldFolder> folder;
    try {
        // Settings in a folder that someone else could have planted are never used; the
        // file is then read from the very folder that was checked.
        folder = p.files->hold_trusted_folder(get_work_folder());
    } catch (const platform::Error&) {
        return {};
    }
    if (!folder) return {};
    return p.settings->read("server", key, *folder, "setting.ini");
}

}  // namespace common
