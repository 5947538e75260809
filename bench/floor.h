#pragma once
// The floor: the least work any exact eight-neighbour flood over a BMP map must do.
// Copy the image once, classify every pixel white or not into a byte grid with a
// blocked border, flood breadth first until the goal is taken off the queue, and
// walk the parent directions back to the start.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace bench {

struct FloorResult {
  std::uint64_t expanded = 0;              // cells taken off the queue, goal included
  std::vector<std::uint32_t> pathCells;    // grid indices, start first; empty when unreachable
};

// Handles the maps EncodeBmp writes: 40-byte header, bottom-up rows, 24 or 8 bits.
FloorResult RunFloor(const std::uint8_t* image, std::size_t size, int startX, int startY, int goalX, int goalY);

}  // namespace bench
