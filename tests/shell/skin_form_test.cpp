// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/region_mask.h"
#include "shell/skin_form.h"

#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtEndian>
#include <gtest/gtest.h>
#include <vector>

namespace {

QByteArray Stored(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

QByteArray StoredMask() {
    return Stored(":/skin/mask2.bin");
}

int Area(const QRegion& region) {
    int area = 0;
    for (const QRect& rectangle : region) {
        area += rectangle.width() * rectangle.height();
    }
    return area;
}

QByteArray Patched(QByteArray bytes, qsizetype offset, quint32 value) {
    qToLittleEndian(value, bytes.data() + offset);
    return bytes;
}

TEST(SkinMask, StoredMaskReadsAndWritesBackTheSameBytes) {
    const QByteArray stored = StoredMask();
    ASSERT_EQ(stored.size(), 804);
    const QRegion region = ReadRegionMask(stored);
    EXPECT_EQ(Area(region), 10811);
    EXPECT_EQ(region.rectCount(), 48);
    EXPECT_EQ(WriteRegionMask(region), stored);
    EXPECT_EQ(WriteRegionMask(QRegion()), QByteArray(4, '\0'));
}

TEST(SkinMask, MalformedMasksGiveNoMask) {
    const QByteArray stored = StoredMask();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"nothing stored", QByteArray()},
        {"zero count", QByteArray(4, '\0')},
        {"count beyond the stored bytes", Patched(stored, 0, 804)},
        {"truncated header", stored.left(20)},
        {"truncated rectangles", stored.left(700)},
        {"header size", Patched(stored, 4, 36)},
        {"region type", Patched(stored, 8, 2)},
        {"rectangle count not matching the count", Patched(stored, 12, 49)},
        {"array size not matching the count", Patched(stored, 16, 784)},
        {"empty rectangle", Patched(stored, 36 + 8, 176)},
        {"rectangle out of range", Patched(stored, 36, 0x80000000)},
    };
    for (const auto& c : cases) {
        // An exact-size heap copy, so that a read past the end shows under the address sanitizer.
        const std::vector<char> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_TRUE(ReadRegionMask(QByteArrayView(exact.data(), qsizetype(exact.size()))).isEmpty())
            << c.name;
    }
}

TEST(SkinForm, MakesItsFormBorderlessFillsAndShapesIt) {
    QWidget form;
    form.resize(930, 740);
    auto* skin = new TSkinForm;
    skin->setParent(&form);
    EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(skin->geometry(), QRect(0, 0, 930, 740));
    form.show(); // a hidden form tells its children of a resize only when shown
    form.resize(1280, 740);
    EXPECT_EQ(skin->geometry(), QRect(0, 0, 1280, 740));

    skin->ReadMask(StoredMask());
    EXPECT_EQ(Area(form.mask()), 10811);
    EXPECT_EQ(skin->WriteMask(), StoredMask());
}

TEST(SkinForm, ZeroMaskLeavesTheFormUnshaped) {
    QWidget form;
    TSkinForm skin(&form);
    skin.ReadMask(QByteArray(4, '\0'));
    EXPECT_TRUE(form.mask().isEmpty());
    EXPECT_EQ(skin.WriteMask(), QByteArray(4, '\0'));
}

TEST(SkinForm, KeepsItsCornerAndTakesItsSize) {
    QWidget panel;
    TSkinForm skin(&panel);
    skin.SetTop(25);
    skin.SetLeft(-3);
    skin.SetWidth(300);
    skin.SetHeight(120);
    EXPECT_EQ(skin.geometry(), QRect(0, 0, 300, 120));
}

TEST(SkinForm, ChildOfAControlLeavesTheFormsBorder) {
    QWidget form;
    QWidget panel(&form);
    TSkinForm skin(&panel);
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);
}

void Send(QWidget* target, QEvent::Type type, Qt::MouseButton button, QPoint at,
          Qt::KeyboardModifiers shift = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, target->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : button, held, shift);
    QApplication::sendEvent(target, &event);
}

// The offscreen platform has no interactive move of its own, so this drives the skin's own move.
TEST(SkinForm, OnlyALeftPressDragsTheWindow) {
    const struct {
        Qt::MouseButton button;
        bool draggable;
        QPoint moved;
    } cases[] = {
        {Qt::LeftButton, true, {30, 20}},
        {Qt::RightButton, true, {0, 0}},
        {Qt::MiddleButton, true, {0, 0}},
        {Qt::LeftButton, false, {0, 0}},
    };
    for (const auto& c : cases) {
        QWidget form;
        form.setGeometry(100, 100, 300, 100);
        TSkinForm skin(&form);
        skin.SetDraggable(c.draggable);
        form.show();
        const QPoint start = form.pos();
        Send(&skin, QEvent::MouseButtonPress, c.button, {50, 20});
        Send(&skin, QEvent::MouseMove, c.button, {80, 40});
        Send(&skin, QEvent::MouseButtonRelease, c.button, {80, 40});
        EXPECT_EQ(form.pos() - start, c.moved) << c.button << " " << c.draggable;
    }
}

TEST(SkinForm, ReportsPointerMovesToItsForm) {
    QWidget form;
    TSkinForm skin(&form);
    EXPECT_TRUE(skin.hasMouseTracking());
    QSignalSpy moves(&skin, &TSkinForm::MouseMove);
    Send(&skin, QEvent::MouseMove, Qt::NoButton, {12, 34}, Qt::ShiftModifier);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves[0][0].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(moves[0][1].toInt(), 12);
    EXPECT_EQ(moves[0][2].toInt(), 34);
}

TEST(SkinPicture, CoversTheShapeWithoutBlack) {
    const QImage picture(":/skin/skin.bmp");
    ASSERT_EQ(picture.size(), QSize(265, 91));
    int black = 0;
    for (const QRect& rectangle : ReadRegionMask(StoredMask())) {
        for (int y = rectangle.top(); y <= rectangle.bottom(); ++y) {
            for (int x = rectangle.left(); x <= rectangle.right(); ++x) {
                black += (picture.pixel(x, y) & RGB_MASK) == 0;
            }
        }
    }
    EXPECT_EQ(black, 0);
}

TEST(SkinPicture, BlackIsDrawnTransparent) {
    QWidget form;
    form.setPalette(QPalette(Qt::red));
    form.setAutoFillBackground(true);
    form.resize(300, 100);
    TSkinForm skin(&form);
    const QImage picture(":/skin/skin.bmp");
    skin.SetPicture(picture);
    const QImage shown = form.grab().toImage();
    EXPECT_EQ(shown.pixelColor(2, 2), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(100, 20), picture.pixelColor(100, 20));
}

} // namespace
