// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The About message: what this version brings, in the standard message box.

#include <QString>

class QWidget;

// The second line tells the dead time, or the billing rule in force when one is given.
QString AboutMessageText(const QString& billingRule = {});
// Shows the About message, modal over parent, until the user clicks "OK".
void Aproposde1Click(QWidget* parent, const QString& billingRule = {});
