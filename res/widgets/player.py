#!/usr/bin/env python3
"""Draws the main window's player icons into OUTDIR.

  player.bmp      33 x 33 loudspeaker, teal on black: nothing is playing
  player_go.bmp   33 x 33 the same loudspeaker lit aqua with sound waves; it lies over
                  player.bmp and blinks while a player plays
Usage: player.py OUTDIR
"""
import math
import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from buttons import write_bmp  # noqa: E402

BLACK = (0, 0, 0)
TEAL = (0, 128, 128)
AQUA = (0, 255, 255)
SIZE = 33


def speaker(colour, waves):
    img = [[BLACK] * SIZE for _ in range(SIZE)]
    # The magnet: a box on the left; the cone: a trapezoid widening to the right.
    for y in range(12, 21):
        for x in range(4, 10):
            img[y][x] = colour
    for x in range(10, 18):
        half = 4 + (x - 10)
        for y in range(16 - half, 17 + half):
            img[y][x] = colour
    if waves:
        for radius in (5, 9, 13):
            for step in range(-50, 51):
                angle = math.radians(step)
                x = 17 + round(radius * math.cos(angle))
                y = 16 + round(radius * math.sin(angle))
                if 0 <= x < SIZE and 0 <= y < SIZE:
                    img[y][x] = colour
    return img


def main():
    out = sys.argv[1]
    write_bmp(os.path.join(out, "player.bmp"), speaker(TEAL, False))
    write_bmp(os.path.join(out, "player_go.bmp"), speaker(AQUA, True))


if __name__ == "__main__":
    main()
