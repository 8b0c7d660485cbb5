// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The integer conversion used for every number read from a file, the user or the detail grid, and
// the counter's checked signed 32-bit arithmetic.

#include <QString>
#include <cstdint>
#include <optional>

// The whole text as a signed 32-bit integer: leading blanks, one "+" or "-", then decimal digits,
// or hexadecimal ones after "$" or "0x". Anything else raises ConversionError.
std::int32_t StrToInt(const QString& text);
// The same, with nothing for a text that is not such an integer.
std::optional<std::int32_t> ToInt(const QString& text);
// The conversion error's message for that text.
QString ConversionMessage(const QString& text);

// A text from a file or the user as a message can show it: control characters escaped ("\x00"),
// and cut after a few dozen characters, so that no message lays out a whole file.
QString ShownText(const QString& text);

// The signed 32-bit sum, or nothing when it leaves the range.
std::optional<std::int32_t> SumInRange(std::int32_t a, std::int32_t b);
// Signed 32-bit sum and product; leaving the range raises OverflowError.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);
