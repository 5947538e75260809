"""Tests of the ctypes wrapper against a built library.

Run: GRIDSEEK_LIBRARY=build/release/src/libgridseek.so python3 -m unittest python/test_gridseek.py
(without GRIDSEEK_LIBRARY the module looks for a build in the checkout).
"""

import ctypes
import os
import struct
import sys
import threading
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gridseek  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MAPS = os.path.join(ROOT, "examples", "maps")

COLOURS = {".": (255, 255, 255), "#": (0, 0, 0), "g": (128, 128, 128)}


def bmp_from_text(rows):
    """A 24-bit BMP: '.' white (passable), '#' black, 'g' grey (blocks, not ore)."""
    width, height = len(rows[0]), len(rows)
    row_size = (24 * width + 31) // 32 * 4
    body = bytearray()
    for row in reversed(rows):  # stored bottom row first
        line = bytearray()
        for ch in row:
            r, g, b = COLOURS[ch]
            line += bytes((b, g, r))
        body += line + bytes(row_size - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 0, 0, 0, 0)
    return header + info + bytes(body)


def read_map(name):
    with open(os.path.join(MAPS, name), "rb") as f:
        return f.read()


class FindPath(unittest.TestCase):
    def test_returns_cells_from_start_to_goal_as_int_tuples(self):
        bmp = bmp_from_text(["....."])
        self.assertEqual(gridseek.find_path(bmp, (0, 0), (4, 0)), [(0, 0), (1, 0), (2, 0), (3, 0), (4, 0)])

    def test_unreachable_goal_gives_none(self):
        bmp = bmp_from_text(["..#.."])
        self.assertIsNone(gridseek.find_path(bmp, (0, 0), (4, 0)))

    def test_goal_equal_to_start_gives_the_start_twice(self):
        bmp = bmp_from_text(["..."])
        self.assertEqual(gridseek.find_path(bmp, (1, 0), (1, 0)), [(1, 0), (1, 0)])

    def test_coordinates_come_back_as_signed_16_bit_words(self):
        bmp = bmp_from_text(["..."])
        cases = [((-1, 0), (-1, 0)), ((40000, -40000), (40000 - 65536, -40000 + 65536)), ((65537, 2), (1, 2))]
        for start, word in cases:
            with self.subTest(start=start):
                self.assertEqual(gridseek.find_path(bmp, start, start), [word, word])

    def test_start_outside_the_picture_steps_in(self):
        bmp = bmp_from_text(["..."])
        self.assertEqual(gridseek.find_path(bmp, (-1, 0), (0, 0)), [(-1, 0), (0, 0)])

    def test_map_that_does_not_decode_gives_none(self):
        for bmp in (b"", b"BM", b"not a bitmap at all" * 4):
            with self.subTest(bmp=bmp[:8]):
                self.assertIsNone(gridseek.find_path(bmp, (0, 0), (1, 0)))

    def test_maze_path_joins_its_corners_in_single_steps(self):
        cells = gridseek.find_path(read_map("maze.bmp"), (1, 1), (39, 29))
        self.assertIsNotNone(cells)
        self.assertEqual((cells[0], cells[-1]), ((1, 1), (39, 29)))
        for a, b in zip(cells, cells[1:]):
            self.assertLessEqual(max(abs(a[0] - b[0]), abs(a[1] - b[1])), 1, (a, b))
            self.assertNotEqual(a, b)

    def test_accepts_any_bytes_like_map(self):
        bmp = bmp_from_text(["..."])
        for data in (bytes(bmp), bytearray(bmp), memoryview(bmp)):
            with self.subTest(kind=type(data).__name__):
                self.assertEqual(gridseek.find_path(data, (0, 0), (2, 0)), [(0, 0), (1, 0), (2, 0)])


