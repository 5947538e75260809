#include "raster.h"

namespace gstool {

Raster::Raster(std::int32_t width, std::int32_t height, Rgb fill)
    : width_(width < 0 ? 0 : width), height_(height < 0 ? 0 : height) {
  rgb_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * 3);
  for (std::size_t i = 0; i < rgb_.size(); i += 3) {
    rgb_[i] = fill.r;
    rgb_[i + 1] = fill.g;
    rgb_[i + 2] = fill.b;
  }
}

Rgb Raster::At(std::int32_t x, std::int32_t y) const {
  const std::size_t at = Offset(x, y);
  return {rgb_[at], rgb_[at + 1], rgb_[at + 2]};
}

void Raster::Set(std::int32_t x, std::int32_t y, Rgb colour) {
  const std::size_t at = Offset(x, y);
  rgb_[at] = colour.r;
  rgb_[at + 1] = colour.g;
  rgb_[at + 2] = colour.b;
}

void Raster::Plot(std::int64_t x, std::int64_t y, Rgb colour) {
  if (Contains(x, y)) Set(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y), colour);
}

}  // namespace gstool
