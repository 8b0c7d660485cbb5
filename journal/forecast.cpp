// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/forecast.h"

#include "journal/durations.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

QDate ClampedDay(int year, int month, int day) {
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

QDateTime LocalMidnight(const QDate& day) {
    return QDateTime(day, QTime(0, 0));
}

// Shares seconds between the days in proportion of the weights, rounding so that none is lost.
void Share(std::int64_t seconds, const QList<std::int64_t>& weights, std::int64_t total,
           qsizetype firstIndex, QList<std::int64_t>& days) {
    std::int64_t before = 0;
    std::int64_t given = 0;
    for (qsizetype i = 0; i < weights.size(); ++i) {
        before += weights[i];
        const std::int64_t upTo = total == 0 ? seconds : seconds * before / total;
        if (firstIndex + i >= 0 && firstIndex + i < days.size()) {
            days[firstIndex + i] += upTo - given;
        }
        given = upTo;
    }
}

void AddConnection(const JournalEntry& entry, const QDate& first, QList<std::int64_t>& days) {
    const QDateTime start = entry.start.toLocalTime();
    const QDateTime end = std::max(entry.end.toLocalTime(), start);
    QList<std::int64_t> weights;
    std::int64_t total = 0;
    for (QDate day = start.date(); day <= end.date(); day = day.addDays(1)) {
        const QDateTime from = std::max(start, LocalMidnight(day));
        const QDateTime to = std::min(end, LocalMidnight(day.addDays(1)));
        weights.append(from.secsTo(to));
        total += weights.last();
    }
    Share(entry.seconds, weights, total, first.daysTo(start.date()), days);
}

} // namespace

QDate NextResetDay(int resetDay, const QDate& today, const QDate& periodStart) {
    if (resetDay <= 0) {
        QDate next = periodStart.addMonths(1);
        while (next <= today) {
            next = next.addMonths(1);
        }
        return next;
    }
    const QDate thisMonth = ClampedDay(today.year(), today.month(), resetDay);
    if (thisMonth > today) {
        return thisMonth;
    }
    const QDate nextMonth = today.addMonths(1);
    return ClampedDay(nextMonth.year(), nextMonth.month(), resetDay);
}

QList<std::int64_t> SecondsPerDay(const QList<JournalEntry>& entries, const QDate& first,
                                  int days) {
    QList<std::int64_t> seconds(std::max(days, 0), 0);
    for (const JournalEntry& entry : entries) {
        if (entry.IsConnection()) {
            AddConnection(entry, first, seconds);
        }
    }
    return seconds;
}

QList<std::int64_t> CorrectionsPerDay(const QList<JournalEntry>& entries, const QDate& first,
                                      int days) {
    QList<std::int64_t> seconds(std::max(days, 0), 0);
    for (const JournalEntry& entry : entries) {
        const qint64 day = first.daysTo(entry.end.toLocalTime().date());
        if (entry.kind == EntryKind::Correction && day >= 0 && day < seconds.size()) {
            seconds[day] += entry.seconds;
        }
    }
    return seconds;
}

Forecast Predict(std::int64_t used, std::int32_t planHours, const QDateTime& periodStart,
                 const QDateTime& now, const QDateTime& nextReset) {
    if (planHours <= 0) {
        return {};
    }
    return PredictUse(used, std::int64_t{planHours} * kSecondsPerHour, periodStart, now, nextReset);
}

Forecast PredictUse(std::int64_t used, std::int64_t plan, const QDateTime& periodStart,
                    const QDateTime& now, const QDateTime& nextReset) {
    if (used <= 0) {
        return {Forecast::Outcome::Lasts, {}, plan, 0};
    }
    // In doubles: the plan's seconds times a period's can exceed 64 bits.
    const double pace =
        static_cast<double>(used) /
        static_cast<double>(std::max<std::int64_t>(periodStart.secsTo(now), kSecondsPerDay));
    const double toRunOut = static_cast<double>(plan - used) / pace;
    const double toReset = static_cast<double>(std::max<qint64>(now.secsTo(nextReset), 0));
    const std::int64_t atReset = used + static_cast<std::int64_t>(std::ceil(pace * toReset));
    if (used >= plan) {
        return {Forecast::Outcome::Reached, {}, 0, atReset};
    }
    if (toRunOut < toReset) {
        const QDateTime runOut = now.addSecs(static_cast<qint64>(std::ceil(toRunOut)));
        return {Forecast::Outcome::RunsOut, runOut.toLocalTime().date(), 0, atReset};
    }
    return {Forecast::Outcome::Lasts, {}, plan - atReset, atReset};
}

QList<Period> Periods(const QList<QDateTime>& resets, const QDateTime& currentStart) {
    constexpr qint64 kSameReset = 60;
    QList<Period> periods = {{currentStart, {}}};
    for (const QDateTime& reset : resets) {
        if (reset.secsTo(currentStart) > kSameReset) {
            periods.insert(1, {reset, currentStart});
            if (periods.size() > 2) {
                periods[2].end = reset;
            }
        }
    }
    return periods;
}

Volume VolumeOf(const QList<JournalEntry>& entries) {
    Volume volume;
    for (const JournalEntry& entry : entries) {
        volume.received += entry.received;
        volume.sent += entry.sent;
    }
    return volume;
}

QString ForecastSentence(const Forecast& forecast, std::int64_t used, std::int32_t planHours) {
    switch (forecast.outcome) {
    case Forecast::Outcome::NoPlan:
        return "Sans forfait : " + HoursMinutes(used) + " depuis la R.A.Z.";
    case Forecast::Outcome::Reached:
        return QStringLiteral("Le forfait de %1 heures est atteint (%2 utilisées).")
            .arg(planHours)
            .arg(HoursMinutes(used));
    case Forecast::Outcome::RunsOut:
        return "À ce rythme, le forfait sera atteint le " +
               forecast.day.toString(QStringLiteral("dd/MM/yyyy")) + '.';
    case Forecast::Outcome::Lasts:
        break;
    }
    return "À ce rythme, le forfait tiendra jusqu'à la prochaine R.A.Z. (reste " +
           HoursMinutes(forecast.left) + ").";
}
