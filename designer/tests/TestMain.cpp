// Tests that touch fonts or widgets need an application object; the GUI
// tests run on the offscreen platform.
#include <gtest/gtest.h>
#ifdef FENNIC_TESTS_NEED_WIDGETS
#include <QApplication>
using TestApplication = QApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv) {
    // Test discovery runs the binary without the test's environment; no test
    // may need a display either way.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
