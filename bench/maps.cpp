#include "maps.h"

#include <cstring>
#include <random>
#include <stdexcept>

namespace bench {

const std::vector<std::string>& MapKinds() {
  static const std::vector<std::string> kinds = {"open", "random30", "maze", "ore", "maze-ore"};
  return kinds;
}

namespace {

std::size_t Index(const Map& m, int x, int y) {
  return static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) + static_cast<std::size_t>(x);
}

Map Blank(const std::string& name, int size, Cell fill) {
  Map m;
  m.name = name;
  m.width = size;
  m.height = size;
  m.cells.assign(static_cast<std::size_t>(size) * static_cast<std::size_t>(size), fill);
  return m;
}

// A perfect maze: rooms on odd cells from (1,1) to (last,last), walls in `wall`,
// carved by a depth-first walk with a fixed seed.
Map Maze(const std::string& name, int size, Cell wall) {
  Map m = Blank(name, size, wall);
  const int last = (size - 2) % 2 == 1 ? size - 2 : size - 3;  // largest odd cell below size - 1
  const int rooms = (last + 1) / 2;
  std::mt19937_64 rng(0x6d617a65u + static_cast<unsigned>(size));
  std::vector<std::uint8_t> seen(static_cast<std::size_t>(rooms) * static_cast<std::size_t>(rooms), 0);
  auto room = [&](int rx, int ry) -> std::uint8_t& {
    return seen[static_cast<std::size_t>(ry) * static_cast<std::size_t>(rooms) + static_cast<std::size_t>(rx)];
  };
  std::vector<std::pair<int, int>> stack = {{0, 0}};
  room(0, 0) = 1;
  m.cells[Index(m, 1, 1)] = Cell::kWhite;
  static constexpr int kStep[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  while (!stack.empty()) {
    const auto [rx, ry] = stack.back();
    int options[4];
    int count = 0;
    for (int d = 0; d < 4; ++d) {
      const int nx = rx + kStep[d][0], ny = ry + kStep[d][1];
      if (nx >= 0 && ny >= 0 && nx < rooms && ny < rooms && room(nx, ny) == 0) options[count++] = d;
    }
    if (count == 0) {
      stack.pop_back();
      continue;
    }
    const int d = options[rng() % static_cast<unsigned>(count)];
    const int nx = rx + kStep[d][0], ny = ry + kStep[d][1];
    room(nx, ny) = 1;
    m.cells[Index(m, 2 * rx + 1 + kStep[d][0], 2 * ry + 1 + kStep[d][1])] = Cell::kWhite;
    m.cells[Index(m, 2 * nx + 1, 2 * ny + 1)] = Cell::kWhite;
    stack.emplace_back(nx, ny);
  }
  m.startX = m.startY = 1;
  m.goalX = m.goalY = last;
  return m;
}

}  // namespace

std::vector<std::int32_t> StepCounts(const Map& m) {
  std::vector<std::int32_t> steps(m.cells.size(), -1);
  std::vector<std::pair<int, int>> queue = {{m.startX, m.startY}};
  steps[Index(m, m.startX, m.startY)] = 0;
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const auto [x, y] = queue[head];
    const std::int32_t next = steps[Index(m, x, y)] + 1;
    for (int d = 0; d < 8; ++d) {
      const int nx = x + kDx[d], ny = y + kDy[d];
      if (!m.white(nx, ny) || steps[Index(m, nx, ny)] >= 0) continue;
      steps[Index(m, nx, ny)] = next;
      queue.emplace_back(nx, ny);
    }
  }
  return steps;
}

Map MakeMap(const std::string& kind, int size) {
  if (size < 16) throw std::invalid_argument("map size below 16");
  if (kind == "open") {
    Map m = Blank(kind, size, Cell::kWhite);
    m.goalX = m.goalY = size - 1;
    return m;
  }
  if (kind == "random30") {
    Map m = Blank(kind, size, Cell::kWhite);
    std::mt19937_64 rng(0x72616e64u + static_cast<unsigned>(size));
    for (auto& c : m.cells) c = rng() % 10 < 3 ? Cell::kBlack : Cell::kWhite;
    m.cells.front() = m.cells.back() = Cell::kWhite;
    m.goalX = m.goalY = size - 1;
    if (StepCounts(m)[Index(m, m.goalX, m.goalY)] < 0) {
      for (int i = 0; i < size; ++i) m.cells[Index(m, i, i)] = Cell::kWhite;
      m.carved = true;
    }
    return m;
  }
  if (kind == "maze") return Maze(kind, size, Cell::kBlack);
  if (kind == "ore") {
    Map m = Blank(kind, size, Cell::kWhite);
    m.search = Search::kOre;
    for (int i = 0; i < size; ++i) {
      m.cells[Index(m, i, 0)] = m.cells[Index(m, i, size - 1)] = Cell::kGrey;
      m.cells[Index(m, 0, i)] = m.cells[Index(m, size - 1, i)] = Cell::kGrey;
    }
    m.startX = m.startY = 1;
    m.goalX = m.goalY = size - 3;
    m.cells[Index(m, m.goalX, m.goalY)] = Cell::kBlack;
    return m;
  }
  if (kind == "maze-ore") {
    Map m = Maze(kind, size, Cell::kGrey);
    m.search = Search::kOre;
    m.cells[Index(m, m.goalX, m.goalY)] = Cell::kBlack;  // the far room turns into the ore
    return m;
  }
  throw std::invalid_argument("unknown map kind " + kind);
}

namespace {
void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, v & 0xFFFFu);
  PutU16(b, at + 2, v >> 16);
}
}  // namespace

std::vector<std::uint8_t> EncodeBmp(const Map& m, int depth) {
  if (depth != 24 && depth != 8) throw std::invalid_argument("depth must be 24 or 8");
  const auto w = static_cast<std::size_t>(m.width);
  const auto h = static_cast<std::size_t>(m.height);
  const std::size_t rowBytes = (w * static_cast<std::size_t>(depth) + 31) / 32 * 4;
  const std::size_t paletteBytes = depth == 8 ? 256 * 4 : 0;
  const std::size_t offBits = 14 + 40 + paletteBytes;
  std::vector<std::uint8_t> b(offBits + rowBytes * h, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, 2, static_cast<std::uint32_t>(b.size()));
  PutU32(b, 10, static_cast<std::uint32_t>(offBits));
  PutU32(b, 14, 40);
  PutU32(b, 18, static_cast<std::uint32_t>(w));
  PutU32(b, 22, static_cast<std::uint32_t>(h));
  PutU16(b, 26, 1);
  PutU16(b, 28, static_cast<std::uint32_t>(depth));
  PutU32(b, 34, static_cast<std::uint32_t>(rowBytes * h));
  static constexpr std::uint8_t kRgb[3] = {0x00, 0xFF, 0x80};  // black, white, grey
  if (depth == 8) {
    for (std::size_t i = 0; i < 256; ++i) {
      const auto level = i < 3 ? kRgb[i] : static_cast<std::uint8_t>(i - 3);
      std::memset(&b[54 + 4 * i], level, 3);
    }
  }
  for (std::size_t y = 0; y < h; ++y) {
    std::uint8_t* row = &b[offBits + (h - 1 - y) * rowBytes];
    for (std::size_t x = 0; x < w; ++x) {
      const Cell c = m.cells[y * w + x];
      if (depth == 8) {
        row[x] = static_cast<std::uint8_t>(c);
      } else {
        std::memset(row + 3 * x, kRgb[static_cast<int>(c)], 3);
      }
    }
  }
  return b;
}

}  // namespace bench
