// Times the traffic sampler's two fills against the interfaces of the network namespace it runs
// in: the disconnected fill (the interface table, then the address table for each interface) and
// the connected fill (the interface table only). Prints one line of medians and 90th percentiles
// in microseconds.

#include "netstats/detail_window.h"
#include "netstats/traffic_sampler.h"

#include "bench/bench_timing.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

using bench::Figures;
using bench::measure;
using bench::timeOnce;

int main(int argc, char** argv) {
    bench::useOffscreenUnlessSet();
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
