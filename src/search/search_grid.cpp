#include "search/search_grid.h"

#include <cstring>

#include "common/checked_math.h"

namespace gridseek {
namespace {

std::uint8_t ClassOf(Colour colour) {
  return colour == kWhite ? SearchGrid::kWhiteCell : colour == kBlack ? SearchGrid::kBlackCell : SearchGrid::kWallCell;
}

}  // namespace

SearchGrid::SearchGrid(const 位图& map) noexcept {
  const PixelGeometry& geometry = map.Geometry();
  if (map.HasImage()) {
    boxHeight_ = geometry.AddressableRows();
    boxWidth_ = geometry.AddressablePixelsInRow(0);
    if (boxWidth_ == 0) boxHeight_ = 0;
    top_ = std::int64_t{geometry.height()} - static_cast<std::int64_t>(boxHeight_);
  }
  const auto cells = CheckedMul(boxWidth_ + 2, boxHeight_ + 2);
  if (!cells || *cells > SIZE_MAX) OutOfStorage(cells ? *cells : UINT64_MAX);
  stride_ = static_cast<std::size_t>(boxWidth_ + 2);
  cells_ = ByteSequence::Allocate(static_cast<std::size_t>(*cells));
  std::memset(cells_.data(), kBlackCell, cells_.size());

  for (std::uint64_t storedRow = 0; storedRow < boxHeight_; ++storedRow) {
    const std::uint8_t* row = map.PixelArea() + storedRow * geometry.rowSize();
    const std::size_t gridRow = static_cast<std::size_t>(boxHeight_ - storedRow);  // frame row is 0
    std::uint8_t* out = cells_.data() + gridRow * stride_ + 1;
    ClassifyRow(map, row, geometry.AddressablePixelsInRow(storedRow), out);
  }

  // The first white cell in grid order, for whoever needs one.
  if (const void* white = std::memchr(cells_.data(), kWhiteCell, cells_.size())) {
    firstWhite_ = static_cast<std::size_t>(static_cast<const std::uint8_t*>(white) - cells_.data());
  }
}

void SearchGrid::ClassifyRow(const 位图& map, const std::uint8_t* row, std::uint64_t pixels,
                             std::uint8_t* out) noexcept {
  const auto n = static_cast<std::size_t>(pixels);
  switch (map.Geometry().bitsPerPixel()) {
    case 1:
    case 4:
    case 8: {
      const std::uint32_t bits = map.Geometry().bitsPerPixel();
      std::uint8_t classOfIndex[256];
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
        const unsigned word = row[2 * x] | (row[2 * x + 1] & 0x7F) << 8;
        out[x] = word == 0 ? kBlackCell : kWallCell;
      }
      break;
    case 24:
    case 32: {
      const std::size_t step = map.Geometry().bitsPerPixel() / 8;
      for (std::size_t x = 0; x < n; ++x) {
        const std::uint8_t* px = row + step * x;
        const unsigned all = px[0] & px[1] & px[2];
        const unsigned any = px[0] | px[1] | px[2];
        out[x] = all == 0xFF ? kWhiteCell : any == 0 ? kBlackCell : kWallCell;
      }
      break;
    }
    default: break;
  }
}

}  // namespace gridseek
