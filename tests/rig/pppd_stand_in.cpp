// SPDX-License-Identifier: GPL-3.0-or-later
// Plays pppd for the rig, on a kernel without PPP: both ends of a dial-up line as tun devices,
// joined by a Unix packet socket that stands for the modem line.
//
//   pppd call PEER        (as pon starts it) reads /etc/ppp/peers/PEER: the line's socket (a line
//                         starting with '/'), "unit N", "LOCAL:REMOTE", "defaultroute"; brings up
//                         pppN with link type PPP, relays until SIGTERM (poff) or until the other
//                         end hangs up, then removes the device.
//   pppd cellular SOCKET LOCAL REMOTE
//                         the same call as a cellular modem's link: wwan0, link type raw IP, with
//                         the default route; SIGTERM hangs up.
//   pppd isp SOCKET LOCAL REMOTE
//                         the provider's end, run in a network namespace of its own: tun isp0,
//                         answers one call at a time; SIGUSR1 drops the current call, SIGTERM ends.
//   pppd vpn DEVICE LOCAL REMOTE
//                         a VPN daemon's tunnel: a tun device of no link type of its own, up and
//                         addressed, held open (what it sends is dropped) until SIGTERM.

#include <net/if.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <linux/if_arp.h>
#include <linux/if_tun.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

int openTun(const std::string& name, int linkType) {
    const int fd = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq request{};
    std::strncpy(request.ifr_name, name.c_str(), IFNAMSIZ - 1);
    request.ifr_flags = IFF_TUN | IFF_NO_PI;
    if (fd < 0 || ioctl(fd, TUNSETIFF, &request) != 0 ||
        (linkType >= 0 && ioctl(fd, TUNSETLINK, static_cast<unsigned long>(linkType)) != 0)) {
        std::perror(name.c_str());
        std::exit(1);
    }
    return fd;
}

void configure(const std::string& device, const std::string& local, const std::string& remote) {
    const std::string command = "ip link set " + device + " up && ip addr add " + local + " peer " +
                                remote + " dev " + device;
    if (std::system(command.c_str()) != 0) {
        std::exit(1);
    }
}

sockaddr_un socketAddress(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return address;
}

// The signals that end a call arrive as reads, so the relay loop alone decides what to do.
int signalsAsFd() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP, SIGUSR1}) {
        sigaddset(&set, signal);
    }
    sigprocmask(SIG_BLOCK, &set, nullptr);
    return signalfd(-1, &set, SFD_CLOEXEC);
}

constexpr int kHungUp = 0;

int nextSignal(int signals) {
    signalfd_siginfo info{};
    return read(signals, &info, sizeof info) == sizeof info ? static_cast<int>(info.ssi_signo)
                                                            : kHungUp;
}

