// One main for every test executable: a QApplication exists for the whole run, so
// widgets, timers and the web engine can be used by any test. A test file that needs
// a main of its own defines it and this one is not linked in.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
