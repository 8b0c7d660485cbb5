// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_module.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace platform {

QStringList ModuleFolders() {
    return {QCoreApplication::applicationDirPath(), QString::fromUtf8(FILOCOMPTE_MODULE_FOLDER)};
}

namespace {

// The module file in the first folder that holds it; empty when none does.
QString ModulePath(const QStringList& folders, const QString& file) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(file);
        if (QFileInfo::exists(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

bool ModuleInstalled(const QStringList& folders, const QString& file) {
    return !ModulePath(folders, file).isEmpty();
}

QFunctionPointer LoadModuleFunction(const QStringList& folders, const QString& file,
                                    const char* symbol, const QString& missing,
                                    const QString& unusable) {
    const QString path = ModulePath(folders, file);
    if (path.isEmpty()) {
        throw Failure(missing.toStdString());
    }
    // Never unloaded: what the module made must outlive the call.
    QLibrary module(path);
    module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    if (QFunctionPointer function = module.resolve(symbol)) {
        return function;
    }
    throw Failure(unusable.arg(module.errorString()).toStdString());
}

} // namespace platform
