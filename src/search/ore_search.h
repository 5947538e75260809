#pragma once

#include <cstdint>

namespace gridseek {

// The body of 寻矿: reads the image through *p and *q, floods from (x, y) and
// hands the ore record (or the empty result) back through p and q. p and q
// must not be null.
void RunOreSearch(std::intptr_t* p, std::intptr_t* q, std::int32_t x, std::int32_t y) noexcept;

}  // namespace gridseek
