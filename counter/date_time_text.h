#pragma once
// The date-time text of the counter file's first line: the user's short date, one blank, the
// user's long time, both as the C library's LC_TIME formats them ("%x" and "%X"); the blank and
// the time are left out at exactly 00:00:00.

#include <QDateTime>
#include <QString>

QString DateTimeText(const QDateTime& local);
