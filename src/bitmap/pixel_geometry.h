#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "bitmap/bmp_header.h"

namespace gridseek {

// Where the bytes of each pixel lie in a loaded image's pixel area.
//
// Row size is ((biBitCount x biPlanes x biWidth + 31) div 32) x 4, computed
// exactly in 64 bits; rows lie bottom row first, so the row of y starts at
// (biHeight - 1 - y) x row size. A pixel is addressable only when it lies in
// the picture and all of its bytes lie inside its own row and inside the
// pixel area that the file supplied: a short file, a biPlanes of 0 (row size
// 0) or a row size beyond the data leave pixels unaddressable, never aliased
// or read from outside the block.
class PixelGeometry {
 public:
  PixelGeometry() = default;
  PixelGeometry(const InfoHeader& info, std::uint64_t pixelBytes) noexcept
      : width_(info.biWidth),
        height_(info.biHeight),
        bitsPerPixel_(info.biBitCount),
        pixelBytes_(pixelBytes) {
    if (width_ > 0) {
      const std::uint64_t bits = std::uint64_t{info.biBitCount} * info.biPlanes *
                                 static_cast<std::uint64_t>(width_);  // < 2^52
      rowSize_ = (bits + 31) / 32 * 4;
    }
    bytesPerPixel_ = bitsPerPixel_ < 8 ? 1 : bitsPerPixel_ / 8;
    if (width_ > 0 && height_ > 0 && rowSize_ != 0 && pixelBytes_ >= bytesPerPixel_) {
      addressableRows_ = std::min<std::uint64_t>(static_cast<std::uint64_t>(height_),
                                                 (pixelBytes_ - bytesPerPixel_) / rowSize_ + 1);
    }
  }

  // Offset of pixel (x, y) in the pixel area, or nullopt when the pixel is
  // not addressable (see the class comment).
  //
  // A row size above 0 (biPlanes at least 1) always holds the bytes of every
  // pixel of the row, so only the end of the pixel area needs testing.
  std::optional<std::uint64_t> Locate(std::int32_t x, std::int32_t y) const noexcept {
    if (x < 0 || x >= width_ || y < 0 || y >= height_) return std::nullopt;
    const auto storedRow = static_cast<std::uint64_t>(std::int64_t{height_} - 1 - y);
    if (storedRow >= addressableRows_) return std::nullopt;
    const std::uint64_t rowStart = storedRow * rowSize_;  // <= pixelBytes_, no wrap
    const std::uint64_t inRow = static_cast<std::uint64_t>(x) * bitsPerPixel_ / 8;
    if (inRow + bytesPerPixel_ > pixelBytes_ - rowStart) return std::nullopt;
    return rowStart + inRow;
  }

  // Stored rows (counted from the bottom of the picture) that hold at least
  // one addressable pixel; they are always the first ones stored.
  std::uint64_t AddressableRows() const noexcept { return addressableRows_; }

  // Addressable pixels of a stored row: always the leftmost ones.
  std::uint64_t AddressablePixelsInRow(std::uint64_t storedRow) const noexcept {
    if (storedRow >= addressableRows_) return 0;
    const std::uint64_t avail = pixelBytes_ - storedRow * rowSize_;
    const auto width = static_cast<std::uint64_t>(width_);
    if (bitsPerPixel_ < 8) {
      const std::uint64_t perByte = 8 / bitsPerPixel_;
      return avail >= width ? width : std::min(width, avail * perByte);
    }
    return std::min(width, avail / bytesPerPixel_);
  }

  std::int32_t width() const noexcept { return width_; }
  std::int32_t height() const noexcept { return height_; }
  std::uint32_t bitsPerPixel() const noexcept { return bitsPerPixel_; }
  std::uint64_t rowSize() const noexcept { return rowSize_; }
  std::uint64_t pixelBytes() const noexcept { return pixelBytes_; }

 private:
  std::int32_t width_ = 0;
  std::int32_t height_ = 0;
  std::uint32_t bitsPerPixel_ = 0;
  std::uint32_t bytesPerPixel_ = 1;
  std::uint64_t rowSize_ = 0;
  std::uint64_t pixelBytes_ = 0;
  std::uint64_t addressableRows_ = 0;
};

}  // namespace gridseek
