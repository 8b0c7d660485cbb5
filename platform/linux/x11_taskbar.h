#pragma once
// A top-level window's entry in the taskbar of an X11 desktop (EWMH _NET_WM_STATE_SKIP_TASKBAR).

#include <cstdint>

namespace platform::x11 {

// Shows or hides the taskbar entry of window on the xcb connection (an xcb_connection_t*). A
// mapped window asks the window manager; an unmapped one carries the state in its own property,
// which the window manager reads when it maps the window. One round trip; the atoms it needs are
// interned at the connection's first use only.
void ShowInTaskbar(void* connection, std::uint32_t window, bool shown);

} // namespace platform::x11
