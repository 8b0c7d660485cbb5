// SPDX-License-Identifier: GPL-3.0-or-later
// The history module's entry point (see history_module.h).
#include "shell/history_module.h"

QWidget* MakeHistoryWindow(Journal& journal, TForm5::Facts facts) {
    return new TForm5(journal, std::move(facts));
}
