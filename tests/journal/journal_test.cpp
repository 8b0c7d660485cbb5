// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal.h"
#include "platform/failure.h"
#include "tests/support/qstring_printer.h"
#include "tests/support/working_directory.h"

#include "journal/journal_worker.h"

#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <random>
#include <sys/resource.h>
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

QList<JournalEntry> All(JournalStore& store) {
    return store.Entries(kStart.addYears(-1), kStart.addYears(1));
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

// What keeps the database from taking rows, as long as it is held.
class Blocker {
public:
    virtual ~Blocker() = default;
    virtual void Release() = 0;
};

// Another program's transaction: the sqlite3 shell, a backup tool, a sync client.
class Transaction : public Blocker {
public:
    explicit Transaction(const QString& begin) {
        db_ = QSqlDatabase::addDatabase("QSQLITE", "holder");
        db_.setDatabaseName(kJournalFileName);
        EXPECT_TRUE(db_.open());
        EXPECT_TRUE(QSqlQuery(db_).exec(begin));
    }
    ~Transaction() override { Release(); }
    void Release() override {
        if (db_.isOpen()) {
            QSqlQuery(db_).exec("ROLLBACK");
            db_.close();
        }
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase("holder");
    }

private:
    QSqlDatabase db_;
};

// A full disk, as far as the journal's files can grow: no write past the first few kilooctets,
// which leaves room for the pending rows only.
class FullDisk : public Blocker {
public:
    FullDisk() {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit full = previous_;
        full.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &full);
    }
    ~FullDisk() override { Release(); }
    void Release() override {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, SIG_DFL);
    }

private:
    rlimit previous_{};
};

struct BlockerCase {
    const char* name;
    std::function<std::unique_ptr<Blocker>()> block;
};
const BlockerCase kBlockers[] = {
    {"reserved", [] { return std::make_unique<Transaction>("BEGIN IMMEDIATE"); }},
    {"exclusive", [] { return std::make_unique<Transaction>("BEGIN EXCLUSIVE"); }},
    {"disk full", [] { return std::make_unique<FullDisk>(); }},
};

const QString kPending = JournalWorker::PendingFileName(kJournalFileName);

// Milliseconds the call took.
template <typename Call> qint64 Timed(Call call) {
    QElapsedTimer timer;
    timer.start();
    call();
    return timer.elapsed();
}

// While the database cannot take rows, handing one over costs the caller nothing; the rows wait in
// order, the failure is told once, and they are written once the database takes them again.
TEST_F(JournalTest, RowsWaitUntilTheDatabaseTakesThem) {
    for (const BlockerCase& c : kBlockers) {
        QFile::remove(kJournalFileName);
        JournalStore().Add({});
        Journal journal;
        QStringList reports;
        const auto report = [&reports](const QString& text) { reports.append(text); };
        std::unique_ptr<Blocker> blocker = c.block();
        EXPECT_LT(Timed([&] { journal.Record(Connection(0), report); }), 50) << c.name;
        EXPECT_TRUE(QTest::qWaitFor([] { return QFile::exists(kPending); })) << c.name;
        EXPECT_LT(Timed([&] { journal.Record(Connection(1, EntryKind::Reset), report); }), 50)
            << c.name;
        QTest::qWait(JournalStore::kBusyTimeoutMs * 2);
        EXPECT_EQ(reports.size(), 1) << c.name;
        EXPECT_TRUE(reports.value(0).contains(kPending)) << reports.value(0).toStdString();
        blocker->Release();
        EXPECT_TRUE(QTest::qWaitFor([] { return !QFile::exists(kPending); }, 10000)) << c.name;
        JournalStore store;
        EXPECT_EQ(All(store), (QList<JournalEntry>{Connection(0), Connection(1, EntryKind::Reset)}))
            << c.name;
    }
}

// Rows still pending when the program ends are kept without holding the end, and written once at
// the next start, even when the last run wrote them just before it ended.
TEST_F(JournalTest, PendingRowsOutliveTheProgram) {
    JournalStore().Add({});
    const QList<JournalEntry> rows = {Connection(0, EntryKind::Stopped),
                                      Connection(0, EntryKind::Reset)};
    {
        Transaction lock("BEGIN IMMEDIATE");
        auto journal = std::make_unique<Journal>();
        for (const JournalEntry& row : rows) {
            journal->Record(row, [](const QString&) {});
        }
        EXPECT_LT(Timed([&] { journal.reset(); }), 1000);
    }
    const QByteArray pending = Bytes(kPending.toLocal8Bit());
    for (int start = 0; start < 2; ++start) {
        Journal journal;
        EXPECT_TRUE(QTest::qWaitFor([] { return !QFile::exists(kPending); })) << start;
        JournalStore store;
        EXPECT_EQ(All(store), rows) << start;
        Put(kPending.toLocal8Bit(), pending);
    }
}

// A connection is journalled once whatever path records it; other rows are all kept.
TEST_F(JournalTest, RowsComeBackOnceEach) {
    JournalStore store;
    const QList<JournalEntry> rows = {Connection(0), Connection(5, EntryKind::Recovered),
                                      Connection(9, EntryKind::Reset),
                                      Connection(9, EntryKind::Plan)};
    EXPECT_EQ(store.Add(rows), 4);
    EXPECT_EQ(store.Add({Connection(5, EntryKind::Stopped), Connection(0, EntryKind::Recovered),
                         rows[2], rows[3]}),
              0);
    EXPECT_EQ(All(store), rows);
    EXPECT_EQ(store.Resets(), QList<QDateTime>{rows[2].end});
}

// Each kind is stored under the name existing journals hold, and read back as itself.
TEST_F(JournalTest, KindsKeepTheirStoredNames) {
    const std::pair<EntryKind, QString> kinds[] = {{EntryKind::Ended, "ended"},
                                                   {EntryKind::Stopped, "stopped"},
                                                   {EntryKind::Recovered, "recovered"},
                                                   {EntryKind::Reset, "reset"},
                                                   {EntryKind::Plan, "plan"}};
    JournalStore store;
    QList<JournalEntry> written;
    QStringList names;
    for (const auto& [kind, name] : kinds) {
        written.append(Connection(static_cast<int>(written.size()), kind));
        store.Add({written.last()});
        names.append(name);
    }
    EXPECT_EQ(All(store), written);
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
        JournalStore store;
        EXPECT_EQ(All(store), QList<JournalEntry>{Connection(0)});
        store.Add({Connection(0, EntryKind::Recovered)});
        EXPECT_EQ(All(store).size(), 1);
    }
    Execute({QStringLiteral("PRAGMA user_version = %1").arg(JournalStore::kSchemaVersion + 1)});
    JournalStore later;
    try {
        later.Add({Connection(7)});
        ADD_FAILURE() << "a journal of a later version was written";
    } catch (const platform::Failure& failure) {
        EXPECT_TRUE(QString(failure.what()).contains("version plus récente")) << failure.what();
    }
    // Nor is it kept open: each failed try would hold another connection to it.
    EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList{});
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
            JournalStore store;
            for (int row = committed;; ++row) {
                store.Add({Connection(row)});
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
        JournalStore store;
        const int rows = static_cast<int>(All(store).size());
        // The last row may have been committed just before the kill, unreported.
        EXPECT_GE(rows, reported + 1) << "run " << run;
        EXPECT_LE(rows, reported + 2) << "run " << run;
        store.Add({Connection(rows)});
        committed = rows + 1;
    }
}

} // namespace
