// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/iphlpapi.h"
#include "platform/linux/net_tables.h"
#include "platform/linux/route_socket.h"
#include "tests/platform/linux/network_namespace.h"
#include "tests/platform/linux/process_support.h"

#include <gtest/gtest.h>

// Before the kernel's headers, which then leave out what it already declares.
#include <net/if.h>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <cstring>
#include <fstream>
#include <linux/if_arp.h>
#include <linux/if_packet.h>
#include <linux/rtnetlink.h>
#include <net/ethernet.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {
namespace {

// Both tables read with the two-call protocol, through any function shaped like the system's.
template <typename Table, typename Row, typename Operation>
std::vector<Row> readTable(Operation operation) {
    ULONG size = 0;
    EXPECT_EQ(operation(nullptr, &size, TRUE), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<Table*>(buffer.data());
    if (operation(table, &size, TRUE) != NO_ERROR) {
        ADD_FAILURE() << "the table changed between the two calls";
        return {};
    }
    EXPECT_EQ(size, offsetof(Table, table) + table->dwNumEntries * sizeof(Row));
    std::vector<Row> rows(table->dwNumEntries);
    std::memcpy(rows.data(), buffer.data() + offsetof(Table, table), rows.size() * sizeof(Row));
    return rows;
}

std::vector<MIB_IFROW> interfaces(NetTables& tables) {
    return readTable<MIB_IFTABLE, MIB_IFROW>(
        [&tables](PMIB_IFTABLE t, PULONG s, BOOL o) { return tables.GetIfTable(t, s, o); });
}

std::vector<MIB_IPADDRROW> addresses(NetTables& tables) {
    return readTable<MIB_IPADDRTABLE, MIB_IPADDRROW>(
        [&tables](PMIB_IPADDRTABLE t, PULONG s, BOOL o) { return tables.GetIpAddrTable(t, s, o); });
}

std::optional<MIB_IFROW> rowOf(const std::vector<MIB_IFROW>& rows, const char* name) {
    const unsigned index = if_nametoindex(name);
    const auto found = std::find_if(rows.begin(), rows.end(),
                                    [index](const MIB_IFROW& row) { return row.dwIndex == index; });
    return index != 0 && found != rows.end() ? std::optional(*found) : std::nullopt;
}

std::string description(const MIB_IFROW& row) {
    return std::string(reinterpret_cast<const char*>(row.bDescr), row.dwDescrLen - 1);
}

bool mentionsWan(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) { return std::tolower(c); });
    return text.find("wan") != std::string::npos;
}

DWORD ipv4(const char* text) {
    in_addr address{};
    inet_pton(AF_INET, text, &address);
    return address.s_addr;
}

std::string sysfs(const std::string& name, const std::string& file) {
    std::ifstream in("/sys/class/net/" + name + "/" + file);
    std::string value;
    in >> value;
    return value;
}

TEST(NetTables, ListsLoopbackWithItsAddress) {
    const std::vector<MIB_IFROW> rows = readTable<MIB_IFTABLE, MIB_IFROW>(GetIfTable);
    ASSERT_TRUE(std::is_sorted(rows.begin(), rows.end(),
                               [](const auto& a, const auto& b) { return a.dwIndex < b.dwIndex; }));
    const auto loopback = rowOf(rows, "lo");
    ASSERT_TRUE(loopback);
    EXPECT_EQ(loopback->dwPhysAddrLen, 0u);
    EXPECT_EQ(loopback->dwType, 24u);
    EXPECT_EQ(std::u16string(loopback->wszName), u"lo");
    EXPECT_EQ(description(*loopback), "lo - Interface de bouclage");
    EXPECT_FALSE(mentionsWan(description(*loopback)));

    const auto addressRows = readTable<MIB_IPADDRTABLE, MIB_IPADDRROW>(GetIpAddrTable);
    EXPECT_TRUE(std::any_of(addressRows.begin(), addressRows.end(), [&](const auto& row) {
        return row.dwIndex == loopback->dwIndex && row.dwAddr == ipv4("127.0.0.1") &&
               row.dwMask == ipv4("255.0.0.0");
    }));
}

