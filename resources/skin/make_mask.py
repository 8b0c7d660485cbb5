#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes mask2.bin beside this script: the skin's region mask "Mask2" as the layout stores it, a
4-byte length, then the platform's region data (a 32-byte header and the rectangles), all
little-endian."""

import struct
from pathlib import Path

from skin_shape import RECTANGLES

HEADER_SIZE = 32
RDH_RECTANGLES = 1


def region_data(rectangles):
    left = min(r[0] for r in rectangles)
    top = min(r[1] for r in rectangles)
    right = max(r[2] for r in rectangles)
    bottom = max(r[3] for r in rectangles)
    header = struct.pack("<4I4i", HEADER_SIZE, RDH_RECTANGLES, len(rectangles),
                         16 * len(rectangles), left, top, right, bottom)
    return header + b"".join(struct.pack("<4i", *r) for r in rectangles)


def main():
    data = region_data(RECTANGLES)
    Path(__file__).with_name("mask2.bin").write_bytes(struct.pack("<I", len(data)) + data)


if __name__ == "__main__":
    main()
