// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The counter's two text files, in the working directory: the counter file (reset date, seconds
// cumulated up to the last disconnection, plan in hours) and the reset-day file (the day as typed).
// 8-bit text in the locale's encoding, no byte-order mark, lines ending in CR LF. A file the
// program cannot use is set aside under a dated name, never left to stop the counting.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

inline constexpr char kCounterFileName[] = "decompte_internet.log";
inline constexpr char kResetDayFileName[] = "jour_raz.txt";
// Held by the one program that counts with this folder's files.
inline constexpr char kLockFileName[] = "decompte_internet.verrou";
// Seconds of dead time added to each connection.
inline constexpr std::int32_t kDeadTime = 10;
// Far beyond any file the program writes: a larger one is not read.
inline constexpr std::size_t kFileSizeLimit = 64 * 1024;

// Tells the user what was done about a file, while the program carries on.
using Notice = std::function<void(const QString&)>;

// The first count lines of a file's bytes, as they are. A line ends at LF, with or without CR
// before it; a CR elsewhere is dropped; missing lines read as empty and lines beyond count are
// ignored.
QList<QByteArray> SplitLines(const QByteArray& bytes, int count);
// The lines, each ended by CR LF.
QByteArray JoinLines(const QList<QByteArray>& lines);

// The first count lines of the file, and its atomic rewrite with these lines.
QList<QByteArray> ReadLines(const char* name, int count);
void WriteLines(const char* name, const QList<QByteArray>& lines);

// Renames the file to its name followed by the date and time; the new name.
QString SetAside(const char* name);

// Line 1 of a counter file made now: the present date-time text.
QByteArray ResetDateNow();

// Line 2 of the counter file with seconds added, an empty line counting as 0; the sum is checked.
std::int32_t AddSeconds(const QString& storedSeconds, std::int32_t seconds);

struct CounterFile {
    QByteArray resetDate; // line 1, a date-time text, kept byte for byte
    QString seconds;      // line 2
    QString plan;         // line 3
    bool operator==(const CounterFile&) const = default;
};

// The plan of a counter file made without one, in hours.
inline const QString kDefaultPlan = QStringLiteral("1");
// A counter file made now: reset date of now, no seconds counted, the plan given.
CounterFile NewCounterFile(const QString& plan = kDefaultPlan);

bool CounterFileExists();
// The counter file's lines. One that the program cannot use (a line 2 or 3 that is not an
// integer, a reset date far too long, a file too large or not a regular file) is set aside and
// replaced by a new one that keeps what could be read; notice says so.
CounterFile ReadCounterFile(const Notice& notice);
// Replaces the counter file atomically with the three lines.
void WriteCounterFile(const CounterFile& file);

// The reset-day file's line, or nothing while the file does not exist. One that is not a day of
// the month (1 to 31) is set aside, as if it did not exist; notice says so.
std::optional<QString> ReadResetDayFile(const Notice& notice);
void WriteResetDayFile(const QString& day);
// The day a reset-day line holds, when it is one (1 to 31).
std::optional<std::int32_t> DayOfMonth(const QString& line);
