#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "bitmap/bitmap.h"
#include "common/byte_sequence.h"

namespace gridseek {

// What each cell of a map reads as, one byte a cell, precomputed so that the
// searches probe memory instead of decoding pixels.
//
// The grid covers the box of addressable pixels (every other position reads
// 0: outside the picture, beyond a short pixel area, or in a map that did not
// load) plus a one-cell frame that reads black, so a probe of any neighbour of
// a box cell needs no bounds test. Grid rows run top to bottom like y.
//
// Cells are an enum rather than plain bytes so that a store to a cell cannot
// alias the searches' other state: the compiler keeps queue pointers and
// counters in registers across the probes.
enum class Cell : std::uint8_t {
  wall = 0,       // neither white nor black
  white = 1,      // exactly 0xFFFFFF
  black = 2,      // exactly 0, and every position that is not addressable
  firstMark = 3,  // values from here on are the searches' own marks
};

constexpr Cell MarkCell(unsigned n) { return static_cast<Cell>(static_cast<unsigned>(Cell::firstMark) + n); }
constexpr unsigned MarkOf(Cell c) { return static_cast<unsigned>(c) - static_cast<unsigned>(Cell::firstMark); }

// Neighbour order shared by both searches: lower left, below, lower right,
// right, upper right, above, upper left, left (y grows downward). The ore
// search's direction code of neighbour d is d + 1.
inline constexpr int kNeighbourDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
inline constexpr int kNeighbourDy[8] = {1, 1, 1, 0, -1, -1, -1, 0};
inline constexpr std::uint32_t kStepLength[8] = {2, 1, 2, 1, 2, 1, 2, 1};

// Index step from a grid cell to its neighbour d, added with unsigned
// wrap-around. Kept a function of the stride so that, in an unrolled probe
// loop, the compiler folds the eight steps into a few register offsets.
constexpr std::size_t NeighbourStep(std::size_t stride, unsigned d) noexcept {
  return static_cast<std::size_t>(kNeighbourDy[d]) * stride + static_cast<std::size_t>(kNeighbourDx[d]);
}


class SearchGrid {
 public:
  explicit SearchGrid(const 位图& map) noexcept;

  Cell* cells() noexcept { return reinterpret_cast<Cell*>(cells_.data()); }
  std::size_t stride() const noexcept { return stride_; }
  std::size_t cellCount() const noexcept { return cells_.size(); }

  // Grid index of (x, y) when it lies in the box; coordinates are taken
  // exactly (64 bits), so a sum that would wrap in 32 bits lands outside.
  std::optional<std::size_t> IndexOf(std::int64_t x, std::int64_t y) const noexcept {
    const std::int64_t gy = y - top_;
    if (x < 0 || static_cast<std::uint64_t>(x) >= boxWidth_ || gy < 0 ||
        static_cast<std::uint64_t>(gy) >= boxHeight_)
      return std::nullopt;
    return (static_cast<std::size_t>(gy) + 1) * stride_ + static_cast<std::size_t>(x) + 1;
  }
  std::int32_t XOf(std::size_t index) const noexcept {
    return static_cast<std::int32_t>(index % stride_) - 1;
  }
  std::int32_t YOf(std::size_t index) const noexcept {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(index / stride_) - 1 + top_);
  }

  // Grid index of neighbour d of (x, y), a cell that may lie anywhere.
  std::optional<std::size_t> NeighbourIndex(std::int32_t x, std::int32_t y, unsigned d) const noexcept {
    return IndexOf(std::int64_t{x} + kNeighbourDx[d], std::int64_t{y} + kNeighbourDy[d]);
  }

  // The first white cell in grid order, if the map has one (a scan).
  std::optional<std::size_t> FindWhite() const noexcept;

 private:
  static void ClassifyRow(const 位图& map, const std::uint8_t* row, std::size_t pixels, Cell* out) noexcept;

  ByteSequence cells_;
  std::size_t stride_ = 2;
  std::uint64_t boxWidth_ = 0;
  std::uint64_t boxHeight_ = 0;
  std::int64_t top_ = 0;  // y of the box's first row
};

}  // namespace gridseek
