// Runs both searches over one large map through the shared library, as a
// host would, and reports the time and the peak memory of the process.
//
//   gridseek_stress [SIDE]     (default 8192: a SIDE x SIDE map at 24 bits)
//
// The map is one long white serpentine corridor between grey walls, with one
// black pixel near the far corner, so that the searches cross the whole map.
// Exits non-zero when a result does not have the expected shape.

#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/library_handle.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (std::size_t i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i) & 0xFF);
}

// A frame of walls; walls every 16th column with a 4-cell gap alternately
// at the bottom and at the top, which makes the map one long serpentine
// corridor; short wall stubs inside the corridors; and a sealed 3 x 3 white
// pocket (centre kPocketX, side / 2) that nothing outside it can reach.
constexpr std::uint32_t kPocketX = 14;

bool IsWall(std::uint32_t side, std::uint32_t x, std::uint32_t y) {
  const std::uint32_t last = side - 1;
  if (x == 0 || y == 0 || x == last || y == last) return true;
  const std::uint32_t px = x > kPocketX ? x - kPocketX : kPocketX - x;
  const std::uint32_t py = y > side / 2 ? y - side / 2 : side / 2 - y;
  if (px <= 2 && py <= 2) return px == 2 || py == 2;
  if (x % 16 == 8) return (x / 16) % 2 == 0 ? y < side - 5 : y >= 5;
  return y % 97 == 50 && x % 16 >= 10 && x % 16 <= 13;
}

Bytes MakeMap(std::uint32_t side, std::uint32_t blackX, std::uint32_t blackY) {
  const std::size_t rowSize = (std::size_t{side} * 24 + 31) / 32 * 4;
  const std::size_t size = 54 + rowSize * side;
  Bytes b(size, 0);
  b[0] = 'B';
  b[1] = 'M';
  Put32(b, 2, static_cast<std::uint32_t>(size));
  Put32(b, 10, 54);
  Put32(b, 14, 40);
  Put32(b, 18, side);
  Put32(b, 22, side);
  b[26] = 1;
  b[28] = 24;
  for (std::uint32_t y = 0; y < side; ++y) {
    std::uint8_t* row = b.data() + 54 + std::size_t{side - 1 - y} * rowSize;
    for (std::uint32_t x = 0; x < side; ++x) {
      std::uint8_t v = IsWall(side, x, y) ? 0x80 : 0xFF;
      if (x == blackX && y == blackY) v = 0;
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
    }
  }
  return b;
}

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::uint16_t Word(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); }

}  // namespace

int main(int argc, char** argv) {
  const std::uint32_t side = argc > 1 ? static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)) : 8192;
  if (side < 64 || side > 32768) {
    std::fprintf(stderr, "usage: gridseek_stress [SIDE 64..32768]\n");
    return 2;
  }
  testlib::Library lib;
  const std::uint32_t last = side - 1;
  const Bytes map = MakeMap(side, last - 3, last - 2);
  std::printf("map: %u x %u at 24 bits, %zu bytes; peak before searching %ld KiB\n", side, side, map.size(),
              PeakKiB());
  int failures = 0;

  auto start = std::chrono::steady_clock::now();
  const auto end = static_cast<std::int32_t>(last - 1);
  const Bytes path = lib.FindPath(map, 1, 1, end, 1);
  std::printf("path (1,1) -> (%d,1) along the corridor: %zu cells, %.2f s, peak %ld KiB\n", end, path.size() / 4,
              Seconds(start), PeakKiB());
  if (path.size() < 8 || Word(path, path.size() - 4) != static_cast<std::uint16_t>(end)) {
    std::printf("  FAILED: the path does not reach the goal\n");
    ++failures;
  }

  start = std::chrono::steady_clock::now();
  const Bytes unreachable = lib.FindPath(map, 1, 1, static_cast<std::int32_t>(kPocketX), static_cast<std::int32_t>(side / 2));
  std::printf("path to a goal in a sealed pocket (whole map flooded): %zu bytes, %.2f s, peak %ld KiB\n",
              unreachable.size(), Seconds(start), PeakKiB());
  if (!unreachable.empty()) {
    std::printf("  FAILED: a goal in a sealed pocket was reached\n");
    ++failures;
  }

  // The flood from the first corner walks the whole corridor to the black
  // pixel near the far corner; the frame keeps it off the picture's edge.
  start = std::chrono::steady_clock::now();
  const Bytes ore = lib.FindOre(map, 1, 1);
  std::printf("ore from (1,1) to the far corner: %zu bytes", ore.size());
  if (ore.size() == 6) std::printf(" (%u, %u, code %u)", Word(ore, 0), Word(ore, 2), Word(ore, 4));
  std::printf(", %.2f s, peak %ld KiB\n", Seconds(start), PeakKiB());
  if (ore.size() != 6 || Word(ore, 4) < 1 || Word(ore, 4) > 8 || Word(ore, 0) < last - 5 || Word(ore, 2) < last - 5) {
    std::printf("  FAILED: no ore record next to the black pixel\n");
    ++failures;
  }

  std::printf("peak memory of the whole run: %ld KiB (the host's own copy of the map: %zu KiB)\n", PeakKiB(),
              map.size() / 1024);
  return failures == 0 ? 0 : 1;
}
