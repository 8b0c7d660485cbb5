// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal's rows and its SQLite database: one row per connection added to the counter, and one
// per reset and plan change, beside the counter files.

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>

inline constexpr char kJournalFileName[] = "decompte_internet.sqlite";

// How a row came to be written.
enum class EntryKind {
    Ended,      // the connection ended (hung up or dropped) and was added to the counter
    Stopped,    // the program was asked to stop during the connection, which was added first
    Recovered,  // the checkpoint of a connection whose program died was added at the next start
    Reset,      // "Réinitialiser le compteur": a new period starts
    Plan,       // "Fixer le forfait": the plan from then on
    Correction, // "Corriger le compteur": the counter set to the operator's count
};

// The name a kind is stored under, and the kind a stored name stands for (a name this program
// does not know reads as a connection that ended).
QString NameOf(EntryKind kind);
EntryKind KindOf(const QString& name);

struct JournalEntry {
    QDateTime start;          // UTC; for a reset or a plan change, when it was made
    QDateTime end;            // UTC
    std::int32_t seconds = 0; // added to the counter: what the connection was charged
    QString interfaceName;
    std::uint64_t received = 0; // octets over the connection
    std::uint64_t sent = 0;
    EntryKind kind = EntryKind::Ended;
    QString plan;               // the plan text in force, as the counter file's line 3 holds it
    std::int32_t upSeconds = 0; // the time the link was up, which the billing rule charged
    // The counter's seconds after a correction, which added `seconds` to the ones before.
    std::int32_t total = 0;
    bool operator==(const JournalEntry&) const = default;

    bool IsConnection() const {
        return kind == EntryKind::Ended || kind == EntryKind::Stopped ||
               kind == EntryKind::Recovered;
    }
};

class JournalDatabase;

// The database itself, used from one thread: the journal's worker, or a test.
class JournalStore {
public:
    // The database is opened at the first use; a failed one is opened afresh at the next.
    explicit JournalStore(QString fileName = QString::fromLatin1(kJournalFileName));
    ~JournalStore();
    JournalStore(const JournalStore&) = delete;
    JournalStore& operator=(const JournalStore&) = delete;

    // Adds the rows in order, in one transaction, and tells how many were new. A row already
    // journalled is not added again: a connection recovered after a crash may have been journalled
    // before it, and a row kept pending may have been written just before the program ended.
    // Raises platform::Failure with the French message when the database cannot take them.
    int Add(const QList<JournalEntry>& entries);
    // The rows whose end lies in [from, to), oldest first.
    QList<JournalEntry> Entries(const QDateTime& from, const QDateTime& to);
    // When each reset was made, oldest first.
    QList<QDateTime> Resets();
    // Closes the database until its next use. The journal is used now and then (a connection's
    // end, the history's reads), and open, SQLite keeps its caches all along.
    void Close();

    // The schema version this program writes.
    static constexpr int kSchemaVersion = 3;
    // How long a statement waits for another program's lock before it fails: the rows wait in
    // the worker instead, which must stop within about a second when the program ends.
    static constexpr int kBusyTimeoutMs = 250;

private:
    JournalDatabase& Open();
    // Runs work on the open database; a failure closes it, rolling back what it had begun.
    template <typename Work> auto Guarded(Work work);

    QString fileName_;
    std::unique_ptr<JournalDatabase> database_;
};
