// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/link_octets.h"

#include "platform/failure.h"
#include "platform/file_io.h"

#include <charconv>
#include <net/if.h>

namespace platform {

namespace {

// A counter file of /sys holds a decimal number and a line end.
std::optional<std::uint64_t> readCounter(const std::string& path) {
    constexpr std::size_t kLimit = 32;
    std::string text;
    try {
        text = readFile(path, kLimit);
    } catch (const Failure&) {
        return std::nullopt;
    }
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end != text.data() ? std::optional(value) : std::nullopt;
}

} // namespace

// The description of a link starts with its name, then " - " (link_description.cpp).
std::string linkNameOf(const std::string& description) {
    const std::string name = description.substr(0, description.find(" - "));
    const bool valid = !name.empty() && name.size() < IFNAMSIZ && name != "." && name != ".." &&
                       name.find('/') == std::string::npos;
    return valid ? name : std::string();
}

std::optional<LinkOctets> readLinkOctets(const std::string& description) {
    const std::string name = linkNameOf(description);
    if (name.empty()) {
        return std::nullopt;
    }
    const std::string statistics = "/sys/class/net/" + name + "/statistics/";
    const auto received = readCounter(statistics + "rx_bytes");
    const auto sent = readCounter(statistics + "tx_bytes");
    if (!received || !sent) {
        return std::nullopt;
    }
    return LinkOctets{name, *received, *sent};
}

} // namespace platform