TEST(NetTables, AnswersTheTwoCallProtocol) {
    ULONG size = 0;
    ASSERT_EQ(GetIfTable(nullptr, &size, FALSE), ERROR_INSUFFICIENT_BUFFER);
    ASSERT_GE(size, offsetof(MIB_IFTABLE, table) + sizeof(MIB_IFROW));
    EXPECT_EQ((size - offsetof(MIB_IFTABLE, table)) % sizeof(MIB_IFROW), 0u);
    std::vector<BYTE> buffer(size);
    auto* table = reinterpret_cast<PMIB_IFTABLE>(buffer.data());
    ULONG tooSmall = size - 1;
    EXPECT_EQ(GetIfTable(table, &tooSmall, FALSE), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(tooSmall, size);
    ASSERT_EQ(GetIfTable(table, &size, FALSE), NO_ERROR);
    EXPECT_EQ(offsetof(MIB_IFTABLE, table) + table->dwNumEntries * sizeof(MIB_IFROW), size);

    size = 0;
    ASSERT_EQ(GetIpAddrTable(nullptr, &size, TRUE), ERROR_INSUFFICIENT_BUFFER);
    std::vector<BYTE> addressBuffer(size);
    auto* addressTable = reinterpret_cast<PMIB_IPADDRTABLE>(addressBuffer.data());
    ASSERT_EQ(GetIpAddrTable(addressTable, &size, TRUE), NO_ERROR);
    EXPECT_GE(addressTable->dwNumEntries, 1u);
}

// Sends frames of a known size out of an interface, below IP.
void sendFrames(const char* name, int count, std::size_t length) {
    const int fd = socket(AF_PACKET, SOCK_RAW, 0);
    ASSERT_GE(fd, 0);
    sockaddr_ll to{};
    to.sll_family = AF_PACKET;
    to.sll_ifindex = static_cast<int>(if_nametoindex(name));
    to.sll_halen = ETH_ALEN;
    std::fill_n(to.sll_addr, ETH_ALEN, 0xFF);
    std::vector<BYTE> frame(length, 0);
    std::fill_n(frame.begin(), ETH_ALEN, 0xFF);
    frame[12] = 0x88; // the local experimental EtherType
    frame[13] = 0xB5;
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(
            sendto(fd, frame.data(), frame.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to),
            static_cast<ssize_t>(frame.size()));
    }
    close(fd);
}

TEST(NetTables, ReportsAVethPairsCountersAndAddresses) {
    inNetworkNamespaceOrSkip([] {
        run("ip link add fc-a type veth peer name fc-b");
        run("ip addr add 10.20.0.9/24 dev fc-a && ip addr add 10.20.0.1/16 dev fc-a");
        run("ip addr add 9.200.0.1/8 dev fc-b && ip addr add 192.168.7.1/32 dev fc-b");
        run("ip link set fc-a up && ip link set fc-b up");
        // The carrier comes up a moment later, the later the busier the machine: frames sent
        // before are dropped.
        ASSERT_TRUE(eventually([] {
            return sysfs("fc-a", "operstate") == "up" && sysfs("fc-b", "operstate") == "up";
        }));
        NetTables tables;
        const auto before = rowOf(interfaces(tables), "fc-a");
        sendFrames("fc-a", 7, 300);
        const auto rows = interfaces(tables);
        const auto a = rowOf(rows, "fc-a");
        const auto b = rowOf(rows, "fc-b");
        ASSERT_TRUE(before && a && b);
        EXPECT_EQ(a->dwOutOctets - before->dwOutOctets, 7u * 300u);
        EXPECT_EQ(std::to_string(a->dwOutOctets), sysfs("fc-a", "statistics/tx_bytes"));
        EXPECT_EQ(std::to_string(a->dwInOctets), sysfs("fc-a", "statistics/rx_bytes"));
        EXPECT_EQ(std::to_string(b->dwInOctets), sysfs("fc-b", "statistics/rx_bytes"));
        EXPECT_EQ(b->dwInOctets, a->dwOutOctets);
        // The whole 64-bit counters the same query read, found by the link's name.
        const auto octets = tables.linkOctets("fc-a");
        ASSERT_TRUE(octets);
        EXPECT_EQ(std::to_string(octets->sent), sysfs("fc-a", "statistics/tx_bytes"));
        EXPECT_EQ(std::to_string(octets->received), sysfs("fc-a", "statistics/rx_bytes"));
        EXPECT_FALSE(tables.linkOctets("fc-none"));

        char mac[18];
        ASSERT_EQ(a->dwPhysAddrLen, 6u);
        std::snprintf(mac, sizeof mac, "%02x:%02x:%02x:%02x:%02x:%02x", a->bPhysAddr[0],
                      a->bPhysAddr[1], a->bPhysAddr[2], a->bPhysAddr[3], a->bPhysAddr[4],
                      a->bPhysAddr[5]);
        EXPECT_EQ(mac, sysfs("fc-a", "address"));
        EXPECT_EQ(description(*a), "fc-a - Interface Ethernet virtuelle");
        EXPECT_EQ(a->dwOperStatus, 5u);

        std::vector<std::array<DWORD, 3>> found; // address, index, mask
        for (const MIB_IPADDRROW& row : addresses(tables)) {
            found.push_back({row.dwAddr, row.dwIndex, row.dwMask});
        }
        const std::vector<std::array<DWORD, 3>> expected = {
            {ipv4("9.200.0.1"), b->dwIndex, ipv4("255.0.0.0")},
            {ipv4("10.20.0.1"), a->dwIndex, ipv4("255.255.0.0")},
            {ipv4("10.20.0.9"), a->dwIndex, ipv4("255.255.255.0")},
            {ipv4("127.0.0.1"), if_nametoindex("lo"), ipv4("255.0.0.0")},
            {ipv4("192.168.7.1"), b->dwIndex, ipv4("255.255.255.255")},
        };
        EXPECT_EQ(found, expected);
    });
}

