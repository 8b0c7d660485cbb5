#pragma once
// The connection test on Linux: is there a default route through an interface that is up. Each
// question reads the kernel's route and link tables afresh (rtnetlink dumps over a kept socket).

#include "platform/linux/route_socket.h"

#include <mutex>

namespace platform {

class DefaultRoute {
public:
    // True when the main table holds a unicast default route, IPv4 or IPv6, that leaves by an
    // interface that is up: its own, or one of its next hops' for a multipath route, which the
    // kernel does not mark dead or without carrier. False too when the kernel does not answer.
    bool isUp();

private:
    std::mutex mutex_;
    RouteSocket socket_;
};

} // namespace platform
