# SPDX-License-Identifier: GPL-3.0-or-later
"""The widget's outline, shared by make_mask.py and make_skin.py: the rectangles (left, top, right,
bottom; right and bottom exclusive) in the banded order of the platform's region data, sorted by
top then left. The first is the gauge tab, the next eighteen the strip, the rest the tongue."""

RECTANGLES = [
    (176, 0, 245, 7),
    (30, 7, 246, 8), (28, 8, 248, 9), (27, 9, 249, 10), (26, 10, 250, 11), (25, 11, 251, 13),
    (24, 13, 252, 15), (23, 15, 253, 18), (22, 18, 254, 20), (21, 20, 255, 23),
    (20, 23, 256, 26), (19, 26, 257, 28), (18, 28, 258, 31), (17, 31, 259, 33),
    (16, 33, 260, 36), (15, 36, 261, 38), (14, 38, 262, 41), (13, 41, 263, 44),
    (12, 44, 264, 48),
    (22, 48, 69, 49), (27, 49, 65, 50), (29, 50, 63, 51), (30, 51, 61, 52), (31, 52, 60, 53),
    (32, 53, 59, 54), (33, 54, 58, 55), (34, 55, 58, 56), (34, 56, 57, 57), (35, 57, 56, 59),
    (36, 59, 55, 60), (37, 60, 55, 61), (37, 61, 54, 62), (38, 62, 54, 63), (38, 63, 53, 64),
    (39, 64, 53, 65), (39, 65, 52, 67), (40, 67, 52, 68), (40, 68, 51, 70), (41, 70, 51, 71),
    (41, 71, 50, 73), (42, 73, 50, 74), (42, 74, 49, 76), (43, 76, 49, 78), (43, 78, 48, 80),
    (44, 80, 48, 82), (44, 82, 47, 84), (45, 84, 47, 85), (45, 85, 46, 86),
]
TAB_BOTTOM = 7
STRIP_BOTTOM = 48


def span(row):
    """The (left, right) columns of the shape on a row, or None outside it."""
    for left, top, right, bottom in RECTANGLES:
        if top <= row < bottom:
            return left, right
    return None


def inside(x, y):
    columns = span(y)
    return columns is not None and columns[0] <= x < columns[1]
