#pragma once

#include <cstdint>

namespace gridseek {

// What a search knows about one cell it has met. Plain value: copied field by
// field; the parent is known only by its coordinates.
struct GridNode {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t parentX = 0;     // the cell whose expansion generated this node
  std::int32_t parentY = 0;     // (a start node holds its own cell)
  std::int32_t cost = 0;        // steps from the start
  std::int32_t stepLength = 0;  // |dx| + |dy| of the step from the parent: 1 or 2
  std::int32_t score = 0;       // cost + stepLength, the open list's key
};

}  // namespace gridseek
