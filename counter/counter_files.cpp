#include "counter/counter_files.h"

#include "counter/int_conversion.h"
#include "platform/file_io.h"

QStringList SplitLines(const QByteArray& bytes, int count) {
    QStringList lines;
    qsizetype start = 0;
    while (lines.size() < count && start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) {
            end = bytes.size();
        }
        QByteArray line = bytes.mid(start, end - start);
        line.replace('\r', QByteArray());
        lines.append(QString::fromLocal8Bit(line));
        start = end + 1;
    }
    while (lines.size() < count) {
        lines.append(QString());
    }
    return lines;
}

QByteArray JoinLines(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) {
        bytes += line.toLocal8Bit() + "\r\n";
    }
    return bytes;
}

QStringList ReadLines(const char* name, int count) {
    const std::string bytes = platform::readFile(name);
    return SplitLines(QByteArray::fromStdString(bytes), count);
}

void WriteLines(const char* name, const QStringList& lines) {
    platform::replaceFile(name, JoinLines(lines).toStdString());
}

std::int32_t AddSeconds(const QString& storedSeconds, std::int32_t seconds) {
    return CheckedAdd(StrToInt(storedSeconds.isEmpty() ? QStringLiteral("0") : storedSeconds),
                      seconds);
}

bool CounterFileExists() {
    return platform::fileExists(kCounterFileName);
}

CounterFile ReadCounterFile() {
    const QStringList lines = ReadLines(kCounterFileName, 3);
    return {lines[0], lines[1], lines[2]};
}

void WriteCounterFile(const CounterFile& file) {
    WriteLines(kCounterFileName, {file.resetDate, file.seconds, file.plan});
}

std::optional<QString> ReadResetDayFile() {
    if (!platform::fileExists(kResetDayFileName)) {
        return std::nullopt;
    }
    return ReadLines(kResetDayFileName, 1).first();
}

void WriteResetDayFile(const QString& day) {
    WriteLines(kResetDayFileName, {day});
}
