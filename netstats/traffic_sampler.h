// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the interface table into the detail grid's rows: the disconnected fill lists every
// interface and takes fresh baselines, the connected fill writes rates, maxima and averages.

#include "netstats/detail_grid.h"
#include "netstats/interface_tables.h"

#include <cstdint>

// One interface's statistics since the last disconnected fill. Rates are octets per sample.
struct TStatRec {
    std::uint32_t InSamples = 0; // samples whose incoming rate was above 0
    std::uint32_t OutSamples = 0;
    std::uint32_t LastInOctets = 0; // the counters at the previous sample
    std::uint32_t LastOutOctets = 0;
    std::uint64_t InTotal = 0; // 64-bit: a long connection must not overflow the sums
    std::uint64_t OutTotal = 0;
    std::uint32_t InRate = 0; // at most 2147483647, so the grid's cells read as signed 32-bit
    std::uint32_t OutRate = 0;
    std::uint32_t InMax = 0;
    std::uint32_t OutMax = 0;
    std::uint32_t Index = 0; // dwIndex of the interface the baseline was taken from
};

using TStatArr = std::vector<TStatRec>;

class TrafficSampler {
public:
    explicit TrafficSampler(DetailGrid& grid) : sgmib_(grid) {}

    // flag is true while disconnected. Reads the interface table once and fills the grid.
    void CaptureMIBData(bool flag);
    void InitGrid(const TMIBIfArray& table);
    void Data2Grid(const TMIBIfArray& table);
    // The first IPv4 address the sorted address table lists for the interface, or "!not_found!".
    QString GetIPFromIFIndex(int index) const;

    const TStatArr& IfStats() const { return IfStats_; }

private:
    DetailGrid& sgmib_;
    TStatArr IfStats_;
};
