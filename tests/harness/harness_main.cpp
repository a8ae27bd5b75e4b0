// GoogleTest main of the program's tests: one QApplication on the offscreen
// platform for the whole run.
#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

namespace TestHarness {
void InstallListener();
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Numbers and times in a fixed form, whatever the machine's settings.
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    TestHarness::InstallListener();
    return RUN_ALL_TESTS();
}
