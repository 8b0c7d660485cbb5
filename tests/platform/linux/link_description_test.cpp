// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/iphlpapi.h"
#include "platform/linux/link_description.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>
#include <linux/if_arp.h>

namespace platform {
namespace {

bool mentionsWan(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text.find("wan") != std::string::npos;
}

// A link as the kernel and the hardware database would tell it.
struct Link : LinkIdentity {
    Link(std::string_view linkName, unsigned short linkType, DWORD linkIndex = 3) {
        name = linkName;
        type = linkType;
        index = linkIndex;
    }
    Link& ofKind(std::string_view linkKind) {
        kind = linkKind;
        return *this;
    }
    Link& ofDevType(std::string_view linkDevType) {
        devType = linkDevType;
        return *this;
    }
    Link& madeBy(std::string_view linkVendor, std::string_view linkModel) {
        vendor = linkVendor;
        model = linkModel;
        return *this;
    }
};

Link ethernet(std::string_view name, DWORD index = 3) {
    return Link(name, ARPHRD_ETHER, index);
}

TEST(LinkDescription, NamesTheInterfaceAndItsKindInFrench) {
    EXPECT_EQ(describeLink(ethernet("eth0")), "eth0 - Interface Ethernet");
    EXPECT_EQ(describeLink(Link("lo", ARPHRD_LOOPBACK)), "lo - Interface de bouclage");
    EXPECT_EQ(describeLink(Link("wlan0", ARPHRD_ETHER).ofDevType("wlan")),
              "wlan0 - Interface Wi-Fi");
    EXPECT_EQ(describeLink(Link("br0", ARPHRD_ETHER).ofKind("bridge")), "br0 - Pont réseau");
    EXPECT_EQ(describeLink(Link("veth1", ARPHRD_ETHER).ofKind("veth")),
              "veth1 - Interface Ethernet virtuelle");
    EXPECT_EQ(describeLink(Link("tun0", ARPHRD_NONE).ofKind("tun")), "tun0 - Tunnel");
    EXPECT_EQ(describeLink(Link("tap0", ARPHRD_ETHER).ofKind("tun")),
              "tap0 - Interface Ethernet virtuelle");
    EXPECT_EQ(describeLink(Link("wg0", ARPHRD_NONE).ofKind("wireguard")), "wg0 - Tunnel");
    // The link beneath a tunnel is the one that costs, even when the tunnel is reported metered.
    Link vpn = Link("tun0", ARPHRD_NONE).ofKind("tun");
    vpn.metered = true;
    EXPECT_EQ(describeLink(vpn), "tun0 - Tunnel");
}

TEST(LinkDescription, PointToPointDialUpAndCellularLinksAreWan) {
    EXPECT_EQ(describeLink(Link("ppp0", ARPHRD_PPP)), "ppp0 - Interface WAN (PPP)");
    // A tun device switched to the PPP link type, as VPN and dial-up daemons do.
    EXPECT_EQ(describeLink(Link("tun3", ARPHRD_PPP).ofKind("tun")), "tun3 - Interface WAN (PPP)");
    EXPECT_EQ(describeLink(Link("sl0", ARPHRD_CSLIP)), "sl0 - Interface WAN (SLIP)");
    EXPECT_EQ(describeLink(Link("rmnet0", ARPHRD_RAWIP)),
              "rmnet0 - Interface WAN (haut débit mobile)");
    // qmi_wwan in Ethernet mode is known only by its device type.
    EXPECT_EQ(describeLink(Link("wwan0", ARPHRD_ETHER).ofDevType("wwan")),
              "wwan0 - Interface WAN (haut débit mobile)");
    EXPECT_EQ(
        describeLink(
            Link("wwan0", ARPHRD_NONE).ofDevType("wwan").madeBy("Sierra Wireless, Inc.", "EM7455")),
        "wwan0 - Interface WAN (haut débit mobile) - Sierra Wireless, Inc. EM7455");
}

TEST(LinkDescription, KnownAdapterShowsItsVendorAndModel) {
    EXPECT_EQ(describeLink(ethernet("enp3s0").madeBy("Intel Corporation",
                                                     "I210 Gigabit Network Connection")),
              "enp3s0 - Intel Corporation I210 Gigabit Network Connection");
    EXPECT_EQ(describeLink(ethernet("enp3s0").madeBy("Intel Corporation", "")),
              "enp3s0 - Intel Corporation");
}

TEST(LinkDescription, OnlyWanLinksMentionWan) {
    EXPECT_EQ(describeLink(ethernet("wan0", 3)), "Interface Ethernet (index 3)");
    EXPECT_EQ(describeLink(Link("WAN", ARPHRD_LOOPBACK, 7)), "Interface de bouclage (index 7)");

    Link taiwanese =
        ethernet("eth1").madeBy("Realtek Semiconductor Taiwan Co., Ltd.",
                                "RTL8111/8168 PCI Express Gigabit Ethernet controller");
    EXPECT_EQ(describeLink(taiwanese), "eth1 - Realtek Semiconductor Co., Ltd. RTL8111/8168 PCI "
                                       "Express Gigabit Ethernet controller");
    taiwanese.name = "Wan-port";
    EXPECT_EQ(describeLink(taiwanese), "Realtek Semiconductor Co., Ltd. RTL8111/8168 PCI "
                                       "Express Gigabit Ethernet controller");
    EXPECT_EQ(describeLink(Link("swan", 0, 9).madeBy("TaiWAN", "wAn")),
              "Interface réseau (index 9)");

    // Whatever the names, the word appears exactly for the WAN classes.
    for (const unsigned short type : std::initializer_list<unsigned short>{
             ARPHRD_ETHER, ARPHRD_LOOPBACK, ARPHRD_NONE, ARPHRD_PPP, ARPHRD_SLIP, ARPHRD_RAWIP,
             ARPHRD_IEEE80211, ARPHRD_SIT}) {
        for (const std::string_view devType : {"", "wlan", "wwan", "bridge"}) {
            const Link link = Link("xwanx", type).ofDevType(devType).madeBy("Taiwan Wan", "WAN-1");
            EXPECT_EQ(mentionsWan(describeLink(link)), isWanClass(classifyLink(link)))
                << type << " " << devType;
        }
    }
}

TEST(LinkDescription, StaysWithinTheRecordAsValidUtf8) {
    std::string vendor;
    for (int i = 0; i < 100; ++i) {
        vendor += "é€"; // 5 bytes: a 255-byte cut falls inside a character
    }
    for (const unsigned short type :
         std::initializer_list<unsigned short>{ARPHRD_ETHER, ARPHRD_PPP}) {
        const std::string description = describeLink(Link("eth0", type).madeBy(vendor, "X"));
        EXPECT_LE(description.size(), MAXLEN_IFDESCR - 1);
        EXPECT_GE(description.size(), MAXLEN_IFDESCR - 5);
        EXPECT_EQ(validUtf8(description), description);
        EXPECT_EQ(mentionsWan(description), type == ARPHRD_PPP);
    }
    EXPECT_EQ(describeLink(ethernet("et\xff\xc3h0")), "et??h0 - Interface Ethernet");
}

TEST(Utf8, InvalidBytesAreReplacedAndCharactersKeptWhole) {
    EXPECT_EQ(validUtf8("caf\xc3\xa9"), "caf\xc3\xa9");
    EXPECT_EQ(validUtf8("\xc0\xaf|\xed\xa0\x80|\xf4\x90\x80\x80|\xe2\x82"), "??|???|????|??");
    EXPECT_EQ(utf8PrefixLength("a\xe2\x82\xac", 3), 1u);
    EXPECT_EQ(utf8PrefixLength("a\xe2\x82\xac", 4), 4u);
    EXPECT_EQ(utf16FromUtf8("e\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"), u"eé€\U0001F600");
    EXPECT_EQ(utf16FromUtf8("a\xffz"), u"a\uFFFDz");
}

} // namespace
} // namespace platform
