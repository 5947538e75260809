#pragma once

#include <cstdint>
#include <span>

#include "common/colour.h"

namespace gridseek {

// The palette of a 1-, 4- or 8-bit image is the list of the first
// min(colour count, 256) entries of its colour table. This portable lookup
// stands in for the platform's palette services on every platform, so
// results are the same everywhere; it needs no storage of its own.

// The entry nearest to `colour` by squared Euclidean distance over (R, G, B),
// bits 24-31 ignored; ties go to the lowest index, so an entry equal to the
// colour is always chosen. All bits set for an empty palette.
std::uint32_t NearestPaletteIndex(std::span<const Colour> palette, Colour colour) noexcept;

}  // namespace gridseek
