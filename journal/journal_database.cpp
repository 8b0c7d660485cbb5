// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's database module (journal_database.h): the rows in SQLite through QtSql.
#include "journal/journal_database.h"

#include "platform/failure.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <memory>
#include <vector>

namespace {

// Each step takes the schema from the version before it to its own; a database of any older
// version is brought up to date in one transaction when it is opened.
struct Upgrade {
    int version;
    std::vector<const char*> statements;
};
const Upgrade kUpgrades[] = {
    {1,
     {"CREATE TABLE entries (id INTEGER PRIMARY KEY, started TEXT NOT NULL, ended TEXT NOT NULL, "
      "seconds INTEGER NOT NULL, interface TEXT NOT NULL DEFAULT '', received INTEGER NOT NULL "
      "DEFAULT 0, sent INTEGER NOT NULL DEFAULT 0, kind TEXT NOT NULL, plan TEXT NOT NULL DEFAULT "
      "'')"}},
    // A connection is journalled once, whatever path recorded it: the duplicates a version 1
    // journal may hold are dropped, the first kept.
    {2,
     {"DELETE FROM entries WHERE kind IN ('ended', 'stopped', 'recovered') AND id NOT IN (SELECT "
      "MIN(id) FROM entries WHERE kind IN ('ended', 'stopped', 'recovered') GROUP BY started)",
      "CREATE UNIQUE INDEX one_row_per_connection ON entries (started) WHERE kind IN ('ended', "
      "'stopped', 'recovered')",
      "CREATE INDEX entries_by_end ON entries (ended)"}},
    // The time the link was up beside the time charged (before the billing rules a connection was
    // charged its 10 s of dead time and its time up), and the total a correction set.
    {3,
     {"ALTER TABLE entries ADD COLUMN up_seconds INTEGER NOT NULL DEFAULT 0",
      "ALTER TABLE entries ADD COLUMN total INTEGER NOT NULL DEFAULT 0",
      "UPDATE entries SET up_seconds = MAX(seconds - 10, 0) WHERE kind IN ('ended', 'stopped', "
      "'recovered')"}},
};
static_assert(std::size(kUpgrades) == JournalStore::kSchemaVersion);

QString IsoText(const QDateTime& time) {
    return time.toUTC().toString(Qt::ISODateWithMs);
}

QDateTime FromIsoText(const QString& text) {
    return QDateTime::fromString(text, Qt::ISODate).toUTC();
}

// A null text would be bound as NULL.
QString NotNull(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

class SqliteJournal final : public JournalDatabase {
public:
    explicit SqliteJournal(const QString& fileName);
    ~SqliteJournal() override;
    SqliteJournal(const SqliteJournal&) = delete;
    SqliteJournal& operator=(const SqliteJournal&) = delete;

    // Opens the file and brings it up to date; a failure leaves the connection to the destructor.
    void Open();
    int Add(const QList<JournalEntry>& entries) override;
    QList<JournalEntry> Entries(const QDateTime& from, const QDateTime& to) override;
    QList<QDateTime> Resets() override;

private:
    [[noreturn]] void Fail(const QSqlError& error) const;
    QSqlQuery Run(const QString& sql, const QVariantList& values = {});

    QString fileName_;
    QString connection_;
    QSqlDatabase db_;
};

SqliteJournal::SqliteJournal(const QString& fileName)
    : fileName_(fileName),
      connection_(QStringLiteral("journal-%1").arg(reinterpret_cast<quintptr>(this))),
      db_(QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_)) {
    db_.setDatabaseName(fileName_);
    db_.setConnectOptions(
        QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(JournalStore::kBusyTimeoutMs));
}

SqliteJournal::~SqliteJournal() {
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

void SqliteJournal::Fail(const QSqlError& error) const {
    throw platform::Failure(QStringLiteral("Le journal des connexions %1 ne peut pas servir : %2")
                                .arg(fileName_, error.text().trimmed())
                                .toStdString());
}

QSqlQuery SqliteJournal::Run(const QString& sql, const QVariantList& values) {
    QSqlQuery query(db_);
    if (!query.prepare(sql)) {
        Fail(query.lastError());
    }
    for (const QVariant& value : values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        Fail(query.lastError());
    }
    return query;
}

// A journal written by a later version is left as it is: this program would not know what its
// rows mean.
void SqliteJournal::Open() {
    if (!db_.open()) {
        Fail(db_.lastError());
    }
    constexpr int current = JournalStore::kSchemaVersion;
    QSqlQuery version = Run(QStringLiteral("PRAGMA user_version"));
    const int found = version.next() ? version.value(0).toInt() : 0;
    version.finish();
    if (found > current) {
        throw platform::Failure(QStringLiteral("Le journal des connexions %1 vient d'une version "
                                               "plus récente de Filocompte : il n'est pas modifié")
                                    .arg(fileName_)
                                    .toStdString());
    }
    if (found < current) {
        Run(QStringLiteral("BEGIN IMMEDIATE"));
        for (const auto& upgrade : kUpgrades) {
            for (const char* statement : upgrade.statements) {
                if (upgrade.version > found) {
                    Run(QString::fromLatin1(statement));
                }
            }
        }
        Run(QStringLiteral("PRAGMA user_version = %1").arg(current));
        Run(QStringLiteral("COMMIT"));
    }
}

// A connection is known by its start (the unique index); a reset or a plan change by its time.
int SqliteJournal::Add(const QList<JournalEntry>& entries) {
    int added = 0;
    Run(QStringLiteral("BEGIN IMMEDIATE"));
    for (const JournalEntry& entry : entries) {
        const QString start = IsoText(entry.start);
        const QString end = IsoText(entry.end);
        const QString kind = NameOf(entry.kind);
        const QSqlQuery query = Run(
            QStringLiteral("INSERT INTO entries (started, ended, seconds, interface, received, "
                           "sent, kind, plan, up_seconds, total) SELECT ?, ?, ?, ?, ?, ?, ?, ?, "
                           "?, ? WHERE NOT EXISTS (SELECT 1 FROM entries WHERE ended = ? AND "
                           "started = ? AND kind = ?) ON CONFLICT (started) WHERE kind IN "
                           "('ended', 'stopped', 'recovered') DO NOTHING"),
            {start, end, entry.seconds, NotNull(entry.interfaceName),
             static_cast<qint64>(entry.received), static_cast<qint64>(entry.sent), kind,
             NotNull(entry.plan), entry.upSeconds, entry.total, end, start, kind});
        added += query.numRowsAffected() > 0 ? 1 : 0;
    }
    Run(QStringLiteral("COMMIT"));
    return added;
}

QList<JournalEntry> SqliteJournal::Entries(const QDateTime& from, const QDateTime& to) {
    QSqlQuery query =
        Run(QStringLiteral("SELECT started, ended, seconds, interface, received, sent, kind, "
                           "plan, up_seconds, total FROM entries WHERE ended >= ? AND ended < ? "
                           "ORDER BY ended, id"),
            {IsoText(from), IsoText(to)});
    QList<JournalEntry> entries;
    while (query.next()) {
        entries.append({FromIsoText(query.value(0).toString()),
                        FromIsoText(query.value(1).toString()), query.value(2).toInt(),
                        query.value(3).toString(), query.value(4).toULongLong(),
                        query.value(5).toULongLong(), KindOf(query.value(6).toString()),
                        query.value(7).toString(), query.value(8).toInt(), query.value(9).toInt()});
    }
    return entries;
}

QList<QDateTime> SqliteJournal::Resets() {
    QSqlQuery query =
        Run(QStringLiteral("SELECT ended FROM entries WHERE kind = 'reset' ORDER BY ended, id"));
    QList<QDateTime> resets;
    while (query.next()) {
        resets.append(FromIsoText(query.value(0).toString()));
    }
    return resets;
}

} // namespace

JournalDatabase* OpenJournalDatabase(const QString& fileName) {
    auto journal = std::make_unique<SqliteJournal>(fileName);
    journal->Open();
    return journal.release();
}
