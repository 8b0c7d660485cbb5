// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A link's octet counters as the system keeps them, 64 bits wide: a long connection's gigabytes
// do not wrap as the interface table's 32-bit rows do.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

struct LinkOctets {
    std::string name; // the link's name, as the system calls it
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
};

// The counters of the interface the interface table describes with this text (its bDescr), or
// nothing when no such link exists now.
std::optional<LinkOctets> linkOctets(const std::string& description);

} // namespace platform
