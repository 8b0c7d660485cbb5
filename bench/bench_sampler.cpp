// Times the traffic sampler's two fills against the interfaces of the network namespace it runs
// in: the disconnected fill (the interface table, then the address table for each interface) and
// the connected fill (the interface table only). Prints one line of medians and 90th percentiles
// in microseconds.

#include "netstats/detail_window.h"
#include "netstats/traffic_sampler.h"

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

double timeOnce(const std::function<void()>& fill) {
    const auto start = Clock::now();
    fill();
    return microseconds(Clock::now() - start);
}

struct Figures {
    double median = 0;
    double p90 = 0;
    std::size_t runs = 0;
};

// Repeats the fill for about the given time, at least minRuns times.
Figures measure(const std::function<void()>& fill, double seconds, std::size_t minRuns) {
    std::vector<double> times;
    const auto end = Clock::now() + std::chrono::duration<double>(seconds);
    while (times.size() < minRuns || (Clock::now() < end && times.size() < 100000)) {
        times.push_back(timeOnce(fill));
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times[times.size() * 9 / 10], times.size()};
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    const double seconds = argc > 1 ? std::atof(argv[1]) : 2.0;
    TForm2 window; // never shown: the fills only write its grid
    TrafficSampler sampler(window.grid());

    const double first = timeOnce([&] { sampler.CaptureMIBData(true); });
    const Figures disconnected = measure([&] { sampler.CaptureMIBData(true); }, seconds, 15);
    const Figures connected = measure([&] { sampler.CaptureMIBData(false); }, seconds, 15);

    std::printf("rows=%-4zu disconnected: median %9.1f us  p90 %9.1f us  (%zu runs)   "
                "connected: median %7.1f us  p90 %7.1f us  (%zu runs)   first fill %.1f us\n",
                sampler.IfStats().size(), disconnected.median, disconnected.p90, disconnected.runs,
                connected.median, connected.p90, connected.runs, first);
    return sampler.IfStats().empty() ? EXIT_FAILURE : EXIT_SUCCESS;
}
