#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "bitmap/bmp_header.h"
#include "bitmap/palette.h"
#include "bitmap/pixel_geometry.h"
#include "common/byte_sequence.h"
#include "common/colour.h"

namespace gridseek {

// A BMP image decoded into memory, read and written pixel by pixel.
//
// No failure leaves the object: an operation that fails stores its message
// (GBK text) in errorText and answers 0 or false. A read outside the picture,
// or of an object that holds no image, answers 0, exactly like a black pixel.
//
// Pixel encodings (x counts from the left; rows are stored bottom row first):
//   1 bit   byte x/8, bit 7-(x%8)       palette index
//   4 bits  byte x/2, even x high nibble palette index
//   8 bits  byte x                      palette index
//   16 bits word at 2x: blue 0-4, green 5-9, red 10-14; reads channel*8
//   24 bits bytes at 3x: blue, green, red
//   32 bits bytes at 4x: blue, green, red, fourth byte untouched
// A palette index not below the colour count reads as 0.
class 位图 {
 public:
  位图() noexcept = default;  // Create: no image, empty errorText
  ~位图() = default;          // Destroy
  位图(const 位图&) = delete;
  位图& operator=(const 位图&) = delete;

  // Replaces the image with the one decoded from `data`, copying its pixel
  // bytes. False on any failure, after which the object holds no image.
  bool 载入数据(std::span<const std::uint8_t> data) noexcept;
  // The same, but takes over the file's own storage for the pixel area
  // instead of copying it: one copy of the image, not two.
  bool 载入数据(ByteSequence&& data) noexcept;

  Colour ReadPixel(std::int32_t x, std::int32_t y) noexcept;
  bool WritePixel(std::int32_t x, std::int32_t y, Colour colour) noexcept;

  const char* errorText() const noexcept { return errorText_; }

  // Read-only access for code that scans the whole image at once.
  bool HasImage() const noexcept { return loaded_; }
  const InfoHeader& Header() const noexcept { return header_; }
  const PixelGeometry& Geometry() const noexcept { return geometry_; }
  const std::uint8_t* PixelArea() const noexcept { return storage_.data() + pixelOffset_; }
  std::uint32_t ColourCount() const noexcept { return colourCount_; }
  // Colour-table entry i as a Colour, for i < min(ColourCount(), 256).
  Colour TableColour(std::uint32_t i) const noexcept { return table_[i]; }
  // What a pixel holding the palette index answers.
  Colour ColourOfIndex(std::uint32_t index) const noexcept {
    return index < colourCount_ ? table_[index] : kBlack;
  }

 private:
  bool Load(std::span<const std::uint8_t> file, ByteSequence* adopt) noexcept;
  void Unload() noexcept;
  void SetError(const char* text) noexcept;
  Colour Decode(std::uint64_t at, std::int32_t x) const noexcept;
  std::optional<std::uint64_t> Address(std::int32_t x, std::int32_t y) noexcept;
  bool StoreIndex(std::uint64_t at, std::int32_t x, Colour colour) noexcept;

  bool loaded_ = false;
  InfoHeader header_{};
  PixelGeometry geometry_{};
  ByteSequence storage_{};
  std::uint64_t pixelOffset_ = 0;
  std::uint32_t colourCount_ = 0;
  std::array<Colour, 256> table_{};  // the entries a pixel index can reach: also the palette
  char errorText_[255] = {};
};

}  // namespace gridseek
