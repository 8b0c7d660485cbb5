// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The staged alerts before a plan's end: which threshold of the hours plan or of the volume
// allowance a tick has crossed, and the notification's text. Also the volume allowance as the user
// types it, in gigaoctets (10^9 octets) with a decimal comma.

#include "journal/forecast.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <vector>

enum class PlanKind { Hours, Volume };

// How much of one plan the period has used.
struct PlanUse {
    PlanKind kind;
    std::uint64_t allowance; // hours, or octets; 0: no plan
    std::uint64_t used;      // seconds, or octets
};

// The thresholds of the staged alerts, in percent of the plan, when the settings name none.
inline const std::vector<int> kDefaultThresholds = {80, 90};
// The plan reached: an alert of its own, whatever the thresholds.
constexpr int kReachedPercent = 100;

struct PlanAlert {
    int percent; // the threshold crossed, kReachedPercent when the plan is reached
    QString text;
};

// The thresholds that have fired in the period; they survive a restart (the caller keeps them).
using FiredThresholds = std::set<int>;

// The alert to send now for this plan: the highest threshold (those from 1 to 99 of `thresholds`,
// and 100) that the use has crossed and that has not fired yet. Every threshold crossed is marked
// fired, so that crossing two at once sends one alert. A fired threshold above the use fires again
// once crossed again: the plan was raised or the counter reset. Nothing without a plan.
std::optional<PlanAlert> DueAlert(const PlanUse& use, const std::vector<int>& thresholds,
                                  FiredThresholds& fired, const QDate& nextReset);
// Thresholds as the settings hold them, "80,90"; entries that are no number are left out.
std::vector<int> ThresholdsFromText(const QString& text);
QString ThresholdsText(const FiredThresholds& thresholds);

// The forecast of the volume allowance (0: none) at the pace so far; see Predict.
Forecast VolumeForecast(std::uint64_t used, std::uint64_t allowance, const QDateTime& periodStart,
                        const QDateTime& now, const QDateTime& nextReset);
// The pace alert: at the pace so far, the plan runs out on that day, before the next reset.
QString PaceAlertText(PlanKind kind, const QDate& runsOut, const QDate& nextReset);
// The volume used against the allowance and, at the pace so far, when it is reached:
// "Forfait de volume : 1,20 Go utilisés sur 2,5 Go ; à ce rythme, il sera atteint le 24/12/2026."
QString VolumePlanSentence(std::uint64_t used, std::uint64_t allowance, const Forecast& forecast);

// The volume allowance typed in gigaoctets, "2,5" for 2 500 000 000 octets, "0" for none; blanks
// around it are allowed. Anything else (a sign, a point, letters, more than nine decimals, more
// than the octet counters hold) raises platform::Failure with the French message.
std::uint64_t AllowanceFromText(const QString& text);
// The allowance as AllowanceFromText reads it back: "2,5", "0".
QString AllowanceText(std::uint64_t octets);
