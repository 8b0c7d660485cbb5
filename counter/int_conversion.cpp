// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/int_conversion.h"

#include "platform/failure.h"

#include <limits>
#include <optional>

namespace {

std::optional<int> DigitValue(QChar c, int base) {
    const char16_t u = c.unicode();
    int value = base;
    if (u >= '0' && u <= '9') {
        value = u - '0';
    } else if (u >= 'a' && u <= 'f') {
        value = u - 'a' + 10;
    } else if (u >= 'A' && u <= 'F') {
        value = u - 'A' + 10;
    }
    return value < base ? std::optional<int>(value) : std::nullopt;
}

// The magnitude of the digits from position at, while it stays within limit.
std::optional<std::int64_t> Magnitude(const QString& text, qsizetype at, int base,
                                      std::int64_t limit) {
    if (at >= text.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; at < text.size(); ++at) {
        const auto digit = DigitValue(text.at(at), base);
        if (!digit) {
            return std::nullopt;
        }
        value = value * base + *digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return value;
}

std::optional<std::int32_t> Parse(const QString& text) {
    qsizetype at = 0;
    while (at < text.size() && text.at(at) == ' ') {
        ++at;
    }
    const bool negative = at < text.size() && text.at(at) == '-';
    if (at < text.size() && (text.at(at) == '-' || text.at(at) == '+')) {
        ++at;
    }
    int base = 10;
    if (text.mid(at, 1) == "$") {
        base = 16;
        at += 1;
    } else if (text.mid(at, 2).compare("0x", Qt::CaseInsensitive) == 0) {
        base = 16;
        at += 2;
    }
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + negative;
    const auto magnitude = Magnitude(text, at, base, limit);
    if (!magnitude) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -*magnitude : *magnitude);
}

} // namespace

std::int32_t StrToInt(const QString& text) {
    const auto value = Parse(text);
    if (!value) {
        throw platform::ConversionError(ShownText(text).toStdString());
    }
    return *value;
}

std::optional<std::int32_t> ToInt(const QString& text) {
    return Parse(text);
}

QString ConversionMessage(const QString& text) {
    return QString::fromUtf8(platform::ConversionError(ShownText(text).toStdString()).what());
}

QString ShownText(const QString& text) {
    constexpr qsizetype kShown = 40;
    QString shown;
    for (const QChar c : text.left(kShown)) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QChar('0'));
        } else {
            shown += c;
        }
    }
    return text.size() > kShown ? shown + QStringLiteral("…") : shown;
}

std::optional<std::int32_t> SumInRange(std::int32_t a, std::int32_t b) {
    std::int32_t sum = 0;
    return __builtin_add_overflow(a, b, &sum) ? std::nullopt : std::optional(sum);
}

std::int32_t CheckedAdd(std::int32_t a, std::int32_t b) {
    const auto sum = SumInRange(a, b);
    if (!sum) {
        throw platform::OverflowError();
    }
    return *sum;
}

std::int32_t CheckedMul(std::int32_t a, std::int32_t b) {
    std::int32_t product = 0;
    if (__builtin_mul_overflow(a, b, &product)) {
        throw platform::OverflowError();
    }
    return product;
}
