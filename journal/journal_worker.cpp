// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/journal_worker.h"

#include "platform/failure.h"
#include "platform/file_io.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <algorithm>

namespace {

// Far more rows than a journal locked for months would gather.
constexpr std::size_t kPendingLimit = 64 * 1024 * 1024;

std::string NativeName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

// Octets as text: a JSON number would round them past 2^53.
QJsonObject RowObject(const JournalEntry& entry) {
    return {{"start", entry.start.toString(Qt::ISODateWithMs)},
            {"end", entry.end.toString(Qt::ISODateWithMs)},
            {"seconds", entry.seconds},
            {"interface", entry.interfaceName},
            {"received", QString::number(entry.received)},
            {"sent", QString::number(entry.sent)},
            {"kind", NameOf(entry.kind)},
            {"plan", entry.plan},
            {"up", entry.upSeconds},
            {"total", entry.total}};
}

JournalEntry RowOf(const QJsonObject& row) {
    return {QDateTime::fromString(row["start"].toString(), Qt::ISODateWithMs).toUTC(),
            QDateTime::fromString(row["end"].toString(), Qt::ISODateWithMs).toUTC(),
            row["seconds"].toInt(),
            row["interface"].toString(),
            row["received"].toString().toULongLong(),
            row["sent"].toString().toULongLong(),
            KindOf(row["kind"].toString()),
            row["plan"].toString(),
            row["up"].toInt(),
            row["total"].toInt()};
}

QList<JournalEntry> ReadPending(const QString& name) {
    const std::string bytes = platform::readFile(NativeName(name), kPendingLimit);
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(bytes));
    if (!document.isArray()) {
        throw platform::Failure(QStringLiteral("Les lignes en attente du journal, %1, sont "
                                               "illisibles")
                                    .arg(name)
                                    .toStdString());
    }
    QList<JournalEntry> rows;
    for (const auto& row : document.array()) {
        rows.append(RowOf(row.toObject()));
    }
    return rows;
}

} // namespace

JournalWorker::JournalWorker(const QString& fileName)
    : store_(fileName), pendingName_(PendingFileName(fileName)), retry_(this) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &JournalWorker::Write);
}

JournalWorker::~JournalWorker() = default;

// "decompte_internet.attente" beside "decompte_internet.sqlite".
QString JournalWorker::PendingFileName(const QString& fileName) {
    const QFileInfo journal(fileName);
    return journal.dir().filePath(journal.completeBaseName() + QStringLiteral(".attente"));
}

void JournalWorker::Resume() {
    if (!platform::fileExists(NativeName(pendingName_))) {
        return;
    }
    kept_ = true;
    try {
        pending_ = ReadPending(pendingName_);
    } catch (const platform::Failure& failure) {
        // Only this program writes the file, whole or not at all: what it cannot read holds no
        // row it could write.
        emit Failed(QString::fromUtf8(failure.what()));
    }
    Write();
}

void JournalWorker::Take(const JournalEntry& entry) {
    pending_.append(entry);
    Write();
}

void JournalWorker::Finish() {
    retry_.stop();
    if (!pending_.isEmpty()) {
        Keep();
    }
    thread()->quit();
}

void JournalWorker::Write() {
    if (pending_.isEmpty()) {
        return;
    }
    try {
        const int added = store_.Add(pending_);
        store_.Close();
        pending_.clear();
        failing_ = false;
        retryIn_ = kFirstRetry;
        if (kept_) {
            kept_ = !platform::removeFile(NativeName(pendingName_));
        }
        if (added > 0) {
            emit Written();
        }
    } catch (const platform::Failure& failure) {
        Keep();
        if (!failing_) {
            emit Failed(QString::fromUtf8(failure.what()) +
                        QStringLiteral(" (les lignes à y ajouter attendent dans %1, et y seront "
                                       "écrites dès qu'il les acceptera)")
                            .arg(pendingName_));
        }
        failing_ = true;
        // A row handed over meanwhile leaves the next try where it was.
        if (!retry_.isActive()) {
            retry_.start(retryIn_);
            retryIn_ = std::min(retryIn_ * 2, kLastRetry);
        }
    }
}

// A pending file that cannot be written either (the disk is full) is tried again with the rows.
void JournalWorker::Keep() {
    QJsonArray rows;
    for (const JournalEntry& entry : pending_) {
        rows.append(RowObject(entry));
    }
    kept_ = true;
    try {
        platform::replaceFile(NativeName(pendingName_),
                              QJsonDocument(rows).toJson(QJsonDocument::Compact).toStdString());
    } catch (const platform::Failure&) {
        // The rows stay in memory: kept at the next failure, or at the end.
    }
}
