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
// among equal scores by the order of appending. Expanding a node of score s
// reached by a side step (cost s - 1) generates scores s + 1 and s + 2; one
// reached by a diagonal step (cost s - 2) generates s and s + 1. So three
// first-in first-out queues, for the scores s, s + 1 and s + 2, taken in turn,
// give exactly that order.
//
// A cell is marked the moment it is put on the open list and never put there
// again; the mark records the neighbour number by which its parent reached
// it, which is all the walk back to the start needs. The start cell is
// marked as well: a second visit of it would generate nothing and could not
// change the path.
constexpr Cell kStartCell = MarkCell(8);
constexpr std::size_t kPrefetchDistance = 8;

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
ByteSequence WalkBack(const SearchGrid& grid, const Cell* cells, std::size_t goal, std::uint64_t cost,
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
    const unsigned d = MarkOf(cells[cell]);
    x -= kNeighbourDx[d];
    y -= kNeighbourDy[d];
    cell -= NeighbourStep(grid.stride(), d);
  }
  assert(x == startX && y == startY);
  PutCoordinateWord(out, startX);
  PutCoordinateWord(out + 2, startY);
  return record;
}

template <class Index>
ByteSequence Flood(SearchGrid& grid, std::int32_t startX, std::int32_t startY, std::size_t goal) {
  Cell* const cells = grid.cells();
  const std::size_t stride = grid.stride();

  if (const auto start = grid.IndexOf(startX, startY)) cells[*start] = kStartCell;

  // Queues for the scores s, s + 1 and s + 2.
  RingQueue<Index> now;
  RingQueue<Index> next;
  RingQueue<Index> later;

  // Generates neighbour n, reached by neighbour number d, when it is white:
  // marks it and queues it by the length of that step. True for the goal,
  // whose parent is fixed now, so the search can stop instead of waiting
  // until the goal would be taken.
  const auto generateIsGoal = [&](std::size_t n, unsigned d, RingQueue<Index>& sideQueue,
                                  RingQueue<Index>& diagonalQueue) {
    if (cells[n] != Cell::white) return false;
    cells[n] = MarkCell(d);
    if (n == goal) return true;
    (kStepLength[d] == 1 ? sideQueue : diagonalQueue).Push(static_cast<Index>(n));
    return false;
  };

  // The start (cost 0) may lie anywhere, so its neighbours are found by
  // coordinates. Its children have the scores 2 and 3.
  for (unsigned d = 0; d < 8; ++d) {
    const auto n = grid.NeighbourIndex(startX, startY, d);
    if (n && generateIsGoal(*n, d, now, next)) return WalkBack(grid, cells, goal, 1, startX, startY);
  }

  for (std::uint64_t score = 2; !(now.empty() && next.empty() && later.empty()); ++score) {
    while (!now.empty()) {
      // The probes of a far-flung frontier miss the cache; fetch the rows of
      // a cell a few places ahead while this one is expanded.
      const std::size_t soon = now.Peek(kPrefetchDistance);
      __builtin_prefetch(cells + soon + stride);
      __builtin_prefetch(cells + soon - stride);
      const std::size_t cell = now.Pop();
      const bool cameByDiagonal = kStepLength[MarkOf(cells[cell])] == 2;
      const std::uint64_t childCost = score - (cameByDiagonal ? 2 : 1) + 1;
      RingQueue<Index>& sideQueue = cameByDiagonal ? now : next;
      RingQueue<Index>& diagonalQueue = cameByDiagonal ? next : later;
      for (unsigned d = 0; d < 8; ++d) {
        if (generateIsGoal(cell + NeighbourStep(stride, d), d, sideQueue, diagonalQueue)) {
          return WalkBack(grid, cells, goal, childCost, startX, startY);
        }
      }
    }
    now.Swap(next);
    next.Swap(later);
  }
  return {};
}

ByteSequence FindPath(SearchGrid& grid, std::int32_t startX, std::int32_t startY, std::int32_t goalX,
                      std::int32_t goalY) {
  if (startX == goalX && startY == goalY) return StartTwice(startX, startY);
  // Only white cells are ever generated, so any other goal is never reached.
  const auto goal = grid.IndexOf(goalX, goalY);
  if (!goal || grid.cells()[*goal] != Cell::white) return {};
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
