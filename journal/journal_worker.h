// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The journal's own thread: it writes the rows handed over, in order, on its own connection. A row
// the database cannot take yet (another program's lock, a full disk) stays pending, kept in a file
// beside the journal, and is tried again a little later, and at the next start: nothing waits for
// SQLite on the GUI thread. Its slots run in the worker's thread.

#include "journal/journal_store.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class JournalWorker : public QObject {
    Q_OBJECT

public:
    explicit JournalWorker(const QString& fileName);
    ~JournalWorker() override;

    // The rows a previous run left pending, for journal fileName.
    static QString PendingFileName(const QString& fileName);

    // Takes the rows a previous run left pending and writes them.
    void Resume();
    // Writes the row after those still pending.
    void Take(const JournalEntry& entry);
    // The database, for reads.
    JournalStore& Store() { return store_; }
    // Keeps what is still pending in the pending file and ends the thread.
    void Finish();

    // Waits between two tries of pending rows, doubling from the first to the last.
    static constexpr std::chrono::milliseconds kFirstRetry{2000};
    static constexpr std::chrono::milliseconds kLastRetry{64000};

signals:
    // Rows were added.
    void Written();
    // The rows could not be written: told when a run of failures begins.
    void Failed(const QString& message);
    // A read's result, delivered on the journal's thread.
    void Answered(const std::function<void()>& deliver);

private:
    void Write();
    void Keep();

    JournalStore store_;
    QString pendingName_;
    QList<JournalEntry> pending_;
    // Whether the pending file may exist, to be removed once its rows are written.
    bool kept_ = false;
    bool failing_ = false;
    std::chrono::milliseconds retryIn_ = kFirstRetry;
    QTimer retry_;
};
