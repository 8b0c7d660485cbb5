// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/counter_files.h"

#include "counter/date_time_text.h"
#include "counter/int_conversion.h"
#include "platform/failure.h"
#include "platform/file_io.h"

#include <QDateTime>

namespace {

// A reset date longer than this is no date the program wrote, and too long to show on the strip.
constexpr qsizetype kResetDateLimit = 64;
constexpr std::int32_t kLastDayOfMonth = 31;

// What makes the counter file's lines unusable, if anything.
std::optional<QString> CounterProblem(const CounterFile& file) {
    if (file.resetDate.size() > kResetDateLimit) {
        return QStringLiteral("ligne 1 : la date fait plus de %1 caractères").arg(kResetDateLimit);
    }
    if (!file.seconds.isEmpty() && !ToInt(file.seconds)) {
        return "ligne 2 : " + ConversionMessage(file.seconds);
    }
    if (!ToInt(file.plan)) {
        return "ligne 3 : " + ConversionMessage(file.plan);
    }
    return std::nullopt;
}

// What can still be read from unusable lines: each good line, the others as in a new file.
CounterFile Salvaged(const CounterFile& read) {
    CounterFile file = NewCounterFile();
    if (read.resetDate.size() <= kResetDateLimit) {
        file.resetDate = read.resetDate;
    }
    if (read.seconds.isEmpty() || ToInt(read.seconds)) {
        file.seconds = read.seconds;
    }
    if (ToInt(read.plan)) {
        file.plan = read.plan;
    }
    return file;
}

CounterFile FromLines(const QList<QByteArray>& lines) {
    return {lines[0], QString::fromLocal8Bit(lines[1]), QString::fromLocal8Bit(lines[2])};
}

QString SetAsideNotice(const char* name, const QString& why, const QString& kept) {
    return QStringLiteral("Le fichier %1 ne peut pas servir (%2) : il est mis de côté sous le "
                          "nom %3.")
        .arg(QString(name), why, kept);
}

// The file's lines, or nothing when it is not a file the program can read at all.
std::optional<QList<QByteArray>> ReadableLines(const char* name, int count, QString& why) {
    try {
        return ReadLines(name, count);
    } catch (const platform::UnusableFile& unusable) {
        why = QString::fromUtf8(unusable.what());
        return std::nullopt;
    }
}

} // namespace

QList<QByteArray> SplitLines(const QByteArray& bytes, int count) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (lines.size() < count && start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            end = bytes.size();
        }
        lines.append(bytes.mid(start, end - start).replace('\r', QByteArray()));
        start = end + 1;
    }
    while (lines.size() < count) {
        lines.append(QByteArray());
    }
    return lines;
}

QByteArray JoinLines(const QList<QByteArray>& lines) {
    QByteArray bytes;
    for (const QByteArray& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

QList<QByteArray> ReadLines(const char* name, int count) {
    const std::string bytes = platform::readFile(name, kFileSizeLimit);
    return SplitLines(QByteArray::fromStdString(bytes), count);
}

void WriteLines(const char* name, const QList<QByteArray>& lines) {
    platform::replaceFile(name, JoinLines(lines).toStdString());
}

QString SetAside(const char* name) {
    const QString kept =
        QString(name) + '.' + QDateTime::currentDateTime().toString("yyyyMMdd-HHmmss");
    platform::renameFile(name, kept.toStdString());
    return kept;
}

QByteArray ResetDateNow() {
    return DateTimeText(QDateTime::currentDateTime()).toLocal8Bit();
}

CounterFile NewCounterFile(const QString& plan) {
    return {ResetDateNow(), QStringLiteral("0"), plan};
}

std::int32_t AddSeconds(const QString& storedSeconds, std::int32_t seconds) {
    return CheckedAdd(StrToInt(storedSeconds.isEmpty() ? QStringLiteral("0") : storedSeconds),
                      seconds);
}

bool CounterFileExists() {
    return platform::fileExists(kCounterFileName);
}

// The new file is written before the notice, so that what it says is already true.
CounterFile ReadCounterFile(const Notice& notice) {
    QString why;
    const auto lines = ReadableLines(kCounterFileName, 3, why);
    if (lines) {
        const CounterFile file = FromLines(*lines);
        const auto problem = CounterProblem(file);
        if (!problem) {
            return file;
        }
        why = *problem;
    }
    const CounterFile salvaged = lines ? Salvaged(FromLines(*lines)) : NewCounterFile();
    const QString kept = SetAside(kCounterFileName);
    WriteCounterFile(salvaged);
    notice(SetAsideNotice(kCounterFileName, why, kept) +
           " Un nouveau fichier reprend ce qui a pu en être lu.");
    return salvaged;
}

void WriteCounterFile(const CounterFile& file) {
    WriteLines(kCounterFileName,
               {file.resetDate, file.seconds.toLocal8Bit(), file.plan.toLocal8Bit()});
}

std::optional<QString> ReadResetDayFile(const Notice& notice) {
    if (!platform::fileExists(kResetDayFileName)) {
        return std::nullopt;
    }
    QString why;
    const auto lines = ReadableLines(kResetDayFileName, 1, why);
    if (lines) {
        const QString day = QString::fromLocal8Bit(lines->first());
        if (DayOfMonth(day)) {
            return day;
        }
        why = "ligne 1 : '" + ShownText(day) + "' n'est pas un jour du mois (de 1 à 31)";
    }
    notice(SetAsideNotice(kResetDayFileName, why, SetAside(kResetDayFileName)));
    return std::nullopt;
}

void WriteResetDayFile(const QString& day) {
    WriteLines(kResetDayFileName, {day.toLocal8Bit()});
}

std::optional<std::int32_t> DayOfMonth(const QString& line) {
    const auto day = ToInt(line);
    return day && *day >= 1 && *day <= kLastDayOfMonth ? day : std::nullopt;
}
