#include "search/path_search.h"

#include <cassert>
#include <optional>

#include "common/coordinate_word.h"
#include "interface/caller_image.h"
#include "interface/result_buffer.h"
#include "search/ring_queue.h"
#include "search/search_grid.h"

namespace gridseek {
namespace {

// The open list is ordered by score = cost + step length, least first, and
// among equal scores by the order of appending. A node's score is never
// below that of the node taken before it and at most 3 above it, so four
// first-in first-out buckets indexed by score mod 4 give exactly that order.
//
// A cell is marked the moment it is put on the open list and never put there
// again; the mark records the neighbour number by which its parent reached
// it, which is all the walk back to the start needs. The start cell is
// marked as well: a second visit of it would generate nothing and could not
// change the path.
constexpr std::uint8_t kReachedBy = SearchGrid::kFirstFree;  // + neighbour number 0..7
constexpr std::uint8_t kStartCell = SearchGrid::kFirstFree + 8;

ByteSequence StartTwice(std::int32_t x, std::int32_t y) {
  ByteSequence record = ByteSequence::Allocate(8);
  for (int i = 0; i < 2; ++i) {
    PutCoordinateWord(record.data() + 4 * i, x);
    PutCoordinateWord(record.data() + 4 * i + 2, y);
  }
  return record;
}

// The path record from the start to `goal`, which the search reached with
// `cost` steps.
ByteSequence WalkBack(const SearchGrid& grid, const std::uint8_t* cells, std::size_t goal, std::uint64_t cost,
                      std::int32_t startX, std::int32_t startY) {
  const auto entries = static_cast<std::size_t>(cost + 1);
  ByteSequence record = ByteSequence::Allocate(4 * entries);
  std::uint8_t* out = record.data() + 4 * (entries - 1);
  std::size_t cell = goal;
  std::int32_t x = grid.XOf(goal);
  std::int32_t y = grid.YOf(goal);
  for (std::size_t i = entries - 1; i > 0; --i, out -= 4) {
    PutCoordinateWord(out, x);
    PutCoordinateWord(out + 2, y);
    const unsigned d = cells[cell] - kReachedBy;
    x -= kNeighbourDx[d];
    y -= kNeighbourDy[d];
    const auto back = static_cast<std::ptrdiff_t>(kNeighbourDy[d]) * static_cast<std::ptrdiff_t>(grid.stride()) +
                      kNeighbourDx[d];
    cell = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(cell) - back);
  }
  assert(x == startX && y == startY);
  PutCoordinateWord(out, startX);
  PutCoordinateWord(out + 2, startY);
  return record;
}

template <class Index>
ByteSequence Flood(SearchGrid& grid, std::int32_t startX, std::int32_t startY, std::size_t goal) {
  std::uint8_t* const cells = grid.cells();
  const auto stride = static_cast<std::ptrdiff_t>(grid.stride());
  std::ptrdiff_t offset[8];
  for (int d = 0; d < 8; ++d) offset[d] = kNeighbourDy[d] * stride + kNeighbourDx[d];

  if (const auto start = grid.IndexOf(startX, startY)) cells[*start] = kStartCell;

  RingQueue<Index> buckets[4];
  std::size_t pending = 0;

  // The start may lie anywhere, so its neighbours are found by coordinates.
  for (int d = 0; d < 8; ++d) {
    const auto n = grid.IndexOf(std::int64_t{startX} + kNeighbourDx[d], std::int64_t{startY} + kNeighbourDy[d]);
    if (!n || cells[*n] != SearchGrid::kWhiteCell) continue;
    cells[*n] = static_cast<std::uint8_t>(kReachedBy + d);
    if (*n == goal) return WalkBack(grid, cells, goal, 1, startX, startY);
    buckets[(1 + kStepLength[d]) & 3].Push(static_cast<Index>(*n));
    ++pending;
  }

  // The goal's parent is fixed the moment it is generated, so the search can
  // stop there instead of when the goal would be taken.
  for (std::uint64_t score = 2; pending != 0; ++score) {
    RingQueue<Index>& bucket = buckets[score & 3];
    while (!bucket.empty()) {
      const std::size_t cell = bucket.Pop();
      --pending;
      const std::uint64_t childCost = score - kStepLength[cells[cell] - kReachedBy] + 1;
      for (int d = 0; d < 8; ++d) {
        const std::size_t n = cell + static_cast<std::size_t>(offset[d]);
        if (cells[n] != SearchGrid::kWhiteCell) continue;
        cells[n] = static_cast<std::uint8_t>(kReachedBy + d);
        if (n == goal) return WalkBack(grid, cells, goal, childCost, startX, startY);
        buckets[(childCost + kStepLength[d]) & 3].Push(static_cast<Index>(n));
        ++pending;
      }
    }
  }
  return {};
}

ByteSequence FindPath(SearchGrid& grid, std::int32_t startX, std::int32_t startY, std::int32_t goalX,
                      std::int32_t goalY) {
  if (startX == goalX && startY == goalY) return StartTwice(startX, startY);
  // Only white cells are ever generated, so any other goal is never reached.
  const auto goal = grid.IndexOf(goalX, goalY);
  if (!goal || grid.cells()[*goal] != SearchGrid::kWhiteCell) return {};
  if (grid.cellCount() <= UINT32_MAX) return Flood<std::uint32_t>(grid, startX, startY, *goal);
  return Flood<std::size_t>(grid, startX, startY, *goal);
}

}  // namespace

void RunPathSearch(std::intptr_t* p, std::intptr_t* q, std::int32_t startX, std::int32_t startY,
                   std::int32_t goalX, std::int32_t goalY) noexcept {
  std::optional<SearchGrid> grid;
  {
    位图 map;
    map.载入数据(CopyCallerImage(*p, *q));
    grid.emplace(map);
  }  // the decoded image is released before the search runs
  HandBackResult(p, q, FindPath(*grid, startX, startY, goalX, goalY));
}

}  // namespace gridseek