// Copies packets both ways until the line's other end hangs up (kHungUp) or a signal comes (its
// number). A tun device that cannot take a packet just drops it, as a line would.
int relay(int tun, int line, int signals) {
    char packet[65536];
    pollfd fds[] = {{tun, POLLIN, 0}, {line, POLLIN, 0}, {signals, POLLIN, 0}};
    for (;;) {
        if (poll(fds, 3, -1) < 0) {
            continue;
        }
        if (fds[2].revents & POLLIN) {
            return nextSignal(signals);
        }
        if (fds[0].revents & POLLIN) {
            const ssize_t size = read(tun, packet, sizeof packet);
            if (size > 0 && line >= 0) {
                send(line, packet, static_cast<size_t>(size), MSG_NOSIGNAL);
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            const ssize_t size = recv(line, packet, sizeof packet, 0);
            if (size <= 0) {
                return kHungUp;
            }
            [[maybe_unused]] const ssize_t written = write(tun, packet, static_cast<size_t>(size));
        }
    }
}

#ifndef ARPHRD_RAWIP
#define ARPHRD_RAWIP 519
#endif

// One end of the line, brought up as a link of the given type.
struct Call {
    std::string line;
    std::string device;
    unsigned short linkType = ARPHRD_PPP;
    std::string local;
    std::string remote;
    bool defaultRoute = false;
};

int place(const Call& call) {
    const int signals = signalsAsFd();
    const int modem = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    const sockaddr_un address = socketAddress(call.line);
    if (call.line.empty() || call.local.empty() ||
        connect(modem, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        std::fprintf(stderr, "pppd: no line to dial for %s\n", call.device.c_str());
        return 1;
    }
    const int tun = openTun(call.device, call.linkType);
    configure(call.device, call.local, call.remote);
    if (call.defaultRoute &&
        std::system(("ip route add default dev " + call.device).c_str()) != 0) {
        return 1;
    }
    // Closing the tun removes the device and its routes: the link is down.
    const int reason = relay(tun, modem, signals);
    close(tun);
    // pppd's own code for a hang-up from the other end.
    return reason == kHungUp ? 16 : 0;
}

int dial(const std::string& peer) {
    std::ifstream options("/etc/ppp/peers/" + peer);
    std::string word, unit = "0";
    Call call;
    while (options >> word) {
        if (word[0] == '#') {
            std::getline(options, word);
        } else if (word[0] == '/') {
            call.line = word;
        } else if (word == "unit") {
            options >> unit;
        } else if (word == "defaultroute") {
            call.defaultRoute = true;
        } else if (const auto colon = word.find(':'); colon != std::string::npos) {
            call.local = word.substr(0, colon);
            call.remote = word.substr(colon + 1);
        }
    }
    call.device = "ppp" + unit;
    return place(call);
}

int answer(const std::string& path, const std::string& local, const std::string& remote) {
    const int signals = signalsAsFd();
    const int tun = openTun("isp0", -1);
    configure("isp0", local, remote);
    if (std::system("ip link set lo up") != 0) {
        return 1;
    }
    const int listener = socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    const sockaddr_un address = socketAddress(path);
    unlink(path.c_str());
    if (bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0) {
        std::perror(path.c_str());
        return 1;
    }
    for (;;) {
        // Waiting for a call: what the tun sends meanwhile has nowhere to go.
        pollfd fds[] = {{listener, POLLIN, 0}, {signals, POLLIN, 0}, {tun, POLLIN, 0}};
        int reason = kHungUp;
        while (reason == kHungUp) {
            poll(fds, 3, -1);
            if (fds[1].revents & POLLIN) {
                reason = nextSignal(signals);
                break;
            }
            if (fds[2].revents & POLLIN) {
                char packet[65536];
                [[maybe_unused]] const ssize_t dropped = read(tun, packet, sizeof packet);
            }
            if (fds[0].revents & POLLIN) {
                const int call = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
                reason = relay(tun, call, signals);
                close(call);
                if (reason == SIGUSR1) {
                    reason = kHungUp;
                }
            }
        }
        if (reason == SIGTERM || reason == SIGINT || reason == SIGHUP) {
            unlink(path.c_str());
            return 0;
        }
    }
}

int holdTunnel(const std::string& device, const std::string& local, const std::string& remote) {
    const int signals = signalsAsFd();
    const int tun = openTun(device, -1);
    configure(device, local, remote);
    relay(tun, -1, signals);
    close(tun);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "call" && argc == 3) {
        return dial(argv[2]);
    }
    if (mode == "cellular" && argc == 5) {
        return place({argv[2], "wwan0", ARPHRD_RAWIP, argv[3], argv[4], true});
    }
    if (mode == "isp" && argc == 5) {
        return answer(argv[2], argv[3], argv[4]);
    }
    if (mode == "vpn" && argc == 5) {
        return holdTunnel(argv[2], argv[3], argv[4]);
    }
    std::fprintf(stderr, "usage: pppd call PEER | pppd cellular SOCKET LOCAL REMOTE | pppd isp "
                         "SOCKET LOCAL REMOTE | pppd vpn DEVICE LOCAL REMOTE\n");
    return 2;
}
