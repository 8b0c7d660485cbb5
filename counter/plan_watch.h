// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the counter watches beside the hours of its file: the volume allowance, the octets the
// period's connections carried, and the staged and pace alerts sent as desktop notifications. The
// period's octets and the alerts already sent live in the settings file with the reset date they
// belong to: a restart within the period neither forgets the volume nor alerts again, and a new
// reset date starts both afresh. The counter file keeps its three lines.

#include "counter/counter_files.h"
#include "counter/plan_alerts.h"
#include "counter/settings.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

// What the counter has counted in its period at a tick.
struct PeriodUse {
    QByteArray resetDate; // line 1 of the counter file: which period this is
    QDateTime start;      // when the period started
    QDateTime now;
    QDate nextReset;
    std::int32_t planHours = 0;
    std::int64_t seconds = 0;        // counted since the reset
    std::uint64_t runningOctets = 0; // of the connection being counted, not yet recorded
};

class PlanWatch {
public:
    explicit PlanWatch(Settings settings = Settings());

    // Reads the settings again, for the period that the reset date starts.
    void Load(const QByteArray& resetDate);

    // The volume allowance in octets, 0 for none; stored first, then kept.
    std::uint64_t Allowance() const { return allowance_; }
    void SetAllowance(std::uint64_t octets);
    // The period's octets: its recorded connections' and the running one's.
    std::uint64_t Volume(std::uint64_t runningOctets) const;
    bool VolumeReached(std::uint64_t runningOctets) const;

    // Adds a recorded connection's octets to the period of that reset date, once per connection
    // (by its start): the counter and the fold of a checkpoint may both offer it. Never raises: a
    // settings file that cannot be written is told through report, and the total in memory goes
    // with the next write.
    void AddConnection(const QByteArray& resetDate, const QDateTime& start, std::uint64_t octets,
                       const Notice& report);

    // Sends, in one notification, the staged alerts the use has just crossed and, once a day, the
    // plans that the pace so far runs out before the next reset. Returns at once.
    void Check(const PeriodUse& use, const Notice& report);

private:
    void Follow(const QByteArray& resetDate);
    void StorePeriod(const Notice& report);
    QStringList PaceAlerts(const PeriodUse& use, std::uint64_t volume) const;

    Settings settings_;
    // The reset date whose period the values below are, once loaded.
    std::optional<QByteArray> period_;
    std::uint64_t allowance_ = 0;
    std::vector<int> thresholds_ = kDefaultThresholds;
    std::uint64_t recorded_ = 0;
    QString lastConnection_; // the start of the last connection added, as stored
    FiredThresholds firedHours_;
    FiredThresholds firedVolume_;
    QDate paceDay_; // of the last pace alert
    bool failureReported_ = false;
};
