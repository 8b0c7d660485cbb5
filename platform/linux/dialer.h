// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starting the programs that dial and hang up (Debian's pon and poff) without waiting for them.

namespace platform {

// Starts the program found on PATH, with no argument and no shell, as a detached process: a
// session of its own, stdin from /dev/null, stdout and stderr shared, no other descriptor of this
// process, default signal handling. A thread of its own reaps it when it ends, so no zombie stays.
// False when it could not be started (none on PATH, not executable, no process to be had).
bool startDetached(const char* program);

} // namespace platform
