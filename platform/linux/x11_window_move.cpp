#include "platform/x11_window.h"

#include <xcb/xcb.h>

namespace platform::x11 {

void MoveWindow(void* connectionHandle, std::uint32_t window, int x, int y) {
    auto* connection = static_cast<xcb_connection_t*>(connectionHandle);
    // The request carries the coordinates as 32-bit values, negative ones in two's complement.
    const std::uint32_t position[] = {static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)};
    xcb_configure_window(connection, window, XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, position);
    xcb_flush(connection);
}

} // namespace platform::x11
