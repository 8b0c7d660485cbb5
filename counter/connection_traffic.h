// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The octets a connection carried, from its link's 64-bit counters read at each connected tick:
// a dial-up link vanishes as it ends, so the last reading is what the connection is recorded with.

#include "platform/link_octets.h"

#include <QString>
#include <cstdint>
#include <optional>

class ConnectionTraffic {
public:
    // Reads the counters of the link the description names. The first reading of a connection is
    // its starting point; a link that came back with new counters (redialled between two ticks)
    // adds them whole, since a new link counts from zero.
    void Sample(const QString& description);
    void Clear() { *this = {}; }

    const QString& InterfaceName() const { return interfaceName_; }
    std::uint64_t Received() const { return received_; }
    std::uint64_t Sent() const { return sent_; }

private:
    QString interfaceName_;
    std::uint64_t received_ = 0;
    std::uint64_t sent_ = 0;
    std::optional<platform::LinkOctets> last_;
};
