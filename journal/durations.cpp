// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/durations.h"

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
