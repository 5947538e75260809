#!/usr/bin/env python3
"""Writes the sample maps in examples/maps/ (python3 standard library only).

Each map is generated from a fixed seed, so running the script again gives
byte-identical files:

  maze.bmp   41 x 31, 1 bit per pixel: white corridors between black walls.
             Every cell with odd x and odd y is a corridor cell, so
             (1, 1) and (39, 29), the two far corners, are connected.
  cave.bmp   48 x 32, 8 bits per pixel: a white cave in grey rock with a
             black ore seam in the rock. The grey rock blocks paths but is
             not ore, so an ore search from inside the cave ends at the seam.
  field.bmp  64 x 40, 24 bits per pixel: an open white field with a few
             coloured walls to walk around.

Usage: python3 scripts/make-example-maps.py [OUTPUT_DIR]   (default examples/maps)
"""

import os
import struct
import sys

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)


class Lcg:
    """A tiny fixed generator (the constants of Numerical Recipes), so the
    maps do not depend on the random module's algorithm."""

    def __init__(self, seed):
        self.state = seed & 0xFFFFFFFF

    def next(self):
        self.state = (self.state * 1664525 + 1013904223) & 0xFFFFFFFF
        return self.state >> 8

    def below(self, n):
        return self.next() % n


def bmp_bytes(width, height, pixels, bits, palette=None):
    """A BMP file with a 40-byte info header. pixels[y][x] is an (r, g, b)
    tuple for 24 bits, a palette index for 1 and 8 bits; row 0 is the top."""
    row_size = (bits * width + 31) // 32 * 4
    colours = len(palette) if palette else 0
    offset = 14 + 40 + 4 * colours
    body = bytearray()
    for y in range(height - 1, -1, -1):  # BMP rows are stored bottom row first
        row = bytearray()
        if bits == 24:
            for r, g, b in pixels[y]:
                row += bytes((b, g, r))
        elif bits == 8:
            row += bytes(pixels[y])
        elif bits == 1:
            for x0 in range(0, width, 8):
                byte = 0
                for i in range(8):
                    if x0 + i < width and pixels[y][x0 + i]:
                        byte |= 0x80 >> i
                row.append(byte)
        else:
            raise ValueError("unsupported bit count")
        row += bytes(row_size - len(row))
        body += row
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(body), 2835, 2835, colours, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in (palette or []))
    return header + info + table + bytes(body)


def maze():
    """A perfect maze carved by a depth-first walk over the odd cells."""
    width, height = 41, 31
    rng = Lcg(20240611)
    wall = [[1] * width for _ in range(height)]  # 1 = wall
    stack = [(1, 1)]
    wall[1][1] = 0
    while stack:
        x, y = stack[-1]
        options = [(dx, dy) for dx, dy in ((2, 0), (-2, 0), (0, 2), (0, -2))
                   if 0 < x + dx < width - 1 and 0 < y + dy < height - 1 and wall[y + dy][x + dx]]
        if not options:
            stack.pop()
            continue
        dx, dy = options[rng.below(len(options))]
        wall[y + dy // 2][x + dx // 2] = 0
        wall[y + dy][x + dx] = 0
        stack.append((x + dx, y + dy))
    # Palette index 1 is white (passable), index 0 black.
    pixels = [[0 if wall[y][x] else 1 for x in range(width)] for y in range(height)]
    return bmp_bytes(width, height, pixels, 1, palette=[BLACK, WHITE])


def cave():
    """A cellular-automaton cave: random fill, a few smoothing rounds, a
    frame of rock, then a black seam drawn into the rock on the right."""
    width, height = 48, 32
    rng = Lcg(7)
    rock = [[rng.below(100) < 42 for _ in range(width)] for _ in range(height)]
    for _ in range(4):
        nxt = []
        for y in range(height):
            row = []
            for x in range(width):
                n = sum(1 for dy in (-1, 0, 1) for dx in (-1, 0, 1)
                        if (dx or dy) and (not (0 <= x + dx < width and 0 <= y + dy < height) or rock[y + dy][x + dx]))
                row.append(n >= 5 or (rock[y][x] and n >= 4))
            nxt.append(row)
        rock = nxt
    for y in range(height):
        for x in range(width):
            if x < 2 or y < 2 or x >= width - 2 or y >= height - 2:
                rock[y][x] = True
    # Palette: 0 black (ore), 1 white (cave floor), 2 grey rock, 3 darker rock.
    pixels = [[(3 if rng.below(100) < 15 else 2) if rock[y][x] else 1 for x in range(width)]
              for y in range(height)]
    # The seam: a band of ore, three cells wide, slanting through the rock on
    # the right; only its rock cells become ore, so it shows in the cave walls.
    for y in range(3, height - 3):
        x0 = 34 + (y * 2) // 5
        for x in range(x0, x0 + 3):
            if rock[y][x]:
                pixels[y][x] = 0
    # Keep a pocket around the start cell (6, 16) open so the ore search has
    # somewhere to start.
    for y in range(14, 19):
        for x in range(4, 9):
            pixels[y][x] = 1
    palette = [BLACK, WHITE, (128, 128, 128), (96, 88, 80)] + [BLACK] * 252
    return bmp_bytes(width, height, pixels, 8, palette=palette)


def field():
    """An open field with a few walls in different colours."""
    width, height = 64, 40
    pixels = [[WHITE] * width for _ in range(height)]

    def wall(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                pixels[y][x] = colour

    wall(14, 0, 15, 30, (40, 60, 160))      # a long wall from the top edge
    wall(30, 9, 31, 39, (160, 40, 40))      # another from the bottom edge
    wall(44, 6, 58, 7, (30, 120, 50))       # a horizontal bar
    wall(44, 6, 45, 28, (30, 120, 50))      # ... turning into an L
    wall(50, 18, 63, 19, (90, 90, 90))      # a ledge from the right edge
    wall(20, 32, 25, 34, (250, 250, 250))   # almost white: still a wall
    return bmp_bytes(width, height, pixels, 24)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "examples", "maps")
    os.makedirs(out, exist_ok=True)
    for name, make in (("maze.bmp", maze), ("cave.bmp", cave), ("field.bmp", field)):
        data = make()
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print(f"{os.path.join(out, name)}: {len(data)} bytes")


if __name__ == "__main__":
    main()
