// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/linux_platform.h"

#include "platform/linux/dialer.h"
#include "platform/linux/elf_version.h"
#include "platform/linux/link_octets.h"

#include <climits>
#include <unistd.h>

namespace platform {

DWORD LinuxPlatform::GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) {
    return netTables_.GetIfTable(pIfTable, pdwSize, bOrder);
}

DWORD LinuxPlatform::GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    return netTables_.GetIpAddrTable(pIpAddrTable, pdwSize, bOrder);
}

// From the counters the interface table query of the same tick read, by the link's name.
std::optional<LinkOctets> LinuxPlatform::linkOctets(const std::string& description) {
    const std::string name = linkNameOf(description);
    return name.empty() ? std::nullopt : netTables_.linkOctets(name);
}

// Connected: the Internet's traffic leaves by a WAN link that is up. The flags say nothing more.
BOOL LinuxPlatform::InternetGetConnectedState(DWORD* lpdwFlags, DWORD) {
    if (lpdwFlags != nullptr) {
        *lpdwFlags = 0;
    }
    // Only a dial-up, cellular or metered link makes the metered connection: a LAN's default route
    // beside a modem link that is down is no such connection, nor a VPN over the LAN.
    return netTables_.wanInternetRoute() ? TRUE : FALSE;
}

// Activates NetworkManager's dialled profile when it has one, otherwise dials the default peer
// ("provider") with Debian's pon; the tick sees the link when it comes up.
BOOL LinuxPlatform::InternetAutodial(DWORD, HWND) {
    return networkManager_.dial([] { startDetached("pon"); }) || startDetached("pon") ? TRUE
                                                                                      : FALSE;
}

BOOL LinuxPlatform::InternetAutodialHangup(DWORD) {
    return networkManager_.hangUp([] { startDetached("poff"); }) || startDetached("poff") ? TRUE
                                                                                          : FALSE;
}

// Every beep type rings the bell.
BOOL LinuxPlatform::MessageBeep(UINT) {
    beeper_.ring();
    return TRUE;
}

void LinuxPlatform::notify(const std::string& summary, const std::string& body) {
    notifications_.show(summary, body);
}

std::string LinuxPlatform::moduleFileName() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path)) {
        return {};
    }
    return std::string(path, static_cast<std::size_t>(length));
}

std::optional<std::vector<BYTE>> LinuxPlatform::versionResource(const char* fileName) {
    return readElfVersionSection(fileName);
}

Platform& systemPlatform() {
    static LinuxPlatform system;
    return system;
}

} // namespace platform
