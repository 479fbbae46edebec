#!/usr/bin/env python3
"""Draws the program's built-in cursors, the classic monochrome pointers, and writes them as
32 by 32 .cur files cur_0.cur to cur_14.cur, in the order of the cursor roles (arrow, help,
working in the background, busy, crosshair, text, pen, unavailable, the four sizing arrows, move,
up arrow, link). The demo content generator draws its cursor schemes with the same pictures.

    scripts/make_cursors.py [output folder]     (default: src/res/cursors)
    scripts/make_cursors.py --show              (prints the pictures as text instead)

Pure Python without dependencies; the output is the same on every run.
"""

import math
import os
import struct
import sys

SIZE = 32
# Pixel values of a picture: see-through, the outline colour ("ink") and the fill colour ("paper").
CLEAR, INK, PAPER = 0, 1, 2
BLACK, WHITE = (0, 0, 0), (255, 255, 255)


def blank():
    return [[CLEAR] * SIZE for _ in range(SIZE)]


def polygon(points):
    """The pixels whose centres lie inside the polygon (even-odd rule)."""
    pixels = set()
    for y in range(SIZE):
        cy = y + 0.5
        crossings = []
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            if (y0 <= cy) != (y1 <= cy):
                crossings.append(x0 + (cy - y0) * (x1 - x0) / (y1 - y0))
        crossings.sort()
        for left, right in zip(crossings[::2], crossings[1::2]):
            for x in range(max(0, math.ceil(left - 0.5)), min(SIZE, math.floor(right - 0.5) + 1)):
                pixels.add((x, y))
    return pixels


def disc(cx, cy, radius):
    return {(x, y) for y in range(SIZE) for x in range(SIZE) if math.hypot(x + 0.5 - cx, y + 0.5 - cy) < radius}


def rotated(points, degrees, cx=16.0, cy=16.0):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    return [(cx + (x - cx) * c - (y - cy) * s, cy + (x - cx) * s + (y - cy) * c) for x, y in points]


def neighbours(x, y, diagonal=False):
    steps = [(1, 0), (-1, 0), (0, 1), (0, -1)]
    if diagonal:
        steps += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
    return [(x + dx, y + dy) for dx, dy in steps]


def solid(picture, pixels):
    """A shape filled with paper inside a one-pixel ink outline."""
    for x, y in pixels:
        edge = any(p not in pixels for p in neighbours(x, y))
        picture[y][x] = INK if edge else PAPER


def inked(picture, pixels):
    """Ink strokes with a paper halo, so that they show on dark and light backgrounds alike."""
    for x, y in pixels:
        for hx, hy in neighbours(x, y, diagonal=True):
            if 0 <= hx < SIZE and 0 <= hy < SIZE and (hx, hy) not in pixels and picture[hy][hx] == CLEAR:
                picture[hy][hx] = PAPER
    for x, y in pixels:
        picture[y][x] = INK


def art(picture, rows, left=0, top=0):
    """Pixel art: "#" ink, "o" paper, anything else leaves the pixel as it is."""
    for y, row in enumerate(rows):
        for x, ch in enumerate(row):
            if ch in "#o":
                picture[top + y][left + x] = INK if ch == "#" else PAPER


def art_pixels(rows, left=0, top=0):
    return {(left + x, top + y) for y, row in enumerate(rows) for x, ch in enumerate(row) if ch == "#"}


ARROW = [
    "#...........",
    "##..........",
    "#o#.........",
    "#oo#........",
    "#ooo#.......",
    "#oooo#......",
    "#ooooo#.....",
    "#oooooo#....",
    "#ooooooo#...",
    "#oooooooo#..",
    "#ooooooooo#.",
    "#oooooo#####",
    "#ooo#oo#....",
    "#oo#.#oo#...",
    "#o#..#oo#...",
    "##....#oo#..",
    "#.....#oo#..",
    ".......#oo#.",
    ".......#oo#.",
    "........##..",
]

