#pragma once
// PNG files through libpng's simplified interface.

#include <cstdint>
#include <string>
#include <vector>

#include "raster.h"

namespace gstool {

bool HasPngSignature(const std::vector<std::uint8_t>& file);

// Decodes any PNG to 8-bit RGB; transparent pixels are composed onto black.
// False with a message when libpng cannot decode it or it is too large.
bool DecodePng(const std::vector<std::uint8_t>& file, Raster& picture, std::string& error);

bool WritePng(const std::string& path, const Raster& picture, std::string& error);

// Maps larger than this on a side are refused: the result records hold
// coordinates in signed 16-bit words.
inline constexpr std::uint32_t kMaxPngSide = 32767;

}  // namespace gstool
