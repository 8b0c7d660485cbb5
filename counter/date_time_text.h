// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The date-time text of the counter file's first line, in the program's own form whatever the
// locale: the day first, a four-digit year, one blank and the time ("09/12/2026 10:20:16"); the
// blank and the time are left out at exactly 00:00:00. The reset month is read back from the two
// characters after the first "/".

#include <QDate>
#include <QDateTime>
#include <QString>
#include <optional>

QString DateTimeText(const QDateTime& local);

// The earliest day a reset date can stand for: it is read day first as the program writes it, and
// month first as some locales wrote it before, with four or two digits to the year. Nothing for a
// text that reads neither way.
std::optional<QDate> EarliestResetDay(const QString& text);
// When the counter was reset: the date-time text as the program writes it, or the start of the
// earliest day the text can stand for.
std::optional<QDateTime> ResetMoment(const QString& text);
