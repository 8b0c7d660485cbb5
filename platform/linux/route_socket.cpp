// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/route_socket.h"

#include <cerrno>
#include <cstring>
#include <linux/netlink.h>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

// A dump that failed, or that the kernel marks as interrupted (the table changed meanwhile), is
// asked again; an interrupted last attempt's table is taken as it is. A refusal is final.
constexpr int kAttempts = 4;

const nlmsghdr* messageAt(const std::vector<char>& buffer, std::size_t offset) {
    return reinterpret_cast<const nlmsghdr*>(buffer.data() + offset);
}

} // namespace

RouteSocket::~RouteSocket() {
    close();
}

bool RouteSocket::open() {
    if (fd_ >= 0) {
        return true;
    }
    fd_ = socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    return fd_ >= 0;
}

void RouteSocket::close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

bool RouteSocket::dump(std::uint16_t type, const void* header, std::size_t headerSize) {
    for (int i = 1; i <= kAttempts; ++i) {
        const Outcome outcome = attempt(type, header, headerSize);
        if (outcome == Outcome::Done || (outcome == Outcome::Again && i == kAttempts)) {
            return true;
        }
        if (outcome != Outcome::Again) {
            // Whatever the kernel still had to say would be taken for the next answer.
            close();
        }
        if (outcome == Outcome::Refused) {
            return false;
        }
    }
    return false;
}

RouteSocket::Outcome RouteSocket::attempt(std::uint16_t type, const void* header,
                                          std::size_t headerSize) {
    received_ = 0;
    if (!open() || !send(type, header, headerSize)) {
        return Outcome::Failed;
    }
    return receive();
}

bool RouteSocket::send(std::uint16_t type, const void* header, std::size_t headerSize) {
    std::vector<char> request(NLMSG_SPACE(headerSize));
    auto* message = reinterpret_cast<nlmsghdr*>(request.data());
    message->nlmsg_len = static_cast<std::uint32_t>(NLMSG_LENGTH(headerSize));
    message->nlmsg_type = type;
    message->nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    message->nlmsg_seq = ++seq_;
    std::memcpy(NLMSG_DATA(message), header, headerSize);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return sendto(fd_, request.data(), message->nlmsg_len, 0,
                  reinterpret_cast<const sockaddr*>(&kernel),
                  sizeof kernel) == static_cast<ssize_t>(message->nlmsg_len);
}

// Reads the answer into the buffer until its last message. The kernel fills one read with as many
// whole messages as the reader's buffer allowed the previous time, up to 32 KiB.
RouteSocket::Outcome RouteSocket::receive() {
    bool done = false;
    Outcome outcome = Outcome::Done;
    while (!done) {
        if (buffer_.size() < received_ + chunk_) {
            buffer_.resize(received_ + chunk_);
        }
        const ssize_t length = recv(fd_, buffer_.data() + received_, chunk_, MSG_TRUNC);
        if (length < 0 && errno == EINTR) {
            continue;
        }
        if (length <= 0) {
            return Outcome::Failed;
        }
        if (static_cast<std::size_t>(length) > chunk_) {
            // The kernel dropped the part that did not fit: ask again with room for it.
            chunk_ = static_cast<std::size_t>(length);
            return Outcome::Failed;
        }
        const Outcome part = check(received_, received_ + length, done);
        if (part == Outcome::Failed || part == Outcome::Refused) {
            return part;
        }
        outcome = part == Outcome::Again ? part : outcome;
        received_ += static_cast<std::size_t>(length);
    }
    return outcome;
}

// Checks the messages of one read; done when the dump's last message is among them.
RouteSocket::Outcome RouteSocket::check(std::size_t from, std::size_t to, bool& done) const {
    Outcome outcome = Outcome::Done;
    auto remaining = static_cast<int>(to - from);
    for (const nlmsghdr* message = messageAt(buffer_, from); NLMSG_OK(message, remaining);
         message = NLMSG_NEXT(message, remaining)) {
        if (message->nlmsg_seq != seq_) {
            return Outcome::Failed;
        }
        if (message->nlmsg_type == NLMSG_ERROR) {
            return Outcome::Refused;
        }
        if ((message->nlmsg_flags & NLM_F_DUMP_INTR) != 0) {
            outcome = Outcome::Again;
        }
        done = done || message->nlmsg_type == NLMSG_DONE;
    }
    return outcome;
}

void RouteSocket::forEachMessage(const std::function<void(const nlmsghdr&)>& onMessage) const {
    auto remaining = static_cast<int>(received_);
    for (const nlmsghdr* message = messageAt(buffer_, 0); NLMSG_OK(message, remaining);
         message = NLMSG_NEXT(message, remaining)) {
        if (message->nlmsg_type >= NLMSG_MIN_TYPE) {
            onMessage(*message);
        }
    }
}

} // namespace platform
