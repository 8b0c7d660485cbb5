// SPDX-License-Identifier: GPL-3.0-or-later
#include "info/resource.h"

#include <QFile>

QByteArray ResourceBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("The resource %s is not in the program", qPrintable(path));
    }
    return file.readAll();
}
