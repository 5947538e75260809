#pragma once

#include <cstdint>
#include <span>

namespace gridseek {

// A BITMAPINFOHEADER as a loaded image holds it. A 12-byte BITMAPCOREHEADER
// is widened into one: width and height zero-extended from 16 bits, planes
// and bit count copied, everything else 0.
struct InfoHeader {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// What the file's headers say, once they have passed every check that does
// not need the pixel bytes.
struct BmpHeader {
  InfoHeader info;
  bool coreHeader = false;          // the file carries a 12-byte header
  std::uint32_t colourCount = 0;    // entries in the colour table
  std::uint64_t colourTableOffset = 0;
  std::uint32_t colourEntrySize = 4;  // bytes per entry in the file: 4, or 3 after a 12-byte header
  std::uint64_t pixelOffset = 0;    // bfOffBits
  std::uint64_t pixelBytes = 0;     // from bfOffBits to the end of the file
};

// Decodes and checks the file header, the info header and the room for the
// colour table, in the order the format is read:
//
//   offset  size  field
//   0       2     "BM"
//   2       4     bfSize       must not exceed the file's length (0 passes)
//   10      4     bfOffBits    first pixel byte; must lie inside the file
//   14      4     header size  40 (BITMAPINFOHEADER) or 12 (BITMAPCOREHEADER)
//   18..    ...   the info header; after a 40-byte one the colour table at 54
//                 (4 bytes an entry: blue, green, red, reserved), after a
//                 12-byte one at 26 (3 bytes an entry: blue, green, red)
//
// The file must be at least 54 bytes long and long enough for the colour
// table counted at 4 bytes an entry (from 54, or from 22 after a 12-byte
// header). biCompression is not checked here. Throws CDIBException with the
// load failure text.
BmpHeader DecodeBmpHeader(std::span<const std::uint8_t> file);

// Colour count for a bit count: biClrUsed when not 0, else 2, 16 or 256 for
// palette depths and 0 for 16, 24 and 32 bits. False for any other bit count.
bool ColourCountFor(const InfoHeader& info, std::uint32_t& count) noexcept;

}  // namespace gridseek
