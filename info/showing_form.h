// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window whose FormShow handler runs each time the program shows it. Spontaneous show events
// come from the window system (un-minimising, a desktop switch), not from a showing.

#include <QWidget>

class TShowingForm : public QWidget {
    Q_OBJECT

protected:
    using QWidget::QWidget;

    virtual void FormShow() = 0;
    void showEvent(QShowEvent* event) override;
};
