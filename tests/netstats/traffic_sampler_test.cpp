// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/traffic_sampler.h"
#include "platform/fake/fake_platform.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

const QString kNone = QStringLiteral("  --  ");

class Sampler : public ::testing::Test {
protected:
    platform::FakePlatform fake;
    platform::ScopedPlatform installed{fake};
    DetailGrid grid;
    TrafficSampler sampler{grid};

    // Columns 3 to 8 of a grid row.
    QStringList figures(int row) const {
        QStringList cells;
        for (int col = InRate; col < ColumnCount; ++col) {
            cells << grid.Cell(col, row);
        }
        return cells;
    }
    // One connected sample after the interface's counters grew by these amounts.
    void grow(DWORD index, DWORD in, DWORD out = 0) {
        fake.row(index).dwInOctets += in;
        fake.row(index).dwOutOctets += out;
        sampler.CaptureMIBData(false);
    }
};

TEST_F(Sampler, DisconnectedFillListsEveryInterface) {
    fake.addInterface(1, "lo - Interface de bouclage");
    fake.addInterface(2, " \teth0 - Interface Ethernet\r\n", {0, 0x0C, 0x29, 0x1A, 0x2B, 0x3C});
    fake.addInterface(3, "ppp0 - Interface WAN (PPP)");
    fake.addAddress(2, 192, 168, 0, 12);
    fake.addAddress(1, 127, 0, 0, 1);
    fake.addAddress(2, 10, 0, 0, 5); // listed first once sorted
    sampler.CaptureMIBData(true);

    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(0, 1), "lo - Interface de bouclage");
    EXPECT_EQ(grid.Cell(1, 1), "00-00-00-00-00-00");
    EXPECT_EQ(grid.Cell(2, 1), "127.  0.  0.  1");
    EXPECT_EQ(grid.Cell(0, 2), "eth0 - Interface Ethernet");
    EXPECT_EQ(grid.Cell(1, 2), "00-0C-29-1A-2B-3C");
    EXPECT_EQ(grid.Cell(2, 2), " 10.  0.  0.  5");
    EXPECT_EQ(grid.Cell(2, 3), "!not_found!");
    EXPECT_EQ(figures(1), QStringList(6, QString()));
    // The address table is read afresh for every interface.
    EXPECT_EQ(fake.addrTableCalls, 6);
    EXPECT_EQ(fake.ifTableCalls, 2);
}

TEST_F(Sampler, DescriptionBytesFollowTheirCountedLength) {
    MIB_IFROW& none = fake.addInterface(1, "ignored");
    none.dwDescrLen = 0;
    fake.addInterface(2, "x").dwDescrLen = 1;
    MIB_IFROW& full = fake.addInterface(3, std::string(255, 'a'));
    full.dwDescrLen = 4000; // never more than the 255 bytes before the terminator
    fake.addInterface(4, "Carte réseau sans fil");
    sampler.CaptureMIBData(true);
    EXPECT_EQ(grid.Cell(0, 1), "");
    EXPECT_EQ(grid.Cell(0, 2), "");
    EXPECT_EQ(grid.Cell(0, 3), QString(255, 'a'));
    EXPECT_EQ(grid.Cell(0, 4), "Carte réseau sans fil");
}

TEST_F(Sampler, RatesMaximaAndAveragesOfTheConnection) {
    fake.addInterface(5, "ppp0 - Interface WAN (PPP)", {}, 1000, 50);
    sampler.CaptureMIBData(true);

    grow(5, 0);
    EXPECT_EQ(figures(1), QStringList({"0", "0", kNone, "0", "0", kNone}));
    grow(5, 100, 7);
    grow(5, 0, 0);
    grow(5, 200, 0);
    // An idle second counts neither in the total nor in the number of samples.
    EXPECT_EQ(figures(1), QStringList({"200", "200", "150", "0", "7", "7"}));

    // A new disconnected fill starts the next connection afresh, keeping the old figures shown.
    sampler.CaptureMIBData(true);
    EXPECT_EQ(figures(1), QStringList({"200", "200", "150", "0", "7", "7"}));
    grow(5, 10, 10);
    EXPECT_EQ(figures(1), QStringList({"10", "10", "10", "10", "10", "10"}));
}

