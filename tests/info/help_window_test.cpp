// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/help_window.h"

#include <QFile>
#include <QLayout>
#include <QPlainTextEdit>
#include <QScreen>
#include <gtest/gtest.h>

namespace {

// As if the timer fired count times.
void Tick(TForm4& form, int count) {
    for (int i = 0; i < count; ++i) {
        form.Timer1Timer();
    }
}

// The memo shows the shipped help text as it is written: its 27 lines, with its tabs and accents,
// and no empty line added at its end.
TEST(HelpWindow, MemoHoldsTheShippedHelpText) {
    QFile shipped(FILOCOMPTE_SOURCE_DIR "/resources/help.txt");
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(shipped.readAll());
    TForm4 form;
    const QString shown = form.Memo1()->toPlainText();
    EXPECT_EQ(shown + '\n', text);
    EXPECT_EQ(form.Memo1()->document()->blockCount(), 27);
    EXPECT_TRUE(shown.startsWith("Bonjour,\n"));
    EXPECT_TRUE(shown.contains("\t- decompte_internet.log\n\t- jour_raz.txt"));
    EXPECT_TRUE(shown.contains("première fois"));
}

TEST(HelpWindow, FadesInOneStepATickFrom10To200ThenItsTimerSleeps) {
    TForm4 form;
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    EXPECT_TRUE(form.Timer1().IsActive());
    EXPECT_EQ(form.Timer1().Interval(), std::chrono::milliseconds(25));
    form.Unpetitcoupdemain1Click();
    ASSERT_TRUE(form.isVisible());
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    for (int step = 1; step <= 190; ++step) {
        ASSERT_TRUE(form.Timer1().IsActive()) << step;
        form.Timer1Timer();
        ASSERT_EQ(form.AlphaBlendValue(), 10 + step);
    }
    EXPECT_NEAR(form.windowOpacity(), 200 / 255.0, 1 / 255.0);
    EXPECT_FALSE(form.Timer1().IsActive());
    Tick(form, 20);
    EXPECT_EQ(form.AlphaBlendValue(), 200);
    EXPECT_FALSE(form.Timer1().IsActive());
}

TEST(HelpWindow, OnlyAShowingAfterHidingRestartsTheFade) {
    TForm4 form;
    form.show();
    Tick(form, 50);
    form.Unpetitcoupdemain1Click();
    EXPECT_EQ(form.AlphaBlendValue(), 60);

    // Hidden, the fade sleeps at its next tick: what it would change nobody sees.
    form.close();
    EXPECT_FALSE(form.isVisible());
    Tick(form, 1);
    EXPECT_FALSE(form.Timer1().IsActive());
    form.Unpetitcoupdemain1Click();
    EXPECT_EQ(form.AlphaBlendValue(), 10);
    EXPECT_TRUE(form.Timer1().IsActive());
}

TEST(HelpWindow, UserEditsSurviveHidingAndShowing) {
    TForm4 form;
    form.show();
    EXPECT_FALSE(form.Memo1()->isReadOnly());
    const QString help = form.Memo1()->toPlainText();
    form.Memo1()->appendPlainText("ma note");
    form.close();
    form.show();
    EXPECT_EQ(form.Memo1()->toPlainText(), help + "\nma note");
}

TEST(HelpWindow, IsASizeableAlwaysOnTopWindowWithTheMemoFillingIt) {
    TForm4 form;
    EXPECT_EQ(form.windowTitle(), "Je vous dois des ex-complications");
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(form.testAttribute(Qt::WA_QuitOnClose));
    EXPECT_FALSE(form.testAttribute(Qt::WA_DeleteOnClose));
    EXPECT_EQ(form.size(), QSize(763, 436));

    form.show();
    // Centred before the window frame is known: off by at most half the frame, and rounding.
    const QPoint offCentre = form.frameGeometry().center() - form.screen()->geometry().center();
    const QSize frame = form.frameGeometry().size() - form.size();
    EXPECT_LE(offCentre.manhattanLength(), (frame.width() + frame.height()) / 2 + 2);
    const QFont font = form.Memo1()->font();
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pixelSize(), 15);
    EXPECT_EQ(form.Memo1()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.Memo1()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo1()->geometry(), form.rect());
    form.resize(500, 300);
    form.layout()->activate();
    EXPECT_EQ(form.Memo1()->geometry(), QRect(0, 0, 500, 300));
}

} // namespace
