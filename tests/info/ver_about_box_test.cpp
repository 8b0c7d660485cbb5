// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/ver_about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

QString LabelText(const TVerAboutBox& box, const char* name) {
    return box.findChild<QLabel*>(name)->text();
}

// As if the timer fired count times.
void Tick(TVerAboutBox& box, int count) {
    for (int i = 0; i < count; ++i) {
        box.Timer1Timer();
    }
}

TEST(VerAboutBox, ClosesOnTheSecondTickAfterAShowingThenItsTimerSleeps) {
    TVerAboutBox box;
    EXPECT_TRUE(box.Timer1().IsActive());
    EXPECT_EQ(box.Timer1().Interval(), std::chrono::milliseconds(2000));
    box.VersionInfo1Click();
    ASSERT_TRUE(box.isVisible());
    Tick(box, 1);
    EXPECT_TRUE(box.isVisible());
    EXPECT_TRUE(box.Timer1().IsActive());
    Tick(box, 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1().IsActive());
    Tick(box, 5);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1().IsActive());
}

TEST(VerAboutBox, ShowingAgainWhileVisibleDoesNotProlongIt) {
    TVerAboutBox box;
    box.VersionInfo1Click();
    Tick(box, 1);
    box.VersionInfo1Click();
    Tick(box, 1);
    EXPECT_FALSE(box.isVisible());
}

TEST(VerAboutBox, EachShowingAfterHidingRestartsTheCountAndTheTimer) {
    TVerAboutBox box;
    box.show();
    Tick(box, 4);
    ASSERT_FALSE(box.isVisible());
    box.VersionInfo1Click();
    EXPECT_TRUE(box.Timer1().IsActive());
    Tick(box, 1);
    EXPECT_TRUE(box.isVisible());
    Tick(box, 1);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1().IsActive());
}

// The box already hidden, the closing tick still ends the timer's run.
TEST(VerAboutBox, OkHidesAtOnceAndLaterTicksShowNothing) {
    TVerAboutBox box;
    box.VersionInfo1Click();
    box.findChild<QPushButton*>("Button1")->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_TRUE(box.Timer1().IsActive());
    Tick(box, 3);
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1().IsActive());
}

TEST(VerAboutBox, LabelsAreReadAfreshAtEachShowingWithTheirPrefixes) {
    TVerAboutBox box;
    EXPECT_EQ(LabelText(box, "lblProductName"), "Nom du produit");
    EXPECT_EQ(LabelText(box, "lblVersion"), "lblVersion");
    EXPECT_EQ(LabelText(box, "lblCopyright"), "lblCopyright");

    // The test program carries no version information.
    box.show();
    EXPECT_EQ(LabelText(box, "lblProductName"), "");
    EXPECT_EQ(LabelText(box, "lblVersion"), "Version ");
    EXPECT_EQ(LabelText(box, "lblCopyright"), "Copyright ");

    box.findChild<QLabel*>("lblVersion")->setText("stale");
    box.close();
    box.show();
    EXPECT_EQ(LabelText(box, "lblVersion"), "Version ");
}

TEST(VerAboutBox, IsAFixedBorderlessYellowCardCentredOnceOnTheScreen) {
    TVerAboutBox box;
    EXPECT_EQ(box.windowTitle(), "A propos");
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(box.minimumSize(), QSize(272, 83));
    EXPECT_EQ(box.maximumSize(), QSize(272, 83));
    EXPECT_EQ(box.font().family(), "MS Sans Serif");
    EXPECT_EQ(box.font().pointSize(), 8);
    EXPECT_FALSE(box.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_FALSE(box.testAttribute(Qt::WA_QuitOnClose));

    const auto* frame = box.findChild<QFrame*>("pnlCadre");
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 272, 57));
    EXPECT_EQ(frame->frameShape(), QFrame::Box);
    EXPECT_EQ(frame->frameShadow(), QFrame::Sunken);
    EXPECT_TRUE(frame->autoFillBackground());
    EXPECT_EQ(frame->palette().color(QPalette::Window), QColor(Qt::yellow));
    const auto* button = box.findChild<QPushButton*>("Button1");
    EXPECT_EQ(button->geometry(), QRect(0, 58, 273, 25));
    EXPECT_EQ(button->text(), "OK");
    const QStringList children = {"imgProgramIcon", "lblProductName", "lblVersion", "lblCopyright"};
    const QList<QPoint> places = {{8, 8}, {46, 6}, {46, 18}, {46, 30}};
    for (int i = 0; i < children.size(); ++i) {
        const auto* label = box.findChild<QLabel*>(children[i]);
        EXPECT_EQ(label->parentWidget(), frame) << children[i].toStdString();
        EXPECT_EQ(label->pos(), places[i]) << children[i].toStdString();
    }
    EXPECT_EQ(box.findChild<QLabel*>("imgProgramIcon")->size(), QSize(37, 37));
    EXPECT_EQ(box.findChild<QLabel*>("lblVersion")->textFormat(), Qt::PlainText);

    box.show();
    const QPoint offCentre = box.frameGeometry().center() - box.screen()->geometry().center();
    EXPECT_LE(offCentre.manhattanLength(), 2);
    box.move(10, 20);
    box.close();
    box.show();
    EXPECT_EQ(box.pos(), QPoint(10, 20));
}

} // namespace
