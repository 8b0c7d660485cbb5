// SPDX-License-Identifier: GPL-3.0-or-later
// Test entry point for tests of logic that needs Qt's event loop (threads, queued calls) but no
// widgets.

#include "tests/support/qt_test_main.h"

int main(int argc, char** argv) {
    return RunQtTests<QCoreApplication>(argc, argv);
}
