#pragma once
// Helpers shared by the fuzz targets: little-endian field reads from the raw
// input, and the size bound that keeps a target away from the one fatal
// condition (running out of storage ends the process by design).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace gridseek_fuzz {

inline std::uint32_t U16At(const std::uint8_t* data, std::size_t size, std::size_t at) {
  if (at + 2 > size) return 0;
  return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8;
}

inline std::uint32_t U32At(const std::uint8_t* data, std::size_t size, std::size_t at) {
  if (at + 4 > size) return 0;
  return U16At(data, size, at) | U16At(data, size, at + 2) << 16;
}

// Largest picture (columns x rows, as the header says) that a target hands
// to the library. A search may keep per-cell state for the whole picture, so
// the bound is on the header's dimensions, not on the bytes present.
inline constexpr std::uint64_t kMaxCells = std::uint64_t{1} << 20;

// Columns and rows as the BMP headers state them (0, 0 when the input is no
// BMP the library would decode).
struct Dimensions {
  std::uint64_t columns = 0;
  std::uint64_t rows = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
};

inline Dimensions DimensionsOf(const std::uint8_t* data, std::size_t size) {
  Dimensions d;
  if (size < 54 || data[0] != 'B' || data[1] != 'M') return d;
  const std::uint32_t headerSize = U32At(data, size, 14);
  if (headerSize == 40) {
    d.width = static_cast<std::int32_t>(U32At(data, size, 18));
    d.height = static_cast<std::int32_t>(U32At(data, size, 22));
  } else if (headerSize == 12) {
    d.width = U16At(data, size, 18);
    d.height = U16At(data, size, 20);
  }
  d.columns = static_cast<std::uint64_t>(std::llabs(d.width));
  d.rows = static_cast<std::uint64_t>(std::llabs(d.height));
  return d;
}

// True when the picture is small enough to search; the pixel area can never
// hold more pixels than the header's picture, so this bounds both.
inline bool WithinBounds(const Dimensions& d) {
  return d.columns <= kMaxCells && d.rows <= kMaxCells && d.columns * d.rows <= kMaxCells;
}

}  // namespace gridseek_fuzz
