// SPDX-License-Identifier: GPL-3.0-or-later
#include "netstats/detail_grid.h"

#include <gtest/gtest.h>

namespace {

TEST(DetailGrid, TextsOutliveTheRowCount) {
    DetailGrid grid;
    EXPECT_EQ(grid.RowCount(), 5);
    EXPECT_EQ(grid.Cell(8, 4), "");
    EXPECT_EQ(grid.Cell(3, 1000), "");
    grid.SetCell(0, 3, "ppp0");
    grid.SetCell(8, 4, "12");

    grid.SetRowCount(3);
    EXPECT_EQ(grid.rowCount(), 2); // data rows only: row 0 is the view's header
    EXPECT_EQ(grid.Cell(0, 3), "ppp0");

    grid.SetRowCount(5);
    EXPECT_EQ(grid.Cell(0, 3), "ppp0");
    EXPECT_EQ(grid.Cell(8, 4), "12");
    EXPECT_EQ(grid.data(grid.index(3, 8), Qt::DisplayRole).toString(), "12");
}

TEST(DetailGrid, ModelShowsRowZeroAsHeaderAndCannotBeEdited) {
    DetailGrid grid;
    grid.SetCell(2, 0, "Adresse IP");
    grid.SetCell(2, 1, "127.  0.  0.  1");
    EXPECT_EQ(grid.columnCount(), 9);
    EXPECT_EQ(grid.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(), "Adresse IP");
    EXPECT_EQ(grid.data(grid.index(0, 2), Qt::DisplayRole).toString(), "127.  0.  0.  1");
    EXPECT_FALSE(grid.flags(grid.index(0, 2)).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(grid.setData(grid.index(0, 2), "typed", Qt::EditRole));
    EXPECT_EQ(grid.Cell(2, 1), "127.  0.  0.  1");
}

} // namespace
