// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Colours as 24-bit values in blue-green-red order (0x00BBGGRR), as the layouts and the connected
// flag use them.

#include <QColor>
#include <cstdint>

using TColor = std::uint32_t;

inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clBlack = 0x000000;
// No colour at all: what a colour property holds before anything sets it.
inline constexpr TColor clNone = 0x1FFFFFFF;

inline QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}
