// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A NETLINK_ROUTE socket kept open between calls, for the kernel's table dumps. Each dump is a
// fresh snapshot; its messages stay readable until the next dump.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct nlmsghdr;

namespace platform {

class RouteSocket {
public:
    RouteSocket() = default;
    ~RouteSocket();
    RouteSocket(const RouteSocket&) = delete;
    RouteSocket& operator=(const RouteSocket&) = delete;

    // Asks for a whole table: type is RTM_GETLINK, RTM_GETADDR, ...; header is the request's
    // family header (ifinfomsg, ifaddrmsg, ...). False when the kernel did not answer it.
    bool dump(std::uint16_t type, const void* header, std::size_t headerSize);

    // Calls onMessage for each message of the last dump's table, in the kernel's order.
    void forEachMessage(const std::function<void(const nlmsghdr&)>& onMessage) const;

private:
    // Again: the table changed during the dump. Refused: the kernel answered with an error.
    enum class Outcome { Done, Again, Failed, Refused };

    bool open();
    void close();
    Outcome attempt(std::uint16_t type, const void* header, std::size_t headerSize);
    bool send(std::uint16_t type, const void* header, std::size_t headerSize);
    Outcome receive();
    Outcome check(std::size_t from, std::size_t to, bool& done) const;

    int fd_ = -1;
    std::uint32_t seq_ = 0;
    std::size_t chunk_ = 32768; // what one read takes; grows when a message does not fit
    std::vector<char> buffer_;  // the last dump, message after message
    std::size_t received_ = 0;
};

} // namespace platform
