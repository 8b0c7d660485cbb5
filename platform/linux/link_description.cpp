// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/link_description.h"

#include "platform/iphlpapi.h"
#include "platform/utf8.h"

#include <algorithm>
#include <array>
#include <linux/if_arp.h>
#include <optional>

namespace platform {

namespace {

struct NamedClass {
    std::string_view name;
    LinkClass linkClass;
};

// Link kinds and device types the kernel names, for links whose ARPHRD type says too little.
constexpr std::array kNamedClasses = {
    NamedClass{"wlan", LinkClass::WiFi},
    NamedClass{"bridge", LinkClass::Bridge},
    NamedClass{"veth", LinkClass::VirtualEthernet},
    NamedClass{"vlan", LinkClass::Vlan},
    NamedClass{"bond", LinkClass::Bond},
};

std::optional<LinkClass> classFromArpType(unsigned short type) {
    switch (type) {
    case ARPHRD_PPP:
        return LinkClass::Ppp;
    case ARPHRD_SLIP:
    case ARPHRD_CSLIP:
    case ARPHRD_SLIP6:
    case ARPHRD_CSLIP6:
        return LinkClass::Slip;
    case ARPHRD_RAWIP:
        return LinkClass::MobileBroadband;
    case ARPHRD_LOOPBACK:
        return LinkClass::Loopback;
    case ARPHRD_IEEE80211:
    case ARPHRD_IEEE80211_PRISM:
    case ARPHRD_IEEE80211_RADIOTAP:
        return LinkClass::WiFi;
    default:
        return std::nullopt;
    }
}

std::optional<LinkClass> classFromName(const LinkIdentity& link) {
    for (const NamedClass& named : kNamedClasses) {
        if (link.devType == named.name || link.kind == named.name) {
            return named.linkClass;
        }
    }
    return std::nullopt;
}

bool isTunnelArpType(unsigned short type) {
    switch (type) {
    case ARPHRD_TUNNEL:
    case ARPHRD_TUNNEL6:
    case ARPHRD_SIT:
    case ARPHRD_IPGRE:
    case ARPHRD_IP6GRE:
    case ARPHRD_NONE:
        return true;
    default:
        return false;
    }
}

std::string_view label(LinkClass linkClass) {
    switch (linkClass) {
    case LinkClass::Loopback:
        return "Interface de bouclage";
    case LinkClass::Ethernet:
        return "Interface Ethernet";
    case LinkClass::WiFi:
        return "Interface Wi-Fi";
    case LinkClass::Bridge:
        return "Pont réseau";
    case LinkClass::VirtualEthernet:
        return "Interface Ethernet virtuelle";
    case LinkClass::Tunnel:
        return "Tunnel";
    case LinkClass::Vlan:
        return "Interface VLAN";
    case LinkClass::Bond:
        return "Agrégation de liens";
    case LinkClass::Ppp:
        return "Interface WAN (PPP)";
    case LinkClass::Slip:
        return "Interface WAN (SLIP)";
    case LinkClass::MobileBroadband:
        return "Interface WAN (haut débit mobile)";
    case LinkClass::Other:
        break;
    }
    return "Interface réseau";
}

bool containsWan(std::string_view text) {
    constexpr std::string_view wan = "wan";
    return std::search(text.begin(), text.end(), wan.begin(), wan.end(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b;
           }) != text.end();
}

bool isSeparator(char c) {
    return static_cast<unsigned char>(c) <= ' ' || c == '\x7F';
}

// The words of the text joined by single spaces, leaving out those that contain "wan" when asked
// to. "wan" holds no space, so no word left can combine with another into it.
std::string words(std::string_view text, bool dropWan) {
    std::string result;
    while (!text.empty()) {
        const auto start = std::find_if_not(text.begin(), text.end(), isSeparator);
        const auto end = std::find_if(start, text.end(), isSeparator);
        const std::string_view word(start, end);
        if (!word.empty() && !(dropWan && containsWan(word))) {
            result.append(result.empty() ? "" : " ").append(word);
        }
        text.remove_prefix(static_cast<std::size_t>(end - text.begin()));
    }
    return result;
}

std::string joined(std::initializer_list<std::string_view> parts) {
    std::string result;
    for (const std::string_view part : parts) {
        if (!part.empty()) {
            result.append(result.empty() ? "" : " - ").append(part);
        }
    }
    result.resize(utf8PrefixLength(result, MAXLEN_IFDESCR - 1));
    return result;
}

} // namespace

LinkClass classifyLink(const LinkIdentity& link) {
    if (link.devType == "wwan" || link.kind == "wwan") {
        return LinkClass::MobileBroadband;
    }
    if (const auto byType = classFromArpType(link.type)) {
        return *byType;
    }
    if (const auto byName = classFromName(link)) {
        return *byName;
    }
    if (link.kind == "tun") {
        return link.type == ARPHRD_ETHER ? LinkClass::VirtualEthernet : LinkClass::Tunnel;
    }
    if (isTunnelArpType(link.type)) {
        return LinkClass::Tunnel;
    }
    return link.type == ARPHRD_ETHER ? LinkClass::Ethernet : LinkClass::Other;
}

bool isWanClass(LinkClass linkClass) {
    return linkClass == LinkClass::Ppp || linkClass == LinkClass::Slip ||
           linkClass == LinkClass::MobileBroadband;
}

DWORD interfaceType(LinkClass linkClass) {
    switch (linkClass) {
    case LinkClass::Loopback:
        return 24; // softwareLoopback
    case LinkClass::WiFi:
        return 71; // ieee80211
    case LinkClass::Tunnel:
        return 131; // tunnel
    case LinkClass::Ppp:
        return 23; // ppp
    case LinkClass::Slip:
        return 28; // slip
    case LinkClass::MobileBroadband:
        return 243; // wwanPP
    case LinkClass::Other:
        return 1; // other
    default:
        return 6; // ethernetCsmacd, what bridges, bonds and VLANs also look like
    }
}

bool isTunnelLink(const LinkIdentity& link, LinkClass linkClass) {
    return linkClass == LinkClass::Tunnel ||
           (linkClass == LinkClass::VirtualEthernet && link.kind == "tun");
}

bool isWanLink(const LinkIdentity& link, LinkClass linkClass) {
    return isWanClass(linkClass) || (link.metered && !isTunnelLink(link, linkClass));
}

std::string describeLink(const LinkIdentity& link) {
    const LinkClass linkClass = classifyLink(link);
    const std::string name = validUtf8(link.name);
    const bool wan = isWanLink(link, linkClass);
    const std::string hardware =
        validUtf8(words(std::string(link.vendor) + ' ' + std::string(link.model), !wan));
    if (wan) {
        return joined({name,
                       isWanClass(linkClass)
                           ? label(linkClass)
                           : std::string_view("Interface WAN (connexion limitée)"),
                       hardware});
    }
    const std::string_view shownName = containsWan(name) ? "" : std::string_view(name);
    if (shownName.empty() && hardware.empty()) {
        return joined(
            {std::string(label(linkClass)) + " (index " + std::to_string(link.index) + ")"});
    }
    return joined({shownName, hardware.empty() ? label(linkClass) : std::string_view(hardware)});
}

} // namespace platform
