// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A periodic timer that may sleep while its ticks would change nothing, and wakes on the phase of
// its first start: its ticks fall where they would have fallen had it never stopped.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <cstdint>
#include <functional>

class PhasedTimer : public QObject {
    Q_OBJECT

public:
    using Clock = std::function<std::chrono::milliseconds()>;

    // The clock is the system's steady clock; tests set the time through their own.
    explicit PhasedTimer(std::chrono::milliseconds interval, Clock clock = SteadyClock);

    std::chrono::milliseconds Interval() const { return interval_; }
    bool IsActive() const { return timer_.isActive(); }
    // When the next tick falls, counted from the first start.
    std::chrono::milliseconds NextTick() const { return due_ * interval_; }

    // The first start sets the phase; a later one wakes the timer on it, and does nothing while
    // it runs.
    void Start();
    void Stop() { timer_.stop(); }

signals:
    void Timeout();

private:
    static std::chrono::milliseconds SteadyClock();
    // Aims at the first tick of the grid that is after now and not before tick number atLeast.
    void Arm(std::int64_t atLeast);
    std::chrono::milliseconds Elapsed() const { return clock_() - origin_; }

    std::chrono::milliseconds interval_;
    Clock clock_;
    std::chrono::milliseconds origin_{};
    std::int64_t due_ = 0; // the number of the next tick; 0 before the first start
    QTimer timer_;
};
