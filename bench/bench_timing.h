// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timing helpers shared by the benchmarks: one timed call, and medians and 90th percentiles over
// repeated calls, in microseconds.

#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double microseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

inline double timeOnce(const std::function<void()>& call) {
    const auto start = Clock::now();
    call();
    return microseconds(Clock::now() - start);
}

struct Figures {
    double median = 0;
    double p90 = 0;
    std::size_t runs = 0;
};

// Repeats the call for about the given time, at least minRuns times.
inline Figures measure(const std::function<void()>& call, double seconds, std::size_t minRuns) {
    std::vector<double> times;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (times.size() < minRuns || (Clock::now() < end && times.size() < 100000)) {
        times.push_back(timeOnce(call));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 9 / 10], times.size()};
}

// The widgets are never shown: without a platform chosen, none is needed.
inline void useOffscreenUnlessSet() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace bench
