#include "program.h"

#include <QApplication>

#include "icon.h"
#include "module1.h"
#include "startup.h"

namespace launcher {

int run(int argc, char** argv, const common::PlatformAdjust& adjust) {
    // The launcher takes no arguments; whatever follows its name is ignored.
    return common::run_program(argc, argv, kLauncherTitle, adjust, [](const std::string&) {
        // Every window of the launcher, its message boxes included, carries its icon.
        qApp->setWindowIcon(launcher_icon());
        Main();
    });
}

}  // namespace launcher
