#pragma once
// Reads a map file: a BMP is handed to the library as it is, a PNG is
// decoded and re-encoded as a 24-bit BMP first.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raster.h"

namespace gstool {

struct LoadedMap {
  enum class Format { kBmp, kPng };
  Format format = Format::kBmp;
  std::vector<std::uint8_t> bmp;        // the bytes the library gets
  bool decodes = false;                 // whether the library will decode them
  std::vector<std::string> warnings;    // for the user, one sentence each
  std::optional<Raster> picture;        // what the library sees, when it can be drawn
};

// False with a message for a file that cannot be read, is neither a BMP
// (starts with "BM") nor a PNG, or is a PNG that does not decode.
bool LoadMap(const std::string& path, LoadedMap& map, std::string& error);

}  // namespace gstool