TEST(NetTables, AnswersEachCallFromTheKernelAsItIsThen) {
    inNetworkNamespaceOrSkip([] {
        NetTables tables;
        ULONG size = 0;
        ASSERT_EQ(tables.GetIfTable(nullptr, &size, FALSE), ERROR_INSUFFICIENT_BUFFER);
        std::vector<BYTE> buffer(size + sizeof(MIB_IFROW));
        run("ip link add fc-a type veth peer name fc-b");
        ULONG grown = size;
        EXPECT_EQ(tables.GetIfTable(reinterpret_cast<PMIB_IFTABLE>(buffer.data()), &grown, FALSE),
                  ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(grown, size + 2 * sizeof(MIB_IFROW));

        // A renamed interface is described anew, a removed one is gone.
        const unsigned index = if_nametoindex("fc-a");
        run("ip link set fc-a name wan-a");
        const auto renamed = rowOf(interfaces(tables), "wan-a");
        ASSERT_TRUE(renamed);
        EXPECT_EQ(description(*renamed),
                  "Interface Ethernet virtuelle (index " + std::to_string(index) + ")");
        run("ip link del wan-a");
        EXPECT_EQ(interfaces(tables).size(), 1u);

        size = 0;
        ASSERT_EQ(tables.GetIpAddrTable(nullptr, &size, TRUE), ERROR_INSUFFICIENT_BUFFER);
        run("ip addr add 10.9.0.1/24 dev lo");
        grown = size;
        EXPECT_EQ(
            tables.GetIpAddrTable(reinterpret_cast<PMIB_IPADDRTABLE>(buffer.data()), &grown, TRUE),
            ERROR_INSUFFICIENT_BUFFER);
        EXPECT_EQ(grown, size + sizeof(MIB_IPADDRROW));
    });
}

// Each change follows those before it, in a namespace with an up PPP link "fc-ppp", IPv6 on.
struct Change {
    const char* name;
    const char* commands;
    bool connected;
};

const std::vector<Change> kChanges = {
    {"InterfaceAdded", "ip tuntap add dev fc-a mode tun", false},
    {"InterfaceRenamed", "ip link set fc-a name fc-b", false},
    {"AddressAdded", "ip addr add 10.64.0.2 peer 10.64.0.1 dev fc-ppp", false},
    {"Ipv4DefaultRouteAdded", "ip route add default dev fc-ppp", true},
    {"Ipv4DefaultRouteRemoved", "ip route del default", false},
    {"Ipv6DefaultRouteAdded", "ip -6 route add default dev fc-ppp", true},
    {"Ipv6DefaultRouteRemoved", "ip -6 route del default", false},
    {"Ipv4DefaultRouteFromAnAddress", "ip route add default dev fc-ppp src 10.64.0.2", true},
    {"AddressRemoved", "ip addr del 10.64.0.2 peer 10.64.0.1 dev fc-ppp", false},
    {"InterfaceBroughtDown", "ip link set fc-ppp down", false},
    {"InterfaceRemoved", "ip link del fc-b", false},
    // Thousands of announcements unread overflow the socket's buffer: the last one is lost.
    {"AnnouncementsLost",
     "for i in $(seq 4000); do echo address add 10.128.$((i / 250)).$((i % 250))/32 dev fc-ppp; "
     "done | ip -batch - && ip link set fc-ppp up",
     false},
};

// Whether a route socket of this thread's namespace lost messages its buffer had no room for.
bool aRouteSocketDropped() {
    std::ifstream sockets("/proc/thread-self/net/netlink");
    std::string line;
    while (std::getline(sockets, line)) {
        std::istringstream fields(line);
        std::string skip;
        int protocol = -1;
        unsigned long drops = 0;
        fields >> skip >> protocol >> skip >> skip >> skip >> skip >> skip >> skip >> drops;
        if (fields && protocol == NETLINK_ROUTE && drops > 0) {
            return true;
        }
    }
    return false;
}

template <typename Row> bool sameRows(const std::vector<Row>& a, const std::vector<Row>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Row)) == 0;
}

