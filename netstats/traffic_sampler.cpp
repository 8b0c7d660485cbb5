// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/traffic_sampler.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kMaxRate = 2147483647; // the grid's rate cells must read as signed 32-bit
constexpr std::uint32_t kWrapLimit = 0x80000000u;
const QString kNoAverage = QStringLiteral("  --  ");
const QString kNotFound = QStringLiteral("!not_found!");

// Octets since the previous sample. A counter below its previous value either wrapped past
// 2^32 (same interface, small modular step) or restarted from zero with its interface (a
// reconnected link): then the counter itself is what was transferred since.
std::uint32_t Growth(std::uint32_t now, std::uint32_t last, bool sameInterface) {
    const std::uint32_t delta = now - last;
    if (now < last && !(sameInterface && delta < kWrapLimit)) {
        return std::min(now, kMaxRate);
    }
    return std::min(delta, kMaxRate);
}

// One direction's figures: rate, running total, samples with traffic, maximum.
void Accumulate(std::uint32_t rate, std::uint64_t& total, std::uint32_t& samples,
                std::uint32_t& max) {
    total += rate;
    if (rate > 0) {
        ++samples;
    }
    max = std::max(max, rate);
}

QString Average(std::uint64_t total, std::uint32_t samples) {
    return samples == 0 ? kNoAverage : QString::number(total / samples);
}

QString Description(const MIB_IFROW& row) {
    // dwDescrLen counts the terminating NUL; 0 counts nothing at all.
    const DWORD counted = std::min<DWORD>(row.dwDescrLen, MAXLEN_IFDESCR);
    const DWORD length = counted == 0 ? 0 : counted - 1;
    return TrimBlanks(QString::fromLocal8Bit(reinterpret_cast<const char*>(row.bDescr),
                                             static_cast<qsizetype>(length)));
}

} // namespace

void TrafficSampler::CaptureMIBData(bool flag) {
    TMIBIfArray table;
    ReadInterfaceTable(table);
    if (flag) {
        InitGrid(table);
    } else {
        Data2Grid(table);
    }
}

void TrafficSampler::InitGrid(const TMIBIfArray& table) {
    const int n = static_cast<int>(table.size());
    if (n == 0) {
        return;
    }
    sgmib_.SetRowCount(n + 2);
    IfStats_.assign(table.size(), TStatRec{});
    for (int k = 0; k < n; ++k) {
        const MIB_IFROW& row = table[k];
        TStatRec& rec = IfStats_[k];
        rec.LastInOctets = row.dwInOctets;
        rec.LastOutOctets = row.dwOutOctets;
        rec.Index = row.dwIndex;
        sgmib_.SetCell(Adapter, k + 1, Description(row));
        sgmib_.SetCell(MacAddress, k + 1, FormatMacAddress(row.bPhysAddr, row.dwPhysAddrLen));
        sgmib_.SetCell(IpAddress, k + 1, GetIPFromIFIndex(static_cast<int>(row.dwIndex)));
    }
}

void TrafficSampler::Data2Grid(const TMIBIfArray& table) {
    // Interfaces that appeared during the connection have no baseline: skipped until the next
    // disconnected fill.
    const std::size_t n = std::min(table.size(), IfStats_.size());
    for (std::size_t k = 0; k < n; ++k) {
        const MIB_IFROW& row = table[k];
        TStatRec& rec = IfStats_[k];
        const bool sameInterface = rec.Index == row.dwIndex;
        rec.InRate = Growth(row.dwInOctets, rec.LastInOctets, sameInterface);
        rec.OutRate = Growth(row.dwOutOctets, rec.LastOutOctets, sameInterface);
        Accumulate(rec.InRate, rec.InTotal, rec.InSamples, rec.InMax);
        Accumulate(rec.OutRate, rec.OutTotal, rec.OutSamples, rec.OutMax);
        rec.LastInOctets = row.dwInOctets;
        rec.LastOutOctets = row.dwOutOctets;
        rec.Index = row.dwIndex;

        const int gridRow = static_cast<int>(k) + 1;
        sgmib_.SetCell(InRate, gridRow, QString::number(rec.InRate));
        sgmib_.SetCell(InMax, gridRow, QString::number(rec.InMax));
        sgmib_.SetCell(InAverage, gridRow, Average(rec.InTotal, rec.InSamples));
        sgmib_.SetCell(OutRate, gridRow, QString::number(rec.OutRate));
        sgmib_.SetCell(OutMax, gridRow, QString::number(rec.OutMax));
        sgmib_.SetCell(OutAverage, gridRow, Average(rec.OutTotal, rec.OutSamples));
    }
}

QString TrafficSampler::GetIPFromIFIndex(int index) const {
    TMibIPAddrArray addresses;
    ReadAddressTable(addresses);
    const auto found =
        std::find_if(addresses.begin(), addresses.end(), [index](const MIB_IPADDRROW& row) {
            return row.dwIndex == static_cast<DWORD>(index);
        });
    return found == addresses.end() ? kNotFound : FormatIpAddress(found->dwAddr);
}
