#include "platform/linux/net_tables.h"

namespace platform {

struct NetTables::State {};

NetTables::NetTables() : state_(std::make_unique<State>()) {}
NetTables::~NetTables() = default;

DWORD NetTables::GetIfTable(PMIB_IFTABLE, PULONG, BOOL) { return 1; }
DWORD NetTables::GetIpAddrTable(PMIB_IPADDRTABLE, PULONG, BOOL) { return 1; }

} // namespace platform
