// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A filled rectangle with an optional thin black outline: the strip's state mark and alarm square.

#include "shell/colors.h"

#include <QWidget>

class TShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool outlined READ outlined WRITE setOutlined)
    Q_PROPERTY(uint brushColor READ brushColor WRITE setBrushColor)

public:
    explicit TShape(QWidget* parent = nullptr) : QWidget(parent) {}

    TColor brushColor() const { return brush_; }
    void setBrushColor(TColor color);
    bool outlined() const { return outlined_; }
    void setOutlined(bool outlined);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TColor brush_ = 0xFFFFFF;
    bool outlined_ = false;
};
