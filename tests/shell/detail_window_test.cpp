// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/detail_window.h"

#include <QHeaderView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(DetailWindow, LayoutAsStored) {
    DetailGrid grid;
    TForm2 form(grid);
    EXPECT_EQ(form.windowTitle(), "Etat des connexions");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.pos(), QPoint(198, 114));
    EXPECT_EQ(form.sgmib()->geometry(), QRect(0, 0, 659, 185));
    EXPECT_EQ(form.Label1()->text(), "Indicateur");
    EXPECT_EQ(form.Label1()->pos(), QPoint(8, 192));
    EXPECT_EQ(form.Label2()->text(), "Label2");
    EXPECT_EQ(form.Label2()->pos(), QPoint(232, 192));

    const QStringList headers = {"adaptateur",  "Adresse Mac", "Adresse IP",
                                 "oct/sec in",  "Max in/sec",  "Moy in/sec",
                                 "oct/sec out", "Max out/sec", "Moy out/sec"};
    QHeaderView* header = form.sgmib()->horizontalHeader();
    ASSERT_EQ(header->count(), 9);
    for (int col = 0; col < 9; ++col) {
        EXPECT_EQ(form.Grid().Cell(col, 0), headers[col]);
        EXPECT_EQ(header->sectionSize(col), 64);
    }
    EXPECT_EQ(form.sgmib()->model()->rowCount(), 4);
    EXPECT_EQ(form.sgmib()->rowHeight(0), 24);
    EXPECT_EQ(header->sectionResizeMode(0), QHeaderView::Interactive);
}

TEST(DetailWindow, TypingIntoTheGridChangesNothing) {
    DetailGrid grid;
    TForm2 form(grid);
    form.Grid().SetCell(3, 1, "4096");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTableView* view = form.sgmib();
    view->setCurrentIndex(view->model()->index(0, 3));
    QTest::keyClick(view, Qt::Key_F2);
    QTest::keyClicks(view, "99");
    QTest::keyClick(view, Qt::Key_Return);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       view->visualRect(view->model()->index(0, 3)).center());
    QTest::keyClicks(view->viewport(), "7");
    EXPECT_EQ(form.Grid().Cell(3, 1), "4096");
}

TEST(DetailWindow, GridFollowsTheWidthAndKeepsItsHeight) {
    DetailGrid grid;
    TForm2 form(grid);
    form.show();
    form.resize(900, 400);
    QCoreApplication::processEvents();
    EXPECT_EQ(form.sgmib()->geometry(), QRect(0, 0, 900, 185));
    EXPECT_EQ(form.sgmib()->horizontalHeader()->sectionSize(8), 64);
    EXPECT_EQ(form.Label2()->pos(), QPoint(232, 192));
}

} // namespace
