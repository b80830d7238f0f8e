// Runs the window tests inside one application, set up as the program sets itself up.
#include <QApplication>
#include <gtest/gtest.h>

#include "app/application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Window tests run without a display unless one is asked for.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName("popchan");
    popchan::setup_application(app);
    return RUN_ALL_TESTS();
}
