#!/usr/bin/env python3
"""Draws the program's skin, the pictures its own controls are painted with: the boxes behind the
pages, the navigation bar with its buttons and glyphs, tab and button faces, the filter and status
bars, and the round buttons of the preview window. Writes them as 24-bit BMP files (opaque) or
8-bit RGBA PNG files, and skin.rc next to the folder, which names every file as an RCDATA resource
(resource name: the file name in capitals with the extension as a suffix, e.g. PAGE_BACK_BMP).

    scripts/make_skin.py [output folder]     (default: src/res/skin, and src/res/skin.rc)

Pure Python without dependencies; the output is the same on every run.

Every picture is drawn at 100, 125, 150 and 200 % of its size; a scale above 100 % adds its number
to the file and resource name (page_back_150.bmp, PAGE_BACK_150_BMP), and the program takes the set
nearest to its window's DPI. The larger pictures are drawn again at their size, not enlarged: frame
edges, borders and header bands land on whole pixels of that size, as the program's layout rounds
the same lengths (to the nearest pixel, halves up), and glyphs are drawn from their shapes.

The program stretches most of these pictures: the middle column (odd width) or two columns (even
width) are repeated and both ends stay as drawn, and the same for the rows. So corners and edges
all sit in the ends, and the middle columns and rows hold plain content. A strip holds its frames
side by side; the five-frame strips are normal, hot, down, checked and disabled.

Shapes are signed distance functions in pixels (negative inside), with (0, 0) the top left corner
of the picture, so an edge on a whole coordinate gives a crisp one-pixel line.
"""

import math
import os
import struct
import sys
import zlib

from sdf_shapes import box, circle, minus, polygon, segment, union

# The program's own colours: the window, the accent text, the list's selection border and hot row.
WHITE = (255, 255, 255)
ACCENT = (131, 83, 108)
SELECTION_BORDER = (255, 217, 206)
HOT_ROW = (255, 248, 246)

# The skin's quiet tones, pinkish greys from the same mauve family.
BORDER = (232, 220, 226)  # the frame of every box
LINE = (240, 230, 235)  # separators inside boxes and bars
HEADER_TOP = (254, 251, 252)
HEADER_BOTTOM = (251, 245, 248)
NAV_FILL = (253, 246, 248)  # inside the navigation bar; its buttons are drawn on it
TAB_FACE = (251, 244, 247)  # a shade deeper than the header band the tabs stand in
STATUS_TOP = (254, 251, 252)
STATUS_BOTTOM = (250, 244, 247)
DISABLED_FACE = (251, 249, 250)
DISABLED_EDGE = (236, 231, 234)

# Faces that react to the mouse take the selection's warmer tones, as the list rows do; pressed ones
# are a step deeper than the selection fill, so a click shows on a selected item too.
HOT_FACE = HOT_ROW
HOT_EDGE = (252, 226, 220)
DOWN_FACE = (255, 236, 230)
DOWN_EDGE = (247, 205, 196)
CHECKED_FACE = WHITE
CHECKED_EDGE = SELECTION_BORDER

DOWN_ACCENT = (96, 58, 78)
GREY = (170, 170, 170)

STATES = ("normal", "hot", "down", "checked", "disabled")


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


# Shapes.


def rows(top, bottom):
    """The band between two horizontal lines."""
    return lambda x, y: max(top - y, y - bottom)


def polyline(points, width):
    return union(*(segment(*a, *b, width) for a, b in zip(points, points[1:])))


def arc(cx, cy, r, start, end, width):
    """Part of a circle's line with round ends, angles in degrees, clockwise from the right (y down)."""
    a0, a1 = math.radians(start), math.radians(end)
    ends = [(cx + r * math.cos(a), cy + r * math.sin(a)) for a in (a0, a1)]

    def sdf(x, y):
        angle = math.atan2(y - cy, x - cx)
        while angle < a0:
            angle += 2 * math.pi
        if angle <= a1:
            return abs(math.hypot(x - cx, y - cy) - r) - width / 2
        return min(math.hypot(x - ex, y - ey) for ex, ey in ends) - width / 2

    return sdf


