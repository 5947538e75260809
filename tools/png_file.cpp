#include "png_file.h"

#include <png.h>

#include <cstring>

namespace gstool {

bool HasPngSignature(const std::vector<std::uint8_t>& file) {
  return file.size() >= 8 && png_sig_cmp(file.data(), 0, 8) == 0;
}

bool DecodePng(const std::vector<std::uint8_t>& file, Raster& picture, std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_memory(&image, file.data(), file.size()) == 0) {
    error = std::string("cannot decode the PNG: ") + image.message;
    return false;
  }
  if (image.width > kMaxPngSide || image.height > kMaxPngSide) {
    error = "the PNG is " + std::to_string(image.width) + " x " + std::to_string(image.height) +
            " pixels; at most " + std::to_string(kMaxPngSide) + " on a side is supported";
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  Raster decoded(static_cast<std::int32_t>(image.width), static_cast<std::int32_t>(image.height));
  const png_color black{0, 0, 0};
  // Raster's rows are packed, 3 bytes per pixel: exactly libpng's row stride 0.
  if (png_image_finish_read(&image, &black, decoded.data(), 0, nullptr) == 0) {
    error = std::string("cannot decode the PNG: ") + image.message;
    png_image_free(&image);
    return false;
  }
  picture = std::move(decoded);
  return true;
}

bool WritePng(const std::string& path, const Raster& picture, std::string& error) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(picture.width());
  image.height = static_cast<png_uint_32>(picture.height());
  image.format = PNG_FORMAT_RGB;
  if (png_image_write_to_file(&image, path.c_str(), 0, picture.data(), 0, nullptr) == 0) {
    error = "cannot write " + path + ": " + image.message;
    return false;
  }
  return true;
}

}  // namespace gstool
