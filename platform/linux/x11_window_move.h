#pragma once
// Moving a top-level window on an X11 display with nothing but the configure request.

#include <cstdint>

namespace platform::x11 {

// Asks for window's top-left corner at (x, y) on the xcb connection (an xcb_connection_t*). The
// toolkit's own move also rewrites the window's size hints, which the window manager answers with
// property changes of its own: events and a round trip more for a window that moves ten times a
// second. The new position comes back to the toolkit as the usual configure notification.
void MoveWindow(void* connection, std::uint32_t window, int x, int y);

} // namespace platform::x11
