#include "bitmap/palette.h"

namespace gridseek {

std::uint32_t NearestPaletteIndex(std::span<const Colour> palette, Colour colour) noexcept {
  std::uint32_t best = UINT32_MAX;
  std::uint32_t bestDistance = UINT32_MAX;
  for (std::uint32_t i = 0; i < palette.size(); ++i) {
    const Colour entry = palette[i];
    const auto dr = static_cast<std::int32_t>(RedOf(entry)) - static_cast<std::int32_t>(RedOf(colour));
    const auto dg = static_cast<std::int32_t>(GreenOf(entry)) - static_cast<std::int32_t>(GreenOf(colour));
    const auto db = static_cast<std::int32_t>(BlueOf(entry)) - static_cast<std::int32_t>(BlueOf(colour));
    const auto distance = static_cast<std::uint32_t>(dr * dr + dg * dg + db * db);
    if (distance < bestDistance) {
      bestDistance = distance;
      best = i;
      if (distance == 0) break;
    }
  }
  return best;
}

}  // namespace gridseek
