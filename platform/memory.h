// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The memory the program has freed, given back to the system.

namespace platform {

// Returns the freed memory the allocator keeps for later use. Worth its cost only after a large
// part of the program went away (a window closed): the allocator keeps small freed blocks amid
// the live ones, and gives them back only when asked.
void releaseFreedMemory();

} // namespace platform
