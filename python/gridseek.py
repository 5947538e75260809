"""ctypes wrapper for the gridseek shared library.

    import gridseek
    with open("examples/maps/maze.bmp", "rb") as f:
        bmp = f.read()
    gridseek.find_path(bmp, (1, 1), (39, 29))   # [(1, 1), (2, 1), ..., (39, 29)] or None
    gridseek.find_ore(bmp, (1, 1))              # (x, y, direction) or None

The maps are BMP files as bytes: each pixel a cell, passable when exactly
white; x counts columns from the left, y rows from the top. Results are the
library's records decoded: each coordinate is the signed 16-bit word the
library returns (the low 16 bits of the true coordinate).

The module-level functions use a library found on first use (see
default_library_path); Library(path) loads a particular build.

Calls must not overlap: the library takes no locks and hands every result
back through one buffer that the next call replaces. This module copies each
result before it returns and serialises the calls made through one Library
object (and so through the module functions) with a lock; code elsewhere in
the process that calls the same library must not call it at the same time.
"""

import ctypes
import glob
import os
import struct
import sys
import threading

__all__ = ["Library", "find_path", "find_ore", "default_library_path", "DIRECTIONS", "LibraryNotFound"]

# Direction code -> (dx, dy, side): where the black pixel lies, seen from the ore cell.
DIRECTIONS = {
    1: (-1, 1, "lower left"),
    2: (0, 1, "below"),
    3: (1, 1, "lower right"),
    4: (1, 0, "right"),
    5: (1, -1, "upper right"),
    6: (0, -1, "above"),
    7: (-1, -1, "upper left"),
    8: (-1, 0, "left"),
}

_PATH_NAME = "寻路"
_ORE_NAME = "寻矿"
# 32-bit Windows builds export the names in GBK, which ctypes cannot look up
# by name; they are ordinals 2 and 1 there.
_PATH_ORDINAL = 2
_ORE_ORDINAL = 1

_INT32_MIN, _INT32_MAX = -(1 << 31), (1 << 31) - 1
_POINTER_BITS = ctypes.sizeof(ctypes.c_void_p) * 8


class LibraryNotFound(OSError):
    pass


def _library_file_name():
    if sys.platform == "win32":
        return "gridseek.dll"
    if sys.platform == "darwin":
        return "libgridseek.dylib"
    return "libgridseek.so"


def default_library_path():
    """The library this module uses when no path is given: $GRIDSEEK_LIBRARY
    if set; else, in the checkout this file lives in, the library of
    build/release (scripts/test.sh), build/example (scripts/run-example.sh)
    or build, the first that exists; else the newest build/*/src/<library>
    outside sanitizer builds (those only load with their runtime preloaded)."""
    env = os.environ.get("GRIDSEEK_LIBRARY")
    if env:
        return env
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    name = _library_file_name()
    for build in ("release", "example", ""):
        candidate = os.path.join(root, "build", build, "src", name)
        if os.path.isfile(candidate):
            return candidate
    candidates = [c for c in glob.glob(os.path.join(root, "build", "*", "src", name))
                  if os.path.isfile(c) and "sanitize" not in os.path.basename(os.path.dirname(os.path.dirname(c)))]
    if not candidates:
        raise LibraryNotFound(
            f"no built {name} under {os.path.join(root, 'build')}; build it with cmake "
            "or set GRIDSEEK_LIBRARY / pass a path to Library()")
    return max(candidates, key=os.path.getmtime)


def _int32(name, value):
    if isinstance(value, bool) or not isinstance(value, int):
        raise TypeError(f"{name} must be an int, not {type(value).__name__}")
    if not _INT32_MIN <= value <= _INT32_MAX:
        raise ValueError(f"{name} must fit in 32 signed bits, got {value}")
    return value


def _cell(name, cell):
    try:
        x, y = cell
    except (TypeError, ValueError):
        raise TypeError(f"{name} must be an (x, y) pair, not {cell!r}") from None
    return _int32(name + " x", x), _int32(name + " y", y)


