// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_store.h"

#include "platform/failure.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <vector>

namespace {

// The names the database holds: a kind keeps its name whatever its place in the enum.
struct KindName {
    EntryKind kind;
    const char* name;
};
constexpr std::array<KindName, 6> kKindNames = {{{EntryKind::Ended, "ended"},
                                                 {EntryKind::Stopped, "stopped"},
                                                 {EntryKind::Recovered, "recovered"},
                                                 {EntryKind::Reset, "reset"},
                                                 {EntryKind::Plan, "plan"},
                                                 {EntryKind::Correction, "correction"}}};

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

} // namespace

QString NameOf(EntryKind kind) {
    const auto* found = std::find_if(kKindNames.begin(), kKindNames.end(),
                                     [kind](const KindName& named) { return named.kind == kind; });
    return QString::fromLatin1(found->name);
}

EntryKind KindOf(const QString& name) {
    const auto* found =
        std::find_if(kKindNames.begin(), kKindNames.end(),
                     [&name](const KindName& named) { return name == QLatin1String(named.name); });
    return found == kKindNames.end() ? EntryKind::Ended : found->kind;
}

struct JournalStore::Database {
    QString connection;
    QSqlDatabase db;

    ~Database() {
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(connection);
    }

    [[noreturn]] void Fail(const QString& fileName, const QSqlError& error) const {
        throw platform::Failure(
            QStringLiteral("Le journal des connexions %1 ne peut pas servir : %2")
                .arg(fileName, error.text().trimmed())
                .toStdString());
    }

    QSqlQuery Run(const QString& fileName, const QString& sql, const QVariantList& values = {}) {
        QSqlQuery query(db);
        if (!query.prepare(sql)) {
            Fail(fileName, query.lastError());
        }
        for (const QVariant& value : values) {
            query.addBindValue(value);
        }
        if (!query.exec()) {
            Fail(fileName, query.lastError());
        }
        return query;
    }
};

JournalStore::JournalStore(QString fileName) : fileName_(std::move(fileName)) {}

JournalStore::~JournalStore() = default;

// A journal written by a later version is left as it is: this program would not know what its
// rows mean.
JournalStore::Database& JournalStore::Open() {
    if (database_) {
        return *database_;
    }
    auto database = std::make_unique<Database>();
    database->connection = QStringLiteral("journal-%1").arg(reinterpret_cast<quintptr>(this));
    database->db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), database->connection);
    database->db.setDatabaseName(fileName_);
    database->db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!database->db.open()) {
        database->Fail(fileName_, database->db.lastError());
    }
    QSqlQuery version = database->Run(fileName_, QStringLiteral("PRAGMA user_version"));
    const int found = version.next() ? version.value(0).toInt() : 0;
    version.finish();
    if (found > kSchemaVersion) {
        throw platform::Failure(QStringLiteral("Le journal des connexions %1 vient d'une version "
                                               "plus récente de Filocompte : il n'est pas modifié")
                                    .arg(fileName_)
                                    .toStdString());
    }
    if (found < kSchemaVersion) {
        database->Run(fileName_, QStringLiteral("BEGIN IMMEDIATE"));
        for (const Upgrade& upgrade : kUpgrades) {
            for (const char* statement : upgrade.statements) {
                if (upgrade.version > found) {
                    database->Run(fileName_, QString::fromLatin1(statement));
                }
            }
        }
        database->Run(fileName_, QStringLiteral("PRAGMA user_version = %1").arg(kSchemaVersion));
        database->Run(fileName_, QStringLiteral("COMMIT"));
    }
    database_ = std::move(database);
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

// A connection is known by its start (the unique index); a reset or a plan change by its time.
int JournalStore::Add(const QList<JournalEntry>& entries) {
    return Guarded([&](Database& database) {
        int added = 0;
        database.Run(fileName_, QStringLiteral("BEGIN IMMEDIATE"));
        for (const JournalEntry& entry : entries) {
            const QString start = IsoText(entry.start);
            const QString end = IsoText(entry.end);
            const QString kind = NameOf(entry.kind);
            const QSqlQuery query = database.Run(
                fileName_,
                QStringLiteral(
                    "INSERT INTO entries (started, ended, seconds, interface, received, sent, "
                    "kind, plan, up_seconds, total) SELECT ?, ?, ?, ?, ?, ?, ?, ?, ?, ? WHERE NOT "
                    "EXISTS (SELECT 1 FROM "
                    "entries WHERE ended = ? AND started = ? AND kind = ?) ON CONFLICT (started) "
                    "WHERE kind IN ('ended', 'stopped', 'recovered') DO NOTHING"),
                {start, end, entry.seconds, NotNull(entry.interfaceName),
                 static_cast<qint64>(entry.received), static_cast<qint64>(entry.sent), kind,
                 NotNull(entry.plan), entry.upSeconds, entry.total, end, start, kind});
            added += query.numRowsAffected() > 0 ? 1 : 0;
        }
        database.Run(fileName_, QStringLiteral("COMMIT"));
        return added;
    });
}

QList<JournalEntry> JournalStore::Entries(const QDateTime& from, const QDateTime& to) {
    return Guarded([&](Database& database) {
        QSqlQuery query = database.Run(
            fileName_,
            QStringLiteral("SELECT started, ended, seconds, interface, received, sent, kind, plan, "
                           "up_seconds, total FROM entries WHERE ended >= ? AND ended < ? ORDER BY "
                           "ended, id"),
            {IsoText(from), IsoText(to)});
        QList<JournalEntry> entries;
        while (query.next()) {
            entries.append(
                {FromIsoText(query.value(0).toString()), FromIsoText(query.value(1).toString()),
                 query.value(2).toInt(), query.value(3).toString(), query.value(4).toULongLong(),
                 query.value(5).toULongLong(), KindOf(query.value(6).toString()),
                 query.value(7).toString(), query.value(8).toInt(), query.value(9).toInt()});
        }
        return entries;
    });
}

QList<QDateTime> JournalStore::Resets() {
    return Guarded([&](Database& database) {
        QSqlQuery query =
            database.Run(fileName_, QStringLiteral("SELECT ended FROM entries WHERE kind = "
                                                   "'reset' ORDER BY ended, id"));
        QList<QDateTime> resets;
        while (query.next()) {
            resets.append(FromIsoText(query.value(0).toString()));
        }
        return resets;
    });
}
