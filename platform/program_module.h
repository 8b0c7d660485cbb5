// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own modules: parts loaded at their first use, whose libraries (the chart library,
// the database's) would otherwise be mapped at the start and stay in the memory of every session.

#include <QString>
#include <QStringList>

namespace platform {

// Where the modules are looked for, in order: beside the executable (the build tree), then where
// the program installs them.
QStringList ModuleFolders();
// Whether one of the folders holds the module file.
bool ModuleInstalled(const QStringList& folders, const QString& file);
// The function symbol of the first module file found in folders, loaded and kept for the program's
// life. Every symbol is resolved at once: one the module cannot find fails here, with its name.
// Throws Failure with the message missing when no folder holds the file, or with unusable, its %1
// replaced by the loader's reason, when it cannot be loaded.
QFunctionPointer LoadModuleFunction(const QStringList& folders, const QString& file,
                                    const char* symbol, const QString& missing,
                                    const QString& unusable);

} // namespace platform
