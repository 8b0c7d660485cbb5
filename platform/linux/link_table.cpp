// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/link_table.h"

#include "platform/linux/link_description.h"
#include "platform/linux/netlink_attributes.h"
#include "platform/linux/route_socket.h"
#include "platform/utf8.h"

#include <algorithm>
#include <linux/if.h>
#include <linux/rtnetlink.h>
#include <optional>

namespace platform {

namespace {

// MIB_IFROW status values.
constexpr DWORD kAdminUp = 1;
constexpr DWORD kAdminDown = 2;
constexpr DWORD kOperNonOperational = 0;
constexpr DWORD kOperDisconnected = 2;
constexpr DWORD kOperConnecting = 3;
constexpr DWORD kOperOperational = 5;

// One RTM_NEWLINK message, its attributes pointing into the dump.
struct Link {
    const ifinfomsg* info = nullptr;
    std::string_view name;
    std::string_view address;
    std::string_view kind;
    DWORD mtu = 0;
    BYTE operState = IF_OPER_UNKNOWN;
    rtnl_link_stats64 stats{}; // copied: the attribute is only 4-byte aligned
};

std::string_view linkKind(std::string_view linkInfo) {
    std::string_view kind;
    forEachAttribute(reinterpret_cast<const rtattr*>(linkInfo.data()),
                     static_cast<int>(linkInfo.size()), [&kind](const rtattr& attribute) {
                         if (attribute.rta_type == IFLA_INFO_KIND) {
                             kind = cString(payload(attribute));
                         }
                     });
    return kind;
}

void readLinkAttribute(const rtattr& attribute, Link& link) {
    const std::string_view data = payload(attribute);
    switch (attribute.rta_type) {
    case IFLA_IFNAME:
        link.name = cString(data);
        break;
    case IFLA_ADDRESS:
        link.address = data;
        break;
    case IFLA_MTU:
        link.mtu = scalar<std::uint32_t>(data);
        break;
    case IFLA_OPERSTATE:
        link.operState = scalar<std::uint8_t>(data);
        break;
    case IFLA_STATS64:
        link.stats = scalar<rtnl_link_stats64>(data);
        break;
    case IFLA_LINKINFO:
        link.kind = linkKind(data);
        break;
    default:
        break;
    }
}

Link parseLink(const nlmsghdr& message) {
    Link link;
    link.info = static_cast<const ifinfomsg*>(NLMSG_DATA(&message));
    forEachAttribute(IFLA_RTA(link.info), static_cast<int>(IFLA_PAYLOAD(&message)),
                     [&link](const rtattr& attribute) { readLinkAttribute(attribute, link); });
    return link;
}

void setName(MIB_IFROW& row, std::string_view name) {
    const std::u16string wide = utf16FromUtf8(name);
    std::copy_n(wide.begin(), std::min(wide.size(), MAX_INTERFACE_NAME_LEN - 1), row.wszName);
}

// An all-zero address, like loopback's, is no address.
void setPhysAddr(MIB_IFROW& row, std::string_view address) {
    if (std::all_of(address.begin(), address.end(), [](char byte) { return byte == 0; })) {
        return;
    }
    row.dwPhysAddrLen = static_cast<DWORD>(std::min(address.size(), MAXLEN_PHYSADDR));
    std::memcpy(row.bPhysAddr, address.data(), row.dwPhysAddrLen);
}

bool isUp(const Link& link) {
    return (link.info->ifi_flags & IFF_UP) != 0;
}

DWORD operStatus(const Link& link) {
    const unsigned flags = link.info->ifi_flags;
    if (!isUp(link)) {
        return kOperNonOperational;
    }
    // Links without carrier detection (loopback, tun) report an unknown state while running.
    if (link.operState == IF_OPER_UP ||
        (link.operState == IF_OPER_UNKNOWN && (flags & IFF_RUNNING) != 0)) {
        return kOperOperational;
    }
    return link.operState == IF_OPER_DORMANT ? kOperConnecting : kOperDisconnected;
}

// The row's counters are the low 32 bits of the kernel's.
void setCounters(MIB_IFROW& row, const rtnl_link_stats64& stats) {
    const auto low = [](std::uint64_t value) { return static_cast<DWORD>(value); };
    const std::uint64_t multicast = std::min(stats.multicast, stats.rx_packets);
    row.dwInOctets = low(stats.rx_bytes);
    row.dwInUcastPkts = low(stats.rx_packets - multicast);
    row.dwInNUcastPkts = low(multicast);
    row.dwInDiscards = low(stats.rx_dropped);
    row.dwInErrors = low(stats.rx_errors);
    row.dwOutOctets = low(stats.tx_bytes);
    row.dwOutUcastPkts = low(stats.tx_packets);
    row.dwOutDiscards = low(stats.tx_dropped);
    row.dwOutErrors = low(stats.tx_errors);
}

void setDescription(MIB_IFROW& row, const std::string& description) {
    std::memcpy(row.bDescr, description.data(), description.size());
    row.dwDescrLen = static_cast<DWORD>(description.size() + 1);
}

LinkIdentity identityOf(const Link& link, const DeviceFacts& facts, bool metered) {
    return {link.name,           static_cast<DWORD>(link.info->ifi_index),
            link.info->ifi_type, link.kind,
            facts.devType,       facts.vendor,
            facts.model,         metered};
}

MIB_IFROW ifRow(const Link& link, const LinkIdentity& identity, LinkClass linkClass) {
    MIB_IFROW row{};
    setName(row, link.name);
    row.dwIndex = identity.index;
    row.dwType = interfaceType(linkClass);
    row.dwMtu = link.mtu;
    setPhysAddr(row, link.address);
    row.dwAdminStatus = isUp(link) ? kAdminUp : kAdminDown;
    row.dwOperStatus = operStatus(link);
    setCounters(row, link.stats);
    setDescription(row, describeLink(identity));
    return row;
}

std::optional<LinkTable::Counters> parseCounters(const nlmsghdr& message) {
    const auto* info = static_cast<const if_stats_msg*>(NLMSG_DATA(&message));
    const auto* first = reinterpret_cast<const rtattr*>(reinterpret_cast<const char*>(info) +
                                                        NLMSG_ALIGN(sizeof(if_stats_msg)));
    std::optional<LinkTable::Counters> counters;
    forEachAttribute(first, static_cast<int>(message.nlmsg_len - NLMSG_SPACE(sizeof *info)),
                     [&](const rtattr& attribute) {
                         if (attribute.rta_type == IFLA_STATS_LINK_64) {
                             counters = LinkTable::Counters{
                                 info->ifindex, scalar<rtnl_link_stats64>(payload(attribute))};
                         }
                     });
    return counters;
}

// Recent kernels dump in index order; older ones in hash order.
template <typename Row> void sortByIndex(std::vector<Row>& rows, DWORD Row::*index) {
    if (!std::ranges::is_sorted(rows, {}, index)) {
        std::ranges::sort(rows, {}, index);
    }
}

} // namespace

bool LinkTable::read(RouteSocket& socket) {
    const ifinfomsg request{};
    if (!socket.dump(RTM_GETLINK, &request, sizeof request)) {
        return false;
    }
    ++generation_;
    rows_.clear();
    octets_.clear();
    wanUp_.clear();
    tunnels_.clear();
    socket.forEachMessage([this](const nlmsghdr& message) {
        if (holds<ifinfomsg>(message, RTM_NEWLINK)) {
            add(message);
        }
    });
    std::erase_if(devices_,
                  [this](const auto& known) { return known.second.generation != generation_; });
    sortByIndex(rows_, &MIB_IFROW::dwIndex);
    sortByIndex(octets_, &RowOctets::index);
    return true;
}

void LinkTable::add(const nlmsghdr& message) {
    const Link link = parseLink(message);
    const LinkIdentity identity =
        identityOf(link, factsFor(link.name, link.info->ifi_index, link.kind),
                   std::ranges::count(metered_, link.name) > 0);
    const LinkClass linkClass = classifyLink(identity);
    rows_.push_back(ifRow(link, identity, linkClass));
    octets_.push_back(
        {identity.index, {std::string(link.name), link.stats.rx_bytes, link.stats.tx_bytes}});
    if (isUp(link) && isWanLink(identity, linkClass)) {
        wanUp_.push_back(link.info->ifi_index);
    }
    if (isTunnelLink(identity, linkClass)) {
        tunnels_.push_back(link.info->ifi_index);
    }
}

// Only hardware needs sysfs and the hardware database: a virtual link names its kind itself.
const DeviceFacts& LinkTable::factsFor(std::string_view name, int index, std::string_view kind) {
    static const DeviceFacts none;
    if (!kind.empty()) {
        return none;
    }
    KnownDevice& known = devices_[index];
    if (known.generation == 0 || known.name != name) {
        known.name = name;
        known.facts = factsReader_.read(name, static_cast<unsigned>(index));
    }
    known.generation = generation_;
    return known.facts;
}

// The statistics dump costs a tenth of the link dump, which carries the counters too.
bool LinkTable::readCounters(RouteSocket& socket) {
    if_stats_msg request{};
    request.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    if (!socket.dump(RTM_GETSTATS, &request, sizeof request)) {
        return false;
    }
    counters_.clear();
    bool complete = true;
    socket.forEachMessage([&](const nlmsghdr& message) {
        if (holds<if_stats_msg>(message, RTM_NEWSTATS)) {
            if (const auto counters = parseCounters(message)) {
                counters_.push_back(*counters);
            } else {
                complete = false;
            }
        }
    });
    sortByIndex(counters_, &Counters::index);
    // A link came or went since the links were read, and its announcement is not read yet.
    if (!complete ||
        !std::ranges::equal(rows_, counters_, {}, &MIB_IFROW::dwIndex, &Counters::index)) {
        return false;
    }
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        setCounters(rows_[i], counters_[i].stats);
        octets_[i].octets.received = counters_[i].stats.rx_bytes;
        octets_[i].octets.sent = counters_[i].stats.tx_bytes;
    }
    return true;
}

std::optional<LinkOctets> LinkTable::octets(std::string_view name) const {
    const auto found = std::ranges::find_if(
        octets_, [name](const RowOctets& row) { return row.octets.name == name; });
    return found == octets_.end() ? std::nullopt : std::optional(found->octets);
}

namespace {

bool anyOf(const std::vector<int>& indexes, const std::vector<int>& among) {
    return std::ranges::any_of(
        indexes, [&among](int index) { return std::ranges::count(among, index) > 0; });
}

} // namespace

bool LinkTable::anyWanUp(const std::vector<int>& indexes) const {
    return anyOf(indexes, wanUp_);
}

bool LinkTable::anyTunnel(const std::vector<int>& indexes) const {
    return anyOf(indexes, tunnels_);
}

} // namespace platform
