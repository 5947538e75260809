#include "bmp_file.h"

#include <cstddef>
#include <limits>
#include <span>

#include "bitmap/bitmap.h"

namespace gstool {
namespace {

// BMP file layout, all fields little-endian:
//   0  "BM"            10  bfOffBits (start of the pixel bytes)
//   2  bfSize          14  info header size: 40 (BITMAPINFOHEADER) or 12 (BITMAPCOREHEADER)
// 40-byte header at 14: width 18 (i32), height 22 (i32), planes 26 (u16),
//   bit count 28 (u16), compression 30 (u32), colours used 46 (u32);
//   colour table of 4-byte entries (blue, green, red, reserved) at 54.
// 12-byte header at 14: width 18, height 20, planes 22, bit count 24 (all u16);
//   colour table of 3-byte entries (blue, green, red) at 26.
constexpr std::size_t kMinimumLength = 54;

std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return U16(b, at) | (U16(b, at + 2) << 16);
}
std::int32_t I32(const std::vector<std::uint8_t>& b, std::size_t at) { return static_cast<std::int32_t>(U32(b, at)); }

void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
}
void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, v & 0xFFFF);
  PutU16(b, at + 2, v >> 16);
}

struct Header {
  bool core = false;        // 12-byte header
  std::int64_t width = 0;
  std::int64_t height = 0;
  std::uint32_t planes = 0;
  std::uint32_t bits = 0;
  std::uint32_t compression = 0;
  std::uint64_t colours = 0;
  std::uint32_t pixelOffset = 0;
};

// Colour count of a header: biClrUsed when set, else 2, 16 or 256 for the
// palette depths and none for the direct ones; false for any other depth.
bool ColourCount(std::uint32_t bits, std::uint32_t used, std::uint64_t& count) {
  switch (bits) {
    case 1: count = used != 0 ? used : 2; return true;
    case 4: count = used != 0 ? used : 16; return true;
    case 8: count = used != 0 ? used : 256; return true;
    case 16:
    case 24:
    case 32: count = used; return true;
    default: return false;
  }
}

bool ReadHeader(const std::vector<std::uint8_t>& file, Header& h, std::string& problem) {
  if (file.size() < kMinimumLength) {
    problem = "it is only " + std::to_string(file.size()) + " bytes long (a BMP needs at least 54)";
    return false;
  }
  if (file[0] != 'B' || file[1] != 'M') {
    problem = "it does not start with \"BM\"";
    return false;
  }
  if (U32(file, 2) > file.size()) {
    problem = "its bfSize (" + std::to_string(U32(file, 2)) + ") exceeds its length (" +
              std::to_string(file.size()) + ")";
    return false;
  }
  const std::uint32_t headerSize = U32(file, 14);
  std::uint32_t used = 0;
  if (headerSize == 40) {
    h.width = I32(file, 18);
    h.height = I32(file, 22);
    h.planes = U16(file, 26);
    h.bits = U16(file, 28);
    h.compression = U32(file, 30);
    used = U32(file, 46);
  } else if (headerSize == 12) {
    h.core = true;
    h.width = U16(file, 18);
    h.height = U16(file, 20);
    h.planes = U16(file, 22);
    h.bits = U16(file, 24);
  } else {
    problem = "its info header is " + std::to_string(headerSize) + " bytes (only 40 and 12 are supported)";
    return false;
  }
  if (!ColourCount(h.bits, used, h.colours)) {
    problem = "it has " + std::to_string(h.bits) + " bits per pixel (supported: 1, 4, 8, 16, 24, 32)";
    return false;
  }
  // Both header kinds are charged 4 bytes per table entry.
  const std::uint64_t tableEnd = (h.core ? 22u : 54u) + 4 * h.colours;
  if (tableEnd > file.size()) {
    problem = "its colour table (" + std::to_string(h.colours) + " entries) does not fit in the file";
    return false;
  }
  h.pixelOffset = U32(file, 10);
  if (h.pixelOffset >= file.size()) {
    problem = "its bfOffBits (" + std::to_string(h.pixelOffset) + ") leaves no pixel bytes";
    return false;
  }
  if (h.compression != 0) {
    problem = "it is compressed (biCompression " + std::to_string(h.compression) + "; only 0 is supported)";
    return false;
  }
  return true;
}

}  // namespace

BmpCheck CheckBmp(const std::vector<std::uint8_t>& file) {
  BmpCheck check;
  Header h;
  if (!ReadHeader(file, h, check.problem)) return check;
  check.decodes = true;
  if (h.height < 0)
    check.notes.push_back("the map is stored top row first (negative height): the library reads every cell as black");
  if (h.width == 0 || h.height == 0) check.notes.push_back("the map has no pixels: every cell reads as black");
  if (h.bits == 16) check.notes.push_back("the map has 16 bits per pixel: no cell reads as white, so none is passable");
  return check;
}

std::optional<Raster> ReadBmpPicture(const std::vector<std::uint8_t>& file) {
  // The library's own decoder, so the picture is exactly what the searches read.
  gridseek::位图 map;
  if (!map.载入数据(std::span<const std::uint8_t>(file))) return std::nullopt;
  const std::int32_t width = map.Header().biWidth < 0 ? 0 : map.Header().biWidth;
  const std::int32_t height = map.Header().biHeight < 0 ? 0 : map.Header().biHeight;
  if (width > kMaxDrawnSide || height > kMaxDrawnSide) return std::nullopt;
  Raster picture(width, height);
  for (std::int32_t y = 0; y < height; ++y) {
    for (std::int32_t x = 0; x < width; ++x) {
      const gridseek::Colour c = map.ReadPixel(x, y);
      picture.Set(x, y, {static_cast<std::uint8_t>(gridseek::RedOf(c)), static_cast<std::uint8_t>(gridseek::GreenOf(c)),
                         static_cast<std::uint8_t>(gridseek::BlueOf(c))});
    }
  }
  return picture;
}

std::vector<std::uint8_t> EncodeBmp24(const Raster& picture) {
  const auto width = static_cast<std::size_t>(picture.width());
  const auto height = static_cast<std::size_t>(picture.height());
  const std::size_t rowSize = (24 * width + 31) / 32 * 4;
  const std::size_t size = kMinimumLength + rowSize * height;
  std::vector<std::uint8_t> file(size, 0);
  file[0] = 'B';
  file[1] = 'M';
  const bool fits = size <= std::numeric_limits<std::uint32_t>::max();
  PutU32(file, 2, fits ? static_cast<std::uint32_t>(size) : 0);  // 0 is allowed when unknown
  PutU32(file, 10, static_cast<std::uint32_t>(kMinimumLength));
  PutU32(file, 14, 40);
  PutU32(file, 18, static_cast<std::uint32_t>(picture.width()));
  PutU32(file, 22, static_cast<std::uint32_t>(picture.height()));
  PutU16(file, 26, 1);
  PutU16(file, 28, 24);
  PutU32(file, 34, fits ? static_cast<std::uint32_t>(rowSize * height) : 0);
  PutU32(file, 38, 2835);  // 72 dpi
  PutU32(file, 42, 2835);
  for (std::size_t y = 0; y < height; ++y) {
    std::uint8_t* row = file.data() + kMinimumLength + (height - 1 - y) * rowSize;
    for (std::size_t x = 0; x < width; ++x) {
      const Rgb c = picture.At(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y));
      row[3 * x] = c.b;
      row[3 * x + 1] = c.g;
      row[3 * x + 2] = c.r;
    }
  }
  return file;
}

}  // namespace gstool
