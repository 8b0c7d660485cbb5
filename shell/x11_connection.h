// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The X11 display connection under the toolkit, for the few window requests it does not make the
// way the widget needs, and for its loss.

#include <functional>

// The xcb connection (an xcb_connection_t*), or null off X11: the offscreen platform answers as
// X11 too, without a connection.
void* X11Connection();

// Runs handler once, on the GUI thread, when the toolkit finds the display connection broken:
// the toolkit then warns and ends the program from inside its main loop, and the handler runs
// between the two, with every window and object of the program still there. Empty to forget it.
void SetDisplayLossHandler(std::function<void()> handler);
