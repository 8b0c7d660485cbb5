// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/link_octets.h"

#include <net/if.h>

namespace platform {

// The description of a link starts with its name, then " - " (link_description.cpp).
std::string linkNameOf(const std::string& description) {
    const std::string name = description.substr(0, description.find(" - "));
    const bool valid = !name.empty() && name.size() < IFNAMSIZ && name != "." && name != ".." &&
                       name.find('/') == std::string::npos;
    return valid ? name : std::string();
}

} // namespace platform
