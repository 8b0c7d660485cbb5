// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/default_route.h"

#include "platform/linux/netlink_attributes.h"
#include "platform/linux/route_socket.h"

#include <algorithm>
#include <sys/socket.h>
#include <vector>

namespace platform {

namespace {

// The kernel's marks of a next hop that carries nothing: its interface is down or has no carrier.
constexpr unsigned kUnusable = RTNH_F_DEAD | RTNH_F_LINKDOWN;

// The parts of one RTM_NEWROUTE message that the test looks at.
struct Route {
    const rtmsg* info = nullptr;
    std::uint32_t table = RT_TABLE_UNSPEC;
    int outInterface = 0;
    std::string_view multipath; // rtnexthop records back to back
};

using Interfaces = std::vector<int>;

Route parseRoute(const nlmsghdr& message) {
    Route route;
    route.info = static_cast<const rtmsg*>(NLMSG_DATA(&message));
    route.table = route.info->rtm_table; // RTA_TABLE, when present, holds tables past 255
    forEachAttribute(RTM_RTA(route.info), static_cast<int>(RTM_PAYLOAD(&message)),
                     [&route](const rtattr& attribute) {
                         if (attribute.rta_type == RTA_TABLE) {
                             route.table = scalar<std::uint32_t>(payload(attribute));
                         } else if (attribute.rta_type == RTA_OIF) {
                             route.outInterface = scalar<int>(payload(attribute));
                         } else if (attribute.rta_type == RTA_MULTIPATH) {
                             route.multipath = payload(attribute);
                         }
                     });
    return route;
}

bool isMainDefault(const Route& route) {
    const rtmsg& info = *route.info;
    return (info.rtm_family == AF_INET || info.rtm_family == AF_INET6) && info.rtm_dst_len == 0 &&
           info.rtm_type == RTN_UNICAST && route.table == RT_TABLE_MAIN;
}

// The interfaces of the route's usable next hops: the route's own, or those of its multipath.
void addUsableInterfaces(const Route& route, Interfaces& interfaces) {
    if (route.outInterface != 0 && (route.info->rtm_flags & kUnusable) == 0) {
        interfaces.push_back(route.outInterface);
    }
    std::string_view rest = route.multipath;
    while (rest.size() >= sizeof(rtnexthop)) {
        const auto* nexthop = reinterpret_cast<const rtnexthop*>(rest.data());
        if (nexthop->rtnh_len < sizeof(rtnexthop) || nexthop->rtnh_len > rest.size()) {
            return;
        }
        if ((nexthop->rtnh_flags & kUnusable) == 0) {
            interfaces.push_back(nexthop->rtnh_ifindex);
        }
        rest.remove_prefix(std::min<std::size_t>(RTNH_ALIGN(nexthop->rtnh_len), rest.size()));
    }
}

} // namespace

bool readDefaultRouteInterfaces(RouteSocket& socket, std::vector<int>& interfaces) {
    interfaces.clear();
    // One dump of every family: the IPv4 and IPv6 tables together.
    const rtmsg request{};
    if (!socket.dump(RTM_GETROUTE, &request, sizeof request)) {
        return false;
    }
    socket.forEachMessage([&interfaces](const nlmsghdr& message) {
        if (!holds<rtmsg>(message, RTM_NEWROUTE)) {
            return;
        }
        const Route route = parseRoute(message);
        if (isMainDefault(route)) {
            addUsableInterfaces(route, interfaces);
        }
    });
    return true;
}

} // namespace platform
