// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The body of a Qt test program's main: the application object, of the program's own class where
// a test needs it, on Qt's offscreen platform unless the caller chose another.

#include <QCoreApplication>
#include <gtest/gtest.h>

template <typename Application> int RunQtTests(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    Application app(argc, argv);
    QCoreApplication::setApplicationName("Filocompte");
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