TEST(NetTables, AnswersAfterEachChangeAsANewReaderDoes) {
    inNetworkNamespaceOrSkip([] {
        const TunDevice ppp("fc-ppp", ARPHRD_PPP);
        ASSERT_TRUE(ppp.ok()) << "no tun device";
        run("ip link set fc-ppp up && echo 0 > /proc/sys/net/ipv6/conf/fc-ppp/disable_ipv6");
        NetTables kept;
        interfaces(kept);
        addresses(kept);
        kept.wanInternetRoute();
        for (const Change& change : kChanges) {
            run(change.commands);
            NetTables fresh;
            EXPECT_TRUE(sameRows(interfaces(kept), interfaces(fresh))) << change.name;
            EXPECT_TRUE(sameRows(addresses(kept), addresses(fresh))) << change.name;
            EXPECT_EQ(kept.wanInternetRoute(), change.connected) << change.name;
            EXPECT_EQ(fresh.wanInternetRoute(), change.connected) << change.name;
        }
        EXPECT_TRUE(aRouteSocketDropped()) << "no announcement was lost";
    });
}

TEST(NetTables, ReadsTablesLongerThanOneKernelRead) {
    inNetworkNamespaceOrSkip([] {
        // About 1.5 KiB a link: the dump takes a dozen reads of at most 32 KiB.
        std::string commands;
        for (int i = 0; i < 200; ++i) {
            commands += "tuntap add dev fc" + std::to_string(i) + " mode tun\naddress add 10.1." +
                        std::to_string(i) + ".1/24 dev fc" + std::to_string(i) + "\n";
        }
        run("printf '" + commands + "' | ip -batch -");
        NetTables tables;
        const auto rows = interfaces(tables);
        const auto addressRows = addresses(tables);
        ASSERT_EQ(rows.size(), 201u);
        ASSERT_EQ(addressRows.size(), 201u);
        for (int i = 0; i < 200; ++i) {
            const std::string name = "fc" + std::to_string(i);
            const auto row = rowOf(rows, name.c_str());
            ASSERT_TRUE(row) << name;
            EXPECT_EQ(description(*row), name + " - Tunnel");
            const std::string address = "10.1." + std::to_string(i) + ".1";
            EXPECT_EQ(addressRows[i].dwAddr, ipv4(address.c_str()));
            EXPECT_EQ(addressRows[i].dwIndex, row->dwIndex);
        }
    });
}

TEST(RouteSocket, AnswersAgainAfterTheKernelRefusedADump) {
    RouteSocket socket;
    const ifinfomsg links{};
    constexpr std::uint16_t kNoSuchRequest = 0xFFF0; // past every rtnetlink message type
    EXPECT_FALSE(socket.dump(kNoSuchRequest, &links, sizeof links));
    ASSERT_TRUE(socket.dump(RTM_GETLINK, &links, sizeof links));
    int count = 0;
    socket.forEachMessage(
        [&count](const nlmsghdr& message) { count += message.nlmsg_type == RTM_NEWLINK ? 1 : 0; });
    EXPECT_GE(count, 1);
}

TEST(NetTables, DescribesAPppLinkAsWan) {
    inNetworkNamespaceOrSkip([] {
        const TunDevice ppp("fc-ppp", ARPHRD_PPP);
        const TunDevice tunnel("fc-tun", std::nullopt);
        ASSERT_TRUE(ppp.ok() && tunnel.ok()) << "no tun device";
        run("ip link set fc-ppp up && ip link set fc-tun up");
        NetTables tables;
        const auto rows = interfaces(tables);
        const auto pppRow = rowOf(rows, "fc-ppp");
        const auto tunnelRow = rowOf(rows, "fc-tun");
        ASSERT_TRUE(pppRow && tunnelRow);
        EXPECT_EQ(description(*pppRow), "fc-ppp - Interface WAN (PPP)");
        EXPECT_EQ(pppRow->dwType, 23u);
        EXPECT_EQ(pppRow->dwPhysAddrLen, 0u);
        EXPECT_EQ(description(*tunnelRow), "fc-tun - Tunnel");
    });
}

} // namespace
} // namespace platform
