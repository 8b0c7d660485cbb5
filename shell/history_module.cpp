// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_module.h"

#include "platform/program_module.h"

namespace {

QString ModuleFile() {
    return QStringLiteral(FILOCOMPTE_HISTORY_MODULE_FILE);
}

} // namespace

bool HistoryModuleInstalled(const QStringList& folders) {
    return platform::ModuleInstalled(folders, ModuleFile());
}

HistoryWindowMaker LoadHistoryModule(const QStringList& folders) {
    return reinterpret_cast<HistoryWindowMaker>(platform::LoadModuleFunction(
        folders, ModuleFile(), "MakeHistoryWindow",
        QStringLiteral("L'historique des connexions n'est pas installé."),
        QStringLiteral("L'historique des connexions ne peut pas être chargé : %1")));
}
