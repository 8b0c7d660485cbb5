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
