#pragma once
#include <memory>

#include "browser.h"
#include "clock.h"
#include "codec.h"
#include "database.h"
#include "desktop.h"
#include "error.h"
#include "files.h"
#include "http.h"
#include "instance_lock.h"
#include "message_box.h"
#include "process.h"
#include "random.h"
#include "screen.h"
#include "settings.h"
#include "system.h"

namespace platform {

// Every facility the programs use, built once in main (real) or by a test (fakes).
struct Platform {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Screen> screen;
    std::unique_ptr<InstanceLock> lock;
    std::unique_ptr<SettingsReader> settings;
    std::unique_ptr<Files> files;
    std::unique_ptr<System> system;
    std::unique_ptr<Http> http;
    std::unique_ptr<DatabaseEngine> database;
    std::unique_ptr<MessageBox> message_box;
    std::unique_ptr<BrowserFactory> browsers;
    std::unique_ptr<Desktop> desktop;
    std::unique_ptr<KeySender> keys;
    std::unique_ptr<Random> random;
    std::unique_ptr<Process> process;
};

// The real backends. default_title: the title of message boxes that name none.
std::unique_ptr<Platform> make_real_platform(const std::string& default_title);

// The platform in use; set once by main or by a test fixture.
Platform& current();
void set_current(Platform* p);

}  // namespace platform
