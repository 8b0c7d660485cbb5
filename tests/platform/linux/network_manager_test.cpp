// SPDX-License-Identifier: GPL-3.0-or-later
// The platform against NetworkManager's stand-in: what it counts as a connection, and how it
// dials and hangs up.

#include "platform/internet.h"
#include "platform/linux/linux_platform.h"
#include "tests/platform/linux/network_namespace.h"
#include "tests/platform/linux/nm_stand_in.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>

namespace platform {
namespace {

// Long enough for the stand-in's signals to have come through.
constexpr std::chrono::milliseconds kSettled{500};

bool connected(LinuxPlatform& system) {
    DWORD flags = 0;
    return system.InternetGetConnectedState(&flags, 0) != FALSE;
}

std::string descriptionOf(LinuxPlatform& system, const char* name) {
    ULONG size = 0;
    system.GetIfTable(nullptr, &size, FALSE);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<PMIB_IFTABLE>(buffer.data());
    if (system.GetIfTable(table, &size, FALSE) != NO_ERROR) {
        return {};
    }
    const DWORD index = if_nametoindex(name);
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        if (table->table[i].dwIndex == index) {
            return reinterpret_cast<const char*>(table->table[i].bDescr);
        }
    }
    return {};
}

// A phone tethered over USB: an Ethernet link whose default route leaves through it. Each step
// changes what the stand-in reports, then the answer must settle and stay.
TEST(NetworkManager, CountsTheLinksItReportsMetered) {
    NmStandIn nm;
    inNetworkNamespaceOrSkip([&nm] {
        run("ip link add usb0 type veth peer name usb0-peer && ip link set usb0-peer up && "
            "ip link set usb0 up && ip addr add 192.168.42.2/24 dev usb0 && "
            "ip route add default via 192.168.42.129");
        LinuxPlatform system;
        const auto settles = [&system](bool up) {
            return eventually([&] { return connected(system) == up; }) &&
                   !eventually([&] { return connected(system) != up; }, kSettled);
        };
        EXPECT_TRUE(settles(false)) << "NetworkManager absent";
        EXPECT_EQ(descriptionOf(system, "usb0"), "usb0 - Interface Ethernet virtuelle");
        nm.start();
        EXPECT_TRUE(settles(false)) << "present, usb0 not managed";
        const struct {
            const char* metered; // NMMetered
            bool up;
        } steps[] = {{"3", true}, {"2", false}, {"1", true}, {"4", false}, {"3", true}};
        for (const auto& step : steps) {
            nm.run(std::string("device usb0 ") + step.metered);
            EXPECT_TRUE(settles(step.up)) << "Metered " << step.metered;
        }
        EXPECT_EQ(descriptionOf(system, "usb0"), "usb0 - Interface WAN (connexion limitée)");

        // The link NetworkManager left up goes on costing while the route leaves through it.
        nm.stop();
        EXPECT_TRUE(settles(true)) << "NetworkManager stopped";
        run("ip route del default");
        EXPECT_TRUE(settles(false)) << "route removed";
        run("ip route add default via 192.168.42.129");
        nm.start();
        EXPECT_TRUE(settles(false)) << "restarted, usb0 not managed";
    });
}

// The reports of refusals while the object lives.
class Reports {
public:
    Reports() {
        setDialFailureReport([this](const std::string& text) {
            const std::lock_guard lock(mutex_);
            texts_.push_back(text);
        });
    }
    ~Reports() { setDialFailureReport({}); }
    std::vector<std::string> texts() const {
        const std::lock_guard lock(mutex_);
        return texts_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::string> texts_;
};

// The stand-in with a metered device, so that the watch is known to have seen it, and profiles.
class Dialling : public testing::Test {
protected:
    void startWith(std::initializer_list<const char*> profiles) {
        nm.start();
        nm.run("device nm0 1");
        for (const char* profile : profiles) {
            paths.push_back(nm.run(std::string("profile ") + profile));
        }
        ASSERT_TRUE(eventually([this] { return manager.generation() != 0; }));
    }
    // Dials then hangs up; the number of times pon or poff would have run.
    int dialAndHangUp() {
        EXPECT_TRUE(manager.dial([this] { ++fallbacks; }));
        EXPECT_TRUE(manager.hangUp([this] { ++fallbacks; }));
        return fallbacks;
    }

    NmStandIn nm;
    std::vector<std::string> paths;
    NetworkManager manager;
    std::atomic<int> fallbacks{0};
};

TEST_F(Dialling, LeavesItToPonAndPoffWithoutADialledProfile) {
    EXPECT_FALSE(manager.dial([] {})) << "no NetworkManager";
    EXPECT_FALSE(manager.hangUp([] {}));
    startWith({"802-3-ethernet Filaire 1700000000"});
    dialAndHangUp();
    EXPECT_TRUE(eventually([this] { return fallbacks == 2; }));
    EXPECT_EQ(nm.run("calls"), "");
}

// The most recently used dialled profile is activated; hanging up deactivates what it made; a
// refusal, or an activation accepted then ended by a failure, is reported once, with
// NetworkManager's reason.
TEST_F(Dialling, ActivatesAndDeactivatesTheDialledProfile) {
    const Reports reports;
    const auto reportedOnce = [&reports](std::size_t count) {
        return eventually([&] { return reports.texts().size() == count; }) &&
               !eventually([&] { return reports.texts().size() > count; }, kSettled);
    };
    startWith(
        {"pppoe Ligne 1600000000", "gsm Orange 1700000000", "802-3-ethernet Filaire 1800000000"});
    EXPECT_TRUE(manager.dial([this] { ++fallbacks; }));
    const std::string activated = "ActivateConnection " + paths[1] + " / /";
    ASSERT_TRUE(eventually([&] { return nm.run("calls") == activated; })) << nm.run("calls");
    EXPECT_TRUE(manager.hangUp([this] { ++fallbacks; }));
    EXPECT_TRUE(eventually([&] {
        return nm.run("calls") ==
               activated +
                   "\nDeactivateConnection /org/freedesktop/NetworkManager/ActiveConnection/0";
    })) << nm.run("calls");

    nm.run("refuse 'No suitable device found for this connection'");
    EXPECT_TRUE(manager.dial([this] { ++fallbacks; }));
    EXPECT_TRUE(reportedOnce(1));
    nm.run("fail 9");
    EXPECT_TRUE(manager.dial([this] { ++fallbacks; }));
    EXPECT_TRUE(reportedOnce(2));
    EXPECT_EQ(reports.texts(),
              (std::vector<std::string>{
                  "NetworkManager n'a pas pu établir la connexion « Orange » : No suitable device "
                  "found for this connection",
                  "NetworkManager n'a pas pu établir la connexion « Orange » : les secrets "
                  "manquent (code PIN, mot de passe)"}));
    EXPECT_EQ(fallbacks, 0);
}

} // namespace
} // namespace platform
