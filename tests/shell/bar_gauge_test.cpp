// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/bar_gauge.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Set up as the widget window's activity gauge: 63 x 7, no border, range 0 to 10.
void LikeGauge1(TBarGauge& gauge) {
    gauge.resize(63, 7);
    gauge.SetBorderStyle(TBarGauge::TBorderStyle::bsNone);
    gauge.SetMaxValue(10);
    gauge.SetBackColor(clGreen);
    gauge.SetForeColor(clLime);
}

// The columns filled in the fore colour over the gauge's whole height.
int FilledColumns(TBarGauge& gauge) {
    const QImage image = gauge.grab().toImage();
    int filled = 0;
    for (int x = 0; x < image.width(); ++x) {
        bool full = true;
        for (int y = 0; y < image.height(); ++y) {
            full = full && image.pixelColor(x, y) == ToQColor(gauge.ForeColor());
        }
        filled += full;
    }
    return filled;
}

TEST(BarGauge, FillsTheColumnsOfItsPercentage) {
    TBarGauge gauge;
    LikeGauge1(gauge);
    const int columns[] = {0, 6, 12, 19, 25, 32, 38, 44, 51, 57, 63};
    for (int progress = 0; progress <= 10; ++progress) {
        gauge.SetProgress(progress);
        EXPECT_EQ(FilledColumns(gauge), columns[progress]) << progress;
    }
    gauge.SetForeColor(clNone);
    EXPECT_EQ(gauge.grab().toImage().pixelColor(30, 3), ToQColor(clGreen));
}

TEST(BarGauge, ClampsTheProgressAndShowsAnEmptyRangeEmpty) {
    TBarGauge gauge;
    LikeGauge1(gauge);
    gauge.SetProgress(15);
    EXPECT_EQ(gauge.Progress(), 10);
    EXPECT_EQ(FilledColumns(gauge), 63);
    gauge.SetProgress(-4);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(FilledColumns(gauge), 0);
    gauge.SetProgress(5);
    gauge.SetMinValue(10);
    EXPECT_EQ(gauge.Progress(), 10);
    EXPECT_EQ(FilledColumns(gauge), 0);
}

TEST(BarGauge, SingleBorderKeepsABlackRing) {
    TBarGauge gauge;
    LikeGauge1(gauge);
    gauge.SetBorderStyle(TBarGauge::TBorderStyle::bsSingle);
    gauge.SetProgress(10);
    const QImage image = gauge.grab().toImage();
    for (const QPoint ring : {QPoint(0, 3), QPoint(62, 3), QPoint(30, 0), QPoint(30, 6)}) {
        EXPECT_EQ(image.pixelColor(ring), QColor(Qt::black)) << ring.x() << "," << ring.y();
    }
    EXPECT_EQ(image.pixelColor(1, 1), ToQColor(clLime));
    EXPECT_EQ(image.pixelColor(61, 5), ToQColor(clLime));
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

TEST(BarGauge, RepaintsOnlyWhatChangesItsLook) {
    TBarGauge gauge;
    LikeGauge1(gauge);
    gauge.SetMaxValue(1000);
    gauge.show();
    QCoreApplication::processEvents();
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    const struct {
        const char* name;
        std::function<void()> change;
        int paints;
    } cases[] = {
        {"same back colour", [&] { gauge.SetBackColor(clGreen); }, 0},
        {"new back colour", [&] { gauge.SetBackColor(clRed); }, 1},
        {"same fore colour", [&] { gauge.SetForeColor(clLime); }, 0},
        {"new fore colour", [&] { gauge.SetForeColor(clYellow); }, 1},
        {"progress within the same percentage", [&] { gauge.SetProgress(9); }, 0},
        {"progress that fills no more columns", [&] { gauge.SetProgress(10); }, 0},
        {"progress that fills one more column", [&] { gauge.SetProgress(20); }, 1},
        {"same progress", [&] { gauge.SetProgress(20); }, 0},
        {"no fore colour", [&] { gauge.SetForeColor(clNone); }, 1},
        {"progress without a fore colour", [&] { gauge.SetProgress(500); }, 0},
    };
    for (const auto& c : cases) {
        counter.paints = 0;
        c.change();
        EXPECT_EQ(counter.paints, c.paints) << c.name;
    }
}

TEST(BarGauge, RefusesAnInvertedRangeUnlessLoading) {
    TBarGauge gauge;
    const struct {
        std::function<void()> change;
        const char* message;
    } cases[] = {
        {[&] { gauge.SetMinValue(101); }, "La valeur doit être comprise entre -2147483647 et 99"},
        {[&] { gauge.SetMaxValue(-1); }, "La valeur doit être comprise entre 1 et 2147483647"},
    };
    for (const auto& c : cases) {
        try {
            c.change();
            ADD_FAILURE() << "accepted, expected: " << c.message;
        } catch (const platform::InvalidOperation& error) {
            EXPECT_STREQ(error.what(), c.message);
        }
    }
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    gauge.SetLoading(true);
    gauge.SetMinValue(200);
    EXPECT_EQ(gauge.MinValue(), 200);
}

TEST(BarGauge, DisabledLetsTheMouseThrough) {
    QWidget form;
    form.resize(300, 100);
    auto* gauge = new TBarGauge(&form);
    gauge->setGeometry(178, 2, 63, 7);
    EXPECT_EQ(form.childAt(180, 4), gauge);
    gauge->setEnabled(false);
    EXPECT_EQ(form.childAt(180, 4), nullptr);
}

} // namespace
