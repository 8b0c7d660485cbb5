// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <algorithm>
#include <memory>
#include <vector>

namespace {

// See KeepBoxesAbove.
std::vector<QPointer<QWidget>> coveredWindows;

// The window a box opens over: the first covered window shown, or else the one asked for.
QWidget* BoxParent(QWidget* asked) {
    for (QWidget* window : coveredWindows) {
        if (window != nullptr && window->isVisible()) {
            return window;
        }
    }
    return asked;
}

// A box stays on top as those windows do; transient for its parent, it stays above that one
// too, which is on top as well.
void StayOnTop(QWidget& box) {
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
}

void ShowActive(QWidget* box) {
    box->show();
    box->raise();
    box->activateWindow();
}

QMessageBox* NewBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    auto* box = new QMessageBox(BoxParent(parent));
    box->setWindowTitle(QCoreApplication::applicationName());
    box->setIcon(icon);
    box->setTextFormat(Qt::PlainText);
    box->setText(text);
    QPushButton* ok = box->addButton("OK", QMessageBox::AcceptRole);
    box->setDefaultButton(ok);
    box->setEscapeButton(ok);
    box->setWindowModality(Qt::ApplicationModal);
    // After the modality, which sets the flags afresh.
    StayOnTop(*box);
    return box;
}

// The boxes open without waiting, each until it is closed. Held here, so that one left open
// when the program ends is still known rather than lost.
std::vector<QMessageBox*> openBoxes;

void OpenBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    const bool open = std::any_of(openBoxes.begin(), openBoxes.end(),
                                  [&](const QMessageBox* box) { return box->text() == text; });
    if (open) {
        return;
    }
    QMessageBox* box = NewBox(parent, icon, text);
    box->setAttribute(Qt::WA_DeleteOnClose);
    openBoxes.push_back(box);
    // Forgotten once answered, or once its window (its parent) is gone.
    const auto forget = [box] { std::erase(openBoxes, box); };
    QObject::connect(box, &QDialog::finished, forget);
    QObject::connect(box, &QObject::destroyed, forget);
    ShowActive(box);
}

// Shown again over the window it should now cover: the window manager then stacks it above
// that window, and keeps it there. Only the boxes that do not wait can be: hiding one that waits
// would end its wait.
void MoveOpenBoxesAbove(QWidget* window) {
    for (QMessageBox* box : openBoxes) {
        if (box->parentWidget() != window) {
            box->hide();
            box->setParent(window, box->windowFlags());
            ShowActive(box);
        }
    }
}

// Watches the covered windows' showings.
class BoxKeeper : public QObject {
public:
    using QObject::QObject;

protected:
    // The window is mapped after its show event: the boxes follow it.
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !openBoxes.empty()) {
            QMetaObject::invokeMethod(
                this,
                [window = QPointer(static_cast<QWidget*>(watched))] {
                    if (window != nullptr && BoxParent(nullptr) == window) {
                        MoveOpenBoxesAbove(window);
                    }
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }
};

void WaitForBox(QMessageBox::Icon icon, const QString& text) {
    const std::unique_ptr<QMessageBox> box(NewBox(nullptr, icon, text));
    box->exec();
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text) {
    OpenBox(parent, QMessageBox::NoIcon, text);
}

void ShowMessageAndWait(const QString& text) {
    WaitForBox(QMessageBox::NoIcon, text);
}

void KeepBoxesAbove(std::initializer_list<QWidget*> windows) {
    static auto* keeper = new BoxKeeper(qApp);
    coveredWindows.assign(windows.begin(), windows.end());
    for (QWidget* window : windows) {
        window->installEventFilter(keeper);
    }
}

bool ConfirmBox(QWidget* parent, const QString& text) {
    QMessageBox box(BoxParent(parent));
    StayOnTop(box);
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
    QInputDialog box(BoxParent(parent));
    StayOnTop(box);
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
    OpenBox(nullptr, QMessageBox::Critical, WithFullStop(message));
}

void ErrorBoxAndWait(const QString& message) {
    WaitForBox(QMessageBox::Critical, WithFullStop(message));
}

QString WithFullStop(const QString& message) {
    return !message.isEmpty() && message.back() > QChar('.') ? message + '.' : message;
}
