// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The links that another part of the system reports metered, by interface name: what the network
// tables count as WAN links besides the dial-up and cellular ones.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class MeteredLinks {
public:
    virtual ~MeteredLinks() = default;
    // Changes whenever the names change, so that a reader asks for them only then. Any thread.
    virtual std::uint64_t generation() const = 0;
    virtual std::vector<std::string> names() const = 0;
};

} // namespace platform
