#pragma once
// The system's beeps.

#include "platform/system_types.h"

// Plays the system's default beep for uType 0; returns at once.
BOOL MessageBeep(UINT uType);
