#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Draws the application icon, a navy spider web with a red question mark in front of it, at 32
and 16 pixels in 16 colours, and writes filocompte.ico beside this script. Also draws the three
16-pixel frames the tray cycles through while connected: the same web with a yellow spot that
runs round it, written as tray_frame_0.ico to tray_frame_2.ico. For the desktop's menus, writes
the icon as PNG at the sizes of the hicolor theme and as SVG, in hicolor/ beside this script.

    make_icon.py [--preview FILE.png]   also writes an enlarged preview of the icon and frames
    make_icon.py --check                writes nothing; fails when a file differs from its drawing
"""

import math
import struct
import sys
import zlib
from pathlib import Path

# The 16-colour palette of the classic display adapters, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
TRANSPARENT, NAVY, RED, YELLOW, WHITE = None, 4, 9, 11, 15
SUBSAMPLES = 4

# Per size: the web's rings (fractions of its radius), how far they sag between spokes (the
# radius of each curve's control point, a fraction of the ring's), then in pixels the thread's
# width, the question mark's stroke width, its dot's radius and the white rim that sets it in front.
STYLES = {
    32: {"rings": (0.3, 0.6, 0.93), "sag": 0.78,
         "thread": 0.9, "stroke": 3.6, "dot": 2.2, "rim": 1.0},
    16: {"rings": (0.5, 0.97), "sag": 0.55,
         "thread": 0.8, "stroke": 2.2, "dot": 1.4, "rim": 0.0},
}


# The sizes the desktop's menus, panels and software centres ask for.
THEME_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def style(size):
    """The drawn sizes' own styles; others scale the nearest smaller drawn one, or the 16-pixel."""
    if size in STYLES:
        return STYLES[size]
    base = 16 if size < 32 else 32
    scaled = {key: STYLES[base][key] * size / base for key in ("thread", "stroke", "dot", "rim")}
    return {**STYLES[base], **scaled}


def segment_distance(p, a, b):
    (px, py), (ax, ay), (bx, by) = p, a, b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def polar(centre, radius, angle):
    return (centre[0] + radius * math.cos(angle), centre[1] + radius * math.sin(angle))


def web_threads(size):
    """Eight spokes, and rings that sag towards the centre between them, as polylines."""
    centre, radius, sag = (size / 2, size / 2), size * 0.49, style(size)["sag"]
    angles = [math.pi / 8 + k * math.pi / 4 for k in range(8)]
    threads = [[centre, polar(centre, radius, a)] for a in angles]
    for start, control, end in ring_curves(size):
        threads.append([quadratic(start, control, end, t / 8) for t in range(9)])
    return threads


def ring_curves(size):
    """The rings' curves between spokes, as (start, control, end) of quadratic curves."""
    centre, radius, sag = (size / 2, size / 2), size * 0.49, style(size)["sag"]
    angles = [math.pi / 8 + k * math.pi / 4 for k in range(8)]
    curves = []
    for ring in style(size)["rings"]:
        r = radius * ring
        for a, b in zip(angles, angles[1:] + angles[:1]):
            control = polar(centre, r * sag, (a + b) / 2 + (math.pi if b < a else 0))
            curves.append((polar(centre, r, a), control, polar(centre, r, b)))
    return curves


def quadratic(p0, p1, p2, t):
    return tuple((1 - t) ** 2 * a + 2 * (1 - t) * t * b + t * t * c for a, b, c in zip(p0, p1, p2))


def question_mark(size):
    """The mark's hook and stem as one polyline, and its dot's centre, in pixels."""
    s = size
    centre, radius = (0.53 * s, 0.29 * s), 0.17 * s
    hook = [polar(centre, radius, math.pi * (0.85 + 1.5 * t / 24)) for t in range(25)]
    stem = [(0.53 * s, 0.55 * s), (0.53 * s, 0.64 * s)]
    return hook + stem, (0.53 * s, 0.84 * s)


def capsules(polyline, radius):
    """A thick polyline as the segments whose points within radius it covers."""
    return [(a, b, radius) for a, b in zip(polyline, polyline[1:])]


