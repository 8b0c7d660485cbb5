// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's standard boxes: the message box, the confirmation dialog, the input box and the
// error box. All are modal for the program's windows; its timers keep ticking while they are open.
// The message and error boxes only inform: they return at once and stay open until the user
// closes them, so that nothing waits on them; a box that is already open with the same text is
// not opened again.
// No box is hidden under a window of the program: each stays on top, is transient for the window
// it covers (see KeepBoxesAbove) and takes the focus.

#include <QString>
#include <initializer_list>
#include <optional>

class QWidget;

// The program's windows that stay on top of the others, the one a box should cover first: a box
// opens transient for the first of them that is shown (or else for the parent it is given), and
// the boxes that are open when one of them is shown go above it again.
void KeepBoxesAbove(std::initializer_list<QWidget*> windows);

// The application title, the text, one "OK" button.
void ShowMessage(QWidget* parent, const QString& text);
// The same, waiting until it is closed: for what must be read before the program ends.
void ShowMessageAndWait(const QString& text);
// "Confirmation", a question icon, the text, "&Oui" and "&Non"; true for "&Oui".
bool ConfirmBox(QWidget* parent, const QString& text);
// The caption, the prompt above one edit field holding value, "OK" and "Annuler"; the edited text
// on "OK", nothing otherwise.
std::optional<QString> InputBox(QWidget* parent, const QString& caption, const QString& prompt,
                                const QString& value);
// The application title, an error icon, the message with its full stop, one "OK" button.
void ErrorBox(const QString& message);
// The same, waiting until it is closed.
void ErrorBoxAndWait(const QString& message);

// The message with a full stop added when its last character comes after "." in character order.
QString WithFullStop(const QString& message);
