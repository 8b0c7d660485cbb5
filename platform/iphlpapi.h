// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Interface and IPv4 address tables, with the published record layouts.

#include "platform/system_types.h"

#include <cstddef>

inline constexpr std::size_t MAX_INTERFACE_NAME_LEN = 256;
inline constexpr std::size_t MAXLEN_PHYSADDR = 8;
inline constexpr std::size_t MAXLEN_IFDESCR = 256;

struct MIB_IFROW {
    char16_t wszName[MAX_INTERFACE_NAME_LEN];
    DWORD dwIndex;
    DWORD dwType;
    DWORD dwMtu;
    DWORD dwSpeed;
    DWORD dwPhysAddrLen;
    BYTE bPhysAddr[MAXLEN_PHYSADDR];
    DWORD dwAdminStatus;
    DWORD dwOperStatus;
    DWORD dwLastChange;
    DWORD dwInOctets;
    DWORD dwInUcastPkts;
    DWORD dwInNUcastPkts;
    DWORD dwInDiscards;
    DWORD dwInErrors;
    DWORD dwInUnknownProtos;
    DWORD dwOutOctets;
    DWORD dwOutUcastPkts;
    DWORD dwOutNUcastPkts;
    DWORD dwOutDiscards;
    DWORD dwOutErrors;
    DWORD dwOutQLen;
    DWORD dwDescrLen;
    BYTE bDescr[MAXLEN_IFDESCR];
};

struct MIB_IFTABLE {
    DWORD dwNumEntries;
    MIB_IFROW table[1];
};

struct MIB_IPADDRROW {
    DWORD dwAddr;
    DWORD dwIndex;
    DWORD dwMask;
    DWORD dwBCastAddr;
    DWORD dwReasmSize;
    unsigned short unused1;
    unsigned short wType;
};

struct MIB_IPADDRTABLE {
    DWORD dwNumEntries;
    MIB_IPADDRROW table[1];
};

using PMIB_IFTABLE = MIB_IFTABLE*;
using PMIB_IPADDRTABLE = MIB_IPADDRTABLE*;
using PULONG = ULONG*;

// Stored tables and files rely on these exact layouts.
static_assert(sizeof(MIB_IFROW) == 860);
static_assert(offsetof(MIB_IFROW, dwIndex) == 512);
static_assert(offsetof(MIB_IFROW, dwPhysAddrLen) == 528);
static_assert(offsetof(MIB_IFROW, bPhysAddr) == 532);
static_assert(offsetof(MIB_IFROW, dwInOctets) == 552);
static_assert(offsetof(MIB_IFROW, dwOutOctets) == 576);
static_assert(offsetof(MIB_IFROW, dwDescrLen) == 600);
static_assert(offsetof(MIB_IFROW, bDescr) == 604);
static_assert(offsetof(MIB_IFTABLE, table) == 4);
static_assert(sizeof(MIB_IPADDRROW) == 24);
static_assert(offsetof(MIB_IPADDRROW, dwAddr) == 0);
static_assert(offsetof(MIB_IPADDRROW, dwIndex) == 4);
static_assert(offsetof(MIB_IPADDRTABLE, table) == 4);

// Both answer ERROR_INSUFFICIENT_BUFFER with the needed size in *pdwSize when the buffer is too
// small (or null), NO_ERROR with the whole table otherwise. bOrder sorts the address table by
// ascending address, first octet most significant.
DWORD GetIfTable(PMIB_IFTABLE pIfTable, PULONG pdwSize, BOOL bOrder);
DWORD GetIpAddrTable(PMIB_IPADDRTABLE pIpAddrTable, PULONG pdwSize, BOOL bOrder);
