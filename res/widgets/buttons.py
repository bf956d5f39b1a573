#!/usr/bin/env python3
"""Draws the bitmaps of the spinner and the slider, and the hand cursor, into OUTDIR.

  arrows_up.bmp, arrows_down.bmp      63 x 16: three 21 x 16 images (disabled, normal, pressed)
  arrows_left.bmp, arrows_right.bmp   51 x 21: three 17 x 21 images
  thumb_hori.bmp                      30 x 13 thumb of vertical sliders
  thumb_vert.bmp                      13 x 30 thumb of horizontal sliders
  handpoint.cur                       32 x 32 pointing hand, hot spot on the fingertip

Arrows are 16-colour bitmaps on fuchsia (transparent): the fill is the key colour green
0x008000 in the disabled image and lime 0x00FF00 in the others, which the spinner turns
into its palette's colours; the edges are white, grey and black, swapped when pressed.
Thumbs have a black outline, black being their transparent colour.
Usage: buttons.py OUTDIR
"""
import os
import struct
import sys

FUCHSIA = (255, 0, 255)
GREEN = (0, 128, 0)
LIME = (0, 255, 0)
WHITE = (255, 255, 255)
GREY = (128, 128, 128)
SILVER = (192, 192, 192)
BLACK = (0, 0, 0)
DARK = (64, 64, 64)


def write_bmp(path, pixels):
    """pixels: rows top to bottom of (r, g, b). Writes 4 bits per pixel when 16 colours
    suffice, else 24 bits."""
    h, w = len(pixels), len(pixels[0])
    colours = sorted({p for row in pixels for p in row})
    if len(colours) <= 16:
        index = {c: i for i, c in enumerate(colours)}
        palette = b"".join(struct.pack("<BBBB", c[2], c[1], c[0], 0) for c in colours)
        palette += b"\0" * (4 * (16 - len(colours)))
        stride = ((w * 4 + 31) // 32) * 4
        data = b""
        for row in reversed(pixels):
            nibbles = [index[p] for p in row] + [0] * (stride * 2 - w)
            data += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, stride * 2, 2))
        bpp, used = 4, 16
    else:
        palette = b""
        stride = ((w * 24 + 31) // 32) * 4
        data = b""
        for row in reversed(pixels):
            line = b"".join(struct.pack("<BBB", p[2], p[1], p[0]) for p in row)
            data += line + b"\0" * (stride - len(line))
        bpp, used = 24, 0
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, bpp, 0, len(data), 2835, 2835, used, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def arrow_image(w, h, direction, fill, pressed):
    """One arrow image: a triangle pointing up, down, left or right, inside a fuchsia frame."""
    img = [[FUCHSIA] * w for _ in range(h)]
    light, dark = (GREY, WHITE) if pressed else (WHITE, GREY)
    # Draw an upward triangle in a canvas of (length along, breadth across), then turn it.
    vertical = direction in ("up", "down")
    along, across = (h, w) if vertical else (w, h)
    tip, base = 3, along - 4          # rows of the tip and of the base line
    centre = (across - 1) / 2.0
    half_base = (across - 7) / 2.0

    def put(a, c, colour):
        if direction == "up":
            x, y = c, a
        elif direction == "down":
            x, y = c, along - 1 - a
        elif direction == "left":
            x, y = a, c
        else:
            x, y = along - 1 - a, c
        img[y][x] = colour

    for a in range(tip, base + 1):
        spread = half_base * (a - tip) / float(base - tip)
        lo, hi = int(round(centre - spread)), int(round(centre + spread))
        for c in range(lo, hi + 1):
            put(a, c, fill)
        put(a, lo, light)                 # lit edge on the left (or top)
        put(a, hi, BLACK if not pressed else light)
        if hi - 1 > lo:
            put(a, hi - 1, dark)          # shaded edge on the right (or bottom)
    lo = int(round(centre - half_base))
    hi = int(round(centre + half_base))
    for c in range(lo, hi + 1):
        put(base, c, BLACK if not pressed else WHITE)
        if base - 1 > tip:
            put(base - 1, c, dark if c not in (lo, hi) else img_get(img, direction, along, base - 1, c))
    return img


def img_get(img, direction, along, a, c):
    if direction == "up":
        return img[a][c]
    if direction == "down":
        return img[along - 1 - a][c]
    if direction == "left":
        return img[c][a]
    return img[c][along - 1 - a]


def arrows(w, h, direction):
    images = [arrow_image(w, h, direction, GREEN, False),
              arrow_image(w, h, direction, LIME, False),
              arrow_image(w, h, direction, LIME, True)]
    return [sum((img[y] for img in images), []) for y in range(h)]


def thumb(w, h):
    """A flat bar with a raised face and a groove across its middle, outlined in black."""
    img = [[SILVER] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            if x in (0, w - 1) or y in (0, h - 1):
                img[y][x] = BLACK
            elif x == 1 or y == 1:
                img[y][x] = WHITE
            elif x == w - 2 or y == h - 2:
                img[y][x] = GREY
    if w >= h:
        for x in range(3, w - 3):
            img[h // 2][x] = DARK
    else:
        for y in range(3, h - 3):
            img[y][w // 2] = DARK
    return img


HAND = [
    "     XX         ",
    "    X..X        ",
    "    X..X        ",
    "    X..X        ",
    "    X..XXX      ",
    "    X..X..XXX   ",
    "    X..X..X..XX ",
    " XX X..X..X..X.X",
    "X..XX........X.X",
    "X...X..........X",
    " X.............X",
    "  X............X",
    "  X...........X ",
    "   X..........X ",
    "    X........X  ",
    "    XXXXXXXXXX  ",
]


def write_cursor(path):
    """A 32 x 32 monochrome cursor: black outline, white hand, the rest transparent."""
    size = 32
    xor_rows, and_rows = [], []
    for y in range(size):
        line = HAND[y] if y < len(HAND) else ""
        xor_bits, and_bits = 0, 0
        for x in range(size):
            ch = line[x] if x < len(line) else " "
            bit = 1 << (31 - x)
            if ch == " ":
                and_bits |= bit            # screen shows through
            elif ch == ".":
                xor_bits |= bit            # white
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, 255, 255, 255, 0)
    image = info + palette + b"".join(reversed(xor_rows)) + b"".join(reversed(and_rows))
    hot_x, hot_y = 5, 0
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    with open(path, "wb") as f:
        f.write(directory + entry + image)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: buttons.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    write_bmp(os.path.join(out, "arrows_up.bmp"), arrows(21, 16, "up"))
    write_bmp(os.path.join(out, "arrows_down.bmp"), arrows(21, 16, "down"))
    write_bmp(os.path.join(out, "arrows_left.bmp"), arrows(17, 21, "left"))
    write_bmp(os.path.join(out, "arrows_right.bmp"), arrows(17, 21, "right"))
    write_bmp(os.path.join(out, "thumb_hori.bmp"), thumb(30, 13))
    write_bmp(os.path.join(out, "thumb_vert.bmp"), thumb(13, 30))
    write_cursor(os.path.join(out, "handpoint.cur"))


if __name__ == "__main__":
    main()
