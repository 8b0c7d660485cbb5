// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The system's requests that the program end (on Linux SIGTERM, SIGINT and SIGHUP: a shutdown, a
// logout, Ctrl+C), turned into a descriptor that the GUI thread watches, so that the program can
// record its running connection before it exits.

namespace platform {

// Installs the handlers on the first call. The descriptor becomes readable at each request; -1
// where none can be made.
int terminationRequests();
// Consumes the requests that made the descriptor readable.
void drainTerminationRequests();

} // namespace platform
