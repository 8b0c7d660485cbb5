// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/interface_tables.h"
#include "platform/fake/fake_platform.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

TEST(TextForms, HardwareAddressPairsOrZeros) {
    BYTE bytes[MAXLEN_PHYSADDR] = {0x00, 0x0C, 0x29, 0x1A, 0x2B, 0x3C, 0xFE, 0x01};
    EXPECT_EQ(FormatMacAddress(bytes, 6), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(FormatMacAddress(bytes, 8), "00-0C-29-1A-2B-3C-FE-01");
    EXPECT_EQ(FormatMacAddress(bytes, 0), "00-00-00-00-00-00");
    BYTE single[MAXLEN_PHYSADDR] = {171};
    EXPECT_EQ(FormatMacAddress(single, 1), "AB");
    // A length past the array never reads past it.
    EXPECT_EQ(FormatMacAddress(bytes, 200), "00-0C-29-1A-2B-3C-FE-01");
}

TEST(TextForms, IpAddressIsFifteenCharactersFirstOctetFirst) {
    auto address = [](BYTE a, BYTE b, BYTE c, BYTE d) {
        const BYTE octets[4] = {a, b, c, d};
        DWORD addr;
        std::memcpy(&addr, octets, 4);
        return FormatIpAddress(addr);
    };
    EXPECT_EQ(address(192, 168, 0, 1), "192.168.  0.  1");
    EXPECT_EQ(address(127, 0, 0, 1), "127.  0.  0.  1");
    EXPECT_EQ(address(10, 0, 0, 138), " 10.  0.  0.138");
    EXPECT_EQ(address(0, 0, 0, 0), "  0.  0.  0.  0");
    EXPECT_EQ(address(255, 255, 255, 255).size(), 15);
}

class TableReading : public ::testing::Test {
protected:
    platform::FakePlatform fake;
    platform::ScopedPlatform installed{fake};
};

TEST_F(TableReading, OneRowIsCopiedWhole) {
    MIB_IFROW& row = fake.addInterface(7, "eth0 - Interface Ethernet", {1, 2, 3, 4, 5, 6}, 10, 20);
    row.dwMtu = 1500;
    row.wszName[0] = u'e';
    TMIBIfArray table;
    ReadInterfaceTable(table);
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(std::memcmp(&table[0], &fake.interfaces[0], sizeof(MIB_IFROW)), 0);
    EXPECT_EQ(fake.ifTableCalls, 2);
}

TEST_F(TableReading, EveryFailureGivesAnEmptyArray) {
    fake.addInterface(1, "lo");
    fake.addAddress(1, 127, 0, 0, 1);
    TMIBIfArray interfaces;
    TMibIPAddrArray addresses;

    // A size query that does not answer 122, even with success, ends the read at once.
    for (DWORD answer : {DWORD{0}, DWORD{1}, DWORD{87}}) {
        fake.ifSizeQueryAnswer = answer;
        fake.addrSizeQueryAnswer = answer;
        fake.ifTableCalls = fake.addrTableCalls = 0;
        ReadInterfaceTable(interfaces);
        ReadAddressTable(addresses);
        EXPECT_TRUE(interfaces.empty());
        EXPECT_TRUE(addresses.empty());
        EXPECT_EQ(fake.ifTableCalls, 1);
        EXPECT_EQ(fake.addrTableCalls, 1);
    }
    fake.ifSizeQueryAnswer.reset();
    fake.addrSizeQueryAnswer.reset();

    // A table that grows between the two calls fails the second one: no retry.
    fake.afterSizeQuery = [this] {
        fake.addInterface(2, "eth0");
        fake.addAddress(2, 10, 0, 0, 1);
    };
    ReadInterfaceTable(interfaces);
    ReadAddressTable(addresses);
    EXPECT_TRUE(interfaces.empty());
    EXPECT_TRUE(addresses.empty());
    fake.afterSizeQuery = nullptr;

    // A table without rows.
    fake.interfaces.clear();
    fake.addresses.clear();
    ReadInterfaceTable(interfaces);
    ReadAddressTable(addresses);
    EXPECT_TRUE(interfaces.empty());
    EXPECT_TRUE(addresses.empty());
}

TEST_F(TableReading, AddressesComeInAscendingOrder) {
    fake.addAddress(3, 192, 168, 1, 9);
    fake.addAddress(1, 127, 0, 0, 1);
    fake.addAddress(2, 10, 0, 0, 138);
    fake.addAddress(2, 10, 0, 0, 2);
    TMibIPAddrArray table;
    ReadAddressTable(table);
    ASSERT_EQ(table.size(), 4u);
    QStringList texts;
    for (const MIB_IPADDRROW& row : table) {
        texts << FormatIpAddress(row.dwAddr);
    }
    EXPECT_EQ(texts, QStringList({" 10.  0.  0.  2", " 10.  0.  0.138", "127.  0.  0.  1",
                                  "192.168.  1.  9"}));
}

} // namespace
