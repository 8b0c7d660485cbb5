// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The resources compiled into the program (texts, masks): they are always there, so one that is
// missing is a fault of the build, which stops the program at once rather than showing nothing.

#include <QByteArray>
#include <QString>

QByteArray ResourceBytes(const QString& path);
