#include "platform.h"

#include <algorithm>
#include <cctype>

#include "backends.h"

namespace platform {

namespace {
Platform* g_current = nullptr;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}
}  // namespace

Platform& current() {
    if (!g_current) throw Error("no platform set");
    return *g_current;
}

void set_current(Platform* p) { g_current = p; }

void Row::set(const std::string& name, std::optional<std::string> value) {
    fields_[lower(name)] = std::move(value);
}

bool Row::has(const std::string& name) const { return fields_.count(lower(name)) != 0; }

const std::optional<std::string>& Row::field(const std::string& name) const {
    auto it = fields_.find(lower(name));
    if (it == fields_.end()) throw Error("no field " + name);
    return it->second;
}

std::unique_ptr<Platform> make_real_platform(const std::string& default_title) {
    auto p = std::make_unique<Platform>();
    p->clock = make_boottime_clock();
    p->screen = make_qt_screen();
    p->system = make_linux_system();
    p->lock = make_flock_instance_lock(*p->system);
    p->settings = make_ini_settings_reader();
    p->files = make_posix_files();
    p->http = make_curl_http();
    p->database = make_sqlcipher_engine();
    p->message_box = make_qt_message_box(default_title);
    p->browsers = make_webengine_browsers();
    p->desktop = make_x11_desktop();
    p->keys = make_xtest_key_sender();
    p->random = make_std_random(*p->clock);
    p->process = make_posix_process();
    return p;
}

}  // namespace platform
