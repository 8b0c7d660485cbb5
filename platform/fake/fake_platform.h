// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A platform that tests script: interface rows with their counters, addresses, the connection
// state, the executable's path and version resources, and the failures of the two-call protocol;
// it counts the dialling, hang-up and beep requests and keeps the notifications.

#include "platform/platform.h"

#include <functional>
#include <map>
#include <string>

namespace platform {

class FakePlatform : public Platform {
public:
    std::vector<MIB_IFROW> interfaces;
    std::vector<MIB_IPADDRROW> addresses;

    // What a size query answers instead of ERROR_INSUFFICIENT_BUFFER, when set.
    std::optional<DWORD> ifSizeQueryAnswer;
    std::optional<DWORD> addrSizeQueryAnswer;
    // Runs after a size query has been answered, before the table is asked for: a test can make
    // the table grow between the two calls.
    std::function<void()> afterSizeQuery;

    // The 64-bit counters of each link, by the description the interface table gives it.
    std::map<std::string, LinkOctets> linkCounters;

    int ifTableCalls = 0;
    int addrTableCalls = 0;

    // The connection state the system reports, and what the program asked of the system.
    bool connected = false;
    int autodialCalls = 0;
    HWND autodialParent = nullptr;
    int hangupCalls = 0;
    int beeps = 0;

    // The notifications shown, summary then body; without a service they go to the fallback.
    std::vector<std::pair<std::string, std::string>> notifications;
    bool notificationService = true;

    std::string exePath;
    std::map<std::string, std::vector<BYTE>> versionResources;

    // Adds an interface row; the description is stored with its terminating NUL.
    MIB_IFROW& addInterface(DWORD index, const std::string& description,
                            std::vector<BYTE> physAddr = {}, DWORD inOctets = 0,
                            DWORD outOctets = 0);
    // Adds an address given as its four octets, first octet first.
    void addAddress(DWORD index, BYTE a, BYTE b, BYTE c, BYTE d);
    // The row of the interface with this index; it must exist.
    MIB_IFROW& row(DWORD index);

    DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) override;
    DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) override;
    std::optional<LinkOctets> linkOctets(const std::string& description) override;
    BOOL InternetGetConnectedState(DWORD* lpdwFlags, DWORD dwReserved) override;
    BOOL InternetAutodial(DWORD dwFlags, HWND hwndParent) override;
    BOOL InternetAutodialHangup(DWORD dwReserved) override;
    BOOL MessageBeep(UINT uType) override;
    void notify(const std::string& summary, const std::string& body) override;
    std::string moduleFileName() override { return exePath; }
    std::optional<std::vector<BYTE>> versionResource(const char* fileName) override;

private:
    template <typename Table, typename Row>
    DWORD answer(const std::vector<Row>& rows, Table* table, PULONG size,
                 const std::optional<DWORD>& sizeQueryAnswer);
};

} // namespace platform
