// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/default_route.h"

#include "platform/linux/netlink_attributes.h"
#include "platform/linux/route_socket.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace platform {

namespace {

// The kernel's marks of a next hop that carries nothing: its interface is down or has no carrier.
constexpr unsigned kUnusable = RTNH_F_DEAD | RTNH_F_LINKDOWN;

// Documentation addresses, which no one reaches but by a default route.
constexpr std::array<unsigned char, 4> kPublicIpv4 = {192, 0, 2, 1};
constexpr std::array<unsigned char, 16> kPublicIpv6 = {0x3f, 0xff, 0, 0, 0, 0, 0, 0,
                                                       0,    0,    0, 0, 0, 0, 0, 1};

// The parts of one RTM_NEWROUTE message that the test looks at.
struct Route {
    const rtmsg* info = nullptr;
    std::uint32_t table = RT_TABLE_UNSPEC;
    std::uint32_t metric = 0;
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
                         } else if (attribute.rta_type == RTA_PRIORITY) {
                             route.metric = scalar<std::uint32_t>(payload(attribute));
                         } else if (attribute.rta_type == RTA_OIF) {
                             route.outInterface = scalar<int>(payload(attribute));
                         } else if (attribute.rta_type == RTA_MULTIPATH) {
                             route.multipath = payload(attribute);
                         }
                     });
    return route;
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

// The whole route the kernel would take to the address, as its table holds it: so multipath and
// carrier marks read as in a dump. No route is no interface.
template <std::size_t N>
RouteSocket::Answer lookUp(RouteSocket& socket, unsigned char family,
                           const std::array<unsigned char, N>& address, Interfaces& interfaces) {
    rtmsg header{};
    header.rtm_family = family;
    header.rtm_dst_len = N * CHAR_BIT;
    header.rtm_flags = RTM_F_FIB_MATCH;
    rtattr destination{};
    destination.rta_len = RTA_LENGTH(N);
    destination.rta_type = RTA_DST;
    std::string request(reinterpret_cast<const char*>(&header), NLMSG_ALIGN(sizeof header));
    request.append(reinterpret_cast<const char*>(&destination), sizeof destination)
        .append(reinterpret_cast<const char*>(address.data()), N);
    const RouteSocket::Answer answer = socket.ask(RTM_GETROUTE, request);
    if (answer == RouteSocket::Answer::Answered) {
        socket.forEachMessage([&interfaces](const nlmsghdr& message) {
            if (holds<rtmsg>(message, RTM_NEWROUTE)) {
                addUsableInterfaces(parseRoute(message), interfaces);
            }
        });
    }
    return answer;
}

bool isMainUnicast(const Route& route) {
    const rtmsg& info = *route.info;
    return (info.rtm_family == AF_INET || info.rtm_family == AF_INET6) &&
           info.rtm_type == RTN_UNICAST && route.table == RT_TABLE_MAIN;
}

// The kernel's own routes to a point-to-point link's peer are host routes too.
bool isHostRouteSetByAProgram(const rtmsg& info) {
    return info.rtm_dst_len == (info.rtm_family == AF_INET ? 32 : 128) &&
           info.rtm_protocol != RTPROT_KERNEL;
}

// A main table default route that does not go through a tunnel.
struct Default {
    unsigned char family;
    std::uint32_t metric;
    Interfaces interfaces;
};

// Those of the lowest metric of each family: the route the kernel prefers once tunnels are gone.
void addPreferred(const std::vector<Default>& defaults, Interfaces& interfaces) {
    for (const Default& candidate : defaults) {
        if (std::ranges::none_of(defaults, [&candidate](const Default& other) {
                return other.family == candidate.family && other.metric < candidate.metric;
            })) {
            interfaces.insert(interfaces.end(), candidate.interfaces.begin(),
                              candidate.interfaces.end());
        }
    }
}

} // namespace

bool readOrdinaryRoutes(RouteSocket& socket, std::vector<int>& interfaces) {
    interfaces.clear();
    // A family without a route, or without support, is refused: no interface, no doubt.
    if (lookUp(socket, AF_INET, kPublicIpv4, interfaces) == RouteSocket::Answer::Failed ||
        lookUp(socket, AF_INET6, kPublicIpv6, interfaces) == RouteSocket::Answer::Failed) {
        interfaces.clear();
        return false;
    }
    return true;
}

bool readRoutesBeneathTunnels(RouteSocket& socket, const std::vector<int>& tunnels,
                              std::vector<int>& interfaces) {
    interfaces.clear();
    // One dump of every family: the IPv4 and IPv6 tables together.
    const rtmsg request{};
    if (!socket.dump(RTM_GETROUTE, &request, sizeof request)) {
        return false;
    }
    std::vector<Default> defaults;
    socket.forEachMessage([&](const nlmsghdr& message) {
        if (!holds<rtmsg>(message, RTM_NEWROUTE)) {
            return;
        }
        const Route route = parseRoute(message);
        Interfaces usable;
        addUsableInterfaces(route, usable);
        std::erase_if(usable,
                      [&tunnels](int index) { return std::ranges::count(tunnels, index) > 0; });
        if (!isMainUnicast(route) || usable.empty()) {
            return;
        }
        if (route.info->rtm_dst_len == 0) {
            defaults.push_back({route.info->rtm_family, route.metric, std::move(usable)});
        } else if (isHostRouteSetByAProgram(*route.info)) {
            interfaces.insert(interfaces.end(), usable.begin(), usable.end());
        }
    });
    addPreferred(defaults, interfaces);
    return true;
}

} // namespace platform