def intersect(*shapes):
    return lambda x, y: max(s(x, y) for s in shapes)


def grow(shape, pixels):
    return lambda x, y: shape(x, y) - pixels


def outline(shape, width):
    """A line of the given width along the shape's edge, inside it."""
    return lambda x, y: max(shape(x, y), -(shape(x, y) + width))


def moved(shape, dx, dy):
    return lambda x, y: shape(x - dx, y - dy)


def scaled(shape, factor, cx, cy):
    return lambda x, y: shape(cx + (x - cx) / factor, cy + (y - cy) / factor) * factor


def zoomed(shape, s):
    """A shape drawn in 100 % coordinates, enlarged about the top left corner by s."""
    return lambda x, y: shape(x / s, y / s) * s


def px(length, s):
    """A length of the 100 % picture at scale s in whole pixels, as the program rounds its layout."""
    return int(math.floor(length * s + 0.5))


def line(s):
    """The width of a one-pixel line at scale s: whole pixels, so the line stays sharp."""
    return max(1, px(1, s))


# Drawing.

def gradient(top_colour, bottom_colour, top_row, bottom_row):
    """A vertical gradient from the first row to the last row named (both inclusive)."""

    def colour(py):
        return mix(top_colour, bottom_colour, max(0.0, min(1.0, (py - top_row) / (bottom_row - top_row))))

    return colour


def render_zoomed(width, height, layers, s, background=None):
    """render() of layers drawn in 100 % coordinates, at scale s."""
    return render(px(width, s), px(height, s), [(zoomed(layer[0], s),) + tuple(layer[1:]) for layer in layers],
                  background)


def render(width, height, layers, background=None):
    """Straight-alpha RGBA rows, top row first, of layers (shape, colour[, opacity]) drawn in order,
    each over the last, on the background colour or on nothing."""
    picture = []
    for py in range(height):
        row = []
        for px in range(width):
            x, y = px + 0.5, py + 0.5
            if background is None:
                r = g = b = a = 0.0  # premultiplied
            else:
                (r, g, b), a = background, 1.0
            for layer in layers:
                shape, colour = layer[0], layer[1]
                coverage = max(0.0, min(1.0, 0.5 - shape(x, y))) * (layer[2] if len(layer) > 2 else 1.0)
                if coverage <= 0.0:
                    continue
                keep = 1 - coverage
                cr, cg, cb = colour(py) if callable(colour) else colour
                r, g, b = cr * coverage + r * keep, cg * coverage + g * keep, cb * coverage + b * keep
                a = coverage + a * keep
            alpha = int(round(a * 255))
            if alpha == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(min(255.0, c / a))) for c in (r, g, b)) + (alpha,))
        picture.append(row)
    return picture


def strip(frames):
    return [sum(parts, []) for parts in zip(*frames)]


def faded(picture, opacity):
    return [[(r, g, b, int(round(a * opacity))) for r, g, b, a in row] for row in picture]


# File formats.

def bmp(picture):
    """A 24-bit bottom-up BMP of an opaque picture."""
    height, width = len(picture), len(picture[0])
    stride = (width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for row in reversed(picture):
        for r, g, b, a in row:
            if a != 255:
                raise ValueError("a BMP picture must be opaque")
            pixels += bytes((b, g, r))
        pixels += bytes(stride - width * 3)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


def png(picture):
    """An 8-bit RGBA PNG, straight alpha."""
    height, width = len(picture), len(picture[0])
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in picture)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# Boxes behind the pages.

def framed_box(s, width, height, fill, radius=4, header_rows=0):
    """A box with a one-pixel border and rounded corners; with header rows, a tinted band on top
    whose last row is a separator line. The band ends where the program's layout puts the end of
    the box's header at this scale."""
    width, height, edge = px(width, s), px(height, s), line(s)
    outer = box(0, 0, width, height, radius * s)
    inner = grow(outer, -edge)
    layers = [(outer, BORDER), (inner, fill)]
    if header_rows:
        header = px(header_rows, s)
        layers.append((intersect(inner, rows(0, header - edge)), gradient(HEADER_TOP, HEADER_BOTTOM, edge, header - 2)))
        layers.append((intersect(inner, rows(header - edge, header)), LINE))
    return bmp(render(width, height, layers, WHITE))


