#!/usr/bin/env python3
"""Writes the seed corpus of the two fuzz targets.

    make-fuzz-corpus.py OUTDIR

creates OUTDIR/exports/ (image bytes + 17-byte trailer: control byte, then
four little-endian 32-bit coordinates) and OUTDIR/bitmap/ (2-byte image
length, image bytes, then 8-byte pixel operations); see fuzz/fuzz_*.cpp for
the layouts. The maps cover every depth, both header kinds, short and
all-white palettes, odd header fields and truncated files.
"""
import hashlib
import os
import struct
import sys

WHITE, WALL, BLACK, RED = ".", "#", "B", "R"
RGB = {WHITE: (255, 255, 255), WALL: (128, 128, 128), BLACK: (0, 0, 0), RED: (255, 0, 0)}


def maze(width, height, seed):
    """A map of white cells with walls and a few black cells, deterministic."""
    state = seed * 2654435761 % 2**32 or 1
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            state = (state * 1103515245 + 12345) % 2**31
            r = state % 100
            row.append(WALL if r < 18 else BLACK if r < 21 else RED if r < 22 else WHITE)
        rows.append(row)
    return rows


def solid(width, height, cell=WHITE):
    return [[cell] * width for _ in range(height)]


def walled(width, height):
    """White inside, grey walls on the border: the flood runs out."""
    return [[WALL if x in (0, width - 1) or y in (0, height - 1) else WHITE for x in range(width)]
            for y in range(height)]


def row_size(width, bits, planes=1):
    return (bits * planes * width + 31) // 32 * 4


def palette_for(bits, kind):
    n = 1 << bits
    if kind == "white":  # every entry white: marks read white
        return [(255, 255, 255)] * n
    base = [RGB[BLACK], RGB[WHITE], RGB[WALL], RGB[RED]]
    if bits == 1:
        return base[:2]
    extra = [(i * 37 % 256, i * 91 % 256, i * 53 % 256) for i in range(n - 4)]
    return base + extra


