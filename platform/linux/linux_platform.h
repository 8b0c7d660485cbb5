// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The platform as Linux provides it.

#include "platform/linux/beeper.h"
#include "platform/linux/desktop_notifications.h"
#include "platform/linux/net_tables.h"
#include "platform/linux/network_manager.h"
#include "platform/platform.h"

namespace platform {

class LinuxPlatform : public Platform {
public:
    DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder) override;
    DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) override;
    std::optional<LinkOctets> linkOctets(const std::string& description) override;
    BOOL InternetGetConnectedState(DWORD* lpdwFlags, DWORD dwReserved) override;
    BOOL InternetAutodial(DWORD dwFlags, HWND hwndParent) override;
    BOOL InternetAutodialHangup(DWORD dwReserved) override;
    BOOL MessageBeep(UINT uType) override;
    void notify(const std::string& summary, const std::string& body) override;
    std::string moduleFileName() override;
    std::optional<std::vector<BYTE>> versionResource(const char* fileName) override;

private:
    NetworkManager networkManager_; // first: the tables read what it reports
    NetTables netTables_{networkManager_};
    Beeper beeper_;
    DesktopNotifications notifications_;
};

} // namespace platform
