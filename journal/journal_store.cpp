// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_store.h"

#include "journal/journal_database.h"
#include "platform/failure.h"
#include "platform/program_module.h"

namespace {

// The database module, loaded at the first use of a journal and kept; a failed load is tried
// again at the next use.
JournalDatabaseOpener DatabaseOpener() {
    static const auto opener = reinterpret_cast<JournalDatabaseOpener>(platform::LoadModuleFunction(
        platform::ModuleFolders(), QStringLiteral(FILOCOMPTE_JOURNAL_MODULE_FILE),
        "OpenJournalDatabase",
        QStringLiteral("Le journal des connexions ne peut pas servir : son module n'est pas "
                       "installé"),
        QStringLiteral("Le journal des connexions ne peut pas servir : son module ne peut pas "
                       "être chargé (%1)")));
    return opener;
}

} // namespace

JournalStore::JournalStore(QString fileName) : fileName_(std::move(fileName)) {}

JournalStore::~JournalStore() = default;

JournalDatabase& JournalStore::Open() {
    if (!database_) {
        database_.reset(DatabaseOpener()(fileName_));
    }
    return *database_;
}

void JournalStore::Close() {
    database_.reset();
}

template <typename Work> auto JournalStore::Guarded(Work work) {
    try {
        return work(Open());
    } catch (const platform::Failure&) {
        // A database that failed, a transaction or an upgrade half done among others, is opened
        // afresh next time.
        database_.reset();
        throw;
    }
}

int JournalStore::Add(const QList<JournalEntry>& entries) {
    return Guarded([&](JournalDatabase& database) { return database.Add(entries); });
}

QList<JournalEntry> JournalStore::Entries(const QDateTime& from, const QDateTime& to) {
    return Guarded([&](JournalDatabase& database) { return database.Entries(from, to); });
}

QList<QDateTime> JournalStore::Resets() {
    return Guarded([](JournalDatabase& database) { return database.Resets(); });
}
