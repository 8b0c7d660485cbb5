// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal of connections: one row per connection added to the counter, and one per reset and
// plan change, in an SQLite database beside the counter files. The counter file stays the
// reference; the journal only tells where its hours went.

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
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

class Journal : public QObject {
    Q_OBJECT

public:
    // The database is opened at the first use, so that a program whose journal is never read or
    // written pays nothing for it.
    explicit Journal(QString fileName = QString::fromLatin1(kJournalFileName));
    ~Journal() override;

    // Adds the row in one transaction. A connection whose start is already journalled is not
    // added again: a connection recovered after a crash may have been journalled before it.
    // Raises platform::Failure with the French message when the database cannot take it.
    void Add(const JournalEntry& entry);
    // The same for a caller whose work must go on whatever the journal does: a failure is told
    // through report, once until a row is added again, and never raised.
    void Record(const JournalEntry& entry, const std::function<void(const QString&)>& report);
    // The rows whose end lies in [from, to), oldest first.
    QList<JournalEntry> Entries(const QDateTime& from, const QDateTime& to);
    // When each reset was made, oldest first.
    QList<QDateTime> Resets();

    // The schema version this program writes.
    static constexpr int kSchemaVersion = 3;

signals:
    // A row was added.
    void Added();

private:
    struct Database;
    Database& Open();

    QString fileName_;
    bool failing_ = false;
    std::unique_ptr<Database> database_;
};
