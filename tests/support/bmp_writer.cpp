#include "support/bmp_writer.h"

#include <stdexcept>

namespace testbmp {

void PutU16(Bytes& b, std::size_t at, std::uint16_t v) {
  b.at(at) = static_cast<std::uint8_t>(v & 0xFF);
  b.at(at + 1) = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(Bytes& b, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.at(at + static_cast<std::size_t>(i)) = static_cast<std::uint8_t>(v >> (8 * i) & 0xFF);
}

std::uint32_t GetU32(const Bytes& b, std::size_t at) {
  return static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
         static_cast<std::uint32_t>(b.at(at + 2)) << 16 | static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

std::size_t RowSize(std::int32_t width, std::uint16_t bitCount) {
  return (static_cast<std::size_t>(bitCount) * static_cast<std::size_t>(width) + 31) / 32 * 4;
}

std::size_t PixelOffset(const Image& image) {
  const std::size_t entry = image.coreHeader ? 3 : 4;
  return 14 + (image.coreHeader ? 12 : 40) + entry * image.palette.size();
}

Bytes Write(const Image& image) {
  const std::size_t rowSize = RowSize(image.width, image.bitCount);
  const std::size_t offBits = PixelOffset(image);
  const std::size_t size = offBits + rowSize * static_cast<std::size_t>(image.height);
  Bytes b(size, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, field::bfSize, static_cast<std::uint32_t>(size));
  PutU32(b, field::bfOffBits, static_cast<std::uint32_t>(offBits));
  if (image.coreHeader) {
    PutU32(b, 14, 12);
    PutU16(b, 18, static_cast<std::uint16_t>(image.width));
    PutU16(b, 20, static_cast<std::uint16_t>(image.height));
    PutU16(b, 22, 1);
    PutU16(b, 24, image.bitCount);
  } else {
    PutU32(b, field::biSize, 40);
    PutU32(b, field::biWidth, static_cast<std::uint32_t>(image.width));
    PutU32(b, field::biHeight, static_cast<std::uint32_t>(image.height));
    PutU16(b, field::biPlanes, 1);
    PutU16(b, field::biBitCount, image.bitCount);
    const std::size_t full = image.bitCount <= 8 ? std::size_t{1} << image.bitCount : 0;
    if (image.palette.size() != full) PutU32(b, field::biClrUsed, static_cast<std::uint32_t>(image.palette.size()));
  }
  std::size_t at = 14 + (image.coreHeader ? 12 : 40);
  for (std::uint32_t c : image.palette) {
    b[at++] = static_cast<std::uint8_t>(c >> 16 & 0xFF);  // blue
    b[at++] = static_cast<std::uint8_t>(c >> 8 & 0xFF);   // green
    b[at++] = static_cast<std::uint8_t>(c & 0xFF);        // red
    if (!image.coreHeader) b[at++] = 0;
  }
  for (std::int32_t y = 0; y < image.height; ++y) {
    std::uint8_t* row = b.data() + offBits + static_cast<std::size_t>(image.height - 1 - y) * rowSize;
    for (std::int32_t x = 0; x < image.width; ++x) {
      const std::uint32_t v =
          image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(image.width) + static_cast<std::size_t>(x)];
      const auto ux = static_cast<std::size_t>(x);
      switch (image.bitCount) {
        case 1:
          if (v & 1) row[ux / 8] = static_cast<std::uint8_t>(row[ux / 8] | 0x80 >> (ux % 8));
          break;
        case 4:
          row[ux / 2] = static_cast<std::uint8_t>(row[ux / 2] | ((ux % 2 == 0) ? (v & 15) << 4 : (v & 15)));
          break;
        case 8: row[ux] = static_cast<std::uint8_t>(v); break;
        case 16:
          row[2 * ux] = static_cast<std::uint8_t>(v & 0xFF);
          row[2 * ux + 1] = static_cast<std::uint8_t>(v >> 8 & 0xFF);
          break;
        case 24:
        case 32: {
          const std::size_t s = image.bitCount / 8;
          row[s * ux] = static_cast<std::uint8_t>(v >> 16 & 0xFF);
          row[s * ux + 1] = static_cast<std::uint8_t>(v >> 8 & 0xFF);
          row[s * ux + 2] = static_cast<std::uint8_t>(v & 0xFF);
          if (s == 4) row[s * ux + 3] = static_cast<std::uint8_t>(image.fourthByte);
          break;
        }
        default: throw std::invalid_argument("bit count");
      }
    }
  }
  return b;
}

Image FromText(const std::vector<std::string>& rows, std::uint16_t bitCount) {
  const auto h = static_cast<std::int32_t>(rows.size());
  const auto w = h == 0 ? 0 : static_cast<std::int32_t>(rows[0].size());
  Image image(w, h, bitCount);
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const char c = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
      image.at(x, y) = c == '.' ? 0xFFFFFFu : c == 'B' ? 0u : c == 'R' ? 0x0000FFu : 0x808080u;
    }
  }
  return image;
}

}  // namespace testbmp
