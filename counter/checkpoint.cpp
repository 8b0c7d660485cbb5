#include "counter/checkpoint.h"

#include "counter/date_time_text.h"
#include "counter/int_conversion.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <QDateTime>

namespace {

// The checkpoint, when it can be read: three lines, the third an integer.
std::optional<Checkpoint> ReadCheckpoint() {
    try {
        const QList<QByteArray> lines = ReadLines(kCheckpointFileName, 3);
        const auto seconds = ToInt(QString::fromLocal8Bit(lines[2]));
        return seconds ? std::optional<Checkpoint>(
                             {lines[0], QString::fromLocal8Bit(lines[1]), *seconds})
                       : std::nullopt;
    } catch (const platform::UnusableFile&) {
        return std::nullopt;
    }
}

// A connection cannot have lasted longer than the time since the counter's reset, dead time
// included; when the reset date does not read as a date, only the sign is checked.
bool Plausible(const Checkpoint& checkpoint) {
    if (checkpoint.seconds < 0) {
        return false;
    }
    const auto reset = EarliestResetDay(QString::fromLocal8Bit(checkpoint.resetDate));
    return !reset ||
           checkpoint.seconds <=
               QDateTime(*reset, QTime(0, 0)).secsTo(QDateTime::currentDateTime()) + kDeadTime;
}

// Line 2 once the checkpoint is recorded, an empty line 2 counting as 0; nothing on overflow or
// when line 2 is not an integer.
std::optional<QString> FoldedSeconds(const Checkpoint& checkpoint) {
    const auto base = checkpoint.base.isEmpty() ? 0 : ToInt(checkpoint.base);
    std::int32_t sum = 0;
    if (!base || __builtin_add_overflow(*base, checkpoint.seconds, &sum)) {
        return std::nullopt;
    }
    return QString::number(sum);
}

void SetCheckpointAside(const Notice& notice, const QString& why) {
    notice("Le point de reprise d'une connexion interrompue " + why +
           " : il est mis de côté sous le nom " + SetAside(kCheckpointFileName) + '.');
}

} // namespace

void WriteCheckpoint(const Checkpoint& checkpoint) {
    WriteLines(kCheckpointFileName, {checkpoint.resetDate, checkpoint.base.toLocal8Bit(),
                                     QByteArray::number(checkpoint.seconds)});
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

void FoldCheckpoint(const Notice& notice) {
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
        WriteCounterFile({file.resetDate, *folded, file.plan});
    }
    RemoveCheckpoint();
}
