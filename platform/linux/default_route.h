// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The default routes of the connection test on Linux.

#include <vector>

namespace platform {

class RouteSocket;

// Reads the interfaces by which the main table's unicast default routes, IPv4 and IPv6, leave:
// each route's own, or its next hops' for a multipath route, unless the kernel marks them dead or
// without carrier. False, and none, when the kernel does not answer.
bool readDefaultRouteInterfaces(RouteSocket& socket, std::vector<int>& interfaces);

} // namespace platform
