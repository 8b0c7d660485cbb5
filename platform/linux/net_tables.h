#pragma once
// The interface and IPv4 address tables read from the Linux kernel. Every call takes its own
// snapshot (an rtnetlink dump), so the size a query answered may no longer fit the next call.

#include "platform/iphlpapi.h"

#include <memory>
#include <vector>

namespace platform {

class NetTables {
public:
    NetTables();
    ~NetTables();
    NetTables(const NetTables&) = delete;
    NetTables& operator=(const NetTables&) = delete;

    // Every interface, loopback included, by ascending index; bOrder changes nothing.
    DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder);
    DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder);
    // Whether one of these interfaces is a dial-up or cellular link that is up.
    bool anyWanUp(const std::vector<int>& indexes);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform
