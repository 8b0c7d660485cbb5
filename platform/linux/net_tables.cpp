#include "platform/linux/net_tables.h"

#include "platform/linux/device_facts.h"
#include "platform/linux/link_description.h"
#include "platform/linux/netlink_attributes.h"
#include "platform/linux/route_socket.h"
#include "platform/platform.h"
#include "platform/utf8.h"

#include <algorithm>
#include <arpa/inet.h>
#include <linux/if.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>
#include <mutex>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace platform {

namespace {

constexpr DWORD kInvalidParameter = 87; // ERROR_INVALID_PARAMETER
constexpr DWORD kGenFailure = 31;       // ERROR_GEN_FAILURE: the kernel did not answer

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

DWORD operStatus(const Link& link) {
    const unsigned flags = link.info->ifi_flags;
    if ((flags & IFF_UP) == 0) {
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

LinkIdentity identityOf(const Link& link, const DeviceFacts& facts) {
    return {link.name,           static_cast<DWORD>(link.info->ifi_index),
            link.info->ifi_type, link.kind,
            facts.devType,       facts.vendor,
            facts.model};
}

MIB_IFROW ifRow(const Link& link, const DeviceFacts& facts) {
    const LinkIdentity identity = identityOf(link, facts);
    MIB_IFROW row{};
    setName(row, link.name);
    row.dwIndex = identity.index;
    row.dwType = interfaceType(classifyLink(identity));
    row.dwMtu = link.mtu;
    setPhysAddr(row, link.address);
    row.dwAdminStatus = (link.info->ifi_flags & IFF_UP) != 0 ? kAdminUp : kAdminDown;
    row.dwOperStatus = operStatus(link);
    setCounters(row, link.stats);
    setDescription(row, describeLink(identity));
    return row;
}

DWORD maskOf(unsigned prefixLength) {
    return prefixLength == 0 ? 0 : htonl(~std::uint32_t{0} << (32 - std::min(prefixLength, 32u)));
}

MIB_IPADDRROW addressRow(const nlmsghdr& message) {
    const auto* info = static_cast<const ifaddrmsg*>(NLMSG_DATA(&message));
    MIB_IPADDRROW row{};
    row.dwIndex = info->ifa_index;
    row.dwMask = maskOf(info->ifa_prefixlen);
    std::string_view local;
    std::string_view address;
    forEachAttribute(IFA_RTA(info), static_cast<int>(IFA_PAYLOAD(&message)),
                     [&](const rtattr& attribute) {
                         if (attribute.rta_type == IFA_LOCAL) {
                             local = payload(attribute);
                         } else if (attribute.rta_type == IFA_ADDRESS) {
                             address = payload(attribute);
                         } else if (attribute.rta_type == IFA_BROADCAST) {
                             row.dwBCastAddr = scalar<DWORD>(payload(attribute));
                         }
                     });
    // On a point-to-point link IFA_ADDRESS is the peer's; IFA_LOCAL is always this side's.
    row.dwAddr = scalar<DWORD>(local.empty() ? address : local);
    return row;
}

// Facts read once per interface, kept while an interface of that index keeps that name.
struct KnownDevice {
    std::string name;
    DeviceFacts facts;
    std::uint64_t generation = 0; // the last read that listed it
};

} // namespace

struct NetTables::State {
    std::mutex mutex;
    RouteSocket socket;
    DeviceFactsReader factsReader;
    std::unordered_map<int, KnownDevice> devices;
    std::uint64_t generation = 0;
    std::vector<MIB_IFROW> ifRows; // kept to reuse their memory
    std::vector<MIB_IPADDRROW> addressRows;

    std::optional<std::size_t> countLinks();
    bool readLinks();
    bool readAddresses();
    const DeviceFacts& factsFor(const Link& link);
};

std::optional<std::size_t> NetTables::State::countLinks() {
    if_stats_msg request{};
    request.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    if (!socket.dump(RTM_GETSTATS, &request, sizeof request)) {
        return std::nullopt;
    }
    std::size_t count = 0;
    socket.forEachMessage([&count](const nlmsghdr& message) {
        count += holds<if_stats_msg>(message, RTM_NEWSTATS) ? 1 : 0;
    });
    return count;
}

bool NetTables::State::readLinks() {
    const ifinfomsg request{};
    if (!socket.dump(RTM_GETLINK, &request, sizeof request)) {
        return false;
    }
    ++generation;
    ifRows.clear();
    socket.forEachMessage([this](const nlmsghdr& message) {
        if (holds<ifinfomsg>(message, RTM_NEWLINK)) {
            const Link link = parseLink(message);
            ifRows.push_back(ifRow(link, factsFor(link)));
        }
    });
    std::erase_if(devices,
                  [this](const auto& known) { return known.second.generation != generation; });
    const auto byIndex = [](const MIB_IFROW& a, const MIB_IFROW& b) {
        return a.dwIndex < b.dwIndex;
    };
    // Recent kernels dump in index order; older ones in hash order.
    if (!std::is_sorted(ifRows.begin(), ifRows.end(), byIndex)) {
        std::sort(ifRows.begin(), ifRows.end(), byIndex);
    }
    return true;
}

// Only hardware needs sysfs and the hardware database: a virtual link names its kind itself.
const DeviceFacts& NetTables::State::factsFor(const Link& link) {
    static const DeviceFacts none;
    if (!link.kind.empty()) {
        return none;
    }
    KnownDevice& known = devices[link.info->ifi_index];
    if (known.generation == 0 || known.name != link.name) {
        known.name = link.name;
        known.facts = factsReader.read(link.name, static_cast<unsigned>(link.info->ifi_index));
    }
    known.generation = generation;
    return known.facts;
}

bool NetTables::State::readAddresses() {
    ifaddrmsg request{};
    request.ifa_family = AF_INET;
    if (!socket.dump(RTM_GETADDR, &request, sizeof request)) {
        return false;
    }
    addressRows.clear();
    socket.forEachMessage([this](const nlmsghdr& message) {
        if (holds<ifaddrmsg>(message, RTM_NEWADDR) &&
            static_cast<const ifaddrmsg*>(NLMSG_DATA(&message))->ifa_family == AF_INET) {
            addressRows.push_back(addressRow(message));
        }
    });
    return true;
}

NetTables::NetTables() : state_(std::make_unique<State>()) {}
NetTables::~NetTables() = default;

DWORD NetTables::GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL) {
    if (pdwSize == nullptr) {
        return kInvalidParameter;
    }
    const std::lock_guard lock(state_->mutex);
    // A size query needs only the number of interfaces, which the statistics dump tells for a
    // tenth of what the link dump costs (kernels before 4.7 have none: then the link dump).
    if (pIfTable == nullptr) {
        if (const auto count = state_->countLinks()) {
            *pdwSize = tableSize<MIB_IFTABLE, MIB_IFROW>(*count);
            return ERROR_INSUFFICIENT_BUFFER;
        }
    }
    if (!state_->readLinks()) {
        return kGenFailure;
    }
    return answerTableQuery(state_->ifRows, pIfTable, pdwSize);
}

DWORD NetTables::GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    if (pdwSize == nullptr) {
        return kInvalidParameter;
    }
    const std::lock_guard lock(state_->mutex);
    if (!state_->readAddresses()) {
        return kGenFailure;
    }
    if (bOrder) {
        sortByAddress(state_->addressRows);
    }
    return answerTableQuery(state_->addressRows, pIpAddrTable, pdwSize);
}

} // namespace platform

namespace platform {

namespace {

// A link dump without the statistics, which the question of a link's kind and state does not need.
struct LinkRequestWithoutStats {
    ifinfomsg info{};
    rtattr mask{RTA_LENGTH(sizeof(std::uint32_t)), IFLA_EXT_MASK};
    std::uint32_t filter = RTEXT_FILTER_SKIP_STATS;
};

} // namespace

bool NetTables::anyWanUp(const std::vector<int>& indexes) {
    if (indexes.empty()) {
        return false;
    }
    const std::lock_guard lock(state_->mutex);
    const LinkRequestWithoutStats request;
    if (!state_->socket.dump(RTM_GETLINK, &request, sizeof request)) {
        return false;
    }
    bool up = false;
    state_->socket.forEachMessage([&](const nlmsghdr& message) {
        if (!holds<ifinfomsg>(message, RTM_NEWLINK)) {
            return;
        }
        const Link link = parseLink(message);
        up = up ||
             ((link.info->ifi_flags & IFF_UP) != 0 &&
              std::find(indexes.begin(), indexes.end(), link.info->ifi_index) != indexes.end() &&
              isWanClass(classifyLink(identityOf(link, state_->factsFor(link)))));
    });
    return up;
}

} // namespace platform
