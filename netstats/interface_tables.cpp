// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/interface_tables.h"

#include <QStringList>
#include <cstring>

namespace {

// The two-call protocol shared by both tables: a size query that must answer
// ERROR_INSUFFICIENT_BUFFER, then the whole table into a buffer of the reported size. Any other
// answer leaves the array empty; there is no retry, the next sample tries again.
template <typename Table, typename Row, typename Operation>
void ReadTable(std::vector<Row>& rows, BOOL order, Operation operation) {
    ULONG size = 0;
    if (operation(nullptr, &size, order) != ERROR_INSUFFICIENT_BUFFER) {
        return;
    }
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<Table*>(buffer.data());
    if (size < sizeof(DWORD) || operation(table, &size, order) != NO_ERROR) {
        return;
    }
    DWORD count = 0;
    std::memcpy(&count, buffer.data(), sizeof count);
    const std::size_t fits = (buffer.size() - offsetof(Table, table)) / sizeof(Row);
    if (count == 0 || count > fits) {
        return;
    }
    rows.resize(count);
    std::memcpy(rows.data(), buffer.data() + offsetof(Table, table), count * sizeof(Row));
}

} // namespace

void ReadInterfaceTable(TMIBIfArray& table) {
    ReadTable<MIB_IFTABLE>(table, FALSE, GetIfTable);
}

void ReadAddressTable(TMibIPAddrArray& table) {
    ReadTable<MIB_IPADDRTABLE>(table, TRUE, GetIpAddrTable);
}

QString FormatMacAddress(const BYTE (&physAddr)[MAXLEN_PHYSADDR], DWORD length) {
    if (length == 0) {
        return QStringLiteral("00-00-00-00-00-00");
    }
    QStringList pairs;
    for (DWORD i = 0; i < length && i < MAXLEN_PHYSADDR; ++i) {
        pairs << QStringLiteral("%1").arg(physAddr[i], 2, 16, QLatin1Char('0')).toUpper();
    }
    return pairs.join(QLatin1Char('-'));
}

QString FormatIpAddress(DWORD addr) {
    BYTE octets[4];
    std::memcpy(octets, &addr, sizeof octets);
    QStringList fields;
    for (const BYTE octet : octets) {
        fields << QStringLiteral("%1").arg(octet, 3);
    }
    return fields.join(QLatin1Char('.'));
}

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 32) {
        ++first;
    }
    while (last > first && text.at(last - 1).unicode() <= 32) {
        --last;
    }
    return text.mid(first, last - first);
}