def progress_back(s):
    """A floating box with a soft shadow on its lower right, as if it stood over the grid."""
    width, height, reach, edge = px(36, s), px(42, s), px(2, s), line(s)
    face = box(0, 0, width - reach, height - reach, 5 * s)
    shadow = box(reach, reach, width, height, 5 * s)
    # The shadow fades out over its two pixels, lighter than the border so the edge stays one line.
    layers = [(shadow, ACCENT, 0.045), (grow(shadow, -reach / 2), ACCENT, 0.075), (face, BORDER),
              (grow(face, -edge), WHITE)]
    return bmp(render(width, height, layers, WHITE))


def bar(colours):
    return bmp([[tuple(int(round(c)) for c in colour) + (255,)] for colour in colours])


def status_bar(s):
    """The status bar's column: a separator line on top, a gradient under it."""
    height, edge = px(25, s), line(s)
    return bar([LINE] * edge + [gradient(STATUS_TOP, STATUS_BOTTOM, edge, height - 1)(y) for y in range(edge, height)])


# The navigation bar.

def face_layers(shape, face, edge, width=1):
    return [(shape, edge), (grow(shape, -width), face)]


def nav_border(s):
    width, height, edge = px(20, s), px(34, s), line(s)
    shape = box(0, 0, width, height, 4 * s)
    accent_bar = zoomed(union(box(1, 6, 2.5, 28), box(1, 6, 4, 28, 1.5)), s)
    frames = {
        "normal": [],
        "hot": face_layers(shape, HOT_FACE, HOT_EDGE, edge),
        "down": face_layers(shape, DOWN_FACE, DOWN_EDGE, edge),
        "checked": face_layers(shape, CHECKED_FACE, CHECKED_EDGE, edge) + [(accent_bar, ACCENT)],
        "disabled": [],
    }
    return bmp(strip([render(width, height, frames[state], NAV_FILL) for state in STATES]))


# Glyphs: functions of the extra stroke width for the bolder checked look, giving one shape drawn in
# one colour, or (shape, share of the colour) pairs where a part is filled lighter.

STROKE = 1.5


def glyph_theme(bold):
    w = STROKE + bold
    palette = minus(box(2.5, 3.5, 17.5, 16.5, 6.5), circle(14.6, 13.4, 2.6))
    dots = union(circle(6.6, 9.6, 1.3), circle(9.4, 6.6, 1.3), circle(13.2, 7.0, 1.3))
    return union(outline(palette, w), grow(dots, bold / 2))


def glyph_logon(bold):
    w = STROKE + bold
    head = circle(10, 6.8, 3.6)
    shoulders = intersect(box(3, 12, 17, 24, 6.5), rows(0, 17.5))
    return union(outline(head, w), outline(shoulders, w))


def glyph_cursor(bold):
    arrow = polygon([(6, 2.5), (6, 16), (9.2, 13.1), (11.5, 17.8), (13.6, 16.8), (11.3, 12.2), (15.6, 12.2)])
    return [(outline(grow(arrow, 0.6), STROKE + bold), 1.0), (arrow, 0.3 + bold)]


def glyph_sound(bold):
    w = STROKE + bold
    speaker = union(box(2.5, 7.5, 6, 12.5, 0.6), polygon([(5, 7.5), (10, 3.5), (10, 16.5), (5, 12.5)]))
    waves = union(arc(10, 10, 3.5, -40, 40, w), arc(10, 10, 6.8, -48, 48, w))
    return union(grow(speaker, bold / 2), waves)


def glyph_screen(bold):
    w = STROKE + bold
    monitor = box(2, 3, 18, 14, 1.8)
    stand = union(segment(10, 14, 10, 16.5, w), segment(6, 16.75, 14, 16.75, w))
    return union(outline(monitor, w), stand)


