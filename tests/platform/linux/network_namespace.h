// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Private network namespaces and the devices the Linux tests make in them.

#include <gtest/gtest.h>

// Before the kernel's headers, which then leave out what it already declares.
#include <net/if.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <linux/if_tun.h>
#include <optional>
#include <sched.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <thread>
#include <unistd.h>

namespace platform {

inline void run(const std::string& command) {
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// Runs body on a thread of its own network namespace, with a sysfs that shows it; everything made
// there disappears with the thread. False when this process may not make one.
inline bool inNetworkNamespace(const std::function<void()>& body) {
    bool made = false;
    std::thread([&] {
        if (unshare(CLONE_NEWNET | CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("sysfs", "/sys", "sysfs", 0, nullptr) != 0) {
            return;
        }
        made = true;
        // No IPv6 chatter: the only traffic is what a test sends. /proc/sys/net is the calling
        // thread's namespace's; without IPv6 at all the files are missing, and so is the chatter.
        for (const char* scope : {"all", "default"}) {
            std::ofstream(std::string("/proc/sys/net/ipv6/conf/") + scope + "/disable_ipv6") << 1;
        }
        run("ip link set lo up");
        body();
    }).join();
    return made;
}

// The same in a test: where no namespace can be made, the test is marked skipped and says why.
inline void inNetworkNamespaceOrSkip(const std::function<void()>& body) {
    if (!inNetworkNamespace(body)) {
        GTEST_SKIP() << "needs root and network namespaces";
    }
}

// A tun device, kept while the object lives; TUNSETLINK gives it another link type.
class TunDevice {
public:
    TunDevice(const char* name, std::optional<unsigned short> linkType) {
        fd_ = open("/dev/net/tun", O_RDWR | O_CLOEXEC);
        ifreq request{};
        std::strncpy(request.ifr_name, name, IFNAMSIZ - 1);
        request.ifr_flags = IFF_TUN | IFF_NO_PI;
        ok_ = fd_ >= 0 && ioctl(fd_, TUNSETIFF, &request) == 0 &&
              (!linkType || ioctl(fd_, TUNSETLINK, static_cast<unsigned long>(*linkType)) == 0);
    }
    ~TunDevice() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    TunDevice(const TunDevice&) = delete;
    TunDevice& operator=(const TunDevice&) = delete;
    bool ok() const { return ok_; }
    bool setCarrier(bool on) const {
        int carrier = on ? 1 : 0;
        return ioctl(fd_, TUNSETCARRIER, &carrier) == 0;
    }
    // A packet of that many octets (20 at least) from the far end: the link counts it received,
    // and the kernel drops it unanswered, its header saying it holds nothing.
    bool receive(std::size_t octets) const {
        std::string packet(octets, '\0');
        packet[0] = 0x45;
        return write(fd_, packet.data(), packet.size()) == static_cast<ssize_t>(octets);
    }

private:
    int fd_ = -1;
    bool ok_ = false;
};

} // namespace platform
