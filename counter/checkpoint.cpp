#include "counter/checkpoint.h"

#include "counter/counter_files.h"
#include "counter/int_conversion.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <QDateTime>

namespace {

Checkpoint ReadCheckpoint() {
    const QStringList lines = ReadLines(kCheckpointFileName, 3);
    return {lines[0], lines[1], StrToInt(lines[2])};
}

// Line 2 once the checkpoint is recorded, an empty line 2 counting as 0.
QString FoldedSeconds(const Checkpoint& checkpoint) {
    return QString::number(AddSeconds(checkpoint.base, checkpoint.seconds));
}

[[noreturn]] void SetAside(const QString& why) {
    const QString kept = QString(kCheckpointFileName) + '.' +
                         QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    platform::renameFile(kCheckpointFileName, kept.toStdString());
    throw platform::Failure(("Le point de reprise d'une connexion interrompue " + why +
                             " : il est mis de côté sous le nom " + kept)
                                .toStdString());
}

} // namespace

void WriteCheckpoint(const Checkpoint& checkpoint) {
    WriteLines(kCheckpointFileName,
               {checkpoint.resetDate, checkpoint.base, QString::number(checkpoint.seconds)});
}

void RemoveCheckpoint() {
    platform::removeFile(kCheckpointFileName);
}

void FoldCheckpoint() {
    if (!platform::fileExists(kCheckpointFileName)) {
        return;
    }
    Checkpoint checkpoint;
    QString folded;
    try {
        checkpoint = ReadCheckpoint();
        folded = FoldedSeconds(checkpoint);
    } catch (const platform::Failure&) {
        SetAside("est illisible");
    }
    const CounterFile file = CounterFileExists() ? ReadCounterFile() : CounterFile{};
    if (file.resetDate != checkpoint.resetDate ||
        (file.seconds != checkpoint.base && file.seconds != folded)) {
        SetAside("ne correspond pas au compteur");
    }
    if (file.seconds == checkpoint.base) {
        WriteCounterFile({file.resetDate, folded, file.plan});
    }
    RemoveCheckpoint();
}
