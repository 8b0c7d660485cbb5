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
    const std::string_view request(static_cast<const char*>(header), headerSize);
    for (int i = 1; i <= kAttempts; ++i) {
        const Outcome outcome = attempt(type, NLM_F_REQUEST | NLM_F_DUMP, request);
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

// An error is the whole answer to one question: the socket stays clean for the next.
RouteSocket::Answer RouteSocket::ask(std::uint16_t type, std::string_view request) {
    switch (attempt(type, NLM_F_REQUEST, request)) {
    case Outcome::Done:
        return Answer::Answered;
    case Outcome::Refused:
        return Answer::Refused;
    default:
        close();
        return Answer::Failed;
    }
}

RouteSocket::Outcome RouteSocket::attempt(std::uint16_t type, std::uint16_t flags,
                                          std::string_view request) {
    received_ = 0;
    if (!open() || !send(type, flags, request)) {
        return Outcome::Failed;
    }
    return receive();
}

bool RouteSocket::send(std::uint16_t type, std::uint16_t flags, std::string_view request) {
    std::vector<char> packet(NLMSG_SPACE(request.size()));
    auto* message = reinterpret_cast<nlmsghdr*>(packet.data());
    message->nlmsg_len = static_cast<std::uint32_t>(NLMSG_LENGTH(request.size()));
    message->nlmsg_type = type;
    message->nlmsg_flags = flags;
    message->nlmsg_seq = ++seq_;
    std::memcpy(NLMSG_DATA(message), request.data(), request.size());
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    return sendto(fd_, packet.data(), message->nlmsg_len, 0,
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

// Checks the messages of one read; done when the answer's last message is among them: a dump's
// end, or a message that is not part of a dump.
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
        done =
            done || message->nlmsg_type == NLMSG_DONE || (message->nlmsg_flags & NLM_F_MULTI) == 0;
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
