#include "program.h"

#include "icon.h"
#include "module1.h"
#include "platform/platform.h"
#include "startup.h"

namespace launcher {

int run(int argc, char** argv, const common::PlatformAdjust& adjust) {
    // The launcher takes no arguments; whatever follows its name is ignored.
    return common::run_program(argc, argv, kLauncherTitle, adjust, [](const std::string&) {
        // Every window of the launcher, its message boxes included, carries its icon; the
        // sign-in window gets it once drawn (Main), a box shown before that with the box.
        auto& p = platform::current();
        p.message_box = with_launcher_icon(std::move(p.message_box));
        Main();
    });
}

}  // namespace launcher
