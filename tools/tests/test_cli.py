"""Tests of the gridseek command-line tool: runs the built binary on the
sample maps and on bad input, checking output, pictures and exit codes.

Run: GRIDSEEK_TOOL=build/release/tools/gridseek python3 -m unittest tools/tests/test_cli.py
"""

import json
import os
import re
import struct
import subprocess
import tempfile
import unittest
import zlib

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
MAPS = os.path.join(ROOT, "examples", "maps")
TOOL = os.environ.get("GRIDSEEK_TOOL", os.path.join(ROOT, "build", "release", "tools", "gridseek"))
LIBRARY = os.environ.get("GRIDSEEK_LIBRARY")

# Exit codes.
FOUND, NOT_FOUND, USAGE, INPUT, LIBRARY_PROBLEM = 0, 1, 2, 3, 4

# Colours of the drawing.
START_GREEN = (20, 170, 60)
GOAL_RED = (220, 30, 30)
PATH_LINE = (20, 60, 200)
ORE_MARK = (235, 0, 200)

SIDES = {1: (-1, 1, "lower left"), 2: (0, 1, "below"), 3: (1, 1, "lower right"), 4: (1, 0, "right"),
         5: (1, -1, "upper right"), 6: (0, -1, "above"), 7: (-1, -1, "upper left"), 8: (-1, 0, "left")}

TEXT_COLOURS = {".": (255, 255, 255), "#": (0, 0, 0), "g": (128, 128, 128)}


def map_path(name):
    return os.path.join(MAPS, name)


def run(*args):
    result = subprocess.run([TOOL, *args], capture_output=True, text=True, timeout=120)
    return result.returncode, result.stdout, result.stderr


def pixels_from_text(rows):
    return [[TEXT_COLOURS[ch] for ch in row] for row in rows]


def bmp24(pixels):
    width, height = len(pixels[0]), len(pixels)
    row_size = (24 * width + 31) // 32 * 4
    body = bytearray()
    for row in reversed(pixels):
        line = b"".join(bytes((b, g, r)) for r, g, b in row)
        body += line + bytes(row_size - len(line))
    return (struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 0, 0, 0, 0) + bytes(body))


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png(pixels, alpha=None):
    """An 8-bit RGB (or RGBA, with alpha[y][x]) PNG."""
    width, height = len(pixels[0]), len(pixels)
    raw = bytearray()
    for y, row in enumerate(pixels):
        raw.append(0)
        for x, (r, g, b) in enumerate(row):
            raw += bytes((r, g, b)) + (bytes((alpha[y][x],)) if alpha else b"")
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6 if alpha else 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"IDAT", zlib.compress(bytes(raw))) +
            png_chunk(b"IEND", b""))


