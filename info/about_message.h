// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About message: what this version brings, in the standard message box.

#include <QString>

class QWidget;

QString AboutMessageText();
// Shows the About message, modal over parent, until the user clicks "OK".
void Aproposde1Click(QWidget* parent);
