// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fake/fake_platform.h"

#include "platform/notifications.h"

#include <algorithm>
#include <stdexcept>

namespace platform {

MIB_IFROW& FakePlatform::addInterface(DWORD index, const std::string& description,
                                      std::vector<BYTE> physAddr, DWORD inOctets, DWORD outOctets) {
    MIB_IFROW row{};
    row.dwIndex = index;
    row.dwPhysAddrLen = static_cast<DWORD>(std::min(physAddr.size(), MAXLEN_PHYSADDR));
    std::copy_n(physAddr.begin(), row.dwPhysAddrLen, row.bPhysAddr);
    row.dwInOctets = inOctets;
    row.dwOutOctets = outOctets;
    const std::size_t length = std::min(description.size(), MAXLEN_IFDESCR - 1);
    std::copy_n(description.begin(), length, row.bDescr);
    row.dwDescrLen = static_cast<DWORD>(length + 1);
    interfaces.push_back(row);
    return interfaces.back();
}

void FakePlatform::addAddress(DWORD index, BYTE a, BYTE b, BYTE c, BYTE d) {
    MIB_IPADDRROW row{};
    const BYTE octets[4] = {a, b, c, d};
    std::memcpy(&row.dwAddr, octets, 4);
    row.dwIndex = index;
    addresses.push_back(row);
}

MIB_IFROW& FakePlatform::row(DWORD index) {
    const auto found = std::find_if(interfaces.begin(), interfaces.end(),
                                    [index](const MIB_IFROW& r) { return r.dwIndex == index; });
    if (found == interfaces.end()) {
        throw std::out_of_range("no fake interface with that index");
    }
    return *found;
}

template <typename Table, typename Row>
DWORD FakePlatform::answer(const std::vector<Row>& rows, Table* table, PULONG size,
                           const std::optional<DWORD>& sizeQueryAnswer) {
    const bool sizeQuery = table == nullptr || *size == 0;
    if (sizeQuery && sizeQueryAnswer) {
        return *sizeQueryAnswer;
    }
    const DWORD result = answerTableQuery(rows, table, size);
    if (sizeQuery && afterSizeQuery) {
        afterSizeQuery();
    }
    return result;
}

DWORD FakePlatform::GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL) {
    ++ifTableCalls;
    return answer(interfaces, pIfTable, pdwSize, ifSizeQueryAnswer);
}

std::optional<LinkOctets> FakePlatform::linkOctets(const std::string& description) {
    const auto found = linkCounters.find(description);
    return found == linkCounters.end() ? std::nullopt : std::optional(found->second);
}

DWORD FakePlatform::GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder) {
    ++addrTableCalls;
    std::vector<MIB_IPADDRROW> rows = addresses;
    if (bOrder) {
        sortByAddress(rows);
    }
    return answer(rows, pIpAddrTable, pdwSize, addrSizeQueryAnswer);
}

BOOL FakePlatform::InternetGetConnectedState(DWORD* lpdwFlags, DWORD) {
    if (lpdwFlags != nullptr) {
        *lpdwFlags = 0;
    }
    return connected ? TRUE : FALSE;
}

BOOL FakePlatform::InternetAutodial(DWORD, HWND hwndParent) {
    ++autodialCalls;
    autodialParent = hwndParent;
    return TRUE;
}

BOOL FakePlatform::InternetAutodialHangup(DWORD) {
    ++hangupCalls;
    return TRUE;
}

BOOL FakePlatform::MessageBeep(UINT) {
    ++beeps;
    return TRUE;
}

void FakePlatform::notify(const std::string& summary, const std::string& body) {
    if (notificationService) {
        notifications.emplace_back(summary, body);
    } else {
        showFallbackNotification(summary, body);
    }
}

std::optional<std::vector<BYTE>> FakePlatform::versionResource(const char* fileName) {
    const auto found = versionResources.find(fileName);
    if (found == versionResources.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace platform
