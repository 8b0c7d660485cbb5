// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few requests on a top-level window of an X11 display that the toolkit does not make the way
// the widget needs. Each takes the xcb connection (an xcb_connection_t*) and the window's id;
// coordinates are the display's own pixels. And whether that connection still holds.

#include <cstdint>

namespace platform::x11 {

// Asks for window's top-left corner at (x, y) with nothing but the configure request. The
// toolkit's own move also rewrites the window's size hints, which the window manager answers with
// property changes of its own: events and a round trip more for a window that moves ten times a
// second. The position the display grants comes back to the toolkit as the usual configure
// notification.
void MoveWindow(void* connection, std::uint32_t window, int x, int y);

// Selects or deselects the structure notifications (moves, resizes, mapping) of window for this
// connection, keeping its other events. One round trip.
void SelectStructureNotifications(void* connection, std::uint32_t window, bool selected);

// Shows or hides the taskbar entry of window (EWMH _NET_WM_STATE_SKIP_TASKBAR). A mapped window
// asks the window manager; an unmapped one carries the state in its own property, which the
// window manager reads when it maps the window. One round trip.
void ShowInTaskbar(void* connection, std::uint32_t window, bool shown);

// Puts the unmapped window on every workspace and out of the pager (_NET_WM_DESKTOP 0xFFFFFFFF,
// _NET_WM_STATE_STICKY, _NET_WM_STATE_SKIP_PAGER). A window manager forgets a window's states when
// it is unmapped, so this is asked again before each mapping.
void ShowOnEveryDesktop(void* connection, std::uint32_t window);

// Whether the connection broke: the display's server gone, or the link to it.
bool ConnectionBroken(void* connection);

} // namespace platform::x11
