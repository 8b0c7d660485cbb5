// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin of a shaped window: a picture that fills its form, makes the form borderless, cuts the
// form's window to the region of its mask, and drags the window by a left press anywhere on it.

#include <QByteArray>
#include <QByteArrayView>
#include <QPixmap>
#include <QRegion>
#include <QWidget>
#include <optional>

// The region holder: the shape read from the mask; empty when there is none.
struct TRegionType {
    QRegion region;
};

class TSkinForm : public QWidget {
    Q_OBJECT

public:
    explicit TSkinForm(QWidget* parent = nullptr);

    // Drawn at the top-left corner at its natural size; the colour of its bottom-left pixel is
    // transparent.
    void SetPicture(const QImage& picture);

    const TRegionType& Mask() const { return mask_; }
    // Reads the stored mask "Mask2" and shapes the top-level window with it. A zero count or
    // malformed bytes leave the holder empty and the window as it is.
    void ReadMask(QByteArrayView stored);
    // The stored form of the holder's region, 4 zero bytes when it has none.
    QByteArray WriteMask() const;

    // When false, a left press no longer moves the window.
    void SetDraggable(bool draggable) { draggable_ = draggable; }

    int Top() const { return y(); }
    // The skin always sits at the form's corner: top and left become 0 whatever is given.
    void SetTop(int top);
    void SetLeft(int left);
    void SetWidth(int width);
    void SetHeight(int height);

signals:
    // The pointer moved over the skin (not while the skin itself moves the window).
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void AdoptParent();

    QPixmap picture_;
    TRegionType mask_;
    bool draggable_ = true;
    // Where the pointer holds the window while the skin moves it itself.
    std::optional<QPoint> grip_;
};
