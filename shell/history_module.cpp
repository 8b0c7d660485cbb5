// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_module.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

QString ModuleFile(const QString& folder) {
    return QDir(folder).filePath(QStringLiteral(FILOCOMPTE_HISTORY_MODULE_FILE));
}

} // namespace

QStringList HistoryModuleFolders() {
    return {QCoreApplication::applicationDirPath(), QString::fromUtf8(FILOCOMPTE_MODULE_FOLDER)};
}

bool HistoryModuleInstalled(const QStringList& folders) {
    return std::any_of(folders.begin(), folders.end(),
                       [](const QString& folder) { return QFileInfo::exists(ModuleFile(folder)); });
}

HistoryWindowMaker LoadHistoryModule(const QStringList& folders) {
    for (const QString& folder : folders) {
        if (!QFileInfo::exists(ModuleFile(folder))) {
            continue;
        }
        // Never unloaded: the window's code must outlive the window. Every symbol is resolved at
        // once: one the executable does not lend fails here, with its name.
        QLibrary module(ModuleFile(folder));
        module.setLoadHints(QLibrary::ResolveAllSymbolsHint);
        if (auto* make =
                reinterpret_cast<HistoryWindowMaker>(module.resolve("MakeHistoryWindow"))) {
            return make;
        }
        throw platform::Failure(
            QStringLiteral("L'historique des connexions ne peut pas être chargé : %1")
                .arg(module.errorString())
                .toStdString());
    }
    throw platform::Failure("L'historique des connexions n'est pas installé.");
}
