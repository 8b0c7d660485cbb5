// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/table_watch.h"

#include <cerrno>
#include <cstdint>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr unsigned bit(KeptTable table) {
    return 1u << static_cast<unsigned>(table);
}

constexpr unsigned kAllTables =
    bit(KeptTable::Links) | bit(KeptTable::Addresses) | bit(KeptTable::Routes);

// An announcement is one small message; a larger read is cut, and taken as doubt.
constexpr std::size_t kReadSize = 32768;

// The tables an announcement makes stale. The kernel drops IPv4 routes, or marks their next hops
// dead or without carrier, when their link goes down or loses its carrier, and announces only the
// link's change; routes that go with an address are not announced by every kernel either.
unsigned staleAfter(std::uint16_t type) {
    switch (type) {
    case RTM_NEWLINK:
    case RTM_DELLINK:
        return bit(KeptTable::Links) | bit(KeptTable::Routes);
    case RTM_NEWADDR:
    case RTM_DELADDR:
        return bit(KeptTable::Addresses) | bit(KeptTable::Routes);
    case RTM_NEWROUTE:
    case RTM_DELROUTE:
    case RTM_NEWRULE:
    case RTM_DELRULE:
        return bit(KeptTable::Routes);
    default:
        return kAllTables;
    }
}

} // namespace

TableWatch::TableWatch() : stale_(kAllTables), buffer_(kReadSize) {
    open();
}

TableWatch::~TableWatch() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool TableWatch::open() {
    fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    sockaddr_nl groups{};
    groups.nl_family = AF_NETLINK;
    groups.nl_groups =
        RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE | RTMGRP_IPV4_RULE;
    // The IPv6 rules have no group bit of the old kind.
    const int ipv6Rules = RTNLGRP_IPV6_RULE;
    if (fd_ >= 0 &&
        (bind(fd_, reinterpret_cast<const sockaddr*>(&groups), sizeof groups) != 0 ||
         setsockopt(fd_, SOL_NETLINK, NETLINK_ADD_MEMBERSHIP, &ipv6Rules, sizeof ipv6Rules) != 0)) {
        close(fd_);
        fd_ = -1;
    }
    return fd_ >= 0;
}

void TableWatch::drain() {
    // A socket opened only now announces nothing of what came before.
    if (fd_ < 0) {
        markAllStale();
        if (!open()) {
            return;
        }
    }
    for (;;) {
        const ssize_t length = recv(fd_, buffer_.data(), buffer_.size(), MSG_DONTWAIT | MSG_TRUNC);
        if (length >= 0) {
            note(static_cast<std::size_t>(length));
        } else if (errno == ENOBUFS) {
            // The socket's buffer overflowed: announcements were lost. What is still queued
            // is read all the same, to make room.
            markAllStale();
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                markAllStale();
            }
            return;
        }
    }
}

// Marks what the messages of one read announce.
void TableWatch::note(std::size_t length) {
    if (length > buffer_.size()) {
        markAllStale();
        return;
    }
    auto remaining = static_cast<int>(length);
    for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer_.data());
         NLMSG_OK(message, remaining); message = NLMSG_NEXT(message, remaining)) {
        stale_ |= staleAfter(message->nlmsg_type);
    }
    if (remaining != 0) {
        markAllStale();
    }
}

bool TableWatch::stale(KeptTable table) const {
    return (stale_ & bit(table)) != 0;
}

void TableWatch::markStale(KeptTable table) {
    stale_ |= bit(table);
}

void TableWatch::markFresh(KeptTable table) {
    stale_ &= ~bit(table);
}

void TableWatch::markAllStale() {
    stale_ = kAllTables;
}

} // namespace platform
