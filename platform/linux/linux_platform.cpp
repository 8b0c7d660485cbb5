#include "platform/linux/linux_platform.h"

#include "platform/linux/elf_version.h"

#include <climits>
#include <unistd.h>

namespace platform {

DWORD LinuxPlatform::GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) {
    return netTables_.GetIfTable(pIfTable, pdwSize, bOrder);
}

DWORD LinuxPlatform::GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    return netTables_.GetIpAddrTable(pIpAddrTable, pdwSize, bOrder);
}

// Not yet answered from the kernel: no connection, nothing dialled, no sound.
BOOL LinuxPlatform::InternetGetConnectedState(DWORD* lpdwFlags, DWORD) {
    if (lpdwFlags != nullptr) {
        *lpdwFlags = 0;
    }
    return FALSE;
}

BOOL LinuxPlatform::InternetAutodial(DWORD, HWND) {
    return FALSE;
}

BOOL LinuxPlatform::InternetAutodialHangup(DWORD) {
    return FALSE;
}

BOOL LinuxPlatform::MessageBeep(UINT) {
    return FALSE;
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

} // namespace platform
