// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The link an interface table description names.

#include "platform/link_octets.h"

namespace platform {

// The link's name at the head of its description; empty when it cannot be one.
std::string linkNameOf(const std::string& description);

} // namespace platform
