#include "support/fake_platform.h"

#include "platform/backends.h"

namespace fakes {

FakePlatform::FakePlatform() : root("ledgrin-platform-") {
    clock = install<FakeClock>(platform.clock);
    screen = install<FakeScreen>(platform.screen);
    lock = install<FakeInstanceLock>(platform.lock);
    settings = install<FakeSettings>(platform.settings);
    system = install<FakeSystem>(platform.system);
    http = install<FakeHttp>(platform.http);
    desktop = install<FakeDesktop>(platform.desktop);
    message_box = install<FakeMessageBox>(platform.message_box);
    browsers = install<FakeBrowserFactory>(platform.browsers);
    keys = install<FakeKeySender>(platform.keys);
    random = install<FakeRandom>(platform.random);
    process = install<FakeProcess>(platform.process);
    platform.files = platform::make_posix_files();
    files = platform.files.get();

    system->temp = root.folder("tmp");
    system->program = root.folder("app");
    root.folder("app/data");
    platform::set_current(&platform);
}

FakePlatform::~FakePlatform() { platform::set_current(nullptr); }

}  // namespace fakes
