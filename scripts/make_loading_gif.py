#!/usr/bin/env python3
"""Draws the loading animation of the preview panels, a ring of twelve dots whose bright head goes
round once in twelve frames, in the program's accent colours, and writes it as an animated GIF89a
(looping for ever, see-through around the dots).

    scripts/make_loading_gif.py [output file]     (default: src/res/loading.gif)

Pure Python without dependencies; the output is the same on every run.
"""

import math
import os
import struct
import sys

SIZE = 40
FRAMES = 12
DELAY_CS = 8  # hundredths of a second per frame: one turn takes about a second
RING_RADIUS = 13.5
DOT_RADIUS = 3.4
SAMPLES = 4  # per pixel and axis, for soft dot edges

ACCENT = (131, 83, 108)
PALE = (255, 217, 206)
# The panels are white: the soft edges blend towards it.
BACKGROUND = (255, 255, 255)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def dot_colour(age):
    """The head (age 0) in the accent colour, the tail fading to the pale border colour."""
    return mix(ACCENT, PALE, min(1.0, age / (FRAMES - 4)))


def coverage(px, py, cx, cy):
    inside = 0
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            x = px + (sx + 0.5) / SAMPLES
            y = py + (sy + 0.5) / SAMPLES
            if math.hypot(x - cx, y - cy) < DOT_RADIUS:
                inside += 1
    return inside / (SAMPLES * SAMPLES)


def frame(head):
    """One frame as rows of RGB tuples, None where it is see-through."""
    pixels = [[None] * SIZE for _ in range(SIZE)]
    centre = SIZE / 2
    for dot in range(FRAMES):
        angle = 2 * math.pi * dot / FRAMES - math.pi / 2
        cx = centre + RING_RADIUS * math.cos(angle)
        cy = centre + RING_RADIUS * math.sin(angle)
        colour = dot_colour((head - dot) % FRAMES)
        for py in range(int(cy - DOT_RADIUS) - 1, int(cy + DOT_RADIUS) + 2):
            for px in range(int(cx - DOT_RADIUS) - 1, int(cx + DOT_RADIUS) + 2):
                amount = coverage(px, py, cx, cy)
                if amount > 0:
                    pixels[py][px] = mix(BACKGROUND, colour, amount)
    return pixels


def lzw(indices, min_code_size):
    """GIF's variable-length LZW, packed into bytes least significant bit first."""
    clear = 1 << min_code_size
    end = clear + 1
    out = bytearray()
    bits = 0
    nbits = 0

    def emit(code, width):
        nonlocal bits, nbits
        bits |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(bits & 0xFF)
            bits >>= 8
            nbits -= 8

    def reset():
        return {bytes([i]): i for i in range(clear)}, end + 1, min_code_size + 1

    table, next_code, width = reset()
    emit(clear, width)
    current = b""
    for index in indices:
        candidate = current + bytes([index])
        if candidate in table:
            current = candidate
            continue
        emit(table[current], width)
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            # The decoder widens its codes one code later than the encoder adds them.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = reset()
        current = bytes([index])
    if current:
        emit(table[current], width)
    emit(end, width)
    if nbits:
        out.append(bits & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for start in range(0, len(data), 255):
        chunk = data[start : start + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def gif(frames):
    colours = sorted({p for f in frames for row in f for p in row if p is not None})
    if len(colours) > 255:
        raise SystemExit(f"{len(colours)} colours do not fit one palette")
    palette = [BACKGROUND] + colours  # index 0 is the see-through one
    table_bits = max(1, math.ceil(math.log2(len(palette))))
    palette += [(0, 0, 0)] * ((1 << table_bits) - len(palette))
    index_of = {c: i + 1 for i, c in enumerate(colours)}

    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", SIZE, SIZE, 0x80 | 0x70 | (table_bits - 1), 0, 0)
    for colour in palette:
        out += bytes(colour)
    # Loop for ever.
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    min_code_size = max(2, table_bits)
    for f in frames:
        # Every frame covers the whole picture and is drawn on a cleared background, so the
        # see-through pixels never show the frame before.
        out += b"\x21\xf9\x04" + struct.pack("<BHBB", (2 << 2) | 1, DELAY_CS, 0, 0)
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, SIZE, SIZE, 0)
        indices = [0 if p is None else index_of[p] for row in f for p in row]
        out.append(min_code_size)
        out += sub_blocks(lzw(indices, min_code_size))
    out += b"\x3b"
    return bytes(out)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "src", "res", "loading.gif")
    data = gif([frame(head) for head in range(FRAMES)])
    with open(target, "wb") as file:
        file.write(data)
    print(f"{target}: {len(data)} bytes, {FRAMES} frames of {SIZE}x{SIZE}")


if __name__ == "__main__":
    main()
