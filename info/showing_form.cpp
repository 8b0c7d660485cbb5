#include "info/showing_form.h"

#include <QShowEvent>

void TShowingForm::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        FormShow();
    }
    QWidget::showEvent(event);
}
