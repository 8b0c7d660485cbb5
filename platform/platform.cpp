// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/platform.h"

#include "platform/internet.h"
#include "platform/link_octets.h"
#include "platform/sound.h"

#include <algorithm>

namespace platform {

namespace {
Platform* installed = nullptr;
}

Platform& current() {
    if (installed != nullptr) {
        return *installed;
    }
    return systemPlatform();
}

ScopedPlatform::ScopedPlatform(Platform& platform) : previous_(installed) {
    installed = &platform;
}

ScopedPlatform::~ScopedPlatform() {
    installed = previous_;
}

std::optional<LinkOctets> linkOctets(const std::string& description) {
    return current().linkOctets(description);
}

namespace {
// dwAddr is in network order: its lowest-addressed byte is the first octet.
std::uint32_t hostOrder(DWORD addr) {
    BYTE octets[4];
    std::memcpy(octets, &addr, 4);
    return (std::uint32_t{octets[0]} << 24) | (std::uint32_t{octets[1]} << 16) |
           (std::uint32_t{octets[2]} << 8) | octets[3];
}
} // namespace

void sortByAddress(std::vector<MIB_IPADDRROW>& rows) {
    std::stable_sort(rows.begin(), rows.end(), [](const MIB_IPADDRROW& a, const MIB_IPADDRROW& b) {
        return hostOrder(a.dwAddr) < hostOrder(b.dwAddr);
    });
}

} // namespace platform

DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) {
    return platform::current().GetIfTable(pIfTable, pdwSize, bOrder);
}

DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    return platform::current().GetIpAddrTable(pIpAddrTable, pdwSize, bOrder);
}

BOOL InternetGetConnectedState(DWORD* lpdwFlags, DWORD dwReserved) {
    return platform::current().InternetGetConnectedState(lpdwFlags, dwReserved);
}

BOOL InternetAutodial(DWORD dwFlags, HWND hwndParent) {
    return platform::current().InternetAutodial(dwFlags, hwndParent);
}

BOOL InternetAutodialHangup(DWORD dwReserved) {
    return platform::current().InternetAutodialHangup(dwReserved);
}

BOOL MessageBeep(UINT uType) {
    return platform::current().MessageBeep(uType);
}
