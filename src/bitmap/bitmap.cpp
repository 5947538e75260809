#include "bitmap/bitmap.h"

#include <cstring>
#include <exception>

#include "bitmap/dib_exception.h"
#include "bitmap/messages.h"

namespace gridseek {

void 位图::SetError(const char* text) noexcept {
  std::strncpy(errorText_, text, sizeof errorText_ - 1);
  errorText_[sizeof errorText_ - 1] = '\0';
}

void 位图::Unload() noexcept {
  loaded_ = false;
  storage_ = ByteSequence();
  header_ = {};
  geometry_ = {};
  pixelOffset_ = 0;
  colourCount_ = 0;
}

bool 位图::载入数据(std::span<const std::uint8_t> data) noexcept { return Load(data, nullptr); }

bool 位图::载入数据(ByteSequence&& data) noexcept {
  ByteSequence file = std::move(data);
  return Load(file.span(), &file);
}

bool 位图::Load(std::span<const std::uint8_t> file, ByteSequence* adopt) noexcept {
  errorText_[0] = '\0';
  Unload();
  try {
    const BmpHeader h = DecodeBmpHeader(file);

    ByteSequence pixels;
    std::uint64_t offset = 0;
    if (adopt != nullptr) {
      pixels = std::move(*adopt);
      offset = h.pixelOffset;
    } else {
      auto copy = ByteSequence::TryAllocate(static_cast<std::size_t>(h.pixelBytes));
      if (!copy) throw CDIBException(messages::kUnsupportedData);
      std::memcpy(copy->data(), file.data() + h.pixelOffset, static_cast<std::size_t>(h.pixelBytes));
      pixels = std::move(*copy);
    }

    // Run-length and bit-field images end here; a widened 12-byte header
    // always says 0.
    if (h.info.biCompression != 0) throw CDIBException(messages::kUnsupportedData);

    // Only the first 256 entries can be reached by a pixel index; the rest of
    // a longer table is checked for room but never read.
    const std::uint32_t reachable = h.colourCount < 256 ? h.colourCount : 256;
    for (std::uint32_t i = 0; i < reachable; ++i) {
      const std::uint8_t* e = file.data() + h.colourTableOffset + std::uint64_t{i} * h.colourEntrySize;
      table_[i] = ColourFromRgb(e[2], e[1], e[0]);
    }
    header_ = h.info;
    colourCount_ = h.colourCount;
    geometry_ = PixelGeometry(h.info, h.pixelBytes);
    storage_ = std::move(pixels);
    pixelOffset_ = offset;
    loaded_ = true;
    return true;
  } catch (const std::exception& failure) {
    Unload();
    SetError(failure.what());
    return false;
  }
}

Colour 位图::Decode(std::uint64_t at, std::int32_t x) const noexcept {
  const std::uint8_t* px = PixelArea() + at;
  switch (geometry_.bitsPerPixel()) {
    case 1: return ColourOfIndex(px[0] >> (7 - (x & 7)) & 1u);
    case 4: return ColourOfIndex((x & 1) == 0 ? px[0] >> 4 : px[0] & 0x0Fu);
    case 8: return ColourOfIndex(px[0]);
    case 16: {
      const std::uint32_t word = std::uint32_t{px[0]} | std::uint32_t{px[1]} << 8;
      return ColourFromRgb((word >> 10 & 31) * 8, (word >> 5 & 31) * 8, (word & 31) * 8);
    }
    default: return ColourFromRgb(px[2], px[1], px[0]);  // 24 and 32 bits
  }
}

// Empties errorText, then finds pixel (x, y). Failures are reported without
// an exception: a search probes the border of the picture constantly and must
// not pay for a throw each time.
std::optional<std::uint64_t> 位图::Address(std::int32_t x, std::int32_t y) noexcept {
  errorText_[0] = '\0';
  if (!loaded_) {
    SetError(messages::kNoImage);
    return std::nullopt;
  }
  const auto at = geometry_.Locate(x, y);
  if (!at) SetError(messages::kOutOfBounds);
  return at;
}

Colour 位图::ReadPixel(std::int32_t x, std::int32_t y) noexcept {
  const auto at = Address(x, y);
  return at ? Decode(*at, x) : kBlack;
}

bool 位图::StoreIndex(std::uint64_t at, std::int32_t x, Colour colour) noexcept {
  const std::uint32_t bits = geometry_.bitsPerPixel();
  const std::uint32_t paletteSize = colourCount_ < 256 ? colourCount_ : 256;
  const std::uint32_t index = NearestPaletteIndex(std::span(table_).first(paletteSize), colour);
  if (index > (1u << bits) - 1) {
    SetError(messages::kBadColourIndex);
    return false;
  }
  std::uint8_t* px = storage_.data() + pixelOffset_ + at;
  if (bits == 1) {
    const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
    px[0] = static_cast<std::uint8_t>(index != 0 ? px[0] | mask : px[0] & ~mask);
  } else if (bits == 4) {
    px[0] = static_cast<std::uint8_t>((x & 1) == 0 ? (px[0] & 0x0F) | index << 4
                                                   : (px[0] & 0xF0) | index);
  } else {
    px[0] = static_cast<std::uint8_t>(index);
  }
  return true;
}

bool 位图::WritePixel(std::int32_t x, std::int32_t y, Colour colour) noexcept {
  const auto at = Address(x, y);
  if (!at) return false;
  const std::uint32_t bits = geometry_.bitsPerPixel();
  if (bits <= 8) return StoreIndex(*at, x, colour);

  std::uint8_t* px = storage_.data() + pixelOffset_ + *at;
  if (bits == 16) {
    const std::uint32_t word = (RedOf(colour) >> 3) << 10 | (GreenOf(colour) >> 3) << 5 | BlueOf(colour) >> 3;
    px[0] = static_cast<std::uint8_t>(word & 0xFF);
    px[1] = static_cast<std::uint8_t>(word >> 8);
  } else {
    px[0] = static_cast<std::uint8_t>(BlueOf(colour));
    px[1] = static_cast<std::uint8_t>(GreenOf(colour));
    px[2] = static_cast<std::uint8_t>(RedOf(colour));
  }
  return true;
}

}  // namespace gridseek
