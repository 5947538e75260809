#pragma once

#include <array>
#include <cstdint>

#include "common/colour.h"

namespace gridseek {

// The palette of a 1-, 4- or 8-bit image: the first min(colour count, 256)
// entries of its colour table. This portable layer stands in for the
// platform's palette services on every platform, so results are the same
// everywhere.
struct Palette {
  std::uint32_t count = 0;
  std::array<Colour, 256> entries{};
};

// The entry nearest to `colour` by squared Euclidean distance over (R, G, B),
// bits 24-31 ignored; ties go to the lowest index, so an entry equal to the
// colour is always chosen. All bits set for an empty palette.
std::uint32_t NearestPaletteIndex(const Palette& palette, Colour colour) noexcept;

}  // namespace gridseek
