// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11_window.h"

#include <xcb/xcb.h>

#include <cstdlib>

namespace platform::x11 {

void MoveWindow(void* connectionHandle, std::uint32_t window, int x, int y) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    // The request carries the coordinates as 32-bit values, negative ones in two's complement.
    const std::uint32_t position[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
    xcb_flush(connection);
}

void SelectStructureNotifications(void* connectionHandle, std::uint32_t window, bool selected) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, window), nullptr);
    if (attributes == nullptr) {
        return;
    }
    std::uint32_t mask = attributes->your_event_mask;
    std::free(attributes);
    mask =
        selected ? mask | XCB_EVENT_MASK_STRUCTURE_NOTIFY : mask & ~XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, window, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);
}

bool ConnectionBroken(void* connection) {
    return xcb_connection_has_error(static_cast<xcb_connection_t*>(connection)) != 0;
}

} // namespace platform::x11
