// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/phased_timer.h"

#include <algorithm>
#include <utility>

PhasedTimer::PhasedTimer(std::chrono::milliseconds interval, Clock clock)
    : interval_(interval), clock_(std::move(clock)) {
    // One shot at a time, each aimed at the grid, so that no delay ever accumulates.
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        // Armed before the handlers run, which may stop it. A late tick skips the ones it missed
        // rather than catching up in a burst; an early one does not tick twice.
        Arm(due_ + 1);
        emit Timeout();
    });
}

std::chrono::milliseconds PhasedTimer::SteadyClock() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

void PhasedTimer::Start() {
    if (due_ == 0) {
        origin_ = clock_();
    } else if (timer_.isActive()) {
        return;
    }
    Arm(1);
}

void PhasedTimer::Arm(std::int64_t atLeast) {
    const std::chrono::milliseconds elapsed = Elapsed();
    due_ = std::max(atLeast, elapsed / interval_ + 1);
    timer_.start(due_ * interval_ - elapsed);
}