def read_png(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB PNG, as the tool writes them."""
    with open(path, "rb") as f:
        data = f.read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG"
    at, idat = 8, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert (depth, colour) == (8, 2), (depth, colour)
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b = prev[i]
            c = prev[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append([tuple(line[x * 3:x * 3 + 3]) for x in range(width)])
        prev = line
    return width, height, rows


class Workspace(unittest.TestCase):
    def setUp(self):
        self._dir = tempfile.TemporaryDirectory()
        self.dir = self._dir.name

    def tearDown(self):
        self._dir.cleanup()

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        with open(path, "wb") as f:
            f.write(data)
        return path


class Help(unittest.TestCase):
    def test_help_shows_usage_and_examples(self):
        code, out, _ = run("--help")
        self.assertEqual(code, 0)
        for text in ("gridseek path MAP X0 Y0 X1 Y1", "gridseek ore MAP X Y", "--draw OUT.png", "--json",
                     "--library PATH", "Exit codes", "Examples:", "examples/maps/maze.bmp"):
            self.assertIn(text, out)

    def test_version(self):
        code, out, _ = run("--version")
        self.assertEqual(code, 0)
        self.assertRegex(out, r"^gridseek \d+\.\d+\.\d+\n$")


class PathCommand(Workspace):
    def test_maze_path_in_words(self):
        code, out, err = run("path", map_path("maze.bmp"), "1", "1", "39", "29")
        self.assertEqual((code, err), (FOUND, ""))
        first, *lines = out.splitlines()
        m = re.fullmatch(r"path from \(1, 1\) to \(39, 29\): (\d+) cells", first)
        self.assertIsNotNone(m, first)
        cells = [tuple(map(int, c)) for c in re.findall(r"\((-?\d+), (-?\d+)\)", " ".join(lines))]
        self.assertEqual(len(cells), int(m.group(1)))
        self.assertEqual((cells[0], cells[-1]), ((1, 1), (39, 29)))

    def test_json_matches_the_text(self):
        code, out, _ = run("path", map_path("field.bmp"), "2", "20", "60", "30", "--json")
        self.assertEqual(code, FOUND)
        doc = json.loads(out)
        self.assertEqual((doc["command"], doc["found"], doc["map_decodes"]), ("path", True, True))
        self.assertEqual((doc["start"], doc["goal"]), ([2, 20], [60, 30]))
        self.assertEqual(doc["length"], len(doc["cells"]))
        self.assertEqual((doc["cells"][0], doc["cells"][-1]), ([2, 20], [60, 30]))
        self.assertEqual(doc["warnings"], [])
        _, text, _ = run("path", map_path("field.bmp"), "2", "20", "60", "30")
        self.assertIn(f": {doc['length']} cells", text)

    def test_goal_in_a_wall_is_no_path_with_exit_1(self):
        code, out, _ = run("path", map_path("field.bmp"), "2", "20", "14", "5")
        self.assertEqual((code, out), (NOT_FOUND, "no path from (2, 20) to (14, 5)\n"))
        code, out, _ = run("--json", "path", map_path("field.bmp"), "2", "20", "14", "5")
        self.assertEqual(code, NOT_FOUND)
        doc = json.loads(out)
        self.assertEqual((doc["found"], doc["length"], doc["cells"]), (False, 0, []))

    def test_negative_and_signed_coordinates(self):
        code, out, _ = run("path", map_path("field.bmp"), "-1", "0", "0", "0", "--json")
        self.assertEqual(code, FOUND)
        self.assertEqual(json.loads(out)["cells"], [[-1, 0], [0, 0]])
        # The record holds the low 16 bits, signed.
        code, out, _ = run("path", map_path("field.bmp"), "--json", "--", "40000", "-40000", "40000", "-40000")
        self.assertEqual(code, FOUND)
        self.assertEqual(json.loads(out)["cells"], [[-25536, 25536], [-25536, 25536]])

    def test_png_map_gives_the_same_path_as_the_bmp(self):
        rows = ["..........", ".######...", "......#...", "..g...#...", "......#..."]
        bmp = self.write("m.bmp", bmp24(pixels_from_text(rows)))
        pngfile = self.write("m.png", png(pixels_from_text(rows)))
        results = []
        for path in (bmp, pngfile):
            code, out, err = run("path", path, "0", "4", "9", "4", "--json")
            self.assertEqual((code, err), (FOUND, ""))
            results.append(json.loads(out)["cells"])
        self.assertEqual(results[0], results[1])

    def test_transparent_png_pixels_are_black(self):
        pixels = pixels_from_text(["...", "...", "..."])
        alpha = [[255, 255, 255], [255, 0, 255], [255, 255, 255]]
        path = self.write("a.png", png(pixels, alpha))
        code, out, _ = run("ore", path, "0", "1", "--json")
        doc = json.loads(out)
        self.assertEqual(code, FOUND)
        # (0, 1) sees outside the map first: lower left is (-1, 2).
        self.assertEqual((doc["cell"], doc["direction"]), ([0, 1], 1))
        code, out, _ = run("path", path, "0", "1", "2", "1", "--json")
        self.assertNotIn([1, 1], json.loads(out)["cells"])


class OreCommand(Workspace):
    def test_cave_ore_in_words_and_json_agree(self):
        code, out, _ = run("ore", map_path("cave.bmp"), "6", "16")
        self.assertEqual(code, FOUND)
        m = re.fullmatch(r"ore next to cell \((\d+), (\d+)\): direction (\d) \(([a-z ]+)\), "
                         r"black pixel at \((\d+), (\d+)\)\n", out)
        self.assertIsNotNone(m, out)
        x, y, d, side, ox, oy = m.groups()
        dx, dy, expected_side = SIDES[int(d)]
        self.assertEqual(side, expected_side)
        self.assertEqual((int(ox), int(oy)), (int(x) + dx, int(y) + dy))
        code, out, _ = run("ore", map_path("cave.bmp"), "6", "16", "--json")
        doc = json.loads(out)
        self.assertEqual((doc["cell"], doc["direction"], doc["side"], doc["ore"]),
                         ([int(x), int(y)], int(d), side, [int(ox), int(oy)]))

    def test_every_direction_is_named(self):
        for code_, (dx, dy, side) in SIDES.items():
            rows = [list("ggggg") for _ in range(5)]
            rows[2][2] = "."
            rows[2 + dy][2 + dx] = "#"
            path = self.write(f"d{code_}.bmp", bmp24(pixels_from_text(["".join(r) for r in rows])))
            with self.subTest(side=side):
                code, out, _ = run("ore", path, "2", "2")
                self.assertEqual(code, FOUND)
                self.assertIn(f"direction {code_} ({side})", out)

    def test_enclosed_flood_is_no_ore_with_exit_1(self):
        path = self.write("closed.bmp", bmp24(pixels_from_text(["ggggg", "g...g", "ggggg"])))
        code, out, _ = run("ore", path, "2", "1")
        self.assertEqual((code, out), (NOT_FOUND, "no ore reachable from (2, 1)\n"))
        code, out, _ = run("ore", path, "2", "1", "--json")
        self.assertEqual(code, NOT_FOUND)
        self.assertFalse(json.loads(out)["found"])


class Drawing(Workspace):
    def centre(self, rows, scale, cell):
        # The picture has a frame of one cell around the map.
        x, y = cell
        return rows[(y + 1) * scale + scale // 2][(x + 1) * scale + scale // 2]

    def test_path_picture_is_scaled_with_start_goal_and_path_marked(self):
        out_png = os.path.join(self.dir, "maze.png")
        code, out, _ = run("path", map_path("maze.bmp"), "1", "1", "39", "29", "--draw", out_png, "--scale", "8",
                           "--json")
        self.assertEqual(code, FOUND)
        cells = [tuple(c) for c in json.loads(out)["cells"]]
        width, height, rows = read_png(out_png)
        self.assertEqual((width, height), ((41 + 2) * 8, (31 + 2) * 8))
        self.assertEqual(self.centre(rows, 8, (1, 1)), START_GREEN)
        self.assertEqual(self.centre(rows, 8, (39, 29)), GOAL_RED)
        middle = cells[len(cells) // 2]
        self.assertEqual(self.centre(rows, 8, middle), PATH_LINE)
        # A wall cell far from the path keeps its colour: nearest-neighbour scaling, no smoothing.
        self.assertEqual(self.centre(rows, 8, (0, 15)), (0, 0, 0))

    def test_automatic_scale_fits_about_1024_pixels(self):
        out_png = os.path.join(self.dir, "field.png")
        code, _, _ = run("path", map_path("field.bmp"), "2", "20", "60", "30", "--draw=" + out_png)
        self.assertEqual(code, FOUND)
        width, height, _ = read_png(out_png)
        self.assertEqual((width, height), (66 * 15, 42 * 15))

    def test_no_path_still_draws_start_and_goal(self):
        out_png = os.path.join(self.dir, "none.png")
        code, _, _ = run("path", map_path("field.bmp"), "2", "20", "14", "5", "--draw", out_png, "--scale", "6")
        self.assertEqual(code, NOT_FOUND)
        _, _, rows = read_png(out_png)
        self.assertEqual(self.centre(rows, 6, (2, 20)), START_GREEN)
        self.assertEqual(self.centre(rows, 6, (14, 5)), GOAL_RED)

    def test_ore_picture_marks_the_cell_the_pixel_and_an_arrow(self):
        out_png = os.path.join(self.dir, "cave.png")
        code, out, _ = run("ore", map_path("cave.bmp"), "6", "16", "--json", "--draw", out_png, "--scale", "10")
        self.assertEqual(code, FOUND)
        doc = json.loads(out)
        _, _, rows = read_png(out_png)
        self.assertEqual(self.centre(rows, 10, (6, 16)), START_GREEN)
        cx, cy = doc["cell"]
        ox, oy = doc["ore"]
        self.assertEqual(self.centre(rows, 10, (cx, cy)), ORE_MARK)  # the arrow starts here
        # The black pixel: outlined, still black inside.
        self.assertEqual(rows[(oy + 1) * 10 - 1][(ox + 1) * 10 + 1], ORE_MARK)
        self.assertEqual(rows[(oy + 1) * 10 + 2][(ox + 2) * 10 - 3], (0, 0, 0))

    def test_ore_outside_the_map_is_drawn_in_the_frame(self):
        path = self.write("edge.bmp", bmp24(pixels_from_text(["...", "..."])))
        out_png = os.path.join(self.dir, "edge.png")
        code, out, _ = run("ore", path, "0", "0", "--json", "--draw", out_png, "--scale", "4")
        self.assertEqual(code, FOUND)
        self.assertEqual(json.loads(out)["ore"], [-1, 1])
        width, height, _ = read_png(out_png)
        self.assertEqual((width, height), (5 * 4, 4 * 4))

    def test_far_away_start_is_clipped_with_a_warning(self):
        out_png = os.path.join(self.dir, "far.png")
        code, _, err = run("path", map_path("maze.bmp"), "1000", "1000", "1", "1", "--draw", out_png, "--scale", "2")
        self.assertEqual(code, NOT_FOUND)
        self.assertIn("not drawn", err)
        self.assertTrue(os.path.getsize(out_png) > 0)

    def test_missing_output_directory_is_an_error(self):
        code, _, err = run("path", map_path("maze.bmp"), "1", "1", "3", "1", "--draw",
                           os.path.join(self.dir, "no", "such", "dir", "x.png"))
        self.assertEqual(code, INPUT)
        self.assertIn("cannot write", err)


class BadInput(Workspace):
    def assert_fails(self, args, code, message):
        got, out, err = run(*args)
        self.assertEqual(got, code, (out, err))
        self.assertIn(message, err)
        self.assertNotIn("Segmentation", err)

    def test_missing_file(self):
        self.assert_fails(["path", os.path.join(self.dir, "nope.bmp"), "0", "0", "1", "1"], INPUT, "no such file")

    def test_directory(self):
        self.assert_fails(["ore", self.dir, "0", "0"], INPUT, "is a directory")

    def test_non_image_file(self):
        for name, data in (("notes.bmp", b"hello, world\n"), ("empty.png", b""), ("one.bmp", b"B")):
            with self.subTest(name=name):
                self.assert_fails(["path", self.write(name, data), "0", "0", "1", "1"], INPUT, "not a map image")

    def test_undecodable_png(self):
        cases = {
            "garbage.png": b"\x89PNG\r\n\x1a\n" + b"\x00" * 40,
            "truncated.png": png(pixels_from_text(["...", "..."]))[:40],
        }
        for name, data in cases.items():
            with self.subTest(name=name):
                self.assert_fails(["ore", self.write(name, data), "0", "0"], INPUT, "cannot decode the PNG")

    def test_non_integer_coordinates(self):
        for bad in ("1.5", "abc", "", "0x10", "99999999999", "2147483648", "1e3", " 1", "+-1"):
            with self.subTest(coordinate=bad):
                self.assert_fails(["path", map_path("maze.bmp"), "1", bad, "3", "1"], USAGE, "must be an integer")

    def test_extreme_integers_are_accepted(self):
        code, _, _ = run("path", map_path("maze.bmp"), "-2147483648", "2147483647", "+5", "-0")
        self.assertEqual(code, NOT_FOUND)

    def test_command_line_mistakes(self):
        cases = [
            ([], "no command given"),
            (["walk", map_path("maze.bmp"), "1", "1"], "unknown command 'walk'"),
            (["path", map_path("maze.bmp"), "1", "1", "3"], "path takes MAP X0 Y0 X1 Y1"),
            (["ore", map_path("maze.bmp"), "1"], "ore takes MAP X Y"),
            (["ore", map_path("maze.bmp"), "1", "1", "--frobnicate"], "unknown option --frobnicate"),
            (["ore", map_path("maze.bmp"), "1", "1", "--draw"], "--draw needs a value"),
            (["ore", map_path("maze.bmp"), "1", "1", "--scale", "0"], "--scale must be an integer from 1 to 64"),
            (["ore", map_path("maze.bmp"), "1", "1", "--json=yes"], "--json takes no value"),
        ]
        for args, message in cases:
            with self.subTest(args=args):
                self.assert_fails(args, USAGE, message)

    def test_bmp_the_library_cannot_decode_is_passed_on_with_a_warning(self):
        path = self.write("broken.bmp", b"BM" + b"\x00" * 20)
        code, out, err = run("ore", path, "3", "4")
        # Every cell of an undecodable map reads black: the start's first neighbour is ore.
        self.assertEqual(code, FOUND)
        self.assertIn("direction 1 (lower left)", out)
        self.assertIn("warning: the library will not decode this BMP", err)
        code, out, _ = run("path", path, "3", "4", "5", "4", "--json")
        self.assertEqual(code, NOT_FOUND)
        doc = json.loads(out)
        self.assertFalse(doc["map_decodes"])
        self.assertTrue(any("will not decode" in w for w in doc["warnings"]))

    def test_undecodable_bmp_reasons(self):
        good = bmp24(pixels_from_text(["...", "..."]))
        compressed = bytearray(good)
        compressed[30] = 1
        v5 = bytearray(good)
        v5[14] = 124
        bits2 = bytearray(good)
        bits2[28] = 2
        big = bytearray(good)
        big[2:6] = struct.pack("<I", len(good) + 1)
        for name, data, reason in (("rle.bmp", compressed, "compressed"), ("v5.bmp", v5, "info header is 124"),
                                   ("b2.bmp", bits2, "2 bits per pixel"), ("size.bmp", big, "bfSize")):
            with self.subTest(name=name):
                code, _, err = run("path", self.write(name, bytes(data)), "0", "0", "2", "1")
                self.assertEqual(code, NOT_FOUND)
                self.assertIn(reason, err)

    def test_draw_of_an_undecodable_bmp_shows_it_black(self):
        path = self.write("broken.bmp", b"BM" + b"\x00" * 20)
        out_png = os.path.join(self.dir, "b.png")
        code, _, _ = run("ore", path, "1", "1", "--draw", out_png, "--scale", "4")
        self.assertEqual(code, FOUND)
        self.assertTrue(os.path.exists(out_png))

    def test_16_bit_and_top_down_maps_warn_that_nothing_is_white(self):
        good = bmp24(pixels_from_text(["...", "..."]))
        topdown = bytearray(good)
        topdown[22:26] = struct.pack("<i", -2)
        code, _, err = run("path", self.write("td.bmp", bytes(topdown)), "0", "0", "2", "0")
        self.assertEqual(code, NOT_FOUND)
        self.assertIn("negative height", err)
        # 16 bits: 5 bits a channel, so 0x7FFF reads as 248 in each and is not white.
        sixteen = (struct.pack("<2sIHHI", b"BM", 58, 0, 0, 54) +
                   struct.pack("<IiiHHIIiiII", 40, 2, 1, 1, 16, 0, 4, 0, 0, 0, 0) + struct.pack("<HH", 0x7FFF, 0x7FFF))
        code, _, err = run("path", self.write("16.bmp", sixteen), "0", "0", "1", "0")
        self.assertEqual(code, NOT_FOUND)
        self.assertIn("16 bits per pixel", err)

    def test_library_that_does_not_load(self):
        self.assert_fails(["--library", os.path.join(self.dir, "libnothing.so"), "ore", map_path("maze.bmp"), "1",
                           "1"], LIBRARY_PROBLEM, "cannot load")

    def test_library_without_the_exports(self):
        libc = None
        with open("/proc/self/maps") as maps:
            for line in maps:
                if re.search(r"/libc[.-][^/]*\.so", line) or line.rstrip().endswith("libc.so.6"):
                    libc = line.split()[-1]
                    break
        if libc is None:
            self.skipTest("no libc path in /proc/self/maps")
        self.assert_fails(["ore", map_path("maze.bmp"), "1", "1", "--library", libc], LIBRARY_PROBLEM,
                          "is not a gridseek library")


@unittest.skipUnless(LIBRARY, "GRIDSEEK_LIBRARY names the build to compare with")
class LibraryChoice(unittest.TestCase):
    def test_library_option_gives_the_same_result_as_the_default(self):
        default = run("path", map_path("maze.bmp"), "1", "1", "39", "29", "--json")
        chosen = run("path", map_path("maze.bmp"), "1", "1", "39", "29", "--json", "--library", LIBRARY)
        self.assertEqual(default, chosen)


if __name__ == "__main__":
    unittest.main()
