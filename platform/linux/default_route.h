#pragma once
// The default routes of the connection test on Linux. Each question reads the kernel's route
// tables afresh (rtnetlink dumps over a kept socket).

#include "platform/linux/route_socket.h"

#include <mutex>
#include <vector>

namespace platform {

class DefaultRoute {
public:
    // The interfaces by which the main table's unicast default routes, IPv4 and IPv6, leave: each
    // route's own, or its next hops' for a multipath route, unless the kernel marks them dead or
    // without carrier. None when the kernel does not answer.
    std::vector<int> interfaces();

private:
    std::mutex mutex_;
    RouteSocket socket_;
};

} // namespace platform
