// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's Internet connection services.

#include "platform/system_types.h"

// Non-zero when the system has an Internet connection up; *lpdwFlags receives how (unused here).
BOOL InternetGetConnectedState(DWORD* lpdwFlags, DWORD dwReserved);
// Starts dialling the default connection and returns at once; the result says only whether the
// request could be made.
BOOL InternetAutodial(DWORD dwFlags, HWND hwndParent);
// Starts hanging up the dialled connection and returns at once.
BOOL InternetAutodialHangup(DWORD dwReserved);

#include <functional>
#include <string>

namespace platform {

// Where a refusal of a dial or a hang-up goes: the system's dialler (NetworkManager) answers
// after InternetAutodial or InternetAutodialHangup returned, with its reason in a French sentence.
// The GUI installs the report; it is called on the platform's own thread, so it must hand the
// text to the GUI thread. An empty function removes it; once this returns, the report it replaced
// is neither running nor called again.
void setDialFailureReport(std::function<void(const std::string&)> report);

// Hands the text to the installed report; nothing happens without one.
void reportDialFailure(const std::string& text);

} // namespace platform
