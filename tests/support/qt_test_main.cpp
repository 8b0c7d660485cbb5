// Test entry point for tests that need Qt's application object (widgets, timers, resources).

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widget tests need no display: the offscreen platform unless the caller chose another.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName("Filocompte");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
