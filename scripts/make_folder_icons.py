#!/usr/bin/env python3
"""Draws the folder-icon categories that ship with the program and writes them as .ico files, one
folder per category: <output>/<category>/<name>.ico. Every file holds the same picture at 16, 32,
40, 48 and 64 pixels (the program's 32-pixel icon list at 100, 125, 150 and 200 %), 32-bit colour
with alpha and the AND mask older systems use. The build copies the folders into the program
folder's cache\\icons\\.

    scripts/make_folder_icons.py [output folder]     (default: src/res/folder-icons)

Pure Python without dependencies; the output is the same on every run.

The pictures are signed distance functions in a 48 by 48 unit square (negative inside), so every
size is drawn from the same shapes with smooth edges and outlines one pixel wide at every size.
"""

import math
import os
import struct
import sys

from sdf_shapes import box, circle, polygon, segment, union

UNITS = 48.0
SIZES = (16, 32, 40, 48, 64)


# Shapes: functions of a point (x, y) in units, giving the signed distance to the outline.


# The pixels per unit of the size being drawn, for outlines that keep their width in pixels.
_scale = [1.0]


def inset(shape, pixels):
    """The shape shrunk by a number of pixels."""
    return lambda x, y: shape(x, y) + pixels / _scale[0]


def ring(shape, pixels):
    """A line of the given width in pixels along the shape's outline, inside it."""
    return lambda x, y: max(shape(x, y), -(shape(x, y) + pixels / _scale[0]))


# Colours: a fixed (r, g, b), or a vertical gradient between two of them.

def gradient(top_colour, bottom_colour, top, bottom):
    return ("gradient", top_colour, bottom_colour, top, bottom)


def colour_at(colour, y):
    if not isinstance(colour[0], str):
        return colour
    _, a, b, top, bottom = colour
    t = max(0.0, min(1.0, (y - top) / (bottom - top)))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def shade(colour, factor):
    """Darker below 1, lighter above 1 (towards white)."""
    if factor <= 1:
        return tuple(c * factor for c in colour)
    return tuple(c + (255 - c) * (factor - 1) for c in colour)


def render(layers, size):
    """Straight-alpha RGBA rows, top row first, of layers drawn in order (each over the last)."""
    scale = size / UNITS
    _scale[0] = scale
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            x, y = (px + 0.5) / scale, (py + 0.5) / scale
            r = g = b = a = 0.0  # premultiplied
            for sdf, colour in layers:
                coverage = max(0.0, min(1.0, 0.5 - sdf(x, y) * scale))
                if coverage <= 0.0:
                    continue
                keep = 1 - coverage
                cr, cg, cb = colour_at(colour, y)
                r, g, b = cr * coverage + r * keep, cg * coverage + g * keep, cb * coverage + b * keep
                a = coverage + a * keep
            if a <= 0.0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(min(255.0, c / a))) for c in (r, g, b)) + (int(round(a * 255)),))
        rows.append(row)
    return rows


# The pictures.

def folder(colour):
    back = union(box(4, 7, 21, 16, 2.5), box(4, 11, 44, 41, 3))
    front = box(4, 17, 44, 41, 3)
    outline = shade(colour, 0.55)
    return [
        (back, outline),
        (inset(back, 1), shade(colour, 0.8)),
        (front, outline),
        (inset(front, 1), gradient(shade(colour, 1.45), colour, 17, 41)),
        (ring(inset(front, 1), 1), gradient(shade(colour, 1.8), shade(colour, 1.2), 17, 41)),
    ]


def emblem(shape, colour):
    """A mark with a white border and a dark outline, drawn over a picture."""
    return [(shape, shade(colour, 0.45)), (inset(shape, 1), (255, 255, 255)), (inset(shape, 2), colour)]


def star(cx, cy, outer, inner, points=5):
    corners = []
    for i in range(points * 2):
        angle = math.pi * i / points - math.pi / 2
        radius = outer if i % 2 == 0 else inner
        corners.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return polygon(corners)


def heart(cx, cy, size):
    r = size * 0.3
    return union(circle(cx - r * 0.95, cy - r * 0.55, r), circle(cx + r * 0.95, cy - r * 0.55, r),
                 polygon([(cx - r * 1.9, cy - r * 0.4), (cx + r * 1.9, cy - r * 0.4), (cx, cy + size * 0.62)]))


FOLDER_YELLOW = (236, 178, 48)


def emblem_folder(mark, colour):
    return folder(FOLDER_YELLOW) + emblem(mark, colour)


def document():
    page = polygon([(11, 4), (29, 4), (38, 13), (38, 44), (11, 44)])
    fold = polygon([(29, 4), (29, 13), (38, 13)])
    layers = [(page, (96, 104, 120)), (inset(page, 1), gradient((255, 255, 255), (226, 232, 240), 4, 44)),
              (fold, (96, 104, 120)), (inset(fold, 1), (206, 214, 226))]
    for y in (19, 25, 31, 37):
        layers.append((segment(16, y, 33, y, 2.2), (120, 150, 200)))
    return layers


