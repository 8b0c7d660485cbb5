// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the attributes of rtnetlink messages: each is a view into the dump that holds it.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <string_view>

namespace platform {

inline std::string_view payload(const rtattr& attribute) {
    return {static_cast<const char*>(RTA_DATA(&attribute)), RTA_PAYLOAD(&attribute)};
}

inline std::string_view cString(std::string_view data) {
    return data.substr(0, data.find('\0'));
}

// Copied out: attributes are only 4-byte aligned.
template <typename T> T scalar(std::string_view data) {
    T value{};
    std::memcpy(&value, data.data(), std::min(sizeof value, data.size()));
    return value;
}

template <typename Visit> void forEachAttribute(const rtattr* attribute, int length, Visit visit) {
    for (; RTA_OK(attribute, length); attribute = RTA_NEXT(attribute, length)) {
        visit(*attribute);
    }
}

// A message of that type long enough to hold its family header.
template <typename Header> bool holds(const nlmsghdr& message, std::uint16_t type) {
    return message.nlmsg_type == type && message.nlmsg_len >= NLMSG_LENGTH(sizeof(Header));
}

} // namespace platform
