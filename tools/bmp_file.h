#pragma once
// BMP files on the tool's side: a header check that predicts whether the
// library will decode a file, a reader that turns a file into the picture
// the library sees (for drawing), and a 24-bit writer for decoded PNG maps.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raster.h"

namespace gstool {

struct BmpCheck {
  bool decodes = false;
  std::string problem;              // why it does not decode (when it does not)
  std::vector<std::string> notes;   // it decodes, but the searches will not see what the user may expect
};

// Applies the library's acceptance rules to the headers: "BM", bfSize within
// the file, a 40- or 12-byte info header, 1/4/8/16/24/32 bits, a colour table
// inside the file, at least one pixel byte after bfOffBits, no compression.
BmpCheck CheckBmp(const std::vector<std::uint8_t>& file);

// The picture as the library reads it, every pixel the library's Colour
// (pixels the file does not hold read black). Only for a file that CheckBmp
// accepts; nullopt when the picture is too large to draw.
std::optional<Raster> ReadBmpPicture(const std::vector<std::uint8_t>& file);

// A 24-bit BMP file with a 40-byte info header, rows bottom row first.
std::vector<std::uint8_t> EncodeBmp24(const Raster& picture);

// Pictures larger than this many cells on a side are not drawn.
inline constexpr std::int32_t kMaxDrawnSide = 8192;

}  // namespace gstool
