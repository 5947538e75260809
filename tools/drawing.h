#pragma once
// Pictures of a search: the map as the library sees it, scaled up with
// nearest-neighbour pixels, with the result drawn over it.
//
// Cells outside the map (they read black to the library) appear hatched in a
// frame one cell wide, widened where a mark lies further out.

#include <cstdint>
#include <string>
#include <vector>

#include "output.h"
#include "raster.h"

namespace gstool {

// `map` is the picture the library reads (an empty raster when the map does
// not decode); `scale` is pixels per cell, 0 to pick one. Notes about marks
// that could not be drawn are appended to `warnings`.
Raster DrawPath(const Raster& map, const PathReport& report, std::int32_t scale, std::vector<std::string>& warnings);
Raster DrawOre(const Raster& map, const OreReport& report, std::int32_t scale, std::vector<std::string>& warnings);

}  // namespace gstool
