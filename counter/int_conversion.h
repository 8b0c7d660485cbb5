#pragma once
// The integer conversion used for every number read from a file, the user or the detail grid, and
// the counter's checked signed 32-bit arithmetic.

#include <QString>
#include <cstdint>

// The whole text as a signed 32-bit integer: leading blanks, one "+" or "-", then decimal digits,
// or hexadecimal ones after "$" or "0x". Anything else raises ConversionError.
std::int32_t StrToInt(const QString& text);

// Signed 32-bit sum and product; leaving the range raises OverflowError.
std::int32_t CheckedAdd(std::int32_t a, std::int32_t b);
std::int32_t CheckedMul(std::int32_t a, std::int32_t b);
