// The examination program: the real platform, the window wiring, then start-up.
#include <QApplication>
#include <string>

#include "common/forms.h"
#include "common/startup.h"
#include "exam_window/install.h"
#include "main_window/install.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    common::install_fonts();
    common::install_translations();

    auto p = platform::make_real_platform(common::kProgramTitle);
    platform::set_current(p.get());

    main_window::install();
    exam_window::install();
    common::FormSlot::set_on_last_unloaded([] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); });

    // The argument string is what follows the program's name, blanks and all.
    std::string arguments;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) arguments += ' ';
        arguments += argv[i];
    }
    common::Main(arguments);
    if (common::FormSlot::loaded_count() == 0) return 0;
    return app.exec();
}