class FindOre(unittest.TestCase):
    def test_direction_code_names_the_black_neighbour(self):
        # A white cell in grey rock with one black neighbour; grey blocks but is not ore.
        for code, (dx, dy, side) in gridseek.DIRECTIONS.items():
            rows = [list("ggggg") for _ in range(5)]
            rows[2][2] = "."
            rows[2 + dy][2 + dx] = "#"
            with self.subTest(code=code, side=side):
                self.assertEqual(gridseek.find_ore(bmp_from_text(["".join(r) for r in rows]), (2, 2)), (2, 2, code))

    def test_reports_the_flooded_cell_not_the_black_pixel(self):
        bmp = bmp_from_text(["ggggggg", "g....#g", "ggggggg"])
        self.assertEqual(gridseek.find_ore(bmp, (1, 1)), (4, 1, 4))

    def test_flood_that_runs_out_gives_none(self):
        bmp = bmp_from_text(["ggggg", "g...g", "ggggg"])
        self.assertIsNone(gridseek.find_ore(bmp, (2, 1)))

    def test_outside_the_picture_reads_black(self):
        self.assertEqual(gridseek.find_ore(bmp_from_text(["..."]), (1, 0)), (1, 0, 1))

    def test_map_that_does_not_decode_reads_black_everywhere(self):
        self.assertEqual(gridseek.find_ore(b"", (7, -3)), (7, -3, 1))

    def test_cave_example_finds_its_seam(self):
        hit = gridseek.find_ore(read_map("cave.bmp"), (6, 16))
        self.assertIsNotNone(hit)
        self.assertIn(hit[2], gridseek.DIRECTIONS)


class Arguments(unittest.TestCase):
    def test_coordinates_must_be_32_bit_ints(self):
        bmp = bmp_from_text(["..."])
        with self.assertRaises(TypeError):
            gridseek.find_path(bmp, (0.5, 0), (1, 0))
        with self.assertRaises(TypeError):
            gridseek.find_ore(bmp, (True, 0))
        with self.assertRaises(TypeError):
            gridseek.find_ore(bmp, 3)
        with self.assertRaises(ValueError):
            gridseek.find_path(bmp, (0, 0), (1 << 31, 0))
        with self.assertRaises(ValueError):
            gridseek.find_ore(bmp, (0, -(1 << 31) - 1))

    def test_extreme_32_bit_coordinates_are_accepted(self):
        bmp = bmp_from_text(["..."])
        self.assertEqual(gridseek.find_ore(bmp, (-(1 << 31), (1 << 31) - 1)), (0, -1, 1))


class Loading(unittest.TestCase):
    def test_explicit_path_loads_that_build(self):
        lib = gridseek.Library(gridseek.default_library_path())
        self.assertEqual(lib.find_path(bmp_from_text([".."]), (0, 0), (1, 0)), [(0, 0), (1, 0)])

    def test_missing_library_raises_oserror(self):
        with self.assertRaises(OSError):
            gridseek.Library(os.path.join(ROOT, "no-such-library.so"))

    def test_in_out_variables_are_pointer_sized(self):
        self.assertEqual(ctypes.sizeof(ctypes.c_ssize_t), ctypes.sizeof(ctypes.c_void_p))

    def test_raw_records_are_copies_that_outlive_the_next_call(self):
        lib = gridseek.Library(gridseek.default_library_path())
        bmp = bmp_from_text(["...."])
        first = lib.path_record(bmp, (0, 0), (3, 0))
        lib.ore_record(bmp, (0, 0))
        lib.path_record(bmp, (3, 0), (0, 0))
        self.assertEqual(first, struct.pack("<8h", 0, 0, 1, 0, 2, 0, 3, 0))

    def test_calls_from_several_threads_are_serialised(self):
        lib = gridseek.Library(gridseek.default_library_path())
        maze = read_map("maze.bmp")
        expected = lib.find_path(maze, (1, 1), (39, 29))
        rock = bmp_from_text(["ggggg", "gg.#g", "ggggg"])
        failures = []

        def worker(n):
            for _ in range(20):
                if n % 2:
                    got = lib.find_path(maze, (1, 1), (39, 29))
                    if got != expected:
                        failures.append(got)
                else:
                    got = lib.find_ore(rock, (2, 1))
                    if got != (2, 1, 4):
                        failures.append(got)

        threads = [threading.Thread(target=worker, args=(n,)) for n in range(4)]
        for t in threads:
            t.start()
        for t in threads:
            t.join()
        self.assertEqual(failures, [])


if __name__ == "__main__":
    unittest.main()