QUESTION_MARK = [
    ".#####.",
    "##...##",
    "##...##",
    ".....##",
    "....##.",
    "...##..",
    "...##..",
    ".......",
    "...##..",
    "...##..",
]

HAND = [
    ".....##...........",
    "....#oo#..........",
    "....#oo#..........",
    "....#oo#..........",
    "....#oo#..........",
    "....#oo###........",
    "....#oo#oo###.....",
    "....#oo#oo#oo###..",
    "....#oo#oo#oo#oo#.",
    ".##.#oo#oo#oo#oo#.",
    "#oo##oo#oo#oo#oo#.",
    "#ooo#ooooooooooo#.",
    ".#oo#ooooooooooo#.",
    "..#ooooooooooooo#.",
    "..#ooooooooooooo#.",
    "...#ooooooooooo#..",
    "...#ooooooooooo#..",
    "....#ooooooooo#...",
    "....#ooooooooo#...",
    "....###########...",
]

I_BEAM = ["###.###"] + ["...#..."] * 15 + ["###.###"]


def hourglass(picture, left, top, width, height):
    right, bottom, middle = left + width, top + height, left + width / 2
    bar = max(2, round(height / 9))
    waist = max(1.2, width / 10)
    frame = polygon([(left, top), (right, top), (right, top + bar), (left, top + bar)])
    frame |= polygon([(left, bottom - bar), (right, bottom - bar), (right, bottom), (left, bottom)])
    glass = [(left + 1, top + bar), (right - 1, top + bar), (middle + waist, top + height / 2),
             (right - 1, bottom - bar), (left + 1, bottom - bar), (middle - waist, top + height / 2)]
    solid(picture, frame | polygon(glass))
    # Most of the sand has run through.
    sand_top = top + height / 2 + height / 6
    upper = polygon([(middle - width / 5, top + bar + height / 5), (middle + width / 5, top + bar + height / 5),
                     (middle, top + height / 2)])
    lower = polygon([(middle, sand_top), (right - 2.2, bottom - bar), (left + 2.2, bottom - bar)])
    for x, y in upper | lower:
        picture[y][x] = INK


def draw_arrow(picture):
    art(picture, ARROW)


def draw_help(picture):
    art(picture, ARROW)
    inked(picture, art_pixels(QUESTION_MARK, 14, 2))


def draw_app_starting(picture):
    art(picture, ARROW)
    hourglass(picture, 13, 10, 10, 15)


def draw_wait(picture):
    hourglass(picture, 8, 3, 16, 26)


def draw_cross(picture):
    inked(picture, {(15, y) for y in range(4, 27)} | {(x, 15) for x in range(4, 27)})


def draw_ibeam(picture):
    inked(picture, art_pixels(I_BEAM, 12, 7))


def draw_pen(picture):
    # Drawn along the diagonal from the nib at the top left; u runs along the pen, v across it.
    def pen_points(outline):
        diagonal = math.sqrt(0.5)
        return [(1 + (u - v) * diagonal, 1 + (u + v) * diagonal) for u, v in outline]

    body = pen_points([(0, 0), (7, -3.2), (27, -3.2), (29, 0), (27, 3.2), (7, 3.2)])
    nib = pen_points([(0, 0), (3.5, -1.7), (3.5, 1.7)])
    band = pen_points([(20, -3.2), (22, -3.2), (22, 3.2), (20, 3.2)])
    solid(picture, polygon(body))
    for x, y in polygon(nib) | polygon(band):
        picture[y][x] = INK


def draw_no(picture):
    ring = disc(16, 16, 11) - disc(16, 16, 7)
    slash = polygon(rotated([(16 - 2.2, 6.0), (16 + 2.2, 6.0), (16 + 2.2, 26.0), (16 - 2.2, 26.0)], -45))
    solid(picture, ring | slash)


DOUBLE_ARROW = [(15.5, 4.4), (22.1, 11.0), (17.1, 11.0), (17.1, 20.0), (22.1, 20.0), (15.5, 26.6),
                (8.9, 20.0), (13.9, 20.0), (13.9, 11.0), (8.9, 11.0)]


