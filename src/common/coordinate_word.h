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

// Two's-complement wrap-around sum of 32-bit values, without signed overflow.
constexpr std::int32_t WrappingAdd(std::int32_t a, std::int32_t b) noexcept {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace gridseek
