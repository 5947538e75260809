#pragma once

#include <cstdint>

namespace gridseek {

// A 32-bit coordinate or direction code written as its low 16 bits, low byte
// first: no saturation, 65536 becomes 0, -1 stays FF FF.
inline void PutCoordinateWord(std::uint8_t* out, std::int32_t value) noexcept {
  const auto bits = static_cast<std::uint32_t>(value);
  out[0] = static_cast<std::uint8_t>(bits & 0xFF);
  out[1] = static_cast<std::uint8_t>(bits >> 8 & 0xFF);
}

}  // namespace gridseek
