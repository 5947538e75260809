#pragma once
// Small random BMP maps for comparing the searches against the reference:
// every depth, both header kinds, palettes whose marks read as black, white
// or something else (or cannot be written at all), walls, mazes, open
// fields, black pixels, and damaged files (short pixel areas, odd planes,
// negative heights, broken headers). Everything is a pure function of the
// seed and the case number, so a failure can be replayed from those two.

#include <cstdint>
#include <string>
#include <vector>

namespace testrandom {

using Bytes = std::vector<std::uint8_t>;

// splitmix64: the same numbers on every platform and standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // 0 .. n-1 (n > 0).
  std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
  std::int32_t Between(std::int32_t lo, std::int32_t hi);  // lo .. hi inclusive
  bool Percent(std::uint32_t p) { return Below(100) < p; }

 private:
  std::uint64_t state_;
};

struct RandomMap {
  Bytes file;
  std::int32_t width = 0;   // of the picture as generated (before any damage)
  std::int32_t height = 0;
  std::string description;  // depth, header, palette, layout, damage
};

// One random map, 0..14 cells on each side (now and then up to 32).
RandomMap SmallMap(Rng& rng);
// A map 65530..65545 cells wide and 1..3 high whose open cells lie around
// x = 65536, so that paths cross the 16-bit boundary of the coordinate words.
RandomMap WideMap(Rng& rng);

// A coordinate for a map `extent` cells long: mostly inside, sometimes on
// or just beyond the border, sometimes at the 32-bit and 16-bit extremes.
std::int32_t Coordinate(Rng& rng, std::int32_t extent);

// The seed of case `index` of the run seeded with `seed`.
std::uint64_t CaseSeed(std::uint64_t seed, std::uint64_t index);

}  // namespace testrandom
