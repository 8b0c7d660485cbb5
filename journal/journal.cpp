// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal.h"

#include "journal/journal_worker.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <QCoreApplication>
#include <QFile>
#include <QThread>

Journal::Journal(QString fileName, JournalAccess access)
    : fileName_(std::move(fileName)), access_(access) {
    if (access_ == JournalAccess::ReadWrite &&
        platform::fileExists(
            QFile::encodeName(JournalWorker::PendingFileName(fileName_)).toStdString())) {
        Worker();
    }
}

Journal::~Journal() {
    Stop();
}

JournalWorker& Journal::Worker() {
    if (worker_ == nullptr) {
        thread_ = std::make_unique<QThread>();
        thread_->setObjectName(QStringLiteral("journal"));
        worker_ = new JournalWorker(fileName_);
        worker_->moveToThread(thread_.get());
        connect(thread_.get(), &QThread::finished, worker_, &QObject::deleteLater);
        connect(worker_, &JournalWorker::Written, this, &Journal::Added);
        connect(worker_, &JournalWorker::Failed, this, [this](const QString& message) {
            if (report_) {
                report_(message);
            }
        });
        connect(worker_, &JournalWorker::Answered, this,
                [](const std::function<void()>& deliver) { deliver(); });
        thread_->start();
        if (access_ == JournalAccess::ReadWrite) {
            QMetaObject::invokeMethod(worker_, &JournalWorker::Resume, Qt::QueuedConnection);
        }
    }
    return *worker_;
}

void Journal::Record(const JournalEntry& entry, const Report& report) {
    report_ = report;
    JournalWorker* worker = &Worker();
    QMetaObject::invokeMethod(
        worker, [worker, entry] { worker->Take(entry); }, Qt::QueuedConnection);
}

template <typename Rows>
void Journal::Read(QObject* context, std::function<Rows(JournalStore&)> read,
                   const Done<Rows>& done) {
    JournalWorker* worker = &Worker();
    QMetaObject::invokeMethod(
        worker,
        [worker, read = std::move(read), done, context = QPointer<QObject>(context)] {
            Rows rows;
            QString failure;
            try {
                rows = read(worker->Store());
            } catch (const platform::Failure& error) {
                failure = QString::fromUtf8(error.what());
            }
            worker->Store().Close();
            emit worker->Answered([rows, failure, done, context] {
                if (context) {
                    done(rows);
                }
                if (!failure.isEmpty()) {
                    throw platform::Failure(failure.toStdString());
                }
            });
        },
        Qt::QueuedConnection);
}

void Journal::ReadEntries(QObject* context, const QDateTime& from, const QDateTime& to,
                          const Done<QList<JournalEntry>>& done) {
    Read<QList<JournalEntry>>(
        context, [from, to](JournalStore& store) { return store.Entries(from, to); }, done);
}

void Journal::ReadResets(QObject* context, const Done<QList<QDateTime>>& done) {
    Read<QList<QDateTime>>(
        context, [](JournalStore& store) { return store.Resets(); }, done);
}

void Journal::Close() {
    Stop();
    // What the worker told before it ended.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

// The worker's busy wait is short: a locked database holds the end for a fraction of a second.
void Journal::Stop() {
    if (worker_ == nullptr) {
        return;
    }
    QMetaObject::invokeMethod(worker_, &JournalWorker::Finish, Qt::QueuedConnection);
    if (thread_->wait(QDeadlineTimer(kStopTimeoutMs))) {
        thread_.reset();
    } else {
        // Stuck in the file system: the thread is left to the end of the process, whatever it
        // has not written kept in the pending file; it tells this journal nothing more.
        disconnect(worker_, nullptr, this, nullptr);
        static_cast<void>(thread_.release());
    }
    worker_ = nullptr;
}