def coverage(size, shapes):
    """For each pixel, the share of its subsamples within some shape: (a, b, radius) covers the
    points within radius of segment ab, or of point a when b is a. Each shape only visits the
    pixels near it, which keeps the large sizes quick."""
    n = SUBSAMPLES
    offsets = [(i + 0.5) / n for i in range(n)]
    samples = [(dx, dy, 1 << (i * n + j)) for i, dx in enumerate(offsets)
               for j, dy in enumerate(offsets)]
    masks = [[0] * size for _ in range(size)]
    for a, b, radius in shapes:
        def distance(p):
            return math.dist(p, a) if a == b else segment_distance(p, a, b)
        # A pixel whose centre is farther than this holds no sample within radius.
        reach = radius + math.sqrt(0.5)
        for y in range(max(0, int(min(a[1], b[1]) - reach)),
                       min(size, int(max(a[1], b[1]) + reach) + 1)):
            for x in range(max(0, int(min(a[0], b[0]) - reach)),
                           min(size, int(max(a[0], b[0]) + reach) + 1)):
                if distance((x + 0.5, y + 0.5)) <= reach:
                    for dx, dy, bit in samples:
                        if not masks[y][x] & bit and distance((x + dx, y + dy)) <= radius:
                            masks[y][x] |= bit
    return [[bin(mask).count("1") / (n * n) for mask in row] for row in masks]


def layers(size):
    """The coverage of the web, of the question mark and of the white rim round it."""
    look = style(size)
    stroke, dot = question_mark(size)

    def mark(widen):
        return capsules(stroke, look["stroke"] / 2 + widen) + [(dot, dot, look["dot"] + widen)]

    web = coverage(size, [c for t in web_threads(size) for c in capsules(t, look["thread"] / 2)])
    rim = coverage(size, mark(look["rim"])) if look["rim"] > 0 else None
    return web, coverage(size, mark(0.0)), rim


def draw(size):
    """Rows of palette indices, top row first; None is transparent."""
    web, front, rim = layers(size)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if front[y][x] >= 0.5:
                row.append(RED)
            elif rim is not None and rim[y][x] >= 0.5:
                row.append(WHITE)
            elif web[y][x] >= 0.4:
                row.append(NAVY)
            else:
                row.append(TRANSPARENT)
        rows.append(row)
    return rows


# The tray frames' spot: on a ring this share of the web's radius, at one angle a frame (degrees,
# clockwise from the right, where the question mark leaves room), with this radius in pixels.
SPOT = {"ring": 0.8, "angles": (0, 125, 215), "radius": 1.6}
FRAMES = len(SPOT["angles"])


def tray_frame(index):
    """The 16-pixel icon with the spot at its place for this frame."""
    centre = polar((8, 8), 16 * 0.49 * SPOT["ring"], math.radians(SPOT["angles"][index]))
    spot = coverage(16, [(centre, centre, SPOT["radius"])])
    rows = draw(16)
    for y in range(16):
        for x in range(16):
            if spot[y][x] >= 0.5:
                rows[y][x] = YELLOW
    return rows


def padded(data):
    return data + bytes(-len(data) % 4)


