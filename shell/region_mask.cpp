// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/region_mask.h"

#include <QtEndian>
#include <cstdint>

namespace {

constexpr qsizetype kCountSize = 4;
constexpr std::uint32_t kHeaderSize = 32;
constexpr std::uint32_t kRectanglesType = 1;
constexpr std::uint32_t kRectangleSize = 16;
constexpr qsizetype kRectanglesOffset = kCountSize + kHeaderSize;
// Far beyond any screen, and small enough that no rectangle arithmetic can overflow.
constexpr std::int32_t kCoordinateLimit = 1 << 27;

std::uint32_t ReadUint(QByteArrayView bytes, qsizetype offset) {
    return qFromLittleEndian<std::uint32_t>(bytes.data() + offset);
}

std::int32_t ReadInt(QByteArrayView bytes, qsizetype offset) {
    return qFromLittleEndian<std::int32_t>(bytes.data() + offset);
}

// The number of rectangles, or -1 when the count and header do not agree with the stored bytes.
qint64 RectangleCount(QByteArrayView bytes) {
    if (bytes.size() < kCountSize) {
        return -1;
    }
    const std::uint64_t size = ReadUint(bytes, 0);
    if (size < kHeaderSize || size > std::uint64_t(bytes.size() - kCountSize)) {
        return -1;
    }
    const std::uint64_t count = ReadUint(bytes, 12);
    const bool consistent = ReadUint(bytes, 4) == kHeaderSize &&
                            ReadUint(bytes, 8) == kRectanglesType &&
                            ReadUint(bytes, 16) == count * kRectangleSize &&
                            size == kHeaderSize + count * kRectangleSize;
    return consistent ? qint64(count) : -1;
}

bool InRange(std::int32_t coordinate) {
    return coordinate >= -kCoordinateLimit && coordinate <= kCoordinateLimit;
}

// The rectangle stored at offset; a null rectangle when it is empty or out of range.
QRect ReadRectangle(QByteArrayView bytes, qsizetype offset) {
    const std::int32_t left = ReadInt(bytes, offset), top = ReadInt(bytes, offset + 4);
    const std::int32_t right = ReadInt(bytes, offset + 8), bottom = ReadInt(bytes, offset + 12);
    if (!InRange(left) || !InRange(top) || !InRange(right) || !InRange(bottom) || left >= right ||
        top >= bottom) {
        return {};
    }
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void AppendUint(QByteArray& out, std::uint32_t value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof bytes);
}

void AppendRectangle(QByteArray& out, const QRect& rectangle) {
    for (const int coordinate :
         {rectangle.left(), rectangle.top(), rectangle.right() + 1, rectangle.bottom() + 1}) {
        AppendUint(out, std::uint32_t(coordinate));
    }
}

} // namespace

QRegion ReadRegionMask(QByteArrayView bytes) {
    const qint64 count = RectangleCount(bytes);
    if (count <= 0) {
        return {};
    }
    QRegion region;
    for (qint64 i = 0; i < count; ++i) {
        const QRect rectangle = ReadRectangle(bytes, kRectanglesOffset + i * kRectangleSize);
        if (rectangle.isNull()) {
            return {};
        }
        region += rectangle;
    }
    return region;
}

QByteArray WriteRegionMask(const QRegion& region) {
    QByteArray out;
    if (region.isEmpty()) {
        AppendUint(out, 0);
        return out;
    }
    const auto count = std::uint32_t(region.rectCount());
    AppendUint(out, kHeaderSize + count * kRectangleSize);
    AppendUint(out, kHeaderSize);
    AppendUint(out, kRectanglesType);
    AppendUint(out, count);
    AppendUint(out, count * kRectangleSize);
    AppendRectangle(out, region.boundingRect());
    for (const QRect& rectangle : region) {
        AppendRectangle(out, rectangle);
    }
    return out;
}
