// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few UTF-8 operations the platform needs: kernel and hardware-database strings are usually
// but not always valid UTF-8, and version resources hold UTF-16 text.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The text with every byte that does not belong to a valid UTF-8 character replaced by '?'.
std::string validUtf8(std::string_view text);

// The length of the longest prefix of valid UTF-8 text that fits in maxBytes without ending
// inside a character.
std::size_t utf8PrefixLength(std::string_view text, std::size_t maxBytes);

// Valid UTF-8 text as UTF-16.
std::u16string utf16FromUtf8(std::string_view text);

// UTF-16 text as UTF-8; a lone surrogate gives U+FFFD.
std::string utf8FromUtf16(std::u16string_view text);

} // namespace platform
