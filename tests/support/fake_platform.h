#pragma once
// A whole platform of fakes (and the real files, in a folder of the test's own), set as
// the current platform for as long as it lives.
#include <memory>

#include "platform/platform.h"
#include "support/fake_browser.h"
#include "support/fake_clock.h"
#include "support/fake_desktop.h"
#include "support/fake_http.h"
#include "support/fake_instance_lock.h"
#include "support/fake_key_sender.h"
#include "support/fake_message_box.h"
#include "support/fake_process.h"
#include "support/fake_random.h"
#include "support/fake_screen.h"
#include "support/fake_settings.h"
#include "support/fake_system.h"
#include "support/temp_dir.h"

namespace fakes {

struct FakePlatform {
    FakePlatform();
    ~FakePlatform();
    FakePlatform(const FakePlatform&) = delete;
    FakePlatform& operator=(const FakePlatform&) = delete;

    // Holds "tmp/" (the system's temporary folder) and "app/" (the program folder, with
    // its "data/"), both created.
    TempDir root;
    platform::Platform platform;

    // The facilities above, by their own types. Slots still null in `platform` have no
    // fake yet; a test that needs one fills the slot itself.
    FakeClock* clock = nullptr;
    FakeScreen* screen = nullptr;
    FakeInstanceLock* lock = nullptr;
    FakeSettings* settings = nullptr;
    platform::Files* files = nullptr;  // the real POSIX files
    FakeSystem* system = nullptr;
    FakeHttp* http = nullptr;
    FakeDesktop* desktop = nullptr;
    FakeMessageBox* message_box = nullptr;
    FakeBrowserFactory* browsers = nullptr;
    FakeKeySender* keys = nullptr;
    FakeRandom* random = nullptr;
    FakeProcess* process = nullptr;

private:
    template <class Fake, class Slot>
    Fake* install(std::unique_ptr<Slot>& slot) {
        auto fake = std::make_unique<Fake>();
        Fake* raw = fake.get();
        slot = std::move(fake);
        return raw;
    }
};

}  // namespace fakes