def glyph_icon(bold):
    w = STROKE + bold
    squares = [box(x, y, x + 6.5, y + 6.5, 1.6) for x in (2.5, 11) for y in (2.5, 11)]
    return union(*(outline(s, w) for s in squares))


def glyph_wallpaper(bold):
    w = STROKE + bold
    frame = box(2, 3, 18, 17, 1.8)
    mountains = polygon([(3, 16), (8, 9.5), (11.5, 13.3), (13.5, 11.5), (17, 16)])
    sun = circle(13.6, 7.4, 1.7)
    return union(outline(frame, w), grow(intersect(mountains, grow(frame, -1)), bold / 2), grow(sun, bold / 2))


def glyph_crack(bold):
    head = minus(circle(13, 7, 4.6), union(circle(15.8, 4.2, 2.3), segment(13.2, 6.8, 16.5, 3.5, 2.6)))
    handle = segment(4.6, 15.4, 11.6, 8.4, 3.4)
    return minus(grow(union(head, handle), bold / 2), circle(4.9, 15.1, 0.8))


def glyph_oem(bold):
    w = STROKE + bold
    return union(outline(circle(10, 10, 8), w), grow(circle(10, 6.4, 1.15), bold / 2),
                 box(9.1 - bold / 2, 8.6, 10.9 + bold / 2, 14.2, 0.5))


def heart(cx, cy, size):
    r = size * 0.27
    top = cy - size * 0.18
    # The triangle's upper corners stay inside the circles, so the outline has no seams.
    return union(circle(cx - r * 0.92, top, r), circle(cx + r * 0.92, top, r),
                 polygon([(cx - r * 1.84, top + r * 0.38), (cx, top), (cx + r * 1.84, top + r * 0.38),
                          (cx, cy + size * 0.42)]))


def glyph_support(bold):
    return outline(heart(10, 10.2, 16), STROKE + bold)


def glyph_home(bold):
    w = 1.6 + bold
    roof = polyline([(2.5, 11.5), (12, 3), (21.5, 11.5)], w)
    walls = intersect(outline(box(5.5, 6, 18.5, 21, 1.2), w), rows(10, 22))
    door = box(10, 14.5, 14, 21, 0.8)
    return union(roof, walls, door)


def glyph_expand(bold):
    w = 1.4 + bold
    return union(polyline([(4, 2.5), (7.5, 5.7), (11, 2.5)], w), polyline([(4, 6.5), (7.5, 9.7), (11, 6.5)], w))


def glyph_collapse(bold):
    w = 1.4 + bold
    return union(polyline([(4, 5.5), (7.5, 2.3), (11, 5.5)], w), polyline([(4, 9.5), (7.5, 6.3), (11, 9.5)], w))


GLYPH_LOOKS = {
    "normal": (ACCENT, 0.75, 0.0),
    "hot": (ACCENT, 1.0, 0.0),
    "down": (DOWN_ACCENT, 1.0, 0.0),
    "checked": (ACCENT, 1.0, 0.35),
    "disabled": (GREY, 0.6, 0.0),
}


def glyph_strip(s, glyph, width, height):
    frames = []
    for state in STATES:
        colour, opacity, bold = GLYPH_LOOKS[state]
        shapes = glyph(bold)
        if callable(shapes):
            shapes = [(shapes, 1.0)]
        frames.append(render_zoomed(width, height, [(shape, colour, opacity * share) for shape, share in shapes], s))
    return png(strip(frames))


# Tabs and small buttons, see-through around their faces.

