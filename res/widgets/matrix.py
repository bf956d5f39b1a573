#!/usr/bin/env python3
"""Draws the unlit cells of the LED dot-matrix display as 16-colour BMP files.

A cell is 5 x 7 dots of b x b pixels, one pixel apart, in grey 0x808080 on black; the
widget turns grey into its "off" colour and black into its background at load time.
How an unlit dot looks depends on its size: b = 1 is the single pixel, b = 2 the
diagonal pair (top-left and bottom-right pixel), b = 3 a plus sign.

Usage: matrix.py OUTDIR  (writes vrmatrixled9x13.bmp, vrmatrixled14x20.bmp and
vrmatrixled19x27.bmp; res/widgets/matrix.rc lists them)
"""
import os
import struct
import sys

# The standard 16-colour palette; the cells use only black (index 0) and grey (index 8).
PALETTE = [
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
]  # 0xRRGGBB
BLACK, GREY = 0, 8

# The pixels of one unlit dot within its b x b square, by dot size.
DOT_PIXELS = {
    1: [(0, 0)],
    2: [(0, 0), (1, 1)],
    3: [(1, 0), (0, 1), (1, 1), (2, 1), (1, 2)],
}


def cell(b):
    """The unlit cell as rows of palette indices, top row first."""
    w, h = 5 * (b + 1) - 1, 7 * (b + 1) - 1
    rows = [[BLACK] * w for _ in range(h)]
    for dy in range(7):
        for dx in range(5):
            for px, py in DOT_PIXELS[b]:
                rows[dy * (b + 1) + py][dx * (b + 1) + px] = GREY
    return rows


def bmp4(rows):
    """A bottom-up 4-bit BMP with the full 16-colour palette."""
    h, w = len(rows), len(rows[0])
    stride = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, idx in enumerate(row):
            line[x // 2] |= idx << (4 if x % 2 == 0 else 0)
        pixels += line
    palette = b"".join(struct.pack("<BBBB", c & 0xFF, (c >> 8) & 0xFF, c >> 16, 0) for c in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    return header + info + palette + bytes(pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: matrix.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for b, name in ((1, "vrmatrixled9x13.bmp"), (2, "vrmatrixled14x20.bmp"), (3, "vrmatrixled19x27.bmp")):
        with open(os.path.join(out, name), "wb") as f:
            f.write(bmp4(cell(b)))


if __name__ == "__main__":
    main()