def icon_image(rows):
    """One image of the .ico: header, palette, 4-bit colours and the 1-bit transparency mask,
    both bottom row first."""
    size = len(rows)
    colours, mask = b"", b""
    for row in reversed(rows):
        indices = [0 if i is None else i for i in row]
        colours += padded(bytes(indices[x] << 4 | indices[x + 1] for x in range(0, size, 2)))
        bits = "".join("1" if i is None else "0" for i in row)
        mask += padded(int(bits, 2).to_bytes(size // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 4, 0, len(colours) + len(mask),
                         0, 0, 0, 0)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    return header + palette + colours + mask


def ico(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = len(directory) + 16 * len(images)
    entries, data = b"", b""
    for size, image in images:
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
        data += image
    return directory + entries + data


def png(width, height, pixels):
    """pixels: rows of (red, green, blue) or of (red, green, blue, alpha) tuples."""
    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body
                + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + bytes(c for pixel in row for c in pixel) for row in pixels)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8,
                                         6 if len(pixels[0][0]) == 4 else 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def blit(canvas, rows, left, top, scale, background=None):
    """Copies a drawing onto the canvas, enlarged; transparent pixels show the background, or
    what the canvas had there when there is none."""
    for y in range(len(rows) * scale):
        for x in range(len(rows) * scale):
            index = rows[y // scale][x // scale]
            colour = background if index is None else PALETTE[index]
            if colour is not None:
                canvas[top + y][left + x] = colour


def preview(drawings):
    """Each size enlarged eight times on a checkerboard; below, at its own size on a light and on
    a dark background."""
    scale, gap = 8, 8
    width = sum(len(rows) * scale + gap for rows in drawings) + gap
    height = 32 * scale + 3 * gap + 32
    canvas = [[(200, 200, 200) if (x // 8 + y // 8) % 2 else (240, 240, 240)
               for x in range(width)] for y in range(height)]
    left, bottom = gap, 32 * scale + 2 * gap
    for rows in drawings:
        size = len(rows)
        blit(canvas, rows, left, gap, scale)
        blit(canvas, rows, left, bottom, 1, (255, 255, 255))
        blit(canvas, rows, left + size + gap, bottom, 1, (40, 40, 40))
        left += size * scale + gap
    return png(width, height, canvas)


def over(top, bottom):
    """An (red, green, blue, alpha) pixel laid over another, alpha from 0 to 1."""
    alpha = top[3] + bottom[3] * (1 - top[3])
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple((t * top[3] + b * bottom[3] * (1 - top[3])) / alpha
                 for t, b in zip(top[:3], bottom[:3])) + (alpha,)


def theme_png(size):
    """The icon for the desktop: the drawn sizes exactly as in the .ico, the others smoothed."""
    if size in STYLES:
        return png(size, size, [[(0, 0, 0, 0) if i is None else PALETTE[i] + (255,) for i in row]
                                for row in draw(size)])
    web, front, rim = layers(size)
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            pixel = over(PALETTE[NAVY] + (web[y][x],), (0, 0, 0, 0))
            if rim is not None:
                pixel = over(PALETTE[WHITE] + (rim[y][x],), pixel)
            pixel = over(PALETTE[RED] + (front[y][x],), pixel)
            row.append(tuple(round(c) for c in pixel[:3]) + (round(pixel[3] * 255),))
        pixels.append(row)
    return png(size, size, pixels)


def svg():
    """The 32-pixel drawing's shapes as vector paths: the web, then the rim and the mark."""
    look, size = STYLES[32], 32

    def number(value):
        return f"{value:.3f}".rstrip("0").rstrip(".")

    def point(p):
        return f"{number(p[0])},{number(p[1])}"

    def colour(index):
        return "#{:02x}{:02x}{:02x}".format(*PALETTE[index])

    spokes = "".join(f"M{point(a)}L{point(b)}" for a, b in web_threads(size)[:8])
    rings = "".join(f"M{point(a)}Q{point(c)} {point(b)}" for a, c, b in ring_curves(size))
    stroke, dot = question_mark(size)
    # The hook and stem are one polyline in the raster drawing: joined here too.
    hook = "M" + " ".join(point(p) for p in stroke)

    def mark(index, widen):
        return (f'  <path d="{hook}" stroke="{colour(index)}" '
                f'stroke-width="{number(look["stroke"] + 2 * widen)}"/>\n'
                f'  <circle cx="{number(dot[0])}" cy="{number(dot[1])}" '
                f'r="{number(look["dot"] + widen)}" fill="{colour(index)}" stroke="none"/>\n')

    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {size} {size}">\n'
            '<g fill="none" stroke-linecap="round" stroke-linejoin="round">\n'
            f'  <path d="{spokes}{rings}" stroke="{colour(NAVY)}" '
            f'stroke-width="{number(look["thread"])}"/>\n'
            + mark(WHITE, look["rim"]) + mark(RED, 0.0)
            + "</g>\n</svg>\n").encode()


def outputs(drawings, frames):
    """Every file this script writes, by its path beside the script."""
    files = {"filocompte.ico": ico([(len(rows), icon_image(rows)) for rows in drawings])}
    for index, rows in enumerate(frames):
        files[f"tray_frame_{index}.ico"] = ico([(16, icon_image(rows))])
    for size in THEME_SIZES:
        files[f"hicolor/{size}x{size}/apps/filocompte.png"] = theme_png(size)
    files["hicolor/scalable/apps/filocompte.svg"] = svg()
    return files


def main(arguments):
    drawings = [draw(32), draw(16)]
    frames = [tray_frame(index) for index in range(FRAMES)]
    folder = Path(__file__).parent
    files = outputs(drawings, frames)
    if arguments == ["--check"]:
        stale = [name for name, data in files.items()
                 if not (folder / name).is_file() or (folder / name).read_bytes() != data]
        if stale:
            sys.exit("Differs from its drawing (run make_icon.py): " + ", ".join(stale))
        return
    for name, data in files.items():
        (folder / name).parent.mkdir(parents=True, exist_ok=True)
        (folder / name).write_bytes(data)
    if arguments[:1] == ["--preview"] and len(arguments) == 2:
        Path(arguments[1]).write_bytes(preview(drawings + frames))
    elif arguments:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