def tab_border(s):
    width, height, edge = px(9, s), px(21, s), line(s)
    # The tab stands on the page's line with its last rows: they are the line itself, except
    # under the checked tab, which opens into the page below.
    shape = intersect(box(0, 0, width, height + 4 * s, 3 * s), rows(0, height - edge))
    page_line = rows(height - edge, height)
    looks = {
        "normal": face_layers(shape, TAB_FACE, BORDER, edge) + [(page_line, LINE)],
        "hot": face_layers(shape, HOT_FACE, HOT_EDGE, edge) + [(page_line, LINE)],
        "down": face_layers(shape, DOWN_FACE, DOWN_EDGE, edge) + [(page_line, LINE)],
        "checked": face_layers(intersect(box(0, 0, width, height + 4 * s, 3 * s), rows(0, height)), CHECKED_FACE,
                               CHECKED_EDGE, edge),
        "disabled": face_layers(shape, DISABLED_FACE, DISABLED_EDGE, edge) + [(page_line, LINE)],
    }
    return png(strip([render(width, height, looks[state]) for state in STATES]))


def small_border(s):
    width, height, edge = px(9, s), px(18, s), line(s)
    shape = box(0, 0, width, height, 3 * s)
    hot = render(width, height, face_layers(shape, HOT_FACE, HOT_EDGE, edge))
    down = render(width, height, face_layers(shape, DOWN_FACE, DOWN_EDGE, edge))
    disabled = render(width, height, face_layers(shape, DISABLED_FACE, DISABLED_EDGE, edge))
    # The first frame is all but invisible: the button shows itself when the mouse comes.
    return png(strip([faded(hot, 0.05), hot, down, down, faded(disabled, 0.6)]))


def edit_folder(s):
    width, height, edge = px(20, s), px(18, s), line(s)
    face = box(0, 0, width, height, 3 * s)
    back = zoomed(union(box(4, 3, 9.5, 7, 1), box(4, 5, 16, 15, 1.5)), s)
    front = zoomed(box(4, 7, 16, 15, 1.5), s)

    def glyph(colour, dx=0, dy=0):
        dx, dy = dx * edge, dy * edge
        return [(moved(back, dx, dy), colour), (moved(grow(back, -edge), dx, dy), mix(colour, WHITE, 0.6)),
                (moved(front, dx, dy), colour), (moved(grow(front, -edge), dx, dy), mix(colour, WHITE, 0.88))]

    frames = [
        render(width, height, glyph(ACCENT), WHITE),
        render(width, height, face_layers(face, HOT_FACE, HOT_EDGE, edge) + glyph(ACCENT), WHITE),
        render(width, height, face_layers(face, DOWN_FACE, DOWN_EDGE, edge) + glyph(DOWN_ACCENT, 1, 1), WHITE),
        render(width, height, glyph(GREY), WHITE),
    ]
    return bmp(strip(frames))


# The preview window's round buttons, over any picture: a dark see-through disc with a white ring
# and mark, and a faint halo that keeps the disc's edge apart from light pictures.

VIEW_SIZE = 48
VIEW_RADIUS = 20
VIEW_LOOKS = {
    # halo opacity, disc colour and opacity, ring and mark colour and opacity, size (pressed: a pixel less)
    "NORMAL": (0.12, (0, 0, 0), 0.45, WHITE, 1.0, 1.0),
    "ENTER": (0.12, ACCENT, 0.85, WHITE, 1.0, 1.0),
    "DOWN": (0.16, (0, 0, 0), 0.62, WHITE, 0.92, (VIEW_RADIUS - 1) / VIEW_RADIUS),
    "DISABLE": (0.1, (120, 120, 120), 0.4, (235, 235, 235), 0.5, 1.0),
}


def view_button(s, mark, look):
    halo, disc_colour, disc_opacity, mark_colour, mark_opacity, size = VIEW_LOOKS[look]
    c = VIEW_SIZE / 2
    disc = circle(c, c, VIEW_RADIUS)
    layers = [
        (circle(c, c, VIEW_RADIUS + 1.2), (0, 0, 0), halo),
        (disc, disc_colour, disc_opacity),
        (outline(disc, 1.5), mark_colour, 0.9 * mark_opacity),
        (mark, mark_colour, mark_opacity),
    ]
    return png(render_zoomed(VIEW_SIZE, VIEW_SIZE, [(scaled(shape, size, c, c),) + tuple(rest) for shape, *rest in layers],
                             s))


