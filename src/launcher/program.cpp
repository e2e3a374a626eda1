#include "program.h"

#include "module1.h"
#include "startup.h"

namespace launcher {

int run(int argc, char** argv, const common::PlatformAdjust& adjust) {
    // The launcher takes no arguments; whatever follows its name is ignored.
    return common::run_program(argc, argv, kLauncherTitle, adjust, [](const std::string&) { Main(); });
}

}  // namespace launcher
