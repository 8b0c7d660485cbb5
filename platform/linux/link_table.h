// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface table read from the kernel's link dumps and kept between calls: a row's name,
// type, address, description, status and MTU stay right until the link changes; its counters are
// read afresh from the statistics dump.

#include "platform/iphlpapi.h"
#include "platform/link_octets.h"
#include "platform/linux/device_facts.h"

#include <cstdint>
#include <linux/if_link.h>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct nlmsghdr;

namespace platform {

class RouteSocket;

class LinkTable {
public:
    // Reads every link anew, counters included. False when the kernel did not answer.
    bool read(RouteSocket& socket);
    // The names of the links reported metered, which the next read counts as WAN links.
    void setMetered(std::vector<std::string> names) { metered_ = std::move(names); }
    // Reads the kept links' counters. False when the kernel did not answer (kernels before 4.7
    // have no statistics dump) or listed other links than those kept.
    bool readCounters(RouteSocket& socket);

    // Every interface, loopback included, by ascending index.
    const std::vector<MIB_IFROW>& rows() const { return rows_; }
    // Whether one of these interfaces is a WAN link (dial-up, cellular, metered) that is up.
    bool anyWanUp(const std::vector<int>& indexes) const;
    // Whether one of these interfaces is a tunnel.
    bool anyTunnel(const std::vector<int>& indexes) const;
    // The tunnels' indexes.
    const std::vector<int>& tunnels() const { return tunnels_; }
    // The link's 64-bit octet counters as the last read gave them, which the rows cut to 32 bits.
    std::optional<LinkOctets> octets(std::string_view name) const;

    // One link's counters, as the statistics dump tells them.
    struct Counters {
        DWORD index = 0;
        rtnl_link_stats64 stats{};
    };

private:
    // Facts read once per interface, kept while an interface of that index keeps that name.
    struct KnownDevice {
        std::string name;
        DeviceFacts facts;
        std::uint64_t generation = 0; // the last read that listed it
    };

    void add(const nlmsghdr& message);
    const DeviceFacts& factsFor(std::string_view name, int index, std::string_view kind);

    DeviceFactsReader factsReader_;
    std::unordered_map<int, KnownDevice> devices_;
    std::uint64_t generation_ = 0;
    std::vector<MIB_IFROW> rows_;
    // Beside each row, in the same order: the link's name and whole octet counters.
    struct RowOctets {
        DWORD index = 0;
        LinkOctets octets;
    };
    std::vector<RowOctets> octets_;
    std::vector<std::string> metered_;
    std::vector<int> wanUp_; // the WAN links that are up
    std::vector<int> tunnels_;
    std::vector<Counters> counters_; // kept to reuse their memory
};

} // namespace platform
