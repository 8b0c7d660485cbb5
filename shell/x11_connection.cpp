// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/x11_connection.h"

#include "platform/x11_window.h"

#include <QGuiApplication>
#include <QThread>
#include <QtGui/qguiapplication_platform.h>
#include <utility>

namespace {

std::function<void()> lossHandler;
QtMessageHandler previousHandler = nullptr;

// Every message goes on as before; a warning on the GUI thread once the connection broke is the
// toolkit's last word before its exit.
void WatchMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
    if (type != QtWarningMsg || !lossHandler || QThread::currentThread() != qApp->thread()) {
        return;
    }
    if (void* connection = X11Connection();
        connection != nullptr && platform::x11::ConnectionBroken(connection)) {
        // Taken first: a warning from inside it does not run it again.
        std::exchange(lossHandler, {})();
    }
}

} // namespace

void* X11Connection() {
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
#else
    return nullptr;
#endif
}

void SetDisplayLossHandler(std::function<void()> handler) {
    static bool watching = false;
    if (!watching) {
        previousHandler = qInstallMessageHandler(WatchMessage);
        watching = true;
    }
    lossHandler = std::move(handler);
}
