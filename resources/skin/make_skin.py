#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the skin picture, a strip of dark blue brushed metal with a bevelled rim, the gauge tab
above its right part and the tongue below its left part, and writes skin.bmp (265 x 91 pixels,
24-bit, uncompressed) beside this script. Outside the outline of skin_shape.py the picture is
black, the colour the skin draws as transparent; inside it no pixel is black."""

import struct
from pathlib import Path

from skin_shape import STRIP_BOTTOM, TAB_BOTTOM, inside

WIDTH, HEIGHT = 265, 91
BLACK = (0, 0, 0)
# The metal from its lit top to its shaded bottom, the rim's light and shadow sides, and the well
# that frames the gauge (63 x 7 at 178, 2).
METAL_TOP, METAL_BOTTOM = (70, 88, 128), (24, 32, 58)
RIM_LIGHT, RIM_SHADOW = (150, 172, 214), (14, 18, 34)
WELL = (10, 14, 26)
GAUGE_LEFT, GAUGE_TOP, GAUGE_RIGHT, GAUGE_BOTTOM = 178, 2, 241, 9
DARKEST = 6


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def shade(colour, delta):
    return tuple(max(DARKEST, min(255, c + delta)) for c in colour)


def brushed(x, y):
    """A faint, fixed grain along the rows, the look of brushed metal."""
    return ((x * 7 + y * 13) * 2654435761 >> 7) % 7 - 3


def metal(x, y):
    if y < TAB_BOTTOM:
        t = 0.2 + 0.1 * y / TAB_BOTTOM
    elif y < STRIP_BOTTOM:
        t = (y - TAB_BOTTOM) / (STRIP_BOTTOM - TAB_BOTTOM)
    else:
        t = 0.55 + 0.45 * (y - STRIP_BOTTOM) / (HEIGHT - STRIP_BOTTOM)
    colour = mix(METAL_TOP, METAL_BOTTOM, t)
    # The highlight a light above the strip leaves just under its top edge.
    if TAB_BOTTOM + 1 <= y <= TAB_BOTTOM + 3:
        colour = shade(colour, 28 - 8 * (y - TAB_BOTTOM - 1))
    return shade(colour, brushed(x, y))


def rim(x, y):
    """The bevel: lit where the outline faces up or left, shaded where it faces down or right."""
    if not inside(x, y - 1) or not inside(x - 1, y):
        return RIM_LIGHT
    if not inside(x, y + 1) or not inside(x + 1, y):
        return RIM_SHADOW
    return None


def in_gauge_well(x, y):
    return (GAUGE_LEFT - 1 <= x <= GAUGE_RIGHT and GAUGE_TOP - 1 <= y <= GAUGE_BOTTOM
            and not (GAUGE_LEFT <= x < GAUGE_RIGHT and GAUGE_TOP <= y < GAUGE_BOTTOM))


def pixel(x, y):
    if not inside(x, y):
        return BLACK
    edge = rim(x, y)
    if edge:
        return edge
    if in_gauge_well(x, y):
        return WELL
    return metal(x, y)


def bmp(rows):
    """A bottom-up 24-bit bitmap file; each row is blue-green-red, padded to 4 bytes."""
    pad = b"\0" * (-3 * WIDTH % 4)
    body = b"".join(bytes(c for r, g, b in row for c in (b, g, r)) + pad for row in reversed(rows))
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + body


def main():
    rows = [[pixel(x, y) for x in range(WIDTH)] for y in range(HEIGHT)]
    Path(__file__).with_name("skin.bmp").write_bytes(bmp(rows))


if __name__ == "__main__":
    main()
