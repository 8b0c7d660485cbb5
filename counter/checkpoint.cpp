// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/checkpoint.h"

#include "counter/billing.h"
#include "counter/date_time_text.h"
#include "counter/int_conversion.h"
#include "counter/plan_watch.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <QDateTime>
#include <algorithm>

namespace {

constexpr int kCheckpointLines = 9;

QDateTime UtcFrom(const QByteArray& line) {
    return QDateTime::fromString(QString::fromLatin1(line), Qt::ISODate).toUTC();
}

// The checkpoint, when it can be read: its third line an integer; the journal's lines after it
// may be missing.
std::optional<Checkpoint> ReadCheckpoint() {
    try {
        const QList<QByteArray> lines = ReadLines(kCheckpointFileName, kCheckpointLines);
        const auto seconds = ToInt(QString::fromLocal8Bit(lines[2]));
        if (!seconds) {
            return std::nullopt;
        }
        return Checkpoint{lines[0], QString::fromLocal8Bit(lines[1]), *seconds, UtcFrom(lines[3]),
                          UtcFrom(lines[4]), QString::fromUtf8(lines[5]), lines[6].toULongLong(),
                          lines[7].toULongLong(),
                          // Before the billing rules, the dead time and the link's time alone.
                          lines[8].isEmpty() ? std::max(*seconds - kDeadTime, 0)
                                             : lines[8].toInt()};
    } catch (const platform::UnusableFile&) {
        return std::nullopt;
    }
}

// The connection as the journal keeps it. One from a checkpoint without times ends when it was
// found and started its seconds before.
JournalEntry RecoveredEntry(const Checkpoint& checkpoint, const QString& plan) {
    const QDateTime end =
        checkpoint.written.isValid() ? checkpoint.written : QDateTime::currentDateTimeUtc();
    const QDateTime start =
        checkpoint.start.isValid() ? checkpoint.start : end.addSecs(-checkpoint.seconds);
    return {start,
            end,
            checkpoint.seconds,
            checkpoint.interfaceName,
            checkpoint.received,
            checkpoint.sent,
            EntryKind::Recovered,
            plan,
            checkpoint.upSeconds};
}

// A connection cannot have been up longer than the time since the counter's reset, nor be charged
// more than any billing rule adds to its time up (a first hour charged whole, say, a minute after
// the reset); when the reset date does not read as a date, the time up is not checked.
bool Plausible(const Checkpoint& checkpoint) {
    if (checkpoint.seconds < 0 || checkpoint.upSeconds < 0 ||
        checkpoint.seconds > std::int64_t{checkpoint.upSeconds} + kMostAdded) {
        return false;
    }
    const auto reset = EarliestResetDay(QString::fromLocal8Bit(checkpoint.resetDate));
    return !reset || checkpoint.upSeconds <=
                         QDateTime(*reset, QTime(0, 0)).secsTo(QDateTime::currentDateTime());
}

// Line 2 once the checkpoint is recorded, an empty line 2 counting as 0; nothing on overflow or
// when line 2 is not an integer.
std::optional<QString> FoldedSeconds(const Checkpoint& checkpoint) {
    const auto base = checkpoint.base.isEmpty() ? 0 : ToInt(checkpoint.base);
    const auto sum = base ? SumInRange(*base, checkpoint.seconds) : std::nullopt;
    return sum ? std::optional(QString::number(*sum)) : std::nullopt;
}

void SetCheckpointAside(const Notice& notice, const QString& why) {
    notice("Le point de reprise d'une connexion interrompue " + why +
           " : il est mis de côté sous le nom " + SetAside(kCheckpointFileName) + '.');
}

} // namespace

void WriteCheckpoint(const Checkpoint& checkpoint) {
    WriteLines(kCheckpointFileName,
               {checkpoint.resetDate, checkpoint.base.toLocal8Bit(),
                QByteArray::number(checkpoint.seconds),
                checkpoint.start.toUTC().toString(Qt::ISODateWithMs).toLatin1(),
                QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1(),
                checkpoint.interfaceName.toUtf8(), QByteArray::number(checkpoint.received),
                QByteArray::number(checkpoint.sent), QByteArray::number(checkpoint.upSeconds)});
}

bool TryWriteCheckpoint(const Checkpoint& checkpoint) noexcept {
    try {
        WriteCheckpoint(checkpoint);
        return true;
    } catch (...) {
        return false;
    }
}

void RemoveCheckpoint() {
    platform::removeFile(kCheckpointFileName);
}

void FoldCheckpoint(const Notice& notice, Journal& journal) {
    if (!platform::fileExists(kCheckpointFileName)) {
        return;
    }
    const auto checkpoint = ReadCheckpoint();
    const auto folded = checkpoint ? FoldedSeconds(*checkpoint) : std::nullopt;
    if (!folded || !Plausible(*checkpoint)) {
        SetCheckpointAside(notice, checkpoint ? "n'est pas vraisemblable" : "est illisible");
        return;
    }
    const CounterFile file = CounterFileExists() ? ReadCounterFile(notice) : CounterFile{};
    if (file.resetDate != checkpoint->resetDate ||
        (file.seconds != checkpoint->base && file.seconds != *folded)) {
        SetCheckpointAside(notice, "ne correspond pas au compteur");
        return;
    }
    if (file.seconds == checkpoint->base) {
        CounterFile recorded = file;
        recorded.seconds = *folded;
        WriteCounterFile(recorded);
    }
    PlanWatch().AddConnection(checkpoint->resetDate, checkpoint->start,
                              checkpoint->received + checkpoint->sent, notice);
    journal.Record(RecoveredEntry(*checkpoint, file.plan), notice);
    // The row written or kept pending before the checkpoint goes.
    journal.Close();
    RemoveCheckpoint();
}
