// SPDX-License-Identifier: GPL-3.0-or-later
// A tun device of link type PPP, kept attached so that its link has a carrier, for the benchmarks'
// connected state. Given the link's local and peer addresses, it also makes traffic: ten times a
// second an ICMP echo request of 1 KB from the peer arrives through the link, and the kernel's
// replies are read from it. Runs until SIGTERM or SIGINT; the device goes with it.
// Usage: ppp_link NAME [LOCAL PEER]

// Before the kernel's headers, which then leave out what it already declares.
#include <net/if.h>

#include <arpa/inet.h>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/if_arp.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kIntervalMs = 100;
constexpr std::size_t kPayload = 1000;

volatile std::sig_atomic_t stopping = 0;

void stop(int) {
    stopping = 1;
}

std::uint16_t checksum(const std::uint8_t* data, std::size_t size) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        sum += static_cast<std::uint32_t>(data[i] << 8 | data[i + 1]);
    }
    if (size % 2 != 0) {
        sum += static_cast<std::uint32_t>(data[size - 1] << 8);
    }
    while (sum >> 16 != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

void putChecksum(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value >> 8);
    at[1] = static_cast<std::uint8_t>(value & 0xFF);
}

// An IPv4 ICMP echo request from peer to local, numbered seq.
std::vector<std::uint8_t> echoRequest(in_addr local, in_addr peer, std::uint16_t seq) {
    std::vector<std::uint8_t> packet(20 + 8 + kPayload, 0x5A);
    std::uint8_t* ip = packet.data();
    ip[0] = 0x45; // version 4, 20-byte header
    ip[1] = 0;
    putChecksum(ip + 2, static_cast<std::uint16_t>(packet.size())); // total length
    putChecksum(ip + 4, seq);                                       // identification
    ip[6] = ip[7] = 0;
    ip[8] = 64; // TTL
    ip[9] = 1;  // ICMP
    ip[10] = ip[11] = 0;
    std::memcpy(ip + 12, &peer, 4);
    std::memcpy(ip + 16, &local, 4);
    putChecksum(ip + 10, checksum(ip, 20));
    std::uint8_t* icmp = ip + 20;
    icmp[0] = 8; // echo request
    icmp[1] = 0;
    icmp[2] = icmp[3] = 0;
    putChecksum(icmp + 4, 0xFCB0); // identifier
    putChecksum(icmp + 6, seq);
    putChecksum(icmp + 2, checksum(icmp, 8 + kPayload));
    return packet;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: %s NAME [LOCAL PEER]\n", argv[0]);
        return 2;
    }
    in_addr local{};
    in_addr peer{};
    const bool traffic = argc == 4;
    if (traffic &&
        (inet_pton(AF_INET, argv[2], &local) != 1 || inet_pton(AF_INET, argv[3], &peer) != 1)) {
        std::fprintf(stderr, "bad address\n");
        return 2;
    }
    const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request{};
    std::strncpy(request.ifr_name, argv[1], IFNAMSIZ - 1);
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    if (fd < 0 || ioctl(fd, TUNSETIFF, &request) != 0 ||
        ioctl(fd, TUNSETLINK, static_cast<unsigned long>(ARPHRD_PPP)) != 0) {
        std::perror("tun");
        return 1;
    }
    // No SA_RESTART: a signal ends the wait in poll.
    struct sigaction action {};
    action.sa_handler = stop;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);

    std::array<std::uint8_t, 65536> buffer{};
    std::uint16_t seq = 0;
    while (stopping == 0) {
        pollfd wait{fd, POLLIN, 0};
        const int ready = poll(&wait, 1, kIntervalMs);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (ready > 0) {
            // Whatever the kernel sends through the link is read, and so counted as sent.
            if (read(fd, buffer.data(), buffer.size()) < 0 && errno != EINTR && errno != EAGAIN) {
                break;
            }
        } else if (ready == 0 && traffic) {
            const std::vector<std::uint8_t> packet = echoRequest(local, peer, ++seq);
            // Refused while the link is down: the next interval tries again.
            const ssize_t written = write(fd, packet.data(), packet.size());
            static_cast<void>(written);
        }
    }
    close(fd);
    return 0;
}
