// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's beeps.

#include "platform/system_types.h"

#include <functional>

// Plays the system's default beep for uType 0; returns at once.
BOOL MessageBeep(UINT uType);

namespace platform {

// The display's bell, which a beep rings instead when the system cannot play its own sound (no
// sound server, no sound theme). The GUI installs it; an empty function removes it. It is called
// on the platform's sound thread, never on MessageBeep's caller's, so it must hand the work to the
// GUI thread (a queued call to QApplication::beep()), and must not install another bell. Once this
// returns, the bell it replaced is neither running nor called again.
void setDisplayBell(std::function<void()> bell);

// Rings the installed display bell; false when none is installed.
bool ringDisplayBell();

} // namespace platform
