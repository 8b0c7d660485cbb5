// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed-width types and result codes of the system interfaces the program is written against.

#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using ULONG = std::uint32_t;
using UINT = std::uint32_t;
using BOOL = int;
using HMODULE = void*;
using HWND = void*; // a window, as the window system knows it

inline constexpr BOOL FALSE = 0;
inline constexpr BOOL TRUE = 1;

inline constexpr DWORD NO_ERROR = 0;
inline constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
