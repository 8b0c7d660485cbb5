// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The billing rule: how the operator turns a connection's time into the time it charges. A dead
// time added to each connection, a first period charged whole, the rest by started steps, and the
// hours of the day and days of the week that cost nothing. The default is the program's own rule:
// 10 seconds of dead time, then by the second, every hour counted.

#include "counter/counter_files.h"

#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>

class Settings;

struct BillingRule {
    std::int32_t deadTime = kDeadTime; // seconds the operator counts before the link is seen up
    std::int32_t firstPeriod = 0;      // charged whole: the least a connection costs
    std::int32_t step = 1;             // the rest is charged by steps, each started one whole
    // The free window of each day, local wall-clock time, crossing midnight when it ends before it
    // starts; none while both are equal.
    QTime freeFrom{0, 0};
    QTime freeTo{0, 0};
    bool freeSaturday = false;
    bool freeSunday = false;
    bool operator==(const BillingRule&) const = default;

    bool HasFreeWindow() const { return freeFrom != freeTo; }
};

// The limits the dialog and a hand-edited settings file are held to, in seconds.
inline constexpr std::int32_t kMaxDeadTime = 3600;
inline constexpr std::int32_t kMaxFirstPeriod = 86400;
inline constexpr std::int32_t kMaxStep = 3600;
// The most a rule charges beyond a connection's time up.
inline constexpr std::int32_t kMostAdded = kMaxDeadTime + kMaxFirstPeriod + kMaxStep;

// Whether the moment's time costs nothing.
bool IsFree(const BillingRule& rule, const QDateTime& moment);
// The seconds of [from, to) that are not free. A change of the clocks (daylight saving) keeps the
// free window on the wall clock: it lasts an hour more or less that night.
std::int64_t CountedSeconds(const BillingRule& rule, const QDateTime& from, const QDateTime& to);
// What the operator charges for a connection of that many counted seconds, dead time included:
// nothing for none, the first period at least, then each started step whole.
std::int32_t Charged(const BillingRule& rule, std::int32_t counted);

// The charge of the connection being counted, as its seconds come.
class ConnectionCharge {
public:
    // The connection seen up at `at`: its dead time is counted unless it began in free time.
    void Begin(const BillingRule& rule, const QDateTime& at);
    // Seconds of the link up, ending at `end`.
    void Advance(const BillingRule& rule, std::int32_t seconds, const QDateTime& end);
    void Clear() { *this = {}; }

    std::int32_t Up() const { return up_; }
    std::int32_t Charged(const BillingRule& rule) const { return ::Charged(rule, counted_); }
    // The charge beyond the dead time, which the strip's cumulated time shows as it comes: none
    // before the first second.
    std::int32_t ChargedBeyondDeadTime(const BillingRule& rule) const;

private:
    std::int32_t up_ = 0;
    std::int32_t deadTime_ = 0;
    std::int32_t counted_ = 0;
};

// Why the rule cannot serve, in French; nothing when it can.
std::optional<QString> RuleProblem(const BillingRule& rule);
// The rule kept in the settings; the default where a value is absent, or one that cannot serve.
BillingRule ReadBillingRule(const Settings& settings);
// Keeps the rule; a value equal to its default leaves the file as it is, or makes none.
void WriteBillingRule(Settings& settings, const BillingRule& rule);
// The rule as the About message states it: "temps mort = 10 s, première minute indivisible, puis
// par tranches de 30 s, gratuit de 22:00 à 08:00 et le dimanche".
QString RuleText(const BillingRule& rule);
