#include "search/ore_search.h"

#include <optional>

#include "common/coordinate_word.h"
#include "interface/caller_image.h"
#include "interface/result_buffer.h"
#include "search/ring_queue.h"
#include "search/search_grid.h"

namespace gridseek {
namespace {

ByteSequence OreRecord(std::int32_t x, std::int32_t y, unsigned code) {
  ByteSequence record = ByteSequence::Allocate(6);
  PutCoordinateWord(record.data(), x);
  PutCoordinateWord(record.data() + 2, y);
  PutCoordinateWord(record.data() + 4, static_cast<std::int32_t>(code));
  return record;
}

// Breadth-first flood. A white cell is marked when it is queued and never
// queued again; its mark then reads as what the map's paint colour became,
// which matters only when that is black: the cell is then found as ore the
// moment it is painted. Every other mark reads as neither white nor black.
template <class Index>
ByteSequence Flood(SearchGrid& grid, std::int32_t startX, std::int32_t startY, bool marksReadBlack) {
  Cell* const cells = grid.cells();
  const std::size_t stride = grid.stride();

  RingQueue<Index> frontier;

  // Both tests on one neighbour: a white cell is marked and queued, then the
  // cell is ore when it reads black (a fresh mark does when marks read black).
  const auto readsBlackAfterQueueing = [&](std::size_t n) {
    if (cells[n] == Cell::white) {
      cells[n] = Cell::wall;
      frontier.Push(static_cast<Index>(n));
      return marksReadBlack;
    }
    return cells[n] == Cell::black;
  };

  // The start may lie anywhere (outside the box every position reads black);
  // it is neither examined nor marked before its expansion, so a neighbour
  // may queue or find it later like any cell.
  for (unsigned d = 0; d < 8; ++d) {
    const auto n = grid.NeighbourIndex(startX, startY, d);
    if (!n || readsBlackAfterQueueing(*n)) return OreRecord(startX, startY, d + 1);
  }

  while (!frontier.empty()) {
    const std::size_t expanded = frontier.Pop();
    for (unsigned d = 0; d < 8; ++d) {
      if (readsBlackAfterQueueing(expanded + NeighbourStep(stride, d))) return OreRecord(grid.XOf(expanded), grid.YOf(expanded), d + 1);
    }
  }
  return {};
}

}  // namespace

void RunOreSearch(std::intptr_t* p, std::intptr_t* q, std::int32_t x, std::int32_t y) noexcept {
  std::optional<SearchGrid> grid;
  bool marksReadBlack = false;
  {
    位图 map;
    map.载入数据(CopyCallerImage(*p, *q));
    grid.emplace(map);
    // Every mark reads alike (one depth, one palette), so painting one white
    // cell with the mark colour and reading it back tells what they all read.
    if (const auto white = grid->FindWhite()) {
      const std::int32_t wx = grid->XOf(*white);
      const std::int32_t wy = grid->YOf(*white);
      map.WritePixel(wx, wy, kPureRed);
      marksReadBlack = map.ReadPixel(wx, wy) == kBlack;
    }
  }  // the decoded image is released before the search runs
  ByteSequence result = grid->cellCount() <= UINT32_MAX ? Flood<std::uint32_t>(*grid, x, y, marksReadBlack)
                                                        : Flood<std::size_t>(*grid, x, y, marksReadBlack);
  HandBackResult(p, q, std::move(result));
}

}  // namespace gridseek
