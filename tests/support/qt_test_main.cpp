// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point for tests that need Qt's application object (widgets, timers, resources).

#include "tests/support/qt_test_main.h"

#include <QApplication>

int main(int argc, char** argv) {
    return RunQtTests<QApplication>(argc, argv);
}
