#include "map_loading.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "bmp_file.h"
#include "png_file.h"

namespace gstool {
namespace {

bool ReadFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    error = path + ": no such file";
    return false;
  }
  if (std::filesystem::is_directory(path, ec)) {
    error = path + ": is a directory, not a map file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open: " + std::strerror(errno);
    return false;
  }
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = path + ": read error";
    return false;
  }
  return true;
}

}  // namespace

bool LoadMap(const std::string& path, LoadedMap& map, std::string& error) {
  std::vector<std::uint8_t> file;
  if (!ReadFile(path, file, error)) return false;

  if (HasPngSignature(file)) {
    Raster picture;
    if (!DecodePng(file, picture, error)) {
      error = path + ": " + error;
      return false;
    }
    map.format = LoadedMap::Format::kPng;
    map.bmp = EncodeBmp24(picture);
    map.decodes = true;
    if (picture.width() <= kMaxDrawnSide && picture.height() <= kMaxDrawnSide) map.picture = std::move(picture);
    return true;
  }

  if (file.size() < 2 || file[0] != 'B' || file[1] != 'M') {
    error = path + ": not a map image (neither a BMP nor a PNG file)";
    return false;
  }
  map.format = LoadedMap::Format::kBmp;
  const BmpCheck check = CheckBmp(file);
  map.decodes = check.decodes;
  if (!check.decodes) {
    map.warnings.push_back("the library will not decode this BMP: " + check.problem +
                           "; it is passed on anyway, and every cell reads as black");
  }
  for (const auto& note : check.notes) map.warnings.push_back(note);
  if (check.decodes) map.picture = ReadBmpPicture(file);
  map.bmp = std::move(file);
  return true;
}

}  // namespace gstool
