#include "search/search_grid.h"

#include <cstring>

#include "common/checked_math.h"

namespace gridseek {
namespace {

Cell ClassOf(Colour colour) {
  return colour == kWhite ? Cell::white : colour == kBlack ? Cell::black : Cell::wall;
}

constexpr int kBlackByte = static_cast<int>(Cell::black);

}  // namespace

SearchGrid::SearchGrid(const 位图& map) noexcept {
  const PixelGeometry& geometry = map.Geometry();
  if (map.HasImage()) {
    boxHeight_ = geometry.AddressableRows();
    boxWidth_ = geometry.AddressablePixelsInRow(0);
    if (boxWidth_ == 0) boxHeight_ = 0;
    top_ = std::int64_t{geometry.height()} - static_cast<std::int64_t>(boxHeight_);
  }
  const auto count = CheckedMul(boxWidth_ + 2, boxHeight_ + 2);
  if (!count || *count > SIZE_MAX) OutOfStorage(count ? *count : UINT64_MAX);
  stride_ = static_cast<std::size_t>(boxWidth_ + 2);
  cells_ = ByteSequence::Allocate(static_cast<std::size_t>(*count));

  // Each byte is written once: the frame and the unaddressable tail of a
  // short last row read black, the rest is classified.
  Cell* const grid = cells();
  const auto boxWidth = static_cast<std::size_t>(boxWidth_);
  std::memset(grid, kBlackByte, stride_);
  std::memset(grid + (static_cast<std::size_t>(boxHeight_) + 1) * stride_, kBlackByte, stride_);
  for (std::uint64_t storedRow = 0; storedRow < boxHeight_; ++storedRow) {
    const std::uint8_t* row = map.PixelArea() + storedRow * geometry.rowSize();
    Cell* out = grid + static_cast<std::size_t>(boxHeight_ - storedRow) * stride_;
    const auto pixels = static_cast<std::size_t>(geometry.AddressablePixelsInRow(storedRow));
    out[0] = Cell::black;
    ClassifyRow(map, row, pixels, out + 1);
    std::memset(out + 1 + pixels, kBlackByte, boxWidth - pixels + 1);
  }
}

std::optional<std::size_t> SearchGrid::FindWhite() const noexcept {
  const void* white = std::memchr(cells_.data(), static_cast<int>(Cell::white), cells_.size());
  if (white == nullptr) return std::nullopt;
  return static_cast<std::size_t>(static_cast<const std::uint8_t*>(white) - cells_.data());
}

void SearchGrid::ClassifyRow(const 位图& map, const std::uint8_t* row, std::size_t n, Cell* out) noexcept {
  switch (map.Geometry().bitsPerPixel()) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t bits = map.Geometry().bitsPerPixel();
      Cell classOfIndex[256];
      for (std::uint32_t i = 0; i < (1u << bits); ++i) classOfIndex[i] = ClassOf(map.ColourOfIndex(i));
      if (bits == 8) {
        for (std::size_t x = 0; x < n; ++x) out[x] = classOfIndex[row[x]];
      } else if (bits == 4) {
        for (std::size_t x = 0; x < n; ++x) out[x] = classOfIndex[(x & 1) == 0 ? row[x / 2] >> 4 : row[x / 2] & 15];
      } else {
        for (std::size_t x = 0; x < n; ++x) out[x] = classOfIndex[row[x / 8] >> (7 - (x & 7)) & 1];
      }
      break;
    }
    case 16:
      // Channels read as multiples of 8, so no 16-bit pixel is ever white.
      for (std::size_t x = 0; x < n; ++x) {
        const std::uint32_t word = std::uint32_t{row[2 * x]} | (std::uint32_t{row[2 * x + 1]} & 0x7Fu) << 8;
        out[x] = word == 0 ? Cell::black : Cell::wall;
      }
      break;
    case 24:
    case 32: {
      const std::size_t step = map.Geometry().bitsPerPixel() / 8;
      for (std::size_t x = 0; x < n; ++x) {
        const std::uint8_t* px = row + step * x;
        const unsigned all = px[0] & px[1] & px[2];
        const unsigned any = px[0] | px[1] | px[2];
        out[x] = all == 0xFF ? Cell::white : any == 0 ? Cell::black : Cell::wall;
      }
      break;
    }
    default: break;
  }
}

}  // namespace gridseek
