// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/date_time_text.h"

#include <QStringList>

QString DateTimeText(const QDateTime& local) {
    const QString date = local.toString(QStringLiteral("dd/MM/yyyy"));
    if (local.time() == QTime(0, 0)) {
        return date;
    }
    return date + ' ' + local.toString(QStringLiteral("HH:mm:ss"));
}

std::optional<QDateTime> ResetMoment(const QString& text) {
    const QDateTime written =
        QDateTime::fromString(text.trimmed(), QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    if (written.isValid()) {
        return written;
    }
    const auto day = EarliestResetDay(text);
    return day ? std::optional(QDateTime(*day, QTime(0, 0))) : std::nullopt;
}

std::optional<QDate> EarliestResetDay(const QString& text) {
    const QString date = text.trimmed().section(' ', 0, 0);
    std::optional<QDate> earliest;
    for (const char* form : {"dd/MM/yyyy", "MM/dd/yyyy", "dd/MM/yy", "MM/dd/yy"}) {
        QDate day = QDate::fromString(date, QString::fromLatin1(form));
        // Two-digit years are of this century, not of the last.
        if (day.isValid() && day.year() < 2000) {
            day = day.addYears(100);
        }
        if (day.isValid() && (!earliest || day < *earliest)) {
            earliest = day;
        }
    }
    return earliest;
}
