#pragma once
// A picture in memory: rows top row first, 3 bytes per pixel (red, green, blue).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gstool {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Raster {
 public:
  Raster() = default;
  // Width and height must be at least 0 and their product must fit memory.
  Raster(std::int32_t width, std::int32_t height, Rgb fill = {});

  std::int32_t width() const { return width_; }
  std::int32_t height() const { return height_; }
  bool Contains(std::int64_t x, std::int64_t y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  Rgb At(std::int32_t x, std::int32_t y) const;
  void Set(std::int32_t x, std::int32_t y, Rgb colour);
  // Clipped: does nothing outside the picture.
  void Plot(std::int64_t x, std::int64_t y, Rgb colour);

  const std::uint8_t* data() const { return rgb_.data(); }
  std::uint8_t* data() { return rgb_.data(); }

 private:
  std::size_t Offset(std::int32_t x, std::int32_t y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 3;
  }

  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::vector<std::uint8_t> rgb_;
};

}  // namespace gstool
