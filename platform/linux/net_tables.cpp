// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/net_tables.h"

#include "platform/linux/default_route.h"
#include "platform/linux/link_table.h"
#include "platform/linux/netlink_attributes.h"
#include "platform/linux/route_socket.h"
#include "platform/linux/table_watch.h"
#include "platform/platform.h"

#include <algorithm>
#include <arpa/inet.h>
#include <mutex>

namespace platform {

namespace {

constexpr DWORD kInvalidParameter = 87; // ERROR_INVALID_PARAMETER
constexpr DWORD kGenFailure = 31;       // ERROR_GEN_FAILURE: the kernel did not answer

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

bool readAddresses(RouteSocket& socket, std::vector<MIB_IPADDRROW>& rows) {
    ifaddrmsg request{};
    request.ifa_family = AF_INET;
    if (!socket.dump(RTM_GETADDR, &request, sizeof request)) {
        return false;
    }
    rows.clear();
    socket.forEachMessage([&rows](const nlmsghdr& message) {
        if (holds<ifaddrmsg>(message, RTM_NEWADDR) &&
            static_cast<const ifaddrmsg*>(NLMSG_DATA(&message))->ifa_family == AF_INET) {
            rows.push_back(addressRow(message));
        }
    });
    return true;
}

class NoMeteredLinks : public MeteredLinks {
public:
    std::uint64_t generation() const override { return 0; }
    std::vector<std::string> names() const override { return {}; }
};

const MeteredLinks& noMeteredLinks() {
    static const NoMeteredLinks none;
    return none;
}

} // namespace

// Each call first reads the announcements waiting, then reads again only the tables they made
// stale: a table kept is what a dump would answer then.
struct NetTables::State {
    explicit State(const MeteredLinks& meteredLinks) : metered(meteredLinks) {}

    std::mutex mutex;
    const MeteredLinks& metered;
    std::uint64_t meteredSeen = 0; // the generation of the names the links were described with
    TableWatch watch;              // first: subscribed before any table is read
    RouteSocket socket;
    LinkTable links;
    std::vector<MIB_IPADDRROW> addressRows;       // in the kernel's order
    std::vector<MIB_IPADDRROW> sortedAddressRows; // by ascending address
    std::vector<int> ordinaryRoutes;              // the interfaces of the Internet's routes
    std::vector<int> routesBeneathTunnels;        // and of the routes beneath a tunnel

    void drain();
    template <typename Read> bool current(KeptTable table, Read read);
    bool currentLinks();
    bool linksWithCounters();
    bool currentAddresses();
    bool currentRoutes();
};

// The kernel's announcements, and a change of the metered links, which describes links anew.
void NetTables::State::drain() {
    watch.drain();
    const std::uint64_t generation = metered.generation();
    if (generation != meteredSeen) {
        links.setMetered(metered.names());
        watch.markStale(KeptTable::Links);
        meteredSeen = generation;
    }
}

// A table that could not be read leaves every table in doubt.
template <typename Read> bool NetTables::State::current(KeptTable table, Read read) {
    if (!watch.stale(table)) {
        return true;
    }
    if (!read()) {
        watch.markAllStale();
        return false;
    }
    watch.markFresh(table);
    return true;
}

bool NetTables::State::currentLinks() {
    return current(KeptTable::Links, [this] { return links.read(socket); });
}

// The kept links with fresh counters; when the counters cannot be merged, a whole link dump.
bool NetTables::State::linksWithCounters() {
    if (!watch.stale(KeptTable::Links) && links.readCounters(socket)) {
        return true;
    }
    watch.markStale(KeptTable::Links);
    return currentLinks();
}

bool NetTables::State::currentAddresses() {
    return current(KeptTable::Addresses, [this] {
        if (!readAddresses(socket, addressRows)) {
            return false;
        }
        sortedAddressRows = addressRows;
        sortByAddress(sortedAddressRows);
        return true;
    });
}

// Read after the links, which tell the tunnels; a change of link makes the routes stale too.
bool NetTables::State::currentRoutes() {
    return current(KeptTable::Routes, [this] {
        routesBeneathTunnels.clear();
        return readOrdinaryRoutes(socket, ordinaryRoutes) &&
               (!links.anyTunnel(ordinaryRoutes) ||
                readRoutesBeneathTunnels(socket, links.tunnels(), routesBeneathTunnels));
    });
}

NetTables::NetTables() : NetTables(noMeteredLinks()) {}
NetTables::NetTables(const MeteredLinks& metered) : state_(std::make_unique<State>(metered)) {}
NetTables::~NetTables() = default;

DWORD NetTables::GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL) {
    if (pdwSize == nullptr) {
        return kInvalidParameter;
    }
    const std::lock_guard lock(state_->mutex);
    state_->drain();
    // A size query needs no counters.
    if (!(pIfTable == nullptr ? state_->currentLinks() : state_->linksWithCounters())) {
        return kGenFailure;
    }
    return answerTableQuery(state_->links.rows(), pIfTable, pdwSize);
}

DWORD NetTables::GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    if (pdwSize == nullptr) {
        return kInvalidParameter;
    }
    const std::lock_guard lock(state_->mutex);
    state_->drain();
    if (!state_->currentAddresses()) {
        return kGenFailure;
    }
    return answerTableQuery(bOrder ? state_->sortedAddressRows : state_->addressRows, pIpAddrTable,
                            pdwSize);
}

// Only the main table is read beneath a tunnel, and only while the traffic takes one.
bool NetTables::wanInternetRoute() {
    const std::lock_guard lock(state_->mutex);
    state_->drain();
    if (!state_->currentLinks() || !state_->currentRoutes()) {
        return false;
    }
    const LinkTable& links = state_->links;
    return links.anyWanUp(state_->ordinaryRoutes) || (links.anyTunnel(state_->ordinaryRoutes) &&
                                                      links.anyWanUp(state_->routesBeneathTunnels));
}

std::optional<LinkOctets> NetTables::linkOctets(const std::string& name) {
    const std::lock_guard lock(state_->mutex);
    return state_->links.octets(name);
}

} // namespace platform
