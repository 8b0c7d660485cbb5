// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/program_module.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <algorithm>

namespace platform {

QStringList ModuleFolders() {
    return {QCoreApplication::applicationDirPath(), QString::fromUtf8(FILOCOMPTE_MODULE_FOLDER)};
}

bool ModuleInstalled(const QStringList& folders, const QString& file) {
    return std::any_of(folders.begin(), folders.end(), [&file](const QString& folder) {
        return QFileInfo::exists(QDir(folder).filePath(file));
    });
}

QFunctionPointer LoadModuleFunction(const QStringList& folders, const QString& file,
                                    const char* symbol, const QString& missing,
                                    const QString& unusable) {
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(file);
        if (!QFileInfo::exists(path)) {
            continue;
        }
        // Never unloaded: what the module made must outlive the call.
        QLibrary module(path);
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (QFunctionPointer function = module.resolve(symbol)) {
            return function;
        }
        throw Failure(unusable.arg(module.errorString()).toStdString());
    }
    throw Failure(missing.toStdString());
}

} // namespace platform
