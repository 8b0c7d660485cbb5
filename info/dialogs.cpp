#include "info/dialogs.h"

#include <QCoreApplication>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle(QCoreApplication::applicationName());
    box.setIcon(icon);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton* ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    ShowBox(parent, QMessageBox::NoIcon, text);
}

bool ConfirmBox(QWidget* parent, const QString& text) {
    QMessageBox box(parent);
    box.setWindowTitle("Confirmation");
    box.setIcon(QMessageBox::Question);
    box.setTextFormat(Qt::PlainText);
    box.setText(text);
    QPushButton* yes = box.addButton("&Oui", QMessageBox::YesRole);
    QPushButton* no = box.addButton("&Non", QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                const QString& value) {
    QInputDialog box(parent);
    box.setWindowTitle(caption);
    box.setLabelText(prompt);
    // The prompt may carry text from a file: never read as markup.
    for (QLabel* label : box.findChildren<QLabel*>()) {
        label->setTextFormat(Qt::PlainText);
    }
    box.setTextValue(value);
    box.setOkButtonText("OK");
    box.setCancelButtonText("Annuler");
    if (box.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return box.textValue();
}

void ErrorBox(const QString& message) {
    ShowBox(nullptr, QMessageBox::Critical, WithFullStop(message));
}

QString WithFullStop(const QString& message) {
    return !message.isEmpty() && message.back() > QChar('.') ? message + '.' : message;
}
