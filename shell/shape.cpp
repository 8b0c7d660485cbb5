// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/shape.h"

#include <QPainter>

void TShape::setBrushColor(TColor color) {
    if (color != brush_) {
        brush_ = color;
        update();
    }
}

void TShape::setOutlined(bool outlined) {
    if (outlined != outlined_) {
        outlined_ = outlined;
        update();
    }
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(brush_));
    if (outlined_) {
        painter.setPen(Qt::black);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