TEST_F(Sampler, HugeGrowthWrapAndRestart) {
    fake.addInterface(1, "ppp0 - Interface WAN (PPP)", {}, 0, 4294967000u);
    sampler.CaptureMIBData(true);

    grow(1, 3000000000u, 500); // the out counter wraps past 2^32
    EXPECT_EQ(figures(1),
              QStringList({"2147483647", "2147483647", "2147483647", "500", "500", "500"}));
    // Three full-rate seconds: the sum passes 2^32 and the third one wraps the counter.
    fake.row(1).dwInOctets = 0;
    sampler.CaptureMIBData(true);
    for (int i = 0; i < 3; ++i) {
        grow(1, 2147483647u);
    }
    EXPECT_EQ(grid.Cell(3, 1), "2147483647");
    EXPECT_EQ(grid.Cell(5, 1), "2147483647");

    // The link reconnects: its counters start again from zero, no phantom gigabytes.
    fake.row(1).dwInOctets = 1200;
    fake.row(1).dwOutOctets = 80;
    sampler.CaptureMIBData(false);
    EXPECT_EQ(grid.Cell(3, 1), "1200");
    EXPECT_EQ(grid.Cell(6, 1), "80");
}

TEST_F(Sampler, AnotherInterfaceInTheRowIsARestart) {
    fake.addInterface(1, "lo", {}, 100, 100);
    fake.addInterface(2, "ppp0", {}, 4000000000u, 900);
    sampler.CaptureMIBData(true);
    // ppp0 goes and ppp1 comes back at the same place, its counters far below ppp0's.
    fake.interfaces.pop_back();
    fake.addInterface(3, "ppp1", {}, 3000000000u, 40);
    sampler.CaptureMIBData(false);
    EXPECT_EQ(grid.Cell(3, 2), "2147483647");
    EXPECT_EQ(grid.Cell(6, 2), "40");
    EXPECT_EQ(sampler.IfStats()[1].LastInOctets, 3000000000u);
}

TEST_F(Sampler, RowCountFollowsTheTableAndTheLastRowIsNeverWritten) {
    for (DWORD i = 1; i <= 4; ++i) {
        fake.addInterface(i, "if" + std::to_string(i), {}, 0, 0);
    }
    sampler.CaptureMIBData(true);
    grow(4, 33, 44);
    EXPECT_EQ(grid.RowCount(), 6);

    // The last interface goes: its row becomes row n + 1 and keeps every text it had.
    fake.interfaces.pop_back();
    sampler.CaptureMIBData(true);
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(0, 4), "if4");
    EXPECT_EQ(figures(4), QStringList({"33", "33", "33", "44", "44", "44"}));
    EXPECT_EQ(sampler.IfStats().size(), 3u);
    EXPECT_EQ(grid.Cell(0, 5), "");
}

TEST_F(Sampler, EmptyTableChangesNothing) {
    fake.addInterface(1, "eth0", {}, 10, 10);
    sampler.CaptureMIBData(true);
    grow(1, 5, 6);
    const QStringList before = figures(1);

    fake.ifSizeQueryAnswer = 0;
    sampler.CaptureMIBData(true);
    sampler.CaptureMIBData(false);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cell(0, 1), "eth0");
    EXPECT_EQ(figures(1), before);
    EXPECT_EQ(sampler.IfStats().size(), 1u);
}

TEST_F(Sampler, InterfacesThatAppearWhileConnectedWaitForTheNextList) {
    fake.addInterface(1, "eth0", {}, 10, 10);
    sampler.CaptureMIBData(true);
    fake.addInterface(2, "ppp0", {}, 999, 999);
    sampler.CaptureMIBData(false);
    EXPECT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(figures(2), QStringList(6, QString()));
    EXPECT_EQ(sampler.IfStats().size(), 1u);
}

} // namespace
