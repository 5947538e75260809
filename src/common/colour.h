#pragma once

#include <cstdint>

namespace gridseek {

// 0x00BBGGRR: red in bits 0-7, green in 8-15, blue in 16-23.
using Colour = std::uint32_t;

inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0;
inline constexpr Colour kPureRed = 255;

constexpr Colour ColourFromRgb(std::uint32_t red, std::uint32_t green, std::uint32_t blue) {
  return (red & 0xFF) | (green & 0xFF) << 8 | (blue & 0xFF) << 16;
}
constexpr std::uint32_t RedOf(Colour c) { return c & 0xFF; }
constexpr std::uint32_t GreenOf(Colour c) { return c >> 8 & 0xFF; }
constexpr std::uint32_t BlueOf(Colour c) { return c >> 16 & 0xFF; }

}  // namespace gridseek
