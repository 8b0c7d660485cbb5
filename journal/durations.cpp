// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/durations.h"

#include <QRegularExpression>
#include <limits>

Hms SplitSeconds(std::int32_t total) {
    const std::int32_t hours = total / kSecondsPerHour;
    const std::int32_t minutes = (total - hours * kSecondsPerHour) / kSecondsPerMinute;
    return {hours, minutes, total - minutes * kSecondsPerMinute - hours * kSecondsPerHour};
}

QString HmsText(const Hms& time) {
    return QString::number(time.hours) + 'h' + QString::number(time.minutes) + 'm' +
           QString::number(time.seconds) + 's';
}

QString HoursMinutes(std::int64_t seconds) {
    return QString::number(seconds / kSecondsPerHour) + 'h' +
           QString::number(seconds % kSecondsPerHour / kSecondsPerMinute) + 'm';
}

QString ClockText(std::int32_t seconds) {
    const Hms time = SplitSeconds(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(time.hours)
        .arg(time.minutes, 2, 10, QChar('0'))
        .arg(time.seconds, 2, 10, QChar('0'));
}

std::optional<std::int32_t> DurationFromText(const QString& text) {
    static const QRegularExpression clock(
        QStringLiteral("^([0-9]{1,6}):([0-5]?[0-9]):([0-5]?[0-9])$"));
    static const QRegularExpression hours(QStringLiteral("^([0-9]{1,6})(?:,([0-9]{1,6}))?$"));
    const QString typed = text.trimmed();
    std::int64_t seconds = 0;
    if (const auto match = clock.match(typed); match.hasMatch()) {
        seconds = match.captured(1).toLongLong() * kSecondsPerHour +
                  match.captured(2).toLongLong() * kSecondsPerMinute +
                  match.captured(3).toLongLong();
    } else if (const auto decimal = hours.match(typed); decimal.hasMatch()) {
        const QString fraction = decimal.captured(2);
        std::int64_t scale = 1;
        for (qsizetype digit = 0; digit < fraction.size(); ++digit) {
            scale *= 10;
        }
        seconds = decimal.captured(1).toLongLong() * kSecondsPerHour +
                  (fraction.toLongLong() * kSecondsPerHour + scale / 2) / scale;
    } else {
        return std::nullopt;
    }
    if (seconds > std::numeric_limits<std::int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(seconds);
}
