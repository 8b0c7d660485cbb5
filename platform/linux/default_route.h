// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ways the system's Internet traffic leaves, for the connection test on Linux: each reads the
// interfaces of routes' usable next hops (not marked dead or without carrier), by index. False,
// and none, when the kernel does not answer.

#include <vector>

namespace platform {

class RouteSocket;

// Where ordinary traffic goes: the kernel's route lookup of a public address, IPv4 and IPv6, which
// honours its rules and every table.
bool readOrdinaryRoutes(RouteSocket& socket, std::vector<int>& interfaces);

// Where a tunnel's own traffic may go, the tunnels listed left aside: the main table's host routes
// that a program set (a VPN's route to its server) and its preferred default routes of each
// family.
bool readRoutesBeneathTunnels(RouteSocket& socket, const std::vector<int>& tunnels,
                              std::vector<int>& interfaces);

} // namespace platform
