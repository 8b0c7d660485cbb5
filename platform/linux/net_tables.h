// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface and IPv4 address tables and the Internet's routes, read from the Linux kernel and
// kept between calls: each is read again only once the kernel announced a change to it; the
// counters, at every table query. Every answer is what a fresh dump would give, so the size a query
// answered may no longer fit the next call.

#include "platform/iphlpapi.h"
#include "platform/link_octets.h"
#include "platform/linux/metered_links.h"

#include <memory>

namespace platform {

class NetTables {
public:
    NetTables();
    // Also counts as WAN links those that `metered` names; it must outlive the tables.
    explicit NetTables(const MeteredLinks& metered);
    ~NetTables();
    NetTables(const NetTables&) = delete;
    NetTables& operator=(const NetTables&) = delete;

    // Every interface, loopback included, by ascending index; bOrder changes nothing.
    DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder);
    DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder);
    // Whether the Internet's traffic, IPv4 or IPv6, leaves by a WAN link (dial-up, cellular,
    // metered) that is up: directly, or beneath a tunnel that takes it.
    bool wanInternetRoute();
    // A link's 64-bit octet counters as the last interface table query read them: no dump of
    // its own, since the sampler's query of the same tick has just read them.
    std::optional<LinkOctets> linkOctets(const std::string& name);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform
