#pragma once

#include <cstdint>

namespace gridseek {

// The body of 寻路: reads the image through *p and *q, searches from the start
// cell to the goal cell and hands the path record (or the empty result) back
// through p and q. p and q must not be null.
void RunPathSearch(std::intptr_t* p, std::intptr_t* q, std::int32_t startX, std::int32_t startY,
                   std::int32_t goalX, std::int32_t goalY) noexcept;

}  // namespace gridseek
