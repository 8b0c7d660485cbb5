// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/x11_connection.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

void* X11Connection() {
#if QT_CONFIG(xcb)
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
#else
    return nullptr;
#endif
}
