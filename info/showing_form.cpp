// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/showing_form.h"

#include <QShowEvent>

void TShowingForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QWidget::showEvent(event);
}
