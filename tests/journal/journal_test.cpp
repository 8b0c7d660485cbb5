// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal.h"
#include "platform/failure.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using JournalTest = InTemporaryDirectory;

const QDateTime kStart(QDate(2026, 12, 1), QTime(8, 0), Qt::UTC);

JournalEntry Connection(int minute, EntryKind kind = EntryKind::Ended) {
    return {kStart.addSecs(60 * minute),
            kStart.addSecs(60 * minute + 50),
            60,
            "ppp0",
            5'000'000'000ULL,
            12345,
            kind,
            "20",
            50};
}

QList<JournalEntry> All(Journal& journal) {
    return journal.Entries(kStart.addYears(-1), kStart.addYears(1));
}

// Runs statements on the file as another program (or an older one) would.
void Execute(const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "by-hand");
        db.setDatabaseName(kJournalFileName);
        ASSERT_TRUE(db.open());
        for (const QString& statement : statements) {
            QSqlQuery query(db);
            ASSERT_TRUE(query.exec(statement)) << statement.toStdString();
        }
    }
    QSqlDatabase::removeDatabase("by-hand");
}

// A connection is journalled once whatever path records it; other rows are all kept.
TEST_F(JournalTest, RowsComeBackOnceEach) {
    Journal journal;
    int added = 0;
    QObject::connect(&journal, &Journal::Added, [&added] { ++added; });
    const QList<JournalEntry> rows = {Connection(0), Connection(5, EntryKind::Recovered),
                                      Connection(9, EntryKind::Reset),
                                      Connection(9, EntryKind::Plan)};
    for (const JournalEntry& row : rows) {
        journal.Add(row);
    }
    journal.Add(Connection(5, EntryKind::Stopped));
    journal.Add(Connection(0, EntryKind::Recovered));
    EXPECT_EQ(All(journal), rows);
    EXPECT_EQ(added, 4);
    EXPECT_EQ(journal.Resets(), QList<QDateTime>{rows[2].end});
}

// Each kind is stored under the name existing journals hold, and read back as itself.
TEST_F(JournalTest, KindsKeepTheirStoredNames) {
    const std::pair<EntryKind, QString> kinds[] = {{EntryKind::Ended, "ended"},
                                                   {EntryKind::Stopped, "stopped"},
                                                   {EntryKind::Recovered, "recovered"},
                                                   {EntryKind::Reset, "reset"},
                                                   {EntryKind::Plan, "plan"}};
    Journal journal;
    QList<JournalEntry> written;
    QStringList names;
    for (const auto& [kind, name] : kinds) {
        written.append(Connection(static_cast<int>(written.size()), kind));
        journal.Add(written.last());
        names.append(name);
    }
    EXPECT_EQ(All(journal), written);
    QStringList stored;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "by-hand");
        db.setDatabaseName(kJournalFileName);
        ASSERT_TRUE(db.open());
        QSqlQuery query("SELECT kind FROM entries ORDER BY id", db);
        while (query.next()) {
            stored.append(query.value(0).toString());
        }
    }
    QSqlDatabase::removeDatabase("by-hand");
    EXPECT_EQ(stored, names);
}

// A journal of version 1 is brought up to date, its rows kept (a connection's time up is its charge
// less the 10 s of dead time of then) and a connection journalled twice by a crash kept once; one
// of a later version is left alone.
TEST_F(JournalTest, OlderSchemaUpgradedNewerLeftAlone) {
    Execute({"CREATE TABLE entries (id INTEGER PRIMARY KEY, started TEXT NOT NULL, ended TEXT NOT "
             "NULL, seconds INTEGER NOT NULL, interface TEXT NOT NULL DEFAULT '', received "
             "INTEGER NOT NULL DEFAULT 0, sent INTEGER NOT NULL DEFAULT 0, kind TEXT NOT NULL, "
             "plan TEXT NOT NULL DEFAULT '')",
             "INSERT INTO entries VALUES (1, '2026-12-01T08:00:00.000Z', "
             "'2026-12-01T08:00:50.000Z', 60, 'ppp0', 5000000000, 12345, 'ended', '20')",
             "INSERT INTO entries VALUES (2, '2026-12-01T08:00:00.000Z', "
             "'2026-12-01T08:00:40.000Z', 50, 'ppp0', 0, 0, 'recovered', '20')",
             "PRAGMA user_version = 1"});
    {
        Journal journal;
        EXPECT_EQ(All(journal), QList<JournalEntry>{Connection(0)});
        journal.Add(Connection(0, EntryKind::Recovered));
        EXPECT_EQ(All(journal).size(), 1);
    }
    Execute({QStringLiteral("PRAGMA user_version = %1").arg(Journal::kSchemaVersion + 1)});
    Journal later;
    try {
        later.Add(Connection(7));
        ADD_FAILURE() << "a journal of a later version was written";
    } catch (const platform::Failure& failure) {
        EXPECT_TRUE(QString(failure.what()).contains("version plus récente")) << failure.what();
    }
}

// Killed at any moment while it adds rows, the journal opens again with every row it had
// committed, and takes more.
TEST_F(JournalTest, KilledDuringWritesKeepsEveryCommittedRow) {
    std::mt19937 random(5);
    int committed = 0;
    for (int run = 0; run < 12; ++run) {
        int done[2];
        ASSERT_EQ(pipe(done), 0);
        const pid_t child = fork();
        if (child == 0) {
            Journal journal;
            for (int row = committed;; ++row) {
                journal.Add(Connection(row));
                [[maybe_unused]] const auto written = write(done[1], &row, sizeof row);
            }
        }
        close(done[1]);
        usleep(std::uniform_int_distribution<useconds_t>(1000, 40000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        int reported = committed - 1;
        for (int row = 0; read(done[0], &row, sizeof row) == sizeof row;) {
            reported = row;
        }
        close(done[0]);
        Journal journal;
        const int rows = static_cast<int>(All(journal).size());
        // The last row may have been committed just before the kill, unreported.
        EXPECT_GE(rows, reported + 1) << "run " << run;
        EXPECT_LE(rows, reported + 2) << "run " << run;
        journal.Add(Connection(rows));
        committed = rows + 1;
    }
}

} // namespace
