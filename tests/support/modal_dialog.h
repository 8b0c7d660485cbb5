// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Answers the next modal dialog as its user would, and keeps what it showed.

#include "tests/support/qstring_printer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

struct SeenDialog {
    QString title;
    QString text;
    QString value; // the edit field of an input box
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool operator==(const SeenDialog&) const = default;
};

inline void PrintTo(const SeenDialog& seen, std::ostream* out) {
    *out << '{' << seen.title.toStdString() << " | " << seen.text.toStdString() << " | "
         << seen.value.toStdString() << " | format " << seen.format << " | icon " << seen.icon
         << " | " << seen.buttons.join(',').toStdString() << '}';
}

// Call before the dialog opens: once it runs, types `typed` into its edit field (if any) and
// presses the button captioned `button`.
inline void AnswerNextDialog(SeenDialog& seen, const QString& button,
                             const std::optional<QString>& typed = std::nullopt) {
    QTimer::singleShot(0, [&seen, button, typed] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no dialog open";
            return;
        }
        seen.title = dialog->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
            seen.text = box->text();
            seen.format = box->textFormat();
            seen.icon = box->icon();
        } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
            seen.text = input->labelText();
            seen.value = input->textValue();
            seen.format = input->findChild<QLabel*>()->textFormat();
            if (typed) {
                input->setTextValue(*typed);
            }
        }
        QAbstractButton* pressed = nullptr;
        for (QAbstractButton* candidate : dialog->findChildren<QAbstractButton*>()) {
            if (!candidate->isHidden()) {
                seen.buttons << candidate->text();
                pressed = candidate->text() == button ? candidate : pressed;
            }
        }
        if (pressed == nullptr) {
            ADD_FAILURE() << "no button " << button.toStdString();
            dialog->reject();
            return;
        }
        pressed->click();
    });
}

// Lets a box that did not wait for its answer get it, as AnswerNextDialog scripted, and be gone.
inline void SettleDialogs() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
