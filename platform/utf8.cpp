// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/utf8.h"

namespace platform {

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length in bytes of the valid character that starts text, 0 if the bytes there are not one.
// Overlong forms, surrogates and values past U+10FFFF are invalid.
std::size_t characterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) {
        return 1;
    }
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || text.size() < length) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!isContinuation(static_cast<unsigned char>(text[i]))) {
            return 0;
        }
    }
    const auto second = static_cast<unsigned char>(text[1]);
    const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    const bool outOfRange = (lead == 0xED && second >= 0xA0) || (lead == 0xF4 && second >= 0x90);
    return overlong || outOfRange ? 0 : length;
}

char32_t codePoint(std::string_view character) {
    const auto lead = static_cast<unsigned char>(character[0]);
    if (character.size() == 1) {
        return lead;
    }
    char32_t value = lead & (0x7F >> character.size());
    for (std::size_t i = 1; i < character.size(); ++i) {
        value = (value << 6) | (static_cast<unsigned char>(character[i]) & 0x3F);
    }
    return value;
}

bool isSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t code) {
    const int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
    static constexpr unsigned char kLeads[] = {0x00, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLeads[extra] | (code >> (6 * extra)));
    for (int shift = 6 * (extra - 1); shift >= 0; shift -= 6) {
        out += static_cast<char>(0x80 | ((code >> shift) & 0x3F));
    }
}

} // namespace

std::string validUtf8(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = characterLength(text);
        result.append(length == 0 ? std::string_view("?") : text.substr(0, length));
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return result;
}

std::size_t utf8PrefixLength(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    std::size_t length = maxBytes;
    while (length > 0 && isContinuation(static_cast<unsigned char>(text[length]))) {
        --length;
    }
    return length;
}

std::u16string utf16FromUtf8(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    while (!text.empty()) {
        const std::size_t length = characterLength(text);
        const char32_t value = length == 0 ? U'\uFFFD' : codePoint(text.substr(0, length));
        if (value >= 0x10000) {
            result.push_back(static_cast<char16_t>(0xD800 + ((value - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((value - 0x10000) & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(value));
        }
        text.remove_prefix(length == 0 ? 1 : length);
    }
    return result;
}

std::string utf8FromUtf16(std::u16string_view text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = text[i + 1];
            if (low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        appendUtf8(result, isSurrogate(code) ? U'\uFFFD' : code);
    }
    return result;
}

} // namespace platform
