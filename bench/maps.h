#pragma once
// Benchmark maps, generated in code: a cell grid plus its BMP file image.

#include <cstdint>
#include <string>
#include <vector>

namespace bench {

enum class Cell : std::uint8_t { kBlack = 0, kWhite = 1, kGrey = 2 };

enum class Search { kPath, kOre };

struct Map {
  std::string name;
  Search search = Search::kPath;
  int width = 0;
  int height = 0;
  std::vector<Cell> cells;  // row-major, y = 0 is the top row
  int startX = 0, startY = 0;
  int goalX = 0, goalY = 0;  // path maps: the goal; ore maps: the black pixel
  bool carved = false;       // random map whose corners had to be joined by a carved diagonal

  Cell at(int x, int y) const { return cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                             static_cast<std::size_t>(x)]; }
  bool white(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && at(x, y) == Cell::kWhite;
  }
};

// Map kinds: "open", "random30", "maze" (path search), "ore", "maze-ore" (ore search).
const std::vector<std::string>& MapKinds();
Map MakeMap(const std::string& kind, int size);

// The BMP file image of a map: 40-byte header, bottom-up rows, pixels right after
// the colour table. Depth 24, or 8 with a 256-entry palette (0 black, 1 white, 2 grey,
// then a grey ramp that never reaches white).
std::vector<std::uint8_t> EncodeBmp(const Map& map, int depth);

// Eight-neighbour offsets in the order both searches visit them.
inline constexpr int kDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
inline constexpr int kDy[8] = {1, 1, 1, 0, -1, -1, -1, 0};

// Breadth-first step counts from the map's start over white cells (-1: not reached).
std::vector<std::int32_t> StepCounts(const Map& map);

}  // namespace bench
