// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/skin_form.h"

#include "shell/region_mask.h"

#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>

TSkinForm::TSkinForm(QWidget* parent) : QWidget(parent) {
    // The widget window hides its strip when the pointer merely passes over the skin.
    setMouseTracking(true);
    AdoptParent();
}

void TSkinForm::SetPicture(const QImage& picture) {
    picture_ = QPixmap::fromImage(picture);
    if (!picture.isNull()) {
        const QRgb transparent = picture.pixel(0, picture.height() - 1);
        picture_.setMask(
            QBitmap::fromImage(picture.createMaskFromColor(transparent, Qt::MaskInColor)));
    }
    update();
}

void TSkinForm::ReadMask(QByteArrayView stored) {
    mask_.region = ReadRegionMask(stored);
    if (!mask_.region.isEmpty()) {
        window()->setMask(mask_.region);
    }
}

QByteArray TSkinForm::WriteMask() const {
    return WriteRegionMask(mask_.region);
}

void TSkinForm::SetTop(int) {
    move(x(), 0);
}

void TSkinForm::SetLeft(int) {
    move(0, y());
}

void TSkinForm::SetWidth(int width) {
    resize(width, height());
}

void TSkinForm::SetHeight(int height) {
    resize(width(), height);
}

bool TSkinForm::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange) {
        AdoptParent();
    }
    return QWidget::event(event);
}

// Dropped on a form, the skin makes it borderless and covers its whole client area.
void TSkinForm::AdoptParent() {
    if (QWidget* form = parentWidget()) {
        if (form->isWindow()) {
            form->setWindowFlag(Qt::FramelessWindowHint);
        }
        form->installEventFilter(this);
        resize(form->size());
    }
    SetTop(0);
    SetLeft(0);
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        resize(parentWidget()->size());
    }
    return false;
}

void TSkinForm::paintEvent(QPaintEvent*) {
    QPainter(this).drawPixmap(0, 0, picture_);
}

void TSkinForm::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !draggable_) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The skin moves the window itself rather than through the window manager's interactive
    // move: during that move the program does not learn where the window is, so a window that
    // also moves itself (the widget's drift) would put it back where the drag began.
    // Held by the pointer's place in the window, which the press itself tells: the window may move
    // itself without the toolkit learning its position.
    grip_ = mapTo(window(), event->position().toPoint());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event) {
    if (grip_) {
        window()->move(event->globalPosition().toPoint() - *grip_);
        return;
    }
    const QPoint at = event->position().toPoint();
    emit MouseMove(event->modifiers(), at.x(), at.y());
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        grip_.reset();
    }
    QWidget::mouseReleaseEvent(event);
}
