#pragma once
// The connection counter: the one-second tick that detects a WAN connection and counts its time,
// the reload of the counter from its files, and the user's commands on the counter.

#include "counter/checkpoint.h"
#include "counter/counter_files.h"
#include "counter/counter_view.h"

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
    void Timer1Timer();
    // True when the system reports a connection; sets the WAN flag from the detail grid.
    bool IsWanConnected();
    // The reload: reads or creates the counter file, reads the reset day, writes the labels and
    // reminds the user to reset the counter once a month.
    void FormClick();

    void Rinitialiserlecompteur1Click();
    void Changer1Click();
    void Voir1Click();
    void Fixerleforfait1Click();
    void Dcrocher1Click();
    void Raccrocher1Click();
    void Quitter1Click();
    // A termination request from the system: the running connection is recorded first, or kept
    // in the checkpoint when it cannot be; the program ends either way.
    void TerminationRequested();

    bool Connected() const { return state_ == kConnected; }
    std::int32_t ConnectionTime() const { return connectionTime_; }
    std::int32_t Plan() const { return plan_; }
    const QString& PlanText() const { return planText_; }
    std::int32_t ResetDay() const { return resetDay_; }
    std::int32_t ResetMonth() const { return resetMonth_; }

    // Today's date for the monthly check; tests set it.
    void SetToday(std::optional<QDate> today) { today_ = today; }
    // Milliseconds of a clock that never goes back and stands still while the machine sleeps;
    // tests set it.
    using Clock = std::function<std::int64_t()>;
    void SetClock(Clock clock) { clock_ = std::move(clock); }

    static constexpr std::int32_t kDeadTime = ::kDeadTime;
    static inline const QString kConnected = QStringLiteral("Connecté");
    static inline const QString kDisconnected = QStringLiteral("Déconnecté");

private:
    bool PlanReached() const;
    void PlanAlarm();
    void ShowThroughput();
    void ConnectedTick();
    void DisconnectedTick();
    void AdvanceConnection();
    void AdvanceCumulated(std::int32_t seconds);
    void DisconnectionUpdate();
    void RecordConnection();
    Checkpoint CurrentCheckpoint() const;
    void KeepCheckpoint();
    void ForgetCheckpoint();
    void SetCumulated(std::int32_t total);
    QString CumulText() const;
    void ShowCounterLabels(const QString& cumulated, const QString& connectionText);
    // True when it had to create the counter file.
    bool ReloadCounterFile();
    void TakeCounterFile(const CounterFile& file);
    void ReadResetMonth();
    void ReadResetDay();
    bool ResetMonthPassed(const QDate& today) const;
    void MonthlyCheck();
    Notice Problems();
    // Takes a plan text only once it converts, so the one in memory always does.
    void SetPlanText(const QString& text);

    CounterView& view_;
    QString state_ = kDisconnected;
    std::int32_t connectionTime_ = 0;
    std::int32_t hours_ = 0;
    std::int32_t minutes_ = 0;
    std::int32_t seconds_ = 0;
    QByteArray resetDate_;
    QString storedSeconds_;
    // Always a text that converts, so that a reset writes a valid plan line.
    QString planText_ = QStringLiteral("1");
    std::int32_t plan_ = 1;
    bool wan_ = false;
    int iconFrame_ = 0;
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
};
