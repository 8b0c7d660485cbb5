#pragma once
// The counter's two text files, in the working directory: the counter file (reset date, seconds
// cumulated up to the last disconnection, plan in hours) and the reset-day file (the day as typed).
// 8-bit text in the locale's encoding, no byte-order mark, lines ending in CR LF.

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

inline constexpr char kCounterFileName[] = "decompte_internet.log";
inline constexpr char kResetDayFileName[] = "jour_raz.txt";
// Held by the one program that counts with this folder's files.
inline constexpr char kLockFileName[] = "decompte_internet.verrou";

// The first count lines of a file's bytes. A line ends at LF, with or without CR before it; a CR
// elsewhere is dropped; missing lines read as empty texts and lines beyond count are ignored.
QStringList SplitLines(const QByteArray& bytes, int count);
// The lines, each ended by CR LF.
QByteArray JoinLines(const QStringList& lines);

// The first count lines of the file, and its atomic rewrite with these lines.
QStringList ReadLines(const char* name, int count);
void WriteLines(const char* name, const QStringList& lines);

// Line 2 of the counter file with seconds added, an empty line counting as 0; the sum is checked.
std::int32_t AddSeconds(const QString& storedSeconds, std::int32_t seconds);

struct CounterFile {
    QString resetDate; // line 1, a date-time text
    QString seconds;   // line 2
    QString plan;      // line 3
};

bool CounterFileExists();
CounterFile ReadCounterFile();
// Replaces the counter file atomically with the three lines.
void WriteCounterFile(const CounterFile& file);

// The reset-day file's line, or nothing while the file does not exist.
std::optional<QString> ReadResetDayFile();
void WriteResetDayFile(const QString& day);
