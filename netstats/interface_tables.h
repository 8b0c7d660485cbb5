// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Snapshots of the system's interface and IPv4 address tables, and the text forms the detail grid
// shows of a hardware address and an IPv4 address.

#include "platform/iphlpapi.h"

#include <QString>
#include <vector>

using TMIBIfArray = std::vector<MIB_IFROW>;
using TMibIPAddrArray = std::vector<MIB_IPADDRROW>;

// Fill an empty array with the current rows; a failed read leaves it empty.
void ReadInterfaceTable(TMIBIfArray& table);
void ReadAddressTable(TMibIPAddrArray& table);

// "00-0C-29-1A-2B-3C"; a length of 0 gives "00-00-00-00-00-00".
QString FormatMacAddress(const BYTE (&physAddr)[MAXLEN_PHYSADDR], DWORD length);
// Each octet right-aligned in three characters: always 15 characters.
QString FormatIpAddress(DWORD addr);
// The text without the blanks and control characters (codes 0 to 32) at either end.
QString TrimBlanks(const QString& text);