def draw_size(degrees):
    def draw(picture):
        solid(picture, polygon(rotated(DOUBLE_ARROW, degrees, 15.5, 15.5)))

    return draw


def draw_size_all(picture):
    arms = [(15.5, 2.4), (20.1, 7.0), (17.1, 7.0), (17.1, 24.0), (20.1, 24.0), (15.5, 28.6), (10.9, 24.0),
            (13.9, 24.0), (13.9, 7.0), (10.9, 7.0)]
    solid(picture, polygon(arms) | polygon(rotated(arms, 90, 15.5, 15.5)))


def draw_up(picture):
    solid(picture, polygon([(15.5, 1.4), (23.1, 9.0), (18.1, 9.0), (18.1, 27.6), (12.9, 27.6), (12.9, 9.0),
                            (7.9, 9.0)]))


def draw_hand(picture):
    art(picture, HAND, 4, 0)


# The cursor roles in order: file stem (for the schemes of the demo packages), drawing, hotspot.
CURSORS = [
    ("arrow", draw_arrow, (0, 0)),
    ("help", draw_help, (0, 0)),
    ("working", draw_app_starting, (0, 0)),
    ("busy", draw_wait, (15, 15)),
    ("cross", draw_cross, (15, 15)),
    ("text", draw_ibeam, (15, 15)),
    ("pen", draw_pen, (1, 1)),
    ("unavailable", draw_no, (15, 15)),
    ("size_ns", draw_size(0), (15, 15)),
    ("size_we", draw_size(90), (15, 15)),
    ("size_nwse", draw_size(-45), (15, 15)),
    ("size_nesw", draw_size(45), (15, 15)),
    ("move", draw_size_all, (15, 15)),
    ("up", draw_up, (15, 1)),
    ("link", draw_hand, (9, 0)),
]


def picture_of(index):
    picture = blank()
    CURSORS[index][1](picture)
    return picture


def hotspot_of(index):
    return CURSORS[index][2]


def _rows_1bit(bits):
    """Bottom-up rows of a 1-bit plane, each padded to whole 32-bit words."""
    out = bytearray()
    for row in reversed(bits):
        value = 0
        for bit in row:
            value = value << 1 | bit
        out += value.to_bytes(SIZE // 8, "big")
    return bytes(out)


def cur_file(picture, hotspot, ink=BLACK, paper=WHITE):
    """The bytes of a .cur file: monochrome when the colours are black and white, else 32-bit."""
    and_mask = _rows_1bit([[1 if p == CLEAR else 0 for p in row] for row in picture])
    if {ink, paper} == {BLACK, WHITE}:
        white = PAPER if paper == WHITE else INK
        bit_count, colours = 1, 2
        palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
        xor = _rows_1bit([[1 if p == white else 0 for p in row] for row in picture])
    else:
        bit_count, colours, palette = 32, 0, b""
        colour = {CLEAR: (0, 0, 0, 0), INK: (*ink, 255), PAPER: (*paper, 255)}
        xor = b"".join(bytes((c[2], c[1], c[0], c[3])) for row in reversed(picture) for c in map(colour.get, row))
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, bit_count, 0, len(xor) + len(and_mask), 0, 0,
                        colours, 0) + palette + xor + and_mask
    # ICONDIR with type 2 (cursor), then the one entry, whose planes and bit count hold the hotspot.
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, colours, 0, hotspot[0], hotspot[1], len(image), 6 + 16)
    return header + entry + image


def preview(picture):
    return "\n".join("".join(".#o"[p] for p in row) for row in picture)


def main():
    if sys.argv[1:] == ["--show"]:
        for index, (stem, _, _) in enumerate(CURSORS):
            print(f"{index} {stem}\n{preview(picture_of(index))}\n")
        return
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res", "cursors")
    os.makedirs(out, exist_ok=True)
    for index in range(len(CURSORS)):
        with open(os.path.join(out, f"cur_{index}.cur"), "wb") as f:
            f.write(cur_file(picture_of(index), hotspot_of(index)))


if __name__ == "__main__":
    main()