class Library:
    """One loaded build of the library."""

    def __init__(self, path=None):
        self.path = os.fspath(path) if path is not None else default_library_path()
        # The in/out variables are pointer-sized signed integers; c_ssize_t
        # is that width on every platform CPython supports (32 or 64 bits).
        pointer = ctypes.POINTER(ctypes.c_ssize_t)
        i32 = ctypes.c_int32
        if sys.platform == "win32" and _POINTER_BITS == 32:
            self._dll = ctypes.WinDLL(self.path)  # __stdcall
            self._path_fn = self._dll[_PATH_ORDINAL]
            self._ore_fn = self._dll[_ORE_ORDINAL]
        else:
            self._dll = ctypes.CDLL(self.path)
            self._path_fn = getattr(self._dll, _PATH_NAME)
            self._ore_fn = getattr(self._dll, _ORE_NAME)
        self._path_fn.argtypes = [pointer, pointer, i32, i32, i32, i32]
        self._path_fn.restype = None
        self._ore_fn.argtypes = [pointer, pointer, i32, i32]
        self._ore_fn.restype = None
        self._lock = threading.Lock()

    def _call(self, fn, bmp_bytes, *coords):
        view = memoryview(bmp_bytes)
        size = view.nbytes
        # One copy into ctypes memory: its address is fixed for the call and
        # the bytes can be any buffer (bytes, bytearray, memoryview, array).
        image = (ctypes.c_char * size).from_buffer_copy(view) if size else None
        p = ctypes.c_ssize_t(ctypes.addressof(image) if image is not None else 0)
        q = ctypes.c_ssize_t(size)
        with self._lock:
            fn(ctypes.byref(p), ctypes.byref(q), *coords)
            # The result belongs to the library until the next call: copy it now.
            result = ctypes.string_at(p.value, q.value) if p.value and q.value > 0 else b""
        del image
        return result

    def path_record(self, bmp_bytes, start, goal):
        """The raw path record (bytes; b"" for the empty result)."""
        sx, sy = _cell("start", start)
        gx, gy = _cell("goal", goal)
        return self._call(self._path_fn, bmp_bytes, sx, sy, gx, gy)

    def ore_record(self, bmp_bytes, start):
        """The raw ore record (bytes; b"" for the empty result)."""
        x, y = _cell("start", start)
        return self._call(self._ore_fn, bmp_bytes, x, y)

    def find_path(self, bmp_bytes, start, goal):
        """Cells from start to goal inclusive as (x, y) tuples, or None when
        the goal cannot be reached. A goal equal to the start gives the
        start cell twice."""
        record = self.path_record(bmp_bytes, start, goal)
        if not record:
            return None
        if len(record) % 4:
            raise RuntimeError(f"malformed path record of {len(record)} bytes")
        return list(struct.iter_unpack("<hh", record))

    def find_ore(self, bmp_bytes, start):
        """(x, y, direction) of the first flooded cell with a black
        neighbour, or None when the flood runs out. (x, y) is that cell, not
        the black pixel; DIRECTIONS[direction] says where the pixel is."""
        record = self.ore_record(bmp_bytes, start)
        if not record:
            return None
        if len(record) != 6:
            raise RuntimeError(f"malformed ore record of {len(record)} bytes")
        return struct.unpack("<hhh", record)


_default = None
_default_lock = threading.Lock()


def _library():
    global _default
    with _default_lock:
        if _default is None:
            _default = Library()
        return _default


def find_path(bmp_bytes, start, goal):
    """Library.find_path on the default library."""
    return _library().find_path(bmp_bytes, start, goal)


def find_ore(bmp_bytes, start):
    """Library.find_ore on the default library."""
    return _library().find_ore(bmp_bytes, start)


def _main(argv):
    import argparse

    parser = argparse.ArgumentParser(prog="gridseek.py", description="Run one gridseek search on a BMP map.")
    parser.add_argument("--library", help="path of the shared library")
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("path")
    p.add_argument("map")
    for name in ("x0", "y0", "x1", "y1"):
        p.add_argument(name, type=int)
    o = sub.add_parser("ore")
    o.add_argument("map")
    o.add_argument("x", type=int)
    o.add_argument("y", type=int)
    args = parser.parse_args(argv)
    lib = Library(args.library) if args.library else _library()
    with open(args.map, "rb") as f:
        bmp = f.read()
    if args.command == "path":
        cells = lib.find_path(bmp, (args.x0, args.y0), (args.x1, args.y1))
        print("no path" if cells is None else f"{len(cells)} cells: {cells}")
        return 0 if cells else 1
    hit = lib.find_ore(bmp, (args.x, args.y))
    print("no ore reachable" if hit is None else f"ore cell {hit[:2]}, direction {hit[2]} ({DIRECTIONS[hit[2]][2]})")
    return 0 if hit else 1


if __name__ == "__main__":
    sys.exit(_main(sys.argv[1:]))
