// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The skin's region mask as the layout stores it: a 4-byte count N, then N bytes of the platform's
// region data (a 32-byte header, then rectangles as left, top, right, bottom with the right and
// bottom edges excluded), little-endian throughout.

#include <QByteArray>
#include <QByteArrayView>
#include <QRegion>

// The region the stored bytes describe. N = 0 and malformed data (a count beyond the bytes given, a
// header that does not match it, an empty or out-of-range rectangle) give the empty region: no
// mask.
QRegion ReadRegionMask(QByteArrayView bytes);

// The stored form of a region, its rectangles in banded order (by top, then left) after a header
// with their bounds; 4 zero bytes for the empty region.
QByteArray WriteRegionMask(const QRegion& region);
