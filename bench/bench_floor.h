// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The floor of the benchmarks: the least any fill or tick must read, the interface table and the
// IPv4 address table, each as one bare rtnetlink dump over one kept socket.

#include "bench/bench_timing.h"
#include "platform/linux/route_socket.h"

#include <linux/rtnetlink.h>
#include <sys/socket.h>

namespace bench {

inline bool floorDumps(platform::RouteSocket& socket) {
    const ifinfomsg links{};
    ifaddrmsg addresses{};
    addresses.ifa_family = AF_INET;
    return socket.dump(RTM_GETLINK, &links, sizeof links) &&
           socket.dump(RTM_GETADDR, &addresses, sizeof addresses);
}

// Times the floor; ok turns false when a dump failed.
inline Figures measureFloor(double seconds, bool& ok) {
    platform::RouteSocket socket;
    ok = floorDumps(socket);
    return measure([&] { ok = floorDumps(socket) && ok; }, seconds, 15);
}

// "met" or "missed": the figure against target times the floor.
inline const char* verdict(double figure, double floor, double target) {
    return figure <= target * floor ? "met" : "missed";
}

} // namespace bench
