#pragma once
// A small field-by-field BMP writer for building test maps in code.

#include <cstdint>
#include <string>
#include <vector>

namespace testbmp {

using Bytes = std::vector<std::uint8_t>;

// A map to write. Pixel values are raw: a palette index at 1, 4 and 8 bits,
// the 16-bit word at 16 bits, a 0x00BBGGRR colour at 24 and 32 bits.
struct Image {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitCount = 24;
  bool coreHeader = false;                // 12-byte BITMAPCOREHEADER instead of 40
  std::vector<std::uint32_t> palette;     // 0x00BBGGRR entries of the colour table
  std::vector<std::uint32_t> pixels;      // width x height values, row y = 0 first (top)
  std::uint32_t fourthByte = 0;           // value of the 4th byte of each 32-bit pixel

  Image() = default;
  Image(std::int32_t w, std::int32_t h, std::uint16_t bits, std::uint32_t fill = 0)
      : width(w), height(h), bitCount(bits),
        pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

  std::uint32_t& at(std::int32_t x, std::int32_t y) {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
  }
};

// Row size of a standard file (biPlanes 1).
std::size_t RowSize(std::int32_t width, std::uint16_t bitCount);

// The whole file: "BM" header, info header, colour table, pixel rows
// (bottom row first, each padded to 4 bytes). bfSize is the file length,
// bfOffBits the first byte after the colour table, biClrUsed the palette
// size (0 when the palette has the depth's full size).
Bytes Write(const Image& image);

// Offset of the pixel area in a file written by Write.
std::size_t PixelOffset(const Image& image);

// Little-endian field patching, for files with odd headers.
void PutU16(Bytes& b, std::size_t at, std::uint16_t v);
void PutU32(Bytes& b, std::size_t at, std::uint32_t v);
std::uint32_t GetU32(const Bytes& b, std::size_t at);

// Field offsets of the 40-byte header in the file.
namespace field {
inline constexpr std::size_t bfSize = 2, bfOffBits = 10, biSize = 14, biWidth = 18, biHeight = 22,
                             biPlanes = 26, biBitCount = 28, biCompression = 30, biClrUsed = 46;
}

// A 24-bit map from text rows: '.' white, '#' grey wall, 'B' black, 'R' red.
Image FromText(const std::vector<std::string>& rows, std::uint16_t bitCount = 24);

}  // namespace testbmp