def encode(cells, bits, palette, core=False, clr_used=None, planes=1):
    """The BMP file of `cells` (rows top first) at `bits` per pixel."""
    height = len(cells)
    width = len(cells[0]) if height else 0
    index = {}
    if bits <= 8:
        for name in (WHITE, BLACK, WALL, RED):
            rgb = RGB[name]
            index[name] = palette.index(rgb) if rgb in palette else len(palette) - 1
    entry = 3 if core else 4
    off = 14 + (12 if core else 40) + entry * len(palette)
    rs = row_size(width, bits, planes)
    data = bytearray(off + rs * height)
    data[0:2] = b"BM"
    struct.pack_into("<II", data, 2, len(data), 0)
    struct.pack_into("<I", data, 10, off)
    if core:
        struct.pack_into("<IHHHH", data, 14, 12, width, height, planes, bits)
    else:
        if clr_used is None:
            clr_used = 0 if len(palette) == (1 << bits if bits <= 8 else 0) else len(palette)
        struct.pack_into("<IiiHHIIiiII", data, 14, 40, width, height, planes, bits, 0, 0, 2835, 2835,
                         clr_used, 0)
    at = 14 + (12 if core else 40)
    for r, g, b in palette:
        data[at:at + 3] = bytes((b, g, r))
        at += entry
    for y, row in enumerate(cells):
        base = off + (height - 1 - y) * rs
        for x, cell in enumerate(row):
            r, g, b = RGB[cell]
            if bits == 1:
                if index[cell] & 1:
                    data[base + x // 8] |= 0x80 >> (x % 8)
            elif bits == 4:
                data[base + x // 2] |= (index[cell] & 15) << (4 if x % 2 == 0 else 0)
            elif bits == 8:
                data[base + x] = index[cell]
            elif bits == 16:
                struct.pack_into("<H", data, base + 2 * x, (r >> 3) << 10 | (g >> 3) << 5 | b >> 3)
            elif bits == 24:
                data[base + 3 * x:base + 3 * x + 3] = bytes((b, g, r))
            else:
                data[base + 4 * x:base + 4 * x + 4] = bytes((b, g, r, 0xA5))
    return bytes(data)


def patch(data, fmt, at, *values):
    b = bytearray(data)
    struct.pack_into(fmt, b, at, *values)
    return bytes(b)


def maps():
    """(name, bytes, width, height) of every seed map."""
    out = []
    shapes = [("1x1", solid(1, 1)), ("2x2", solid(2, 2)), ("3x3", solid(3, 3)),
              ("maze9x7", maze(9, 7, 1)), ("maze17x9", maze(17, 9, 2)), ("maze33x12", maze(33, 12, 3)),
              ("pocket8x6", walled(8, 6)), ("black4x3", solid(4, 3, BLACK))]
    for bits in (1, 4, 8, 16, 24, 32):
        for core in (False, True):
            pal = palette_for(bits, "normal") if bits <= 8 else []
            for name, cells in shapes:
                out.append((f"{name}-{bits}bit{'-core' if core else ''}",
                            encode(cells, bits, pal, core=core), len(cells[0]), len(cells)))
        if bits <= 8:
            # Marks that read white: the searches must still finish.
            white = palette_for(bits, "white")
            out.append((f"whitepal-{bits}bit", encode(solid(40, 30), bits, white), 40, 30))
            out.append((f"whitepal-maze-{bits}bit", encode(maze(20, 20, 7), bits, white), 20, 20))
            # A short table (biClrUsed below the depth's size).
            short = palette_for(bits, "normal")[:2]
            out.append((f"shortpal-{bits}bit", encode(maze(12, 5, 4), bits, short), 12, 5))
    # Odd header fields on a small 24-bit and an 8-bit map.
    base24 = encode(maze(6, 5, 5), 24, [])
    base8 = encode(maze(6, 5, 6), 8, palette_for(8, "normal"))
    out += [
        ("clrused3-24bit", encode(maze(6, 5, 5), 24, [(1, 2, 3)] * 3), 6, 5),
        ("clrused16-8bit", encode(maze(6, 5, 6), 8, palette_for(4, "normal")), 6, 5),
        ("clrused-max", patch(base24, "<I", 46, 0xFFFFFFFF), 6, 5),
        ("clrused-2pow30", patch(base24, "<I", 46, 1 << 30), 6, 5),
        ("offbits0", patch(base24, "<I", 10, 0), 6, 5),
        ("offbits-header", patch(base24, "<I", 10, 20), 6, 5),
        ("offbits-last", patch(base24, "<I", 10, len(base24) - 1), 6, 5),
        ("offbits-len", patch(base24, "<I", 10, len(base24)), 6, 5),
        ("offbits-max", patch(base24, "<I", 10, 0xFFFFFFFF), 6, 5),
        ("bfsize0", patch(base24, "<I", 2, 0), 6, 5),
        ("bfsize-over", patch(base24, "<I", 2, len(base24) + 1), 6, 5),
        ("height-negative", patch(base24, "<i", 22, -5), 6, 5),
        ("width0", patch(base24, "<i", 18, 0), 6, 5),
        ("height0", patch(base24, "<i", 22, 0), 6, 5),
        ("width-huge", patch(base24, "<i", 18, 1000), 6, 5),
        ("height-huge", patch(base24, "<i", 22, 1000), 6, 5),
        ("planes0", patch(base24, "<H", 26, 0), 6, 5),
        ("planes3", patch(base24, "<H", 26, 3), 6, 5),
        ("compression1", patch(base8, "<I", 30, 1), 6, 5),
        ("compression3", patch(base24, "<I", 30, 3), 6, 5),
        ("bitcount2", patch(base8, "<H", 28, 2), 6, 5),
        ("header108", patch(base24, "<I", 14, 108), 6, 5),
        ("header124", patch(base24, "<I", 14, 124), 6, 5),
        ("not-bm", b"MB" + base24[2:], 6, 5),
        ("empty", b"", 0, 0),
        ("short53", base24[:53], 6, 5),
    ]
    # Truncated files: prefixes, both with bfSize kept (the load fails) and
    # with bfSize 0 (the load passes with a short pixel area).
    for name, data, w, h in list(out):
        if name.startswith(("maze17x9-", "maze9x7-8bit-core", "whitepal-8bit")):
            for cut in (54, len(data) // 2, len(data) - 1):
                out.append((f"{name}-cut{cut}", data[:cut], w, h))
                if cut > 6:
                    out.append((f"{name}-cut{cut}-bfsize0", patch(data[:cut], "<I", 2, 0), w, h))
    return out


def trailer(control, a, b, c=0, d=0):
    return struct.pack("<Biiii", control, a, b, c, d)


def write(directory, name, data):
    # Names carry a digest so that reruns overwrite rather than duplicate.
    digest = hashlib.sha1(data).hexdigest()[:10]
    with open(os.path.join(directory, f"{name}-{digest}"), "wb") as f:
        f.write(data)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    exports = os.path.join(root, "exports")
    bitmap = os.path.join(root, "bitmap")
    os.makedirs(exports, exist_ok=True)
    os.makedirs(bitmap, exist_ok=True)
    for name, data, w, h in maps():
        mx, my = max(w - 1, 0), max(h - 1, 0)
        cases = [
            ("path-corner", trailer(0, 0, 0, mx, my)),
            ("path-back", trailer(16, mx, my, 0, 0)),
            ("path-outside", trailer(0, -1, 0, mx // 2, my // 2)),
            ("path-same", trailer(4, 1, 1, 1, 1)),
            ("ore-middle", trailer(1, mx // 2, my // 2)),
            ("ore-chain", trailer(1 | 4, mx // 2, my // 2, 2, 2)),
        ]
        if name.startswith(("maze17x9-24bit", "offbits0", "empty", "whitepal-1bit")):
            cases += [
                ("path-raw-extreme", trailer(2, 2**31 - 1, -2**31, -2**31, 2**31 - 1)),
                ("path-raw-16bit", trailer(2 | 4 | 8, 2**16 + 1, -1, 2**16 - 1, 2**16)),
                ("ore-raw-extreme", trailer(1 | 2, 2**31 - 1, -2**31)),
                ("ore-raw-16bit", trailer(1 | 2 | 16, 2**16 + 1, -1)),
            ]
        for case, t in cases:
            write(exports, f"{name}-{case}", data + t)
        # Bitmap target: reads and writes over the picture and just beyond.
        ops = bytearray()
        for i, (x, y) in enumerate([(0, 0), (mx, my), (-1, 0), (0, -1), (w, 0), (0, h), (mx // 2, my // 2),
                                    (1, 0), (0, 1)]):
            kind = (i & 1) | ((i % 4) << 1)
            ops += struct.pack("<BhhBBB", kind, x, y, 0x12, 0x34, 0x56)
        ops += struct.pack("<BhhBBB", 8 | 1, -1, 0x7FFF, 255, 255, 255)  # raw coordinates
        ops += struct.pack("<BhhBBB", 16 | 1 | 2, 0, 0, 0, 0, 0)  # reload, then write white
        ops += struct.pack("<BhhBBB", 0xE1, 1, 1, 255, 0, 0)  # high colour bits set
        write(bitmap, name, struct.pack("<H", len(data) & 0xFFFF) + data + bytes(ops))


if __name__ == "__main__":
    main()
