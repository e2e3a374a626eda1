#include "program.h"

#include <QApplication>
#include <cstdio>
#include <exception>

#include "forms.h"
#include "platform/platform.h"

namespace common {

std::string argument_string(int argc, char** argv) {
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
    return arguments;
}

int run_program(int argc, char** argv, const std::string& default_title, const PlatformAdjust& adjust,
                const std::function<void(const std::string& arguments)>& start) {
    const std::string arguments = argument_string(argc, argv);
    // Qt keeps a reference to the count for the application's life.
    int qt_argc = argc > 0 ? 1 : 0;

    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(qt_argc, argv);
    app.setQuitOnLastWindowClosed(false);
    install_fonts();
    install_translations();

    try {
        auto p = platform::make_real_platform(default_title);
        if (adjust) adjust(*p, default_title);
        platform::set_current(p.get());
        FormSlot::set_on_last_unloaded(
            [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });

        start(arguments);
        return FormSlot::loaded_count() == 0 ? 0 : app.exec();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Main: %s\n", e.what());
    } catch (...) {
        std::fprintf(stderr, "Main: unknown error\n");
    }
    return 1;
}

}  // namespace common