CHECK_MARK = polyline([(15.5, 24.5), (21.5, 30.5), (32.5, 18.5)], 3.6)
CLOSE_MARK = union(segment(17.5, 17.5, 30.5, 30.5, 3.6), segment(30.5, 17.5, 17.5, 30.5, 3.6))


def pictures(s):
    """Resource name (without the scale) and file contents at scale s, in the order skin.rc lists them."""
    out = [
        ("PAGE_BACK_BMP", framed_box(s, 16, 54, WHITE, header_rows=23)),
        ("SOUND_BACK_BMP", framed_box(s, 16, 100, WHITE, header_rows=40)),
        ("ICON_BACK_BMP", framed_box(s, 18, 100, WHITE, header_rows=30)),
        ("TOOLS_BACK_BMP", framed_box(s, 22, 22, NAV_FILL)),
        ("NAV_BORDER_BMP", nav_border(s)),
    ]
    for name, glyph in (("THEME", glyph_theme), ("LOGON", glyph_logon), ("CURSOR", glyph_cursor),
                        ("SOUND", glyph_sound), ("SCREEN", glyph_screen), ("ICON", glyph_icon),
                        ("WALLPAPER", glyph_wallpaper), ("CRACK", glyph_crack), ("OEM", glyph_oem),
                        ("SUPPORT", glyph_support)):
        out.append((f"NAV_{name}_PNG", glyph_strip(s, glyph, 20, 20)))
    out += [
        ("NAV_HOME_PNG", png(render_zoomed(24, 24, [(glyph_home(0.0), ACCENT)], s))),
        ("TAB_BORDER_PNG", tab_border(s)),
        ("SMALL_BORDER_PNG", small_border(s)),
        ("GLYPH_EXPAND_PNG", glyph_strip(s, glyph_expand, 15, 12)),
        ("GLYPH_COLLAPSE_PNG", glyph_strip(s, glyph_collapse, 15, 12)),
        ("FILTER_BAR_BMP", bar([WHITE] * line(s) + [LINE] * line(s))),
        ("STATUS_BAR_BMP", status_bar(s)),
        ("LOGO_BACK_BMP", framed_box(s, 16, 14, WHITE, radius=3)),
        ("PROGRESS_BACK_BMP", progress_back(s)),
        ("EDIT_FOLDER_BMP", edit_folder(s)),
    ]
    for mark_name, mark in (("SET", CHECK_MARK), ("CLOSE", CLOSE_MARK)):
        for look in VIEW_LOOKS:
            out.append((f"VIEW_{mark_name}_{look}_PNG", view_button(s, mark, look)))
    return out


SCALES = (100, 125, 150, 200)


def scaled_resource(resource, scale):
    """PAGE_BACK_BMP at 150 %: PAGE_BACK_150_BMP; at 100 % the name stays as it is."""
    if scale == 100:
        return resource
    stem, ext = resource.rsplit("_", 1)
    return f"{stem}_{scale}_{ext}"


def file_name(resource):
    stem, ext = resource.rsplit("_", 1)
    return f"{stem.lower()}.{ext.lower()}"


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res", "skin"))
    os.makedirs(out, exist_ok=True)
    # The resource script sits next to the folder, where the resource compiler looks for the files.
    rc_path = os.path.join(os.path.dirname(out), "skin.rc")
    folder = os.path.basename(out)
    lines = ["// Generated by scripts/make_skin.py: change the script and run it again instead of editing this file.",
             "// The pictures the program paints its own controls with, found by name."]
    items = [(scaled_resource(resource, scale), data) for scale in SCALES for resource, data in pictures(scale / 100)]
    for resource, data in items:
        with open(os.path.join(out, file_name(resource)), "wb") as f:
            f.write(data)
        lines.append(f'{resource} RCDATA "{folder}/{file_name(resource)}"')
    with open(rc_path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")
    print(f"{len(items)} pictures in {out}, listed in {rc_path}")


if __name__ == "__main__":
    main()
