#!/usr/bin/env python3
"""Draws the seven-segment LCD widgets' bitmaps into OUTDIR as 24-bit BMP files.

Lit pixels are silver (0xC0C0C0) and unlit segments grey (0x808080), the keys that the
widgets' palettes replace; everything else is black, which the widgets leave out.
  numWxH.bmp     strip of 13 glyphs: 0..9, blank (all unlit), unlit minus, lit minus
  clocksepN.bmp  colon: two silver dots on black
  ampmWxH.bmp    two halves with AM above PM: PM lit on the left, AM lit on the right
  animate.bmp    an 8-frame strip of a rotating beacon, 32 x 32 each, for the animation

Usage: lcd.py OUTDIR
"""
import os
import struct
import sys

BLACK, GREY, SILVER = (0, 0, 0), (0x80, 0x80, 0x80), (0xC0, 0xC0, 0xC0)

# (strip name, glyph width, height, colon width, AM/PM width); the 5x7 set's glyphs are
# four pixels wide: its strip is 52 wide.
SETS = [
    ("num13x24", 13, 24, "clocksep1", 6, "ampm13x24", 20),
    ("num11x20", 11, 20, "clocksep2", 6, "ampm11x20", 20),
    ("num7x13", 7, 13, "clocksep3", 3, "ampm7x13", 14),
    ("num12x17", 12, 17, "clocksep4", 7, "ampm12x17", 20),
    ("num5x7", 4, 7, "clocksep5", 3, "ampm5x7", 12),
]

# Segments a..g lit by each digit.
DIGIT_SEGMENTS = ["abcdef", "bc", "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc", "abcdefg", "abcdfg"]


class Image:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[BLACK] * w for _ in range(h)]

    def fill(self, x0, y0, x1, y1, colour):  # inclusive-exclusive
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                self.px[y][x] = colour

    def save(self, path):
        row = (self.w * 3 + 3) & ~3
        data = bytearray()
        for y in reversed(range(self.h)):
            line = bytearray()
            for r, g, b in self.px[y]:
                line += bytes((b, g, r))
            data += line + bytes(row - len(line))
        header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
        info = struct.pack("<IiiHHIIiiII", 40, self.w, self.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
        with open(path, "wb") as f:
            f.write(header + info + data)


def segment_boxes(w, h):
    """Rectangles (x0, y0, x1, y1) of segments a..g in a glyph w x h."""
    t = max(1, round(w / 6))  # stroke width
    m = 1 if w >= 11 else 0  # margin left and right
    x0, x1 = m, w - m
    mid = (h - t) // 2
    return {
        "a": (x0 + t, 0, x1 - t, t),
        "g": (x0 + t, mid, x1 - t, mid + t),
        "d": (x0 + t, h - t, x1 - t, h),
        "f": (x0, t, x0 + t, mid),
        "b": (x1 - t, t, x1, mid),
        "e": (x0, mid + t, x0 + t, h - t),
        "c": (x1 - t, mid + t, x1, h - t),
    }


def digit_strip(w, h):
    img = Image(13 * w, h)
    boxes = segment_boxes(w, h)
    for i in range(13):
        if i < 10:
            lit, unlit = DIGIT_SEGMENTS[i], "abcdefg"
        elif i == 10:
            lit, unlit = "", "abcdefg"
        else:
            lit, unlit = ("g" if i == 12 else ""), "g"
        for s in unlit:
            x0, y0, x1, y1 = boxes[s]
            img.fill(i * w + x0, y0, i * w + x1, y1, SILVER if s in lit else GREY)
    return img


def colon(cw, h, gw):
    img = Image(cw, h)
    d = max(1, min(cw, round(gw / 6)))
    x = (cw - d) // 2
    for cy in (h // 3, h - 1 - h // 3):
        img.fill(x, cy - d // 2, x + d, cy - d // 2 + d, SILVER)
    return img


# Letters of 3 x 5 and, for the smallest set, 3 x 3 pixels.
FONT5 = {
    "A": [".#.", "#.#", "###", "#.#", "#.#"],
    "P": ["##.", "#.#", "##.", "#..", "#.."],
    "M": ["#.#", "###", "###", "#.#", "#.#"],
}
FONT3 = {"A": [".#.", "###", "#.#"], "P": ["##.", "##.", "#.."], "M": ["#.#", "###", "#.#"]}


def ampm(total, h):
    img = Image(total, h)
    half = total // 2
    font = FONT3 if h < 11 else FONT5
    lh = len(font["A"])
    gap = 0 if half < 7 else 1
    tw = 6 + gap
    for side, lit in ((0, "PM"), (1, "AM")):
        ox = side * half + (half - tw) // 2
        oy = (h - (2 * lh + 1)) // 2
        for line, word in enumerate(("AM", "PM")):
            colour = SILVER if word == lit else GREY
            for k, ch in enumerate(word):
                for y, bits in enumerate(font[ch]):
                    for x, bit in enumerate(bits):
                        if bit == "#":
                            img.fill(ox + k * (3 + gap) + x, oy + line * (lh + 1) + y,
                                     ox + k * (3 + gap) + x + 1, oy + line * (lh + 1) + y + 1, colour)
    return img


def beacon_frames(n=8, size=32):
    """A ring of n dots with one lit dot going round, aqua on black."""
    import math
    img = Image(n * size, size)
    for f in range(n):
        for k in range(n):
            a = 2 * math.pi * k / n
            cx = f * size + size // 2 + round(10 * math.cos(a)) - 2
            cy = size // 2 + round(10 * math.sin(a)) - 2
            colour = (0, 255, 255) if k == f else (0, 0x60, 0x60)
            img.fill(cx, cy, cx + 4, cy + 4, colour)
    return img


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: lcd.py OUTDIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for strip, gw, h, sep, cw, ap, aw in SETS:
        digit_strip(gw, h).save(os.path.join(out, strip + ".bmp"))
        colon(cw, h, gw).save(os.path.join(out, sep + ".bmp"))
        ampm(aw, h).save(os.path.join(out, ap + ".bmp"))
    beacon_frames().save(os.path.join(out, "animate.bmp"))


if __name__ == "__main__":
    main()
