// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The X11 display connection under the toolkit, for the few window requests it does not make the
// way the widget needs.

// The xcb connection (an xcb_connection_t*), or null off X11: the offscreen platform answers as
// X11 too, without a connection.
void* X11Connection();
