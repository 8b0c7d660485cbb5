// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operating-system services behind the system-shaped functions of iphlpapi.h, internet.h,
// sound.h and version.h, and behind notifications.h.
// One implementation per system, chosen at start; tests install the fake instead.

#include "platform/iphlpapi.h"
#include "platform/link_octets.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace platform {

class Platform {
public:
    virtual ~Platform() = default;

    virtual DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) = 0;
    virtual DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) = 0;
    virtual std::optional<LinkOctets> linkOctets(const std::string& description) = 0;

    // Internet connection services: is a connection up, dial the default connection, hang up.
    virtual BOOL InternetGetConnectedState(DWORD* lpdwFlags, DWORD dwReserved) = 0;
    virtual BOOL InternetAutodial(DWORD dwFlags, HWND hwndParent) = 0;
    virtual BOOL InternetAutodialHangup(DWORD dwReserved) = 0;
    // The system's default beep (uType 0).
    virtual BOOL MessageBeep(UINT uType) = 0;
    // A desktop notification in place of the previous one (platform/notifications.h).
    virtual void notify(const std::string& summary, const std::string& body) = 0;

    // Path of the running executable, empty on failure.
    virtual std::string moduleFileName() = 0;
    // The version resource stored in a file (the bytes of its VS_VERSIONINFO block), or nothing.
    virtual std::optional<std::vector<BYTE>> versionResource(const char* fileName) = 0;
};

// The platform in use: the one installed last, or this system's own.
Platform& current();
// This system's own platform; its implementation is the one CMake builds (linux/ today).
Platform& systemPlatform();

// Installs a platform for the lifetime of this object (tests), restoring the previous one after.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform);
    ~ScopedPlatform();
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* previous_;
};

// The bytes a table of that many rows takes: dwNumEntries, then the rows back to back.
template <typename Table, typename Row> ULONG tableSize(std::size_t rows) {
    return static_cast<ULONG>(offsetof(Table, table) + rows * sizeof(Row));
}

// The second half of the two-call protocol shared by every table: answers
// ERROR_INSUFFICIENT_BUFFER with the needed size when the buffer cannot hold the rows,
// otherwise writes dwNumEntries and the rows back to back from byte 4.

template <typename Table, typename Row>
DWORD answerTableQuery(const std::vector<Row>& rows, Table* table, PULONG size) {
    const ULONG needed = tableSize<Table, Row>(rows.size());
    if (table == nullptr || *size < needed) {
        *size = needed;
        return ERROR_INSUFFICIENT_BUFFER;
    }
    table->dwNumEntries = static_cast<DWORD>(rows.size());
    if (!rows.empty()) {
        std::memcpy(reinterpret_cast<BYTE*>(table) + offsetof(Table, table), rows.data(),
                    rows.size() * sizeof(Row));
    }
    return NO_ERROR;
}

// Sorts address rows by ascending address, first octet (lowest byte of dwAddr) most significant.
void sortByAddress(std::vector<MIB_IPADDRROW>& rows);

} // namespace platform
