// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kernel's announcements of changes to the tables kept between calls: one NETLINK_ROUTE
// socket subscribed to links, IPv4 addresses and IPv4 and IPv6 routes and rules, read without
// waiting. A table is stale from an announcement of its change until it is read again; a lost
// announcement, or anything that leaves a doubt, makes every table stale.

#include <cstddef>
#include <vector>

namespace platform {

enum class KeptTable { Links, Addresses, Routes };

class TableWatch {
public:
    // Every table starts stale. Subscribes now, so that no change falls before the first read.
    TableWatch();
    ~TableWatch();
    TableWatch(const TableWatch&) = delete;
    TableWatch& operator=(const TableWatch&) = delete;

    // Reads every announcement waiting. Without a socket every table stays stale.
    void drain();
    bool stale(KeptTable table) const;
    void markStale(KeptTable table);
    void markFresh(KeptTable table);
    void markAllStale();

private:
    bool open();
    void note(std::size_t length);

    int fd_ = -1;
    unsigned stale_; // one bit a table
    std::vector<char> buffer_;
};

} // namespace platform
