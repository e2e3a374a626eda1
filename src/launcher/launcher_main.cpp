// The launcher: the real platform, then start-up; it lives on in the sign-in window.
#include <QApplication>
#include <cstdio>
#include <exception>

#include "common/forms.h"
#include "launcher/icon.h"
#include "launcher/module1.h"
#include "launcher/startup.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    common::install_fonts();
    common::install_translations();
    // Every window of the launcher, its message boxes included, carries its icon.
    app.setWindowIcon(launcher::launcher_icon());

    auto p = platform::make_real_platform(launcher::kLauncherTitle);
    platform::set_current(p.get());
    common::FormSlot::set_on_last_unloaded(
        [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });

    try {
        launcher::Main();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Main: %s\n", e.what());
        return 1;
    }
    if (common::FormSlot::loaded_count() == 0) return 0;
    return app.exec();
}
