#include "bitmap/bmp_header.h"

#include "bitmap/dib_exception.h"
#include "bitmap/messages.h"

namespace gridseek {
namespace {

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
         static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::int32_t S32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::int32_t>(U32(b, at));
}

[[noreturn]] void Reject() { throw CDIBException(messages::kUnsupportedData); }

constexpr std::size_t kMinimumFileSize = 54;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kCoreHeaderSize = 12;

}  // namespace

bool ColourCountFor(const InfoHeader& info, std::uint32_t& count) noexcept {
  std::uint32_t implied = 0;
  switch (info.biBitCount) {
    case 1: implied = 2; break;
    case 4: implied = 16; break;
    case 8: implied = 256; break;
    case 16:
    case 24:
    case 32: implied = 0; break;
    default: return false;
  }
  count = info.biClrUsed != 0 ? info.biClrUsed : implied;
  return true;
}

BmpHeader DecodeBmpHeader(std::span<const std::uint8_t> file) {
  if (file.size() < kMinimumFileSize) Reject();
  if (file[0] != 'B' || file[1] != 'M') Reject();
  if (U32(file, 2) > file.size()) Reject();

  BmpHeader h;
  const std::uint32_t headerSize = U32(file, 14);
  if (headerSize == kInfoHeaderSize) {
    h.info.biSize = kInfoHeaderSize;
    h.info.biWidth = S32(file, 18);
    h.info.biHeight = S32(file, 22);
    h.info.biPlanes = U16(file, 26);
    h.info.biBitCount = U16(file, 28);
    h.info.biCompression = U32(file, 30);
    h.info.biSizeImage = U32(file, 34);
    h.info.biXPelsPerMeter = S32(file, 38);
    h.info.biYPelsPerMeter = S32(file, 42);
    h.info.biClrUsed = U32(file, 46);
    h.info.biClrImportant = U32(file, 50);
    h.colourTableOffset = 54;
    h.colourEntrySize = 4;
  } else if (headerSize == kCoreHeaderSize) {
    h.coreHeader = true;
    h.info.biWidth = U16(file, 18);
    h.info.biHeight = U16(file, 20);
    h.info.biPlanes = U16(file, 22);
    h.info.biBitCount = U16(file, 24);
    h.colourTableOffset = 26;
    h.colourEntrySize = 3;
  } else {
    Reject();
  }

  if (!ColourCountFor(h.info, h.colourCount)) Reject();

  // Counted at 4 bytes an entry after either header; 64-bit arithmetic, so an
  // absurd biClrUsed cannot wrap past the test.
  const std::uint64_t tableStart = h.coreHeader ? 22 : 54;
  if (file.size() < tableStart + 4 * static_cast<std::uint64_t>(h.colourCount)) Reject();

  h.pixelOffset = U32(file, 10);
  if (h.pixelOffset >= file.size()) Reject();
  h.pixelBytes = file.size() - h.pixelOffset;
  return h;
}

}  // namespace gridseek
