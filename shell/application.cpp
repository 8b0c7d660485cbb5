// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/application.h"

#include "info/dialogs.h"

#include <QHash>

namespace {

std::function<void(const QString&)> presenter = ErrorBox;
// The last failure of each source, while it repeats.
QHash<const void*, QString> repeating;

void Report(const void* source, const QString& message) {
    if (source != nullptr) {
        // Recorded before the box opens: the ticks that come while it is open find it.
        const auto known = repeating.constFind(source);
        if (known != repeating.constEnd() && *known == message) {
            return;
        }
        repeating.insert(source, message);
    }
    presenter(message);
}

} // namespace

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    // Timer events carry the repeating work (the ticks): their failures are counted per timer.
    const void* source = event->type() == QEvent::Timer ? receiver : nullptr;
    Guard([&] { handled = QApplication::notify(receiver, event); }, source);
    return handled;
}

void RanThrough(const void* source) {
    if (!repeating.isEmpty()) {
        repeating.remove(source);
    }
}

void ReportFailure(const void* source, const std::exception& failure) {
    Report(source, QString::fromUtf8(failure.what()));
}

void SetErrorPresenter(std::function<void(const QString&)> newPresenter) {
    presenter = newPresenter ? std::move(newPresenter) : ErrorBox;
}
