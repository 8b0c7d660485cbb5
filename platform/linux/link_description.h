// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a person reads in an interface row's description and type, worked out from what the kernel
// and the hardware database say about the link. Pure, so every kind of link is testable without
// having one.

#include "platform/system_types.h"

#include <string>
#include <string_view>

namespace platform {

struct LinkIdentity {
    std::string_view name;    // as the kernel spells it: bytes, usually UTF-8
    DWORD index = 0;          // ifindex
    unsigned short type = 0;  // ARPHRD_* link type
    std::string_view kind;    // rtnetlink link kind ("veth", "bridge", "tun", ...), or empty
    std::string_view devType; // sysfs DEVTYPE ("wlan", "wwan", "bridge", ...), or empty
    std::string_view vendor;  // the hardware database's names, or empty
    std::string_view model;
    bool metered = false; // NetworkManager reports it metered (a tethered phone, a hotspot)
};

enum class LinkClass {
    Loopback,
    Ethernet,
    WiFi,
    Bridge,
    VirtualEthernet,
    Tunnel,
    Vlan,
    Bond,
    Ppp,
    Slip,
    MobileBroadband,
    Other,
};

LinkClass classifyLink(const LinkIdentity& link);

// Dial-up and cellular links: the program counts a metered connection as up while one of them is.
bool isWanClass(LinkClass linkClass);

// The IANA ifType a row reports for the class.
DWORD interfaceType(LinkClass linkClass);

// A link that carries packets in packets of another link: a VPN's tun or tap device, WireGuard,
// IP-in-IP, GRE.
bool isTunnelLink(const LinkIdentity& link, LinkClass linkClass);

// Dial-up and cellular links, and the links reported metered: a connection through one is paid
// for. Never a tunnel: what it costs is the cost of the link beneath it.
bool isWanLink(const LinkIdentity& link, LinkClass linkClass);

// Valid UTF-8, at most MAXLEN_IFDESCR - 1 bytes. It contains "wan", in any case, exactly when the
// link is a WAN link: the program looks for that word to tell a metered link.
std::string describeLink(const LinkIdentity& link);

} // namespace platform
