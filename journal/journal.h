// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal of connections: one row per connection added to the counter, and one per reset and
// plan change, in an SQLite database beside the counter files. The counter file stays the
// reference; the journal only tells where its hours went. Its rows are written and read by a
// worker thread: the GUI thread hands them over and goes on, whatever holds the database.

#include "journal/journal_store.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>

class JournalWorker;
class QThread;

// Whether the process writes the journal. The history window's own process only reads it: the
// rows the program keeps pending are the program's to write.
enum class JournalAccess { ReadWrite, ReadOnly };

class Journal : public QObject {
    Q_OBJECT

public:
    // The worker starts at the first use, or at once when a previous run left rows pending, so
    // that a program whose journal is never read or written pays nothing for it.
    explicit Journal(QString fileName = QString::fromLatin1(kJournalFileName),
                     JournalAccess access = JournalAccess::ReadWrite);
    // Stops the worker as Close does, without telling.
    ~Journal() override;

    using Report = std::function<void(const QString&)>;
    // Hands the row over to be written after those before it; a row the database cannot take yet
    // stays pending until it can, at the next start if need be. A failure is told through report,
    // later, on this thread, once until rows are added again, and never raised.
    void Record(const JournalEntry& entry, const Report& report);

    // Reads on the worker; done runs later on this thread, unless context is gone by then. A
    // failure gives done no rows and is then raised as platform::Failure.
    template <typename Rows> using Done = std::function<void(const Rows&)>;
    // The rows whose end lies in [from, to), oldest first.
    void ReadEntries(QObject* context, const QDateTime& from, const QDateTime& to,
                     const Done<QList<JournalEntry>>& done);
    // When each reset was made, oldest first.
    void ReadResets(QObject* context, const Done<QList<QDateTime>>& done);

    // Waits, about a second at most, until the rows handed over are written or kept pending,
    // and stops the worker; a failure not told yet is told now.
    void Close();

    // How long the end of the program may wait for the worker.
    static constexpr int kStopTimeoutMs = 1500;

signals:
    // Rows were added.
    void Added();

private:
    JournalWorker& Worker();
    template <typename Rows>
    void Read(QObject* context, std::function<Rows(JournalStore&)> read, const Done<Rows>& done);
    void Stop();

    QString fileName_;
    JournalAccess access_;
    Report report_;
    std::unique_ptr<QThread> thread_;
    JournalWorker* worker_ = nullptr;
};
