#include "support/reference_search.h"

#include <set>
#include <stdexcept>
#include <utility>

#include "bitmap/bitmap.h"

namespace reference {

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF;

// Two's-complement wrap-around, done on unsigned values.
std::int32_t Add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t Sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
// |v| for the step differences, which are -1, 0 or 1 after wrap-around.
std::int32_t Abs(std::int32_t v) { return v < 0 ? Sub(0, v) : v; }

// Low 16 bits, low byte first.
void PutWord(Bytes& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  out.push_back(static_cast<std::uint8_t>(bits >> 8 & 0xFF));
}

// The neighbour order: lower left, below, lower right, right, upper right,
// above, upper left, left (y grows downward).
struct Step {
  std::int32_t dx, dy;
};
constexpr Step kNeighbours[8] = {{-1, 1}, {0, 1}, {1, 1}, {1, 0}, {1, -1}, {0, -1}, {-1, -1}, {-1, 0}};

using Cell = std::pair<std::int32_t, std::int32_t>;

}  // namespace

void NodeList::RemoveAt(std::size_t position) {
  if (position >= items_.size()) return;
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(position));
}

bool NodeList::TakeFirst(Node& node) {
  if (items_.empty()) return false;
  node = items_[0];
  RemoveAt(0);
  return true;
}

bool NodeList::PopLeastScore(Node& node) {
  if (items_.empty()) return false;
  std::int32_t best = items_[0].score;
  std::size_t chosen = 0;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].score < best) {
      best = items_[i].score;
      chosen = i;
    }
  }
  node = items_[chosen];
  RemoveAt(chosen);
  return true;
}

Bytes BuildPathBytes(const NodeList& closedList) {
  if (closedList.size() == 0) return {};
  Node trace;
  const Node& last = closedList[closedList.size() - 1];
  trace.x = last.x;
  trace.y = last.y;
  trace.parentX = last.parentX;
  trace.parentY = last.parentY;
  // Entries in path order; each new one goes in front.
  std::vector<std::pair<std::int32_t, std::int32_t>> entries;
  entries.insert(entries.begin(), {trace.x, trace.y});
  for (;;) {
    bool found = false;
    for (std::size_t i = 0; i < closedList.size(); ++i) {
      const Node& element = closedList[i];
      if (element.x == trace.parentX && element.y == trace.parentY) {
        trace.x = element.x;
        trace.y = element.y;
        trace.parentX = element.parentX;
        trace.parentY = element.parentY;
        found = true;
        break;
      }
    }
    if (!found) throw std::logic_error("BuildPathBytes: parent cell missing from the closed list");
    entries.insert(entries.begin(), {trace.x, trace.y});
    if (trace.x == closedList[0].x && trace.y == closedList[0].y) break;
  }
  Bytes record;
  for (const auto& [x, y] : entries) {
    PutWord(record, x);
    PutWord(record, y);
  }
  return record;
}

std::optional<Bytes> PathSearch(std::span<const std::uint8_t> image, std::int32_t startX, std::int32_t startY,
                                std::int32_t goalX, std::int32_t goalY, const Options& options) {
  gridseek::位图 map;
  Node expanded;
  Node neighbour;
  NodeList openList;
  NodeList closedList;
  std::set<Cell> remembered;
  std::size_t expansions = 0;

  map.载入数据(image);  // the outcome is not examined

  expanded = Node{startX, startY, startX, startY, 0, 0, 0};
  openList.Append(expanded);

  for (;;) {
    if (!openList.PopLeastScore(expanded)) return Bytes{};
    closedList.Append(expanded);
    if (expanded.x == goalX && expanded.y == goalY) return BuildPathBytes(closedList);
    if (++expansions > options.expansionLimit) return std::nullopt;

    neighbour.parentX = expanded.x;
    neighbour.parentY = expanded.y;
    neighbour.cost = Add(expanded.cost, 1);
    for (const Step& step : kNeighbours) {
      neighbour.x = Add(expanded.x, step.dx);
      neighbour.y = Add(expanded.y, step.dy);
      if (map.ReadPixel(neighbour.x, neighbour.y) != kWhite) continue;
      if (options.rememberCells && remembered.contains({neighbour.x, neighbour.y})) continue;
      neighbour.stepLength = Add(Abs(Sub(neighbour.x, expanded.x)), Abs(Sub(neighbour.y, expanded.y)));
      neighbour.score = Add(neighbour.cost, neighbour.stepLength);
      map.WritePixel(neighbour.x, neighbour.y, 0);
      openList.Append(neighbour);
      remembered.insert({neighbour.x, neighbour.y});
    }
  }
}

std::optional<Bytes> OreSearch(std::span<const std::uint8_t> image, std::int32_t x, std::int32_t y,
                               const Options& options) {
  gridseek::位图 map;
  Node expanded;
  Node neighbour;
  NodeList frontier;
  std::set<Cell> remembered;
  std::size_t expansions = 0;

  map.载入数据(image);  // the outcome is not examined

  frontier.Append(Node{x, y, x, y, 0, 0, 0});

  for (;;) {
    if (!frontier.TakeFirst(expanded)) return Bytes{};
    if (++expansions > options.expansionLimit) return std::nullopt;
    const std::int32_t ex = expanded.x;
    const std::int32_t ey = expanded.y;
    for (std::int32_t code = 1; code <= 8; ++code) {
      const Step& step = kNeighbours[code - 1];
      const std::int32_t nx = Add(ex, step.dx);
      const std::int32_t ny = Add(ey, step.dy);
      // Passable test: paint, then queue.
      if (map.ReadPixel(nx, ny) == kWhite && !(options.rememberCells && remembered.contains({nx, ny}))) {
        map.WritePixel(nx, ny, 255);
        neighbour = Node{nx, ny, ex, ey, 0, 0, 0};
        frontier.Append(neighbour);
        remembered.insert({nx, ny});
      }
      // Ore test: the pixel read again, after any painting.
      if (map.ReadPixel(nx, ny) == 0) {
        Bytes record;
        PutWord(record, ex);
        PutWord(record, ey);
        PutWord(record, code);
        return record;
      }
    }
  }
}

Bytes FindPath(std::span<const std::uint8_t> image, std::int32_t startX, std::int32_t startY, std::int32_t goalX,
               std::int32_t goalY) {
  return *PathSearch(image, startX, startY, goalX, goalY, Options{});
}

Bytes FindOre(std::span<const std::uint8_t> image, std::int32_t x, std::int32_t y) {
  return *OreSearch(image, x, y, Options{});
}

}  // namespace reference
