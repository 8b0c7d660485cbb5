// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A NETLINK_ROUTE socket kept open between calls, for the kernel's table dumps and its one-message
// answers. Each dump is a fresh snapshot; its messages stay readable until the next request.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
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

    // Asks one question: request is the family header followed by its attributes. Answered: the
    // kernel's message is read by forEachMessage; Refused: the kernel answered with an error.
    enum class Answer { Answered, Refused, Failed };
    Answer ask(std::uint16_t type, std::string_view request);

    // Calls onMessage for each message of the last answer, in the kernel's order.
    void forEachMessage(const std::function<void(const nlmsghdr&)>& onMessage) const;

private:
    // Again: the table changed during the dump. Refused: the kernel answered with an error.
    enum class Outcome { Done, Again, Failed, Refused };

    bool open();
    void close();
    Outcome attempt(std::uint16_t type, std::uint16_t flags, std::string_view request);
    bool send(std::uint16_t type, std::uint16_t flags, std::string_view request);
    Outcome receive();
    Outcome check(std::size_t from, std::size_t to, bool& done) const;

    int fd_ = -1;
    std::uint32_t seq_ = 0;
    std::size_t chunk_ = 32768; // what one read takes; grows when a message does not fit
    std::vector<char> buffer_;  // the last answer, message after message
    std::size_t received_ = 0;
};

} // namespace platform
