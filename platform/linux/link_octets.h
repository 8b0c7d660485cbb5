// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A link's 64-bit octet counters from /sys/class/net, found by the description the interface table
// gives it.

#include "platform/link_octets.h"

namespace platform {

// The link's name at the head of its description; empty when it cannot be one.
std::string linkNameOf(const std::string& description);
std::optional<LinkOctets> readLinkOctets(const std::string& description);

} // namespace platform
