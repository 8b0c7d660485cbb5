// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window lives in a module of its own, loaded only by the history's own process (see
// HistoryProcess): its chart library, and OpenGL with it, never enter the program that counts. The
// module exports one function, which makes the window from a journal and the counter's facts. It
// takes the journal's code from the executable, which exports its symbols for it.

#include "shell/history_window.h"

#include <QStringList>

// The module's one export; the caller owns the window.
extern "C" QWidget* MakeHistoryWindow(Journal& journal, TForm5::Facts facts);
using HistoryWindowMaker = decltype(&MakeHistoryWindow);

// Whether one of the folders (platform::ModuleFolders() but in tests) holds the module.
bool HistoryModuleInstalled(const QStringList& folders);
// The maker of the first module found in those folders, loaded and kept for the program's life;
// throws platform::Failure when there is none or it cannot be loaded.
HistoryWindowMaker LoadHistoryModule(const QStringList& folders);
