// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The connection counter: the one-second tick that detects a WAN connection and counts its time,
// the reload of the counter from its files, and the user's commands on the counter.

#include "counter/billing.h"
#include "counter/checkpoint.h"
#include "counter/connection_traffic.h"
#include "counter/counter_files.h"
#include "counter/counter_view.h"
#include "counter/plan_watch.h"
#include "journal/journal.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

class Counter {
public:
    explicit Counter(CounterView& view) : view_(view) {}

    // Back to "Déconnecté" with no connection time, as at start-up.
    void ResetConnection();

    // The one-second tick.
    void Tick();
    // Whether the system reports an Internet connection, through whatever link.
    bool SystemConnected() const;
    // The first row of the detail grid that names a WAN adapter, if any.
    std::optional<QString> WanAdapter() const;
    // The reload: reads or creates the counter file, reads the reset day, writes the labels and
    // reminds the user to reset the counter once a month.
    void Reload();

    // The user's commands.
    void ResetCounter();
    void ChangeResetDay();
    void ShowResetDay();
    void SetPlan();
    void SetVolumePlan();
    void SetBillingRule();
    void CorrectCounter();
    void Dial();
    void HangUp();
    void Quit();
    // A termination request from the system: the running connection is recorded first, or kept
    // in the checkpoint when it cannot be; the program ends either way.
    void TerminationRequested();

    bool Connected() const { return state_ == State::Connected; }
    // The journal every recorded connection, reset and plan change is added to.
    Journal& History() { return journal_; }
    // The seconds counted since the reset, as the strip shows them.
    std::int64_t CumulatedSeconds() const;
    // What the running connection is charged so far.
    std::int32_t ConnectionTime() const { return connectionTime_; }
    const BillingRule& Rule() const { return rule_; }
    std::int32_t Plan() const { return plan_; }
    const QString& PlanText() const { return file_.plan; }
    std::int32_t ResetDay() const { return resetDay_; }
    std::int32_t ResetMonth() const { return resetMonth_; }
    // When the period began: the reset date, or now when it does not read as one.
    QDateTime PeriodStart(const QDateTime& now) const;
    // The octets of the period (its recorded connections and the running one), and the allowance.
    std::uint64_t PeriodVolume() const { return watch_.Volume(RunningOctets()); }
    std::uint64_t VolumeAllowance() const { return watch_.Allowance(); }

    // Today's date for the monthly check; tests set it.
    void SetToday(std::optional<QDate> today) { today_ = today; }
    // Milliseconds of a clock that never goes back and stands still while the machine sleeps;
    // tests set it.
    using Clock = std::function<std::int64_t()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    // The strip's text while no connection is counted.
    static inline const QString kDisconnectedText = QStringLiteral("Déconnecté");

private:
    bool PlanReached() const;
    void PlanAlarm();
    std::uint64_t RunningOctets() const;
    // The staged and pace alerts, once a tick.
    void WatchPlans();
    void ShowThroughput();
    // A connection is up through the WAN adapter the grid lists.
    void ConnectedTick(const QString& wanAdapter);
    void DisconnectedTick();
    void AdvanceConnection();
    void AdvanceCumulated(std::int32_t seconds);
    void DisconnectionUpdate(EntryKind kind);
    void RecordConnection(EntryKind kind);
    // Adds a reset or a plan change to the journal.
    void JournalEvent(EntryKind kind);
    Checkpoint CurrentCheckpoint() const;
    void KeepCheckpoint();
    void ForgetCheckpoint();
    void SetCumulated(std::int32_t total);
    QString CumulText() const;
    void ShowCounterLabels(const QString& cumulated, const QString& connectionText);
    // True when it had to create the counter file.
    bool ReloadCounterFile();
    void TakeCounterFile(const CounterFile& file);
    // Writes the counter file, then keeps it: a failed write changes nothing.
    void StoreCounterFile(const CounterFile& file);
    void ReadResetMonth();
    void ReadResetDay();
    std::optional<QString> ResetDayOrHelp();
    bool ResetMonthPassed(const QDate& today) const;
    void MonthlyCheck();
    Notice Problems();
    // Takes a plan text only once it converts, so the one in memory always does.
    void SetPlanText(const QString& text);

    // The state seen at the last transition, which only the tick moves.
    enum class State { Disconnected, Connected };

    CounterView& view_;
    State state_ = State::Disconnected;
    // What the running connection is charged so far, by the rule in force.
    std::int32_t connectionTime_ = 0;
    // Read again at each reload.
    BillingRule rule_;
    ConnectionCharge charge_;
    std::int32_t hours_ = 0;
    std::int32_t minutes_ = 0;
    std::int32_t seconds_ = 0;
    // The counter file as last read or written; its plan always a text that converts, so that a
    // reset writes a valid plan line.
    CounterFile file_{{}, {}, kDefaultPlan};
    std::int32_t plan_ = 1;
    int iconFrame_ = 0;
    // The blink phase of the plan alarm: shown on every other second while the plan is exceeded.
    bool alarmShown_ = false;
    // The connection time last written to the checkpoint.
    std::int32_t checkpointed_ = 0;
    // Since when the connection has been seen up without a break, by the clock, and its time
    // then.
    std::optional<std::int64_t> upSince_;
    std::int32_t upBase_ = 0;
    Clock clock_;
    std::int32_t resetMonth_ = 0;
    std::optional<int> resetYear_;
    std::int32_t resetDay_ = 0;
    std::optional<QDate> today_;
    // The period's start as read from the reset date it was read from: the tick asks for it every
    // second, and parsing a date is the dearest thing it would do.
    mutable QByteArray periodStartOf_;
    mutable std::optional<QDateTime> periodStart_;
    Journal journal_;
    // When the connection being counted started (UTC), and what it carried.
    QDateTime connectionStart_;
    ConnectionTraffic traffic_;
    PlanWatch watch_;
};
