// SPDX-License-Identifier: GPL-3.0-or-later
// How long the GUI thread stands still when a connection's end is journalled while another program
// (the sqlite3 shell) holds the journal in a transaction. In a fresh folder: one row journalled,
// then the shell takes the lock for the given seconds, and a second row is handed over. Prints the
// time of the Journal::Record call, the longest gap between two beats of a 10 ms timer on this
// thread (the freeze the strip would show), the failures told and the rows in the journal a while
// after the lock went. Usage: bench_journal_lock FOLDER SECONDS

#include "journal/journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

// The rows a later look finds, through a connection of its own.
int Rows() {
    int rows = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "count");
        db.setDatabaseName(QString::fromLatin1(kJournalFileName));
        QSqlQuery query(db);
        if (db.open() && query.exec(QStringLiteral("SELECT count(*) FROM entries")) &&
            query.next()) {
            rows = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("count");
    return rows;
}

JournalEntry Connection(int minutesAgo) {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return {now.addSecs(-60 * minutesAgo),
            now.addSecs(-60 * minutesAgo + 50),
            60,
            "ppp0",
            0,
            0,
            EntryKind::Ended,
            "20"};
}

// Runs the event loop for the given milliseconds.
void Run(int ms) {
    QTimer::singleShot(ms, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: bench_journal_lock FOLDER SECONDS\n");
        return EXIT_FAILURE;
    }
    const int heldMs = std::atoi(argv[2]) * 1000;
    int failures = 0;
    const auto report = [&failures](const QString&) { ++failures; };
    Journal journal;
    journal.Record(Connection(10), report);
    Run(1000);

    // The shell holds the lock and lets it go by itself, whatever this thread does.
    QProcess shell;
    shell.start(QStringLiteral("sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("(echo \"BEGIN IMMEDIATE; SELECT 'locked';\"; sleep %1; echo "
                                "ROLLBACK\\;) | sqlite3 %2")
                     .arg(heldMs / 1000)
                     .arg(QString::fromLatin1(kJournalFileName))});
    if (!shell.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the sqlite3 shell took no lock\n");
        return EXIT_FAILURE;
    }
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
    });
    beat.start(10);
    double recordMs = 0;
    QTimer::singleShot(100, [&] {
        QElapsedTimer call;
        call.start();
        journal.Record(Connection(5), report);
        recordMs = static_cast<double>(call.nsecsElapsed()) / 1e6;
    });
    // Long enough for the pending row's tries, 2, 4 then 8 s apart.
    Run(heldMs + 16000);
    shell.waitForFinished();
    beat.stop();
    std::printf("lock held %d s: Record call %.3f ms, longest GUI-thread stall %lld ms, failures "
                "told %d, rows journalled %d of 2\n",
                heldMs / 1000, recordMs, static_cast<long long>(longest), failures, Rows());
    return EXIT_SUCCESS;
}
