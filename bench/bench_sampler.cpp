// SPDX-License-Identifier: GPL-3.0-or-later
// Times the traffic sampler's two fills against the interfaces of the network namespace it runs
// in: the disconnected fill (the interface table, then the address table for each interface) and
// the connected fill (the interface table only), and beside them the floor of one bare link dump
// and one bare IPv4 address dump. Prints one line of medians and 90th percentiles in microseconds,
// and each fill's ratio to the floor against its target (none when 0).
//
//     bench_sampler [seconds] [disconnected target] [connected target]

#include "netstats/traffic_sampler.h"
#include "shell/detail_window.h"

#include "bench/bench_floor.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

using bench::Figures;
using bench::measure;
using bench::timeOnce;

namespace {

double argument(int argc, char** argv, int index, double otherwise) {
    return argc > index ? std::atof(argv[index]) : otherwise;
}

// "1.23x (target 2.0x: met)", or only the ratio without a target.
std::string ratio(const Figures& fill, const Figures& floor, double target) {
    char text[64];
    const double value = fill.median / floor.median;
    if (target > 0) {
        std::snprintf(text, sizeof text, "%5.2fx (target %.1fx: %s)", value, target,
                      bench::verdict(fill.median, floor.median, target));
    } else {
        std::snprintf(text, sizeof text, "%5.2fx", value);
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    bench::useOffscreenUnlessSet();
    QApplication app(argc, argv);
    const double seconds = argument(argc, argv, 1, 2.0);
    DetailGrid grid;
    TForm2 window(grid); // made as once the detail was shown, and hidden: its view hears the fills
    TrafficSampler sampler(grid);

    const double first = timeOnce([&] { sampler.CaptureMIBData(true); });
    const Figures disconnected = measure([&] { sampler.CaptureMIBData(true); }, seconds, 15);
    const Figures connected = measure([&] { sampler.CaptureMIBData(false); }, seconds, 15);
    bool floorOk = false;
    const Figures floor = bench::measureFloor(seconds, floorOk);

    std::printf("rows=%-4zu disconnected: median %8.1f us  p90 %8.1f us  %s   "
                "connected: median %7.1f us  p90 %7.1f us  %s   "
                "floor: median %7.1f us  p90 %7.1f us   first fill %.1f us\n",
                sampler.IfStats().size(), disconnected.median, disconnected.p90,
                ratio(disconnected, floor, argument(argc, argv, 2, 0)).c_str(), connected.median,
                connected.p90, ratio(connected, floor, argument(argc, argv, 3, 0)).c_str(),
                floor.median, floor.p90, first);
    return sampler.IfStats().empty() || !floorOk ? EXIT_FAILURE : EXIT_SUCCESS;
}
