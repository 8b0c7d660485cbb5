// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of a period of the counter: its hours per day from the journal, when the next
// reset comes, and the forecast from the pace so far.

#include "journal/journal.h"

#include <QDate>
#include <QList>
#include <cstdint>
#include <optional>

// The first day after today that the counter is reset on: the reset day of this month or of the
// next, the last day of a shorter month standing for a later day. A month after the period's first
// day when no reset day is set (0).
QDate NextResetDay(int resetDay, const QDate& today, const QDate& periodStart);

// The seconds the connections added to the counter, per local day from first on, days of them.
// A connection across midnight is shared between its days in proportion of its time in each;
// rows that are not connections, or outside the days, count for nothing.
QList<std::int64_t> SecondsPerDay(const QList<JournalEntry>& entries, const QDate& first, int days);
// What the corrections added to the counter (or took from it), per local day from first on.
QList<std::int64_t> CorrectionsPerDay(const QList<JournalEntry>& entries, const QDate& first,
                                      int days);

struct Forecast {
    enum class Outcome {
        NoPlan,  // no plan (0): only the hours
        Reached, // the plan is already used up
        RunsOut, // at this pace the plan runs out on day, before the next reset
        Lasts,   // at this pace the plan lasts until the next reset, with left seconds to spare
    };
    Outcome outcome = Outcome::NoPlan;
    QDate day;
    std::int64_t left = 0;
    // The seconds used by the next reset at this pace, with a plan.
    std::int64_t atReset = 0;
};

// From the seconds used since the period's start, at the pace so far (over a day at least, so
// that a first connection does not make the pace of a whole day), up to the next reset.
Forecast Predict(std::int64_t used, std::int32_t planHours, const QDateTime& periodStart,
                 const QDateTime& now, const QDateTime& nextReset);
// The same for a plan of any unit (seconds, octets): used and plan in that unit, plan above 0.
Forecast PredictUse(std::int64_t used, std::int64_t plan, const QDateTime& periodStart,
                    const QDateTime& now, const QDateTime& nextReset);

// A period of the counter: from a reset to the next, or to now for the current one (end invalid).
struct Period {
    QDateTime start;
    QDateTime end;
    bool operator==(const Period&) const = default;
};
// The current period from its start, then the earlier ones that the journalled resets delimit,
// newest first. The reset that started the current period is journalled about when it started.
QList<Period> Periods(const QList<QDateTime>& resets, const QDateTime& currentStart);

// The octets that rows carried, each way.
struct Volume {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};
Volume VolumeOf(const QList<JournalEntry>& entries);

// The sentence under the chart.
QString ForecastSentence(const Forecast& forecast, std::int64_t used, std::int32_t planHours);