def parcel():
    top = polygon([(24, 5), (43, 13), (24, 21), (5, 13)])
    left = polygon([(5, 13), (24, 21), (24, 44), (5, 36)])
    right = polygon([(24, 21), (43, 13), (43, 36), (24, 44)])
    edge = (110, 70, 30)
    return [(union(top, left, right), edge), (inset(top, 1), (222, 174, 112)), (inset(left, 1), (196, 140, 74)),
            (inset(right, 1), (170, 116, 56)), (segment(14.5, 9, 33.5, 17, 3), (240, 220, 180))]


def globe():
    ball = circle(24, 24, 19)
    land = union(circle(17, 18, 6.5), circle(21, 14, 4), circle(31, 31, 6), circle(34, 25, 3.5))
    lines = union(ring(ellipse_x(24, 24, 8, 19), 1), segment(5, 24, 43, 24, 1.2), segment(24, 5, 24, 43, 1.2))
    return [(ball, (20, 70, 140)), (inset(ball, 1), gradient((110, 180, 240), (30, 100, 190), 5, 43)),
            (lambda x, y: max(land(x, y), ball(x, y) + 1.5), (90, 170, 80)), (lines, (220, 236, 250))]


def ellipse_x(cx, cy, rx, ry):
    """An ellipse, approximately: a circle squeezed across, good enough for thin lines."""
    return lambda x, y: (math.hypot((x - cx) * ry / rx, y - cy) - ry) * rx / ry


def clock():
    face = circle(24, 24, 19)
    layers = [(face, (60, 60, 70)), (inset(face, 2), (250, 250, 250))]
    for i in range(12):
        angle = math.pi * i / 6
        length = 4 if i % 3 == 0 else 2.5
        x0, y0 = 24 + 15 * math.sin(angle), 24 - 15 * math.cos(angle)
        x1, y1 = 24 + (15 - length) * math.sin(angle), 24 - (15 - length) * math.cos(angle)
        layers.append((segment(x0, y0, x1, y1, 1.6), (90, 90, 100)))
    layers += [(segment(24, 24, 24, 12, 2.6), (40, 40, 50)), (segment(24, 24, 33, 28, 2.2), (40, 40, 50)),
               (circle(24, 24, 2.2), (200, 40, 40))]
    return layers


def mail():
    envelope = box(4, 11, 44, 38, 2.5)
    flap = union(segment(5.5, 13, 24, 27, 1.6), segment(24, 27, 42.5, 13, 1.6))
    return [(envelope, (90, 100, 120)), (inset(envelope, 1), gradient((255, 255, 255), (222, 228, 236), 11, 38)),
            (flap, (120, 130, 150))]


def solid_shape(shape, colour):
    return [(shape, shade(colour, 0.5)), (inset(shape, 1), gradient(shade(colour, 1.5), colour, 4, 44)),
            (ring(inset(shape, 1), 1), shade(colour, 1.7))]


CATEGORIES = {
    "Colors": {
        "Red": folder((214, 58, 50)),
        "Orange": folder((236, 128, 34)),
        "Yellow": folder(FOLDER_YELLOW),
        "Green": folder((64, 160, 70)),
        "Blue": folder((44, 110, 210)),
        "Purple": folder((140, 70, 180)),
    },
    "Emblems": {
        "Star": emblem_folder(star(31, 30, 11, 4.6), (230, 70, 30)),
        "Heart": emblem_folder(heart(31, 30, 20), (220, 40, 70)),
        "Check": emblem_folder(union(segment(23, 30, 28, 36, 5), segment(28, 36, 39, 22, 5)), (40, 150, 60)),
        "Plus": emblem_folder(union(segment(31, 21, 31, 39, 5.5), segment(22, 30, 40, 30, 5.5)), (120, 60, 190)),
        "Music": emblem_folder(union(circle(27, 36, 4.5), segment(30.5, 36, 30.5, 20, 3),
                                     segment(30.5, 21, 38, 25, 3)), (40, 100, 200)),
    },
    "Objects": {
        "Document": document(),
        "Box": parcel(),
        "Globe": globe(),
        "Clock": clock(),
        "Mail": mail(),
    },
    "Shapes": {
        "Circle": solid_shape(circle(24, 24, 19), (220, 60, 60)),
        "Square": solid_shape(box(6, 6, 42, 42, 4), (50, 130, 220)),
        "Triangle": solid_shape(polygon([(24, 4), (44, 41), (4, 41)]), (60, 170, 80)),
        "Diamond": solid_shape(polygon([(24, 3), (45, 24), (24, 45), (3, 24)]), (240, 170, 30)),
    },
}


def dib(rows):
    """One icon image: the header (twice the height: colour and mask), BGRA bottom-up, the mask."""
    size = len(rows)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = 0
        for pixel in row:
            bits = bits << 1 | (1 if pixel[3] == 0 else 0)
        mask += (bits << (stride * 8 - size)).to_bytes(stride, "big")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def ico_file(layers):
    images = [dib(render(layers, size)) for size in SIZES]
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(SIZES, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res", "folder-icons")
    for category, icons in CATEGORIES.items():
        folder_path = os.path.join(out, category)
        os.makedirs(folder_path, exist_ok=True)
        for name, layers in icons.items():
            with open(os.path.join(folder_path, name + ".ico"), "wb") as f:
                f.write(ico_file(layers))
    print(f"{sum(len(icons) for icons in CATEGORIES.values())} icons in {len(CATEGORIES)} categories under {out}")


if __name__ == "__main__":
    main()
