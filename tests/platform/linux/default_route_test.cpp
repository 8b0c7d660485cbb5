// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/linux_platform.h"
#include "tests/platform/linux/network_namespace.h"
#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>
#include <linux/if_arp.h>

#include <vector>

namespace platform {
namespace {

// Each scenario starts in a namespace of its own with an up PPP link "fc-ppp", an up VPN tunnel
// "fc-vpn" and a veth pair "fc-a"/"fc-b" whose "fc-a" is up without carrier (its peer is down);
// then each step runs its commands and asks one platform object whether a connection is up.
struct Step {
    const char* commands;
    bool connected;
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

// A link as pppd leaves it, IPv6 on; a tunnel as a VPN's daemon leaves it before its routes;
// "fc-a" and "fc-b" as above.
constexpr const char* kSetUp =
    "ip link set fc-ppp up && ip addr add 10.64.0.2 peer 10.64.0.1 dev fc-ppp && "
    "echo 0 > /proc/sys/net/ipv6/conf/fc-ppp/disable_ipv6 && "
    "ip -6 addr add 2001:db8::2/64 dev fc-ppp nodad && "
    "ip link set fc-vpn up && ip addr add 10.8.0.2/24 dev fc-vpn && "
    "ip link add fc-a type veth peer name fc-b && ip link set fc-a up";

// The VPN's server, 203.0.113.9, is reached through "fc-ppp" unless a scenario says otherwise.
constexpr const char* kPppDropsBeneathTheTunnel = "ip link set fc-ppp down";

const std::vector<Scenario> kScenarios = {
    {"PppLinkUpThenDownThenRouteRemoved",
     {{"ip route add default dev fc-ppp", true},
      {"ip link set fc-ppp down", false},
      {"ip link set fc-ppp up && ip route add default dev fc-ppp", true},
      {"ip route del default", false}}},
    {"NoDefaultRoute", {{"ip route add 10.0.0.0/8 dev fc-ppp", false}}},
    {"Ipv6OnlyDefaultRoute",
     {{"ip -6 route add default dev fc-ppp", true}, {"ip link set fc-ppp down", false}}},
    {"DefaultRouteInAnotherTable",
     {{"ip route add default dev fc-ppp table 100", false}, {"ip rule add table 100", true}}},
    {"UnreachableDefaultRoute", {{"ip route add unreachable default", false}}},
    {"DefaultRouteWithoutCarrier", {{"ip route add default dev fc-a", false}}},
    {"MultipathWithOneNextHopUp",
     {{"ip route add default nexthop dev fc-a nexthop dev fc-ppp", true}}},
    {"LanDefaultRouteBesideADownPppLink",
     {{"ip link set fc-ppp down && ip link set fc-b up && ip route add default dev fc-a", false}}},
    {"MultipathWithoutCarrier",
     {{"ip link add fc-c type veth peer name fc-d && ip link set fc-c up && "
       "ip route add default nexthop dev fc-a nexthop dev fc-c",
       false}}},
    // As OpenVPN routes without def1: its server's route kept, the link's own default replaced.
    {"OpenVpnWithoutDef1",
     {{"ip route add default dev fc-ppp", true},
      {"ip route add 203.0.113.9 via 10.64.0.1 dev fc-ppp && ip route del default && "
       "ip route add default dev fc-vpn",
       true},
      {kPppDropsBeneathTheTunnel, false}}},
    {"OpenVpnWithDef1",
     {{"ip route add default dev fc-ppp && ip route add 203.0.113.9 dev fc-ppp && "
       "ip route add 0.0.0.0/1 dev fc-vpn && ip route add 128.0.0.0/1 dev fc-vpn",
       true},
      {kPppDropsBeneathTheTunnel, false}}},
    // As wg-quick routes with AllowedIPs = 0.0.0.0/0: the tunnel's own packets carry the mark.
    {"WgQuick",
     {{"ip route add default dev fc-ppp && ip route add default dev fc-vpn table 51820 && "
       "ip rule add not fwmark 51820 table 51820 && "
       "ip rule add table main suppress_prefixlength 0",
       true},
      {kPppDropsBeneathTheTunnel, false}}},
    {"NetworkManagerVpn",
     {{"ip route add default dev fc-ppp metric 100 && ip route add default dev fc-vpn metric 50",
       true},
      {kPppDropsBeneathTheTunnel, false}}},
    {"TunnelOverALan",
     {{"ip link set fc-b up && ip addr add 192.168.77.2/24 dev fc-a && "
       "ip route add default via 192.168.77.1 metric 100 && "
       "ip route add 203.0.113.9 via 192.168.77.1 && ip route add default dev fc-vpn metric 50",
       false},
      {"ip route add default dev fc-ppp metric 200", false}}},
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

class ConnectedState : public testing::TestWithParam<Scenario> {};

TEST_P(ConnectedState, FollowsTheDefaultRoutes) {
    inNetworkNamespaceOrSkip([] {
        const TunDevice ppp("fc-ppp", ARPHRD_PPP);
        const TunDevice vpn("fc-vpn", std::nullopt);
        ASSERT_TRUE(ppp.ok() && vpn.ok()) << "no tun device";
        run(kSetUp);
        LinuxPlatform system;
        for (const Step& step : GetParam().steps) {
            run(step.commands);
            DWORD flags = 0x41;
            EXPECT_EQ(system.InternetGetConnectedState(&flags, 0), step.connected ? TRUE : FALSE)
                << step.commands;
            EXPECT_EQ(flags, 0u);
        }
    });
}

INSTANTIATE_TEST_SUITE_P(Linux, ConnectedState, testing::ValuesIn(kScenarios),
                         [](const auto& test) { return std::string(test.param.name); });

// The kernel marks the route's next hop as without carrier, and announces only the link's change.
TEST(ConnectedState, FollowsTheCarrierOfTheDefaultRoutesLink) {
    inNetworkNamespaceOrSkip([] {
        const TunDevice ppp("fc-ppp", ARPHRD_PPP);
        ASSERT_TRUE(ppp.ok()) << "no tun device";
        run("ip link set fc-ppp up && ip route add default dev fc-ppp");
        LinuxPlatform system;
        DWORD flags = 0;
        EXPECT_TRUE(system.InternetGetConnectedState(&flags, 0));
        ASSERT_TRUE(ppp.setCarrier(false));
        EXPECT_TRUE(eventually([&] { return !system.InternetGetConnectedState(&flags, 0); }));
    });
}

} // namespace
} // namespace platform
