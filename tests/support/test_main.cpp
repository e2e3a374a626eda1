// One main for every test executable: a QApplication exists for the whole run, so
// widgets, timers and the web engine can be used by any test. A test file that needs
// a main of its own defines it and this one is not linked in; that main starts as this
// one does (support/test_process.h).
#include <gtest/gtest.h>

#include <QApplication>

#include "support/test_process.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    fakes::TestProcess process(argc > 0 ? argv[0] : nullptr);
    if (!process.can_run()) return process.skip();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
