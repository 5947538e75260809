// Behaviour of the 位图 component: loading, the load checks and their order,
// the pixel encodings of every depth and both header kinds, bounds, palette
// writes, and pixel areas that do not hold every pixel.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "bitmap/messages.h"
#include "common/byte_sequence.h"
#include "support/bmp_writer.h"

namespace {

using gridseek::位图;
using testbmp::Bytes;
using Colour = std::uint32_t;

// The four failure texts as GBK bytes, spelt out here independently of the
// library's own table.
const std::string kLoadFailed =  // 不被支持的位图数据或无法识别的文件格式
    "\xB2\xBB\xB1\xBB\xD6\xA7\xB3\xD6\xB5\xC4\xCE\xBB\xCD\xBC\xCA\xFD\xBE\xDD\xBB\xF2"
    "\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD";
const std::string kNoImage =  // 位图尚未创建，没有可用数据
    "\xCE\xBB\xCD\xBC\xC9\xD0\xCE\xB4\xB4\xB4\xBD\xA8\xA3\xAC\xC3\xBB\xD3\xD0\xBF\xC9"
    "\xD3\xC3\xCA\xFD\xBE\xDD";
const std::string kOutOfBounds = "\xCF\xF1\xCB\xD8\xB5\xE3\xD7\xF8\xB1\xEA\xD4\xBD\xBD\xE7";  // 像素点坐标越界
const std::string kBadIndex = "\xD1\xD5\xC9\xAB\xCB\xF7\xD2\xFD\xCE\xDE\xD0\xA7";              // 颜色索引无效

std::span<const std::uint8_t> View(const Bytes& b) { return {b.data(), b.size()}; }
std::string Text(const 位图& map) { return map.errorText(); }

gridseek::ByteSequence ToSequence(const Bytes& b) {
  gridseek::ByteSequence s = gridseek::ByteSequence::Allocate(b.size());
  if (!b.empty()) std::memcpy(s.data(), b.data(), b.size());
  return s;
}

Bytes With32(Bytes b, std::size_t at, std::uint32_t v) {
  testbmp::PutU32(b, at, v);
  return b;
}
Bytes With16(Bytes b, std::size_t at, std::uint16_t v) {
  testbmp::PutU16(b, at, v);
  return b;
}
Bytes Padded(Bytes b, std::size_t length) {
  if (b.size() < length) b.resize(length, 0);
  return b;
}
Bytes Truncated(Bytes b, std::size_t length) {
  b.resize(length);
  return b;
}

// The pixel area of a loaded image, as bytes, for checking what a write stored.
Bytes Area(const 位图& map) {
  const std::uint8_t* a = map.PixelArea();
  return Bytes(a, a + map.Geometry().pixelBytes());
}

constexpr Colour Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) { return r | g << 8 | b << 16; }

// Distinct colours for a colour table of `n` entries.
std::vector<Colour> DistinctTable(std::size_t n) {
  std::vector<Colour> t;
  for (std::size_t i = 0; i < n; ++i) {
    const auto v = static_cast<std::uint32_t>(i);
    t.push_back(Rgb(v & 0xFF, (255 - v) & 0xFF, (v * 7 + 3) & 0xFF));
  }
  return t;
}

// The 2 x 2, 24-bit, 40-byte-header file of 70 bytes (bfOffBits 54, row size 8).
Bytes TwoByTwo24() {
  testbmp::Image image(2, 2, 24);
  image.at(0, 0) = 0x010203;
  image.at(1, 0) = 0x040506;
  image.at(0, 1) = 0x070809;
  image.at(1, 1) = 0x0A0B0C;
  return testbmp::Write(image);
}

// A 1 x 1 image of the given depth with a 40-byte header whose colour table
// (if any) is full; padded so that every colour-table test passes.
Bytes OnePixel(std::uint16_t bits, bool core = false) {
  testbmp::Image image(1, 1, bits);
  if (bits <= 8) image.palette = DistinctTable(std::size_t{1} << bits);
  image.coreHeader = core;
  return Padded(testbmp::Write(image), 1100);
}

// A file whose colour-table room is tested at exactly `length` bytes: a 1 x 1
// image of the given depth and header kind, with the file cut or padded to
// `length` and bfOffBits just far enough in for a few pixel bytes.
Bytes TableRoomFile(std::uint16_t bits, bool core, std::uint32_t clrUsed, std::size_t length) {
  Bytes b(length, 0);
  b[0] = 'B';
  b[1] = 'M';
  testbmp::PutU32(b, testbmp::field::bfOffBits, static_cast<std::uint32_t>(length - 4));
  if (core) {
    testbmp::PutU32(b, 14, 12);
    testbmp::PutU16(b, 18, 1);
    testbmp::PutU16(b, 20, 1);
    testbmp::PutU16(b, 22, 1);
    testbmp::PutU16(b, 24, bits);
  } else {
    testbmp::PutU32(b, testbmp::field::biSize, 40);
    testbmp::PutU32(b, testbmp::field::biWidth, 1);
    testbmp::PutU32(b, testbmp::field::biHeight, 1);
    testbmp::PutU16(b, testbmp::field::biPlanes, 1);
    testbmp::PutU16(b, testbmp::field::biBitCount, bits);
    testbmp::PutU32(b, testbmp::field::biClrUsed, clrUsed);
  }
  return b;
}

void ExpectLoadFails(const Bytes& file) {
  位图 map;
  EXPECT_FALSE(map.载入数据(View(file)));
  EXPECT_EQ(Text(map), kLoadFailed);
  EXPECT_FALSE(map.HasImage());
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(Text(map), kNoImage);
}

void ExpectLoads(const Bytes& file) {
  位图 map;
  EXPECT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(Text(map), "");
  EXPECT_TRUE(map.HasImage());
}

struct LoadCase {
  std::string name;
  std::function<Bytes()> file;
  bool loads;
};

void RunLoadTable(const std::vector<LoadCase>& cases) {
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Bytes file = c.file();
    if (c.loads) {
      ExpectLoads(file);
    } else {
      ExpectLoadFails(file);
    }
  }
}

// ---------------------------------------------------------------------------
// Messages

TEST(BitmapMessages, TableHoldsTheExactGbkBytes) {
  EXPECT_EQ(std::string(gridseek::messages::kUnsupportedData), kLoadFailed);
  EXPECT_EQ(std::string(gridseek::messages::kNoImage), kNoImage);
  EXPECT_EQ(std::string(gridseek::messages::kOutOfBounds), kOutOfBounds);
  EXPECT_EQ(std::string(gridseek::messages::kBadColourIndex), kBadIndex);
  EXPECT_EQ(kLoadFailed.size(), 38u);
  EXPECT_EQ(kNoImage.size(), 26u);
  EXPECT_EQ(kOutOfBounds.size(), 14u);
  EXPECT_EQ(kBadIndex.size(), 12u);
}

// ---------------------------------------------------------------------------
// Create and the empty state

TEST(BitmapCreate, NewObjectHasNoImageAndEmptyErrorText) {
  位图 map;
  EXPECT_FALSE(map.HasImage());
  EXPECT_EQ(Text(map), "");
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(Text(map), kNoImage);
  EXPECT_FALSE(map.WritePixel(0, 0, 0xFFFFFF));
  EXPECT_EQ(Text(map), kNoImage);
}

TEST(BitmapLoad, EmptyInputFailsAndLaterReadsAndWritesSayNoImage) {
  位图 map;
  EXPECT_FALSE(map.载入数据(std::span<const std::uint8_t>()));
  EXPECT_EQ(Text(map), kLoadFailed);
  for (std::int32_t y = -1; y <= 1; ++y) {
    for (std::int32_t x = -1; x <= 1; ++x) {
      EXPECT_EQ(map.ReadPixel(x, y), 0u);
      EXPECT_EQ(Text(map), kNoImage);
      EXPECT_FALSE(map.WritePixel(x, y, 0));
      EXPECT_EQ(Text(map), kNoImage);
    }
  }
  EXPECT_FALSE(map.载入数据(gridseek::ByteSequence()));
  EXPECT_EQ(Text(map), kLoadFailed);
}

// ---------------------------------------------------------------------------
// The load checks, each at its boundary

TEST(BitmapLoad, InputMustBeAtLeast54Bytes) {
  // A 54-byte file whose pixel area starts inside the header: the 1 x 1
  // 24-bit pixel is bytes 50..52 (biClrImportant).
  Bytes b(54, 0);
  b[0] = 'B';
  b[1] = 'M';
  testbmp::PutU32(b, testbmp::field::bfOffBits, 50);
  testbmp::PutU32(b, testbmp::field::biSize, 40);
  testbmp::PutU32(b, testbmp::field::biWidth, 1);
  testbmp::PutU32(b, testbmp::field::biHeight, 1);
  testbmp::PutU16(b, testbmp::field::biPlanes, 1);
  testbmp::PutU16(b, testbmp::field::biBitCount, 24);
  testbmp::PutU32(b, 50, 0x00332211);
  RunLoadTable({
      {"54 bytes", [&] { return b; }, true},
      {"53 bytes", [&] { return Truncated(b, 53); }, false},
      {"1 byte", [&] { return Truncated(b, 1); }, false},
      {"BM only", [&] { return Truncated(b, 2); }, false},
      {"14 bytes", [&] { return Truncated(b, 14); }, false},
  });
  位图 map;
  ASSERT_TRUE(map.载入数据(View(b)));
  EXPECT_EQ(map.ReadPixel(0, 0), 0x112233u);

  // After a 12-byte header nothing else asks for 54 bytes: a 53-byte file of
  // that kind passes every later check, so only the length test rejects it.
  Bytes core(54, 0);
  core[0] = 'B';
  core[1] = 'M';
  testbmp::PutU32(core, testbmp::field::bfOffBits, 26);
  testbmp::PutU32(core, 14, 12);
  testbmp::PutU16(core, 18, 1);
  testbmp::PutU16(core, 20, 1);
  testbmp::PutU16(core, 22, 1);
  testbmp::PutU16(core, 24, 24);
  RunLoadTable({
      {"12-byte header, 54 bytes", [&] { return core; }, true},
      {"12-byte header, 53 bytes", [&] { return Truncated(core, 53); }, false},
      {"12-byte header, 30 bytes", [&] { return Truncated(core, 30); }, false},
  });
}

TEST(BitmapLoad, SignatureMustBeBM) {
  const Bytes good = TwoByTwo24();
  auto sig = [&](std::uint8_t a, std::uint8_t c) {
    Bytes b = good;
    b[0] = a;
    b[1] = c;
    return b;
  };
  RunLoadTable({
      {"BM", [&] { return sig('B', 'M'); }, true},
      {"MB", [&] { return sig('M', 'B'); }, false},
      {"bm", [&] { return sig('b', 'm'); }, false},
      {"BA", [&] { return sig('B', 'A'); }, false},
      {"CM", [&] { return sig('C', 'M'); }, false},
      {"zeros", [&] { return sig(0, 0); }, false},
  });
}

TEST(BitmapLoad, BfSizeMustNotExceedTheLength) {
  const Bytes good = TwoByTwo24();
  const auto length = static_cast<std::uint32_t>(good.size());
  RunLoadTable({
      {"bfSize = length", [&] { return With32(good, 2, length); }, true},
      {"bfSize = length - 1", [&] { return With32(good, 2, length - 1); }, true},
      {"bfSize = 0", [&] { return With32(good, 2, 0); }, true},
      {"bfSize = 1", [&] { return With32(good, 2, 1); }, true},
      {"bfSize = length + 1", [&] { return With32(good, 2, length + 1); }, false},
      {"bfSize = 2^31", [&] { return With32(good, 2, 0x80000000u); }, false},
      {"bfSize = 2^32 - 1", [&] { return With32(good, 2, 0xFFFFFFFFu); }, false},
  });
}

TEST(BitmapLoad, HeaderSizeMustBe40Or12) {
  const Bytes info = Padded(TwoByTwo24(), 200);
  testbmp::Image core(4, 4, 24);
  core.coreHeader = true;
  const Bytes coreFile = testbmp::Write(core);
  std::vector<LoadCase> cases = {
      {"40", [&] { return info; }, true},
      {"12", [&] { return coreFile; }, true},
  };
  for (std::uint32_t size : {0u, 1u, 11u, 13u, 16u, 39u, 41u, 52u, 56u, 64u, 108u, 124u, 0x28000000u,
                             0x80000028u, 0xFFFFFFFFu}) {
    cases.push_back({"40-byte file with header size " + std::to_string(size),
                     [&info, size] { return With32(info, 14, size); }, false});
    cases.push_back({"12-byte file with header size " + std::to_string(size),
                     [&coreFile, size] { return With32(coreFile, 14, size); }, false});
  }
  RunLoadTable(cases);
}

TEST(BitmapLoad, BitCountMustBeOneOfTheSixDepths) {
  // Long enough for any colour table and with pixel bytes after it.
  const Bytes info = TableRoomFile(24, false, 0, 1200);
  const Bytes core = TableRoomFile(24, true, 0, 1200);
  std::vector<LoadCase> cases;
  std::vector<std::uint16_t> counts;
  for (std::uint16_t bits = 0; bits <= 40; ++bits) counts.push_back(bits);
  for (int bits : {48, 64, 128, 255, 256, 0x8001, 0xFFFF}) counts.push_back(static_cast<std::uint16_t>(bits));
  for (std::uint16_t bits : counts) {
    const bool supported = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    cases.push_back({"40-byte header, " + std::to_string(bits) + " bits",
                     [&info, bits] { return With16(info, testbmp::field::biBitCount, bits); }, supported});
    cases.push_back({"12-byte header, " + std::to_string(bits) + " bits",
                     [&core, bits] { return With16(core, 24, bits); }, supported});
  }
  RunLoadTable(cases);
}

TEST(BitmapLoad, InputMustHaveRoomForTheColourTableCountedAtFourBytesAnEntry) {
  RunLoadTable({
      {"8 bits, 40-byte header, 1078 bytes", [] { return TableRoomFile(8, false, 0, 1078); }, true},
      {"8 bits, 40-byte header, 1077 bytes", [] { return TableRoomFile(8, false, 0, 1077); }, false},
      {"4 bits, 40-byte header, 118 bytes", [] { return TableRoomFile(4, false, 0, 118); }, true},
      {"4 bits, 40-byte header, 117 bytes", [] { return TableRoomFile(4, false, 0, 117); }, false},
      {"1 bit, 40-byte header, 62 bytes", [] { return TableRoomFile(1, false, 0, 62); }, true},
      {"1 bit, 40-byte header, 61 bytes", [] { return TableRoomFile(1, false, 0, 61); }, false},
      {"8 bits, 12-byte header, 1046 bytes", [] { return TableRoomFile(8, true, 0, 1046); }, true},
      {"8 bits, 12-byte header, 1045 bytes", [] { return TableRoomFile(8, true, 0, 1045); }, false},
      {"4 bits, 12-byte header, 86 bytes", [] { return TableRoomFile(4, true, 0, 86); }, true},
      {"4 bits, 12-byte header, 85 bytes", [] { return TableRoomFile(4, true, 0, 85); }, false},
      {"1 bit, 12-byte header, 54 bytes", [] { return TableRoomFile(1, true, 0, 54); }, true},
      {"24 bits, biClrUsed 3, 66 bytes", [] { return TableRoomFile(24, false, 3, 66); }, true},
      {"24 bits, biClrUsed 3, 65 bytes", [] { return TableRoomFile(24, false, 3, 65); }, false},
      {"8 bits, biClrUsed 16, 118 bytes", [] { return TableRoomFile(8, false, 16, 118); }, true},
      {"8 bits, biClrUsed 16, 117 bytes", [] { return TableRoomFile(8, false, 16, 117); }, false},
      {"1 bit, biClrUsed 300, 1254 bytes", [] { return TableRoomFile(1, false, 300, 1254); }, true},
      {"1 bit, biClrUsed 300, 1253 bytes", [] { return TableRoomFile(1, false, 300, 1253); }, false},
      // 4 x biClrUsed wraps to a small number in 32-bit arithmetic for these.
      {"24 bits, biClrUsed 2^30", [] { return TableRoomFile(24, false, 0x40000000u, 2000); }, false},
      {"24 bits, biClrUsed 2^30 + 1", [] { return TableRoomFile(24, false, 0x40000001u, 2000); }, false},
      {"8 bits, biClrUsed 2^31", [] { return TableRoomFile(8, false, 0x80000000u, 2000); }, false},
      {"8 bits, biClrUsed 0xC0000000", [] { return TableRoomFile(8, false, 0xC0000000u, 2000); }, false},
      {"8 bits, biClrUsed 2^32 - 1", [] { return TableRoomFile(8, false, 0xFFFFFFFFu, 2000); }, false},
      {"24 bits, biClrUsed 2^32 - 1", [] { return TableRoomFile(24, false, 0xFFFFFFFFu, 2000); }, false},
      {"24 bits, biClrUsed 0x3FFFFFF2", [] { return TableRoomFile(24, false, 0x3FFFFFF2u, 2000); }, false},
  });
}

TEST(BitmapLoad, CompleteEightBitFileWithTwelveByteHeaderFailsBelow1046Bytes) {
  testbmp::Image image(1, 1, 8);
  image.coreHeader = true;
  image.palette = DistinctTable(256);
  const Bytes file = testbmp::Write(image);
  ASSERT_EQ(file.size(), 798u);  // holds everything it needs
  ExpectLoadFails(file);
  ExpectLoadFails(Padded(file, 1045));
  ExpectLoads(Padded(file, 1046));
}

TEST(BitmapLoad, BfOffBitsMustLeaveAtLeastOnePixelByte) {
  const Bytes good = TwoByTwo24();
  const auto length = static_cast<std::uint32_t>(good.size());
  RunLoadTable({
      {"bfOffBits = 54", [&] { return good; }, true},
      {"bfOffBits = length - 1", [&] { return With32(good, 10, length - 1); }, true},
      {"bfOffBits = 0", [&] { return With32(good, 10, 0); }, true},
      {"bfOffBits = 14", [&] { return With32(good, 10, 14); }, true},
      {"bfOffBits = length", [&] { return With32(good, 10, length); }, false},
      {"bfOffBits = length + 1", [&] { return With32(good, 10, length + 1); }, false},
      {"bfOffBits = 2^31", [&] { return With32(good, 10, 0x80000000u); }, false},
      {"bfOffBits = 2^32 - 1", [&] { return With32(good, 10, 0xFFFFFFFFu); }, false},
  });
}

TEST(BitmapLoad, BfOffBitsZeroMakesTheWholeInputThePixelArea) {
  // A 1 x 1 24-bit image: its pixel is the first three bytes of the file,
  // 'B', 'M' and the low byte of bfSize (0), read as blue, green, red.
  testbmp::Image image(1, 1, 24);
  Bytes file = With32(With32(testbmp::Write(image), 10, 0), 2, 0);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Geometry().pixelBytes(), file.size());
  EXPECT_EQ(map.ReadPixel(0, 0), Rgb(0x00, 'M', 'B'));
}

TEST(BitmapLoad, BfOffBitsInsideTheHeadersMakesThoseBytesThePixelArea) {
  // bfOffBits 18 points at biWidth: the 4-byte pixel of a 1 x 1 32-bit image
  // is the width field itself (01 00 00 00).
  testbmp::Image image(1, 1, 32);
  const Bytes file = With32(testbmp::Write(image), 10, 18);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(0, 0), Rgb(0, 0, 1));
}

TEST(BitmapLoad, CompressedImagesFail) {
  const Bytes good = TwoByTwo24();
  std::vector<LoadCase> cases = {{"biCompression 0", [&] { return good; }, true}};
  for (std::uint32_t c : {1u, 2u, 3u, 4u, 5u, 6u, 0x100u, 0x80000000u, 0xFFFFFFFFu}) {
    cases.push_back({"biCompression " + std::to_string(c),
                     [&good, c] { return With32(good, testbmp::field::biCompression, c); }, false});
  }
  RunLoadTable(cases);
}

TEST(BitmapLoad, TwelveByteHeaderAlwaysPassesTheCompressionCheck) {
  // Bytes 30..33 hold biCompression in a 40-byte file; after a 12-byte header
  // they are colour-table or pixel bytes and play no part in the check.
  testbmp::Image image(4, 4, 24);
  image.coreHeader = true;
  const Bytes file = With32(testbmp::Write(image), 30, 0x01010101u);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Header().biCompression, 0u);
}

TEST(BitmapLoad, FailedLoadAfterAGoodOneLeavesNoImage) {
  const Bytes good = TwoByTwo24();
  const std::vector<Bytes> bad = {
      Bytes(), Truncated(good, 53), With32(good, 14, 108), With32(good, testbmp::field::biCompression, 1),
      With32(good, 10, static_cast<std::uint32_t>(good.size())), With16(good, testbmp::field::biBitCount, 2)};
  for (std::size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE("bad file " + std::to_string(i));
    位图 map;
    ASSERT_TRUE(map.载入数据(View(good)));
    ASSERT_EQ(map.ReadPixel(0, 0), 0x010203u);
    ASSERT_TRUE(map.WritePixel(1, 1, 0xFFFFFF));
    EXPECT_FALSE(map.载入数据(View(bad[i])));
    EXPECT_EQ(Text(map), kLoadFailed);
    EXPECT_FALSE(map.HasImage());
    EXPECT_EQ(map.ReadPixel(0, 0), 0u);
    EXPECT_EQ(Text(map), kNoImage);
    EXPECT_FALSE(map.WritePixel(0, 0, 0));
    EXPECT_EQ(Text(map), kNoImage);
  }
}

TEST(BitmapLoad, SecondLoadReplacesTheImage) {
  位图 map;
  ASSERT_TRUE(map.载入数据(View(TwoByTwo24())));
  testbmp::Image other(3, 1, 24, 0xABCDEF);
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(other))));
  EXPECT_EQ(map.ReadPixel(2, 0), 0xABCDEFu);
  EXPECT_EQ(map.ReadPixel(0, 1), 0u);
  EXPECT_EQ(Text(map), kOutOfBounds);
}

// ---------------------------------------------------------------------------
// errorText is emptied at the start of each operation

TEST(BitmapErrorText, EveryOperationStartsByEmptyingIt) {
  位图 map;
  EXPECT_FALSE(map.载入数据(View(Bytes(10, 0))));
  ASSERT_EQ(Text(map), kLoadFailed);
  EXPECT_TRUE(map.载入数据(View(TwoByTwo24())));
  EXPECT_EQ(Text(map), "");

  EXPECT_EQ(map.ReadPixel(5, 5), 0u);
  ASSERT_EQ(Text(map), kOutOfBounds);
  EXPECT_EQ(map.ReadPixel(0, 0), 0x010203u);
  EXPECT_EQ(Text(map), "");

  EXPECT_FALSE(map.WritePixel(-1, 0, 0));
  ASSERT_EQ(Text(map), kOutOfBounds);
  EXPECT_TRUE(map.WritePixel(0, 0, 0));
  EXPECT_EQ(Text(map), "");

  EXPECT_FALSE(map.WritePixel(2, 0, 0));
  ASSERT_EQ(Text(map), kOutOfBounds);
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);  // black, and no failure
  EXPECT_EQ(Text(map), "");

  EXPECT_EQ(map.ReadPixel(0, 2), 0u);
  ASSERT_EQ(Text(map), kOutOfBounds);
  EXPECT_TRUE(map.载入数据(ToSequence(TwoByTwo24())));
  EXPECT_EQ(Text(map), "");

  // A failed load replaces the read's message with its own, then a read
  // replaces that.
  EXPECT_EQ(map.ReadPixel(0, 2), 0u);
  EXPECT_FALSE(map.载入数据(View(Bytes())));
  EXPECT_EQ(Text(map), kLoadFailed);
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(Text(map), kNoImage);
}

TEST(BitmapErrorText, BadIndexMessageIsReplacedByTheNextOperation) {
  testbmp::Image image(8, 1, 1);
  image.palette = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};  // biClrUsed 4
  位图 map;
  ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 64))));
  EXPECT_FALSE(map.WritePixel(0, 0, 0x0000FF));
  ASSERT_EQ(Text(map), kBadIndex);
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(Text(map), "");
}

// ---------------------------------------------------------------------------
// Every depth with both header kinds: reads of every pixel, and writes

struct DepthCase {
  std::uint16_t bits;
  bool core;
};

const std::uint16_t kDepths[] = {1, 4, 8, 16, 24, 32};

const DepthCase kAllDepths[] = {{1, false},  {4, false},  {8, false}, {16, false}, {24, false}, {32, false},
                                {1, true},   {4, true},   {8, true},  {16, true},  {24, true},  {32, true}};

std::string Describe(const DepthCase& d) {
  return std::to_string(d.bits) + " bits, " + (d.core ? "12" : "40") + "-byte header";
}

// A 5 x 3 image of the depth with a pattern of raw pixel values.
testbmp::Image Pattern(const DepthCase& d) {
  testbmp::Image image(5, 3, d.bits);
  image.coreHeader = d.core;
  image.fourthByte = 0x5A;
  if (d.bits <= 8) image.palette = DistinctTable(std::size_t{1} << d.bits);
  for (std::int32_t y = 0; y < 3; ++y) {
    for (std::int32_t x = 0; x < 5; ++x) {
      const auto k = static_cast<std::uint32_t>(y * 5 + x);
      switch (d.bits) {
        case 1: image.at(x, y) = (k * 3 + 1) % 2; break;
        case 4: image.at(x, y) = (k * 7 + 2) % 16; break;
        case 8: image.at(x, y) = (k * 37 + 11) % 256; break;
        case 16: image.at(x, y) = (k * 0x1357 + 0x8421) & 0xFFFF; break;
        default: image.at(x, y) = (k * 0x10305 + 0x7F3301) & 0xFFFFFF; break;
      }
    }
  }
  return image;
}

Colour Expected(const testbmp::Image& image, std::uint32_t raw) {
  switch (image.bitCount) {
    case 1:
    case 4:
    case 8: return image.palette.at(raw);
    case 16: return Rgb((raw >> 10 & 31) * 8, (raw >> 5 & 31) * 8, (raw & 31) * 8);
    default: return raw & 0xFFFFFF;
  }
}

TEST(BitmapPixels, EveryDepthAndHeaderKindReadsEveryPixel) {
  for (const DepthCase& d : kAllDepths) {
    SCOPED_TRACE(Describe(d));
    testbmp::Image image = Pattern(d);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 1100))));
    EXPECT_EQ(map.Header().biBitCount, d.bits);
    for (std::int32_t y = 0; y < 3; ++y) {
      for (std::int32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(map.ReadPixel(x, y), Expected(image, image.at(x, y))) << "(" << x << ", " << y << ")";
        EXPECT_EQ(Text(map), "");
      }
    }
  }
}

TEST(BitmapPixels, EveryDepthAndHeaderKindWritesOnePixelAndReadsItBack) {
  for (const DepthCase& d : kAllDepths) {
    SCOPED_TRACE(Describe(d));
    testbmp::Image image = Pattern(d);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 1100))));
    for (std::int32_t y = 0; y < 3; ++y) {
      for (std::int32_t x = 0; x < 5; ++x) {
        // A colour the image can hold exactly.
        Colour c = 0;
        const auto k = static_cast<std::uint32_t>(y * 5 + x);
        if (d.bits <= 8) {
          c = image.palette[(k + 1) % image.palette.size()];
        } else if (d.bits == 16) {
          c = Rgb((k * 8) & 0xF8, (k * 24) & 0xF8, (255 - k * 8) & 0xF8);
        } else {
          c = Rgb(k * 11, 255 - k, k * 17);
        }
        ASSERT_TRUE(map.WritePixel(x, y, c));
        EXPECT_EQ(Text(map), "");
        EXPECT_EQ(map.ReadPixel(x, y), c);
        if (d.bits <= 8) {
          image.at(x, y) = (k + 1) % static_cast<std::uint32_t>(image.palette.size());
        } else if (d.bits == 16) {
          image.at(x, y) = (c & 0xFF) >> 3 << 10 | (c >> 8 & 0xFF) >> 3 << 5 | (c >> 16 & 0xFF) >> 3;
        } else {
          image.at(x, y) = c;
        }
        // Every other pixel is as it was.
        for (std::int32_t yy = 0; yy < 3; ++yy) {
          for (std::int32_t xx = 0; xx < 5; ++xx) {
            ASSERT_EQ(map.ReadPixel(xx, yy), Expected(image, image.at(xx, yy)))
                << "after writing (" << x << ", " << y << "), pixel (" << xx << ", " << yy << ")";
          }
        }
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The encodings, byte by byte

TEST(BitmapEncoding, TwoByTwo24BitExampleLayout) {
  Bytes file = TwoByTwo24();
  ASSERT_EQ(file.size(), 70u);
  ASSERT_EQ(testbmp::GetU32(file, 10), 54u);
  // Pixel (0, 0) is bytes 62..64, pixel (1, 1) bytes 57..59.
  file[62] = 0x11;
  file[63] = 0x22;
  file[64] = 0x33;
  file[57] = 0x44;
  file[58] = 0x55;
  file[59] = 0x66;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Geometry().rowSize(), 8u);
  EXPECT_EQ(map.ReadPixel(0, 0), Rgb(0x33, 0x22, 0x11));
  EXPECT_EQ(map.ReadPixel(1, 1), Rgb(0x66, 0x55, 0x44));
  EXPECT_EQ(map.ReadPixel(1, 0), 0x040506u);  // bytes 65..67
  EXPECT_EQ(map.ReadPixel(0, 1), 0x070809u);  // bytes 54..56

  ASSERT_TRUE(map.WritePixel(0, 0, 0x0A0B0C));
  const Bytes area = Area(map);
  ASSERT_EQ(area.size(), 16u);
  EXPECT_EQ(area[62 - 54], 0x0A);  // blue
  EXPECT_EQ(area[63 - 54], 0x0B);  // green
  EXPECT_EQ(area[64 - 54], 0x0C);  // red
  ASSERT_TRUE(map.WritePixel(1, 1, 0x010203));
  const Bytes after = Area(map);
  EXPECT_EQ(after[57 - 54], 0x01);
  EXPECT_EQ(after[58 - 54], 0x02);
  EXPECT_EQ(after[59 - 54], 0x03);
  // The row padding (bytes 60, 61 and 68, 69) is untouched.
  EXPECT_EQ(after[60 - 54], 0);
  EXPECT_EQ(after[61 - 54], 0);
  EXPECT_EQ(after[68 - 54], 0);
  EXPECT_EQ(after[69 - 54], 0);
}

TEST(BitmapEncoding, TwentyFourBitChannels) {
  struct Case {
    std::uint8_t blue, green, red;
    Colour reads;
  };
  const Case cases[] = {{0x00, 0x00, 0xFF, 255},       {0xFF, 0xFF, 0xFF, 0xFFFFFF}, {0x00, 0x00, 0x00, 0},
                        {0xFF, 0x00, 0x00, 0xFF0000}, {0x00, 0xFF, 0x00, 0x00FF00}, {0x12, 0x34, 0x56, 0x123456}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reads);
    Bytes file = testbmp::Write(testbmp::Image(1, 1, 24));
    file[54] = c.blue;
    file[55] = c.green;
    file[56] = c.red;
    位图 map;
    ASSERT_TRUE(map.载入数据(View(file)));
    EXPECT_EQ(map.ReadPixel(0, 0), c.reads);
  }
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(testbmp::Image(1, 1, 24, 0xFFFFFF)))));
  ASSERT_TRUE(map.WritePixel(0, 0, 255));
  EXPECT_EQ(Area(map), (Bytes{0x00, 0x00, 0xFF, 0x00}));
  ASSERT_TRUE(map.WritePixel(0, 0, 0xFF123456));  // bits 24-31 ignored
  EXPECT_EQ(Area(map), (Bytes{0x12, 0x34, 0x56, 0x00}));
  EXPECT_EQ(map.ReadPixel(0, 0), 0x123456u);
}

TEST(BitmapEncoding, SixteenBitReads) {
  struct Case {
    std::uint16_t word;
    Colour reads;
  };
  const Case cases[] = {
      {0x7FFF, 0xF8F8F8}, {0xFFFF, 0xF8F8F8}, {0x0000, 0},        {0x8000, 0},        {0x001F, 0xF80000},
      {0x03E0, 0x00F800}, {0x7C00, 0x0000F8}, {0x0421, 0x080808}, {0x0001, 0x080000}, {0x0020, 0x000800},
      {0x0400, 0x000008},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.word);
    testbmp::Image image(1, 1, 16, c.word);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
    EXPECT_EQ(map.ReadPixel(0, 0), c.reads);
  }
}

TEST(BitmapEncoding, SixteenBitWritesKeepTheTopFiveBitsAndClearBit15) {
  struct Case {
    Colour written;
    std::uint16_t stored;
    Colour reads;
  };
  const Case cases[] = {
      {0xFFFFFF, 0x7FFF, 0xF8F8F8}, {255, 0x7C00, 248},           {0, 0x0000, 0},
      {0xFF000000, 0x0000, 0},      {0xFFFFFFFF, 0x7FFF, 0xF8F8F8}, {0x070707, 0x0000, 0},
      {0x080808, 0x0421, 0x080808}, {0xFF0000, 0x001F, 0xF80000},  {0x00FF00, 0x03E0, 0x00F800},
      {0x0F0F0F, 0x0421, 0x080808}, {0x102030, 0x1882, 0x102030},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    testbmp::Image image(1, 1, 16, 0xFFFF);  // bit 15 set beforehand
    位图 map;
    ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
    ASSERT_TRUE(map.WritePixel(0, 0, c.written));
    const Bytes area = Area(map);
    EXPECT_EQ(area[0] | area[1] << 8, c.stored);
    EXPECT_EQ(map.ReadPixel(0, 0), c.reads);
  }
}

TEST(BitmapEncoding, NoSixteenBitPixelEverReadsWhite) {
  testbmp::Image image(256, 256, 16);
  for (std::int32_t y = 0; y < 256; ++y) {
    for (std::int32_t x = 0; x < 256; ++x) image.at(x, y) = static_cast<std::uint32_t>(y * 256 + x);
  }
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
  for (std::int32_t y = 0; y < 256; ++y) {
    for (std::int32_t x = 0; x < 256; ++x) ASSERT_NE(map.ReadPixel(x, y), 0xFFFFFFu);
  }
}

TEST(BitmapEncoding, ThirtyTwoBitFourthByteIsNeitherReadNorChanged) {
  for (std::uint8_t fourth : {std::uint8_t{0x00}, std::uint8_t{0xAB}, std::uint8_t{0xFF}}) {
    SCOPED_TRACE(+fourth);
    testbmp::Image image(2, 1, 32, 0x123456);
    image.fourthByte = fourth;
    位图 map;
    ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
    EXPECT_EQ(map.ReadPixel(0, 0), 0x123456u);
    ASSERT_TRUE(map.WritePixel(0, 0, 0xFFFFFFFF));
    ASSERT_TRUE(map.WritePixel(1, 0, 0));
    EXPECT_EQ(Area(map), (Bytes{0xFF, 0xFF, 0xFF, fourth, 0x00, 0x00, 0x00, fourth}));
    EXPECT_EQ(map.ReadPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(map.ReadPixel(1, 0), 0u);
  }
}

TEST(BitmapEncoding, OneBitLeftmostPixelIsTheMostSignificantBit) {
  testbmp::Image image(16, 1, 1);
  image.palette = {0x000000, 0xFFFFFF};
  Bytes file = testbmp::Write(image);
  const std::size_t at = testbmp::PixelOffset(image);
  file[at] = 0x80;      // x = 0
  file[at + 1] = 0x81;  // x = 8 and x = 15
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  for (std::int32_t x = 0; x < 16; ++x) {
    const bool set = x == 0 || x == 8 || x == 15;
    EXPECT_EQ(map.ReadPixel(x, 0), set ? 0xFFFFFFu : 0u) << x;
  }
  ASSERT_TRUE(map.WritePixel(0, 0, 0));         // clears bit 7 of byte 0
  ASSERT_TRUE(map.WritePixel(3, 0, 0xFFFFFF));  // sets bit 4 of byte 0
  ASSERT_TRUE(map.WritePixel(9, 0, 0xFFFFFF));  // sets bit 6 of byte 1
  ASSERT_TRUE(map.WritePixel(15, 0, 0));        // clears bit 0 of byte 1
  ASSERT_TRUE(map.WritePixel(8, 0, 0xFFFFFF));  // already set
  const Bytes area = Area(map);
  EXPECT_EQ(area[0], 0x10);
  EXPECT_EQ(area[1], 0xC0);
  EXPECT_EQ(area[2], 0x00);
  EXPECT_EQ(area[3], 0x00);
}

TEST(BitmapEncoding, OneBitReadsTheTableEntries) {
  testbmp::Image image(2, 1, 1);
  image.palette = {0x123456, 0x0000FF};
  image.at(1, 0) = 1;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
  EXPECT_EQ(map.ReadPixel(0, 0), 0x123456u);
  EXPECT_EQ(map.ReadPixel(1, 0), 0x0000FFu);
}

TEST(BitmapEncoding, FourBitEvenPixelIsTheHighNibble) {
  testbmp::Image image(4, 1, 4);
  image.palette = DistinctTable(16);
  Bytes file = testbmp::Write(image);
  const std::size_t at = testbmp::PixelOffset(image);
  file[at] = 0x3C;
  file[at + 1] = 0x5A;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(0, 0), image.palette[3]);
  EXPECT_EQ(map.ReadPixel(1, 0), image.palette[12]);
  EXPECT_EQ(map.ReadPixel(2, 0), image.palette[5]);
  EXPECT_EQ(map.ReadPixel(3, 0), image.palette[10]);
  ASSERT_TRUE(map.WritePixel(0, 0, image.palette[9]));
  EXPECT_EQ(Area(map)[0], 0x9C);
  ASSERT_TRUE(map.WritePixel(1, 0, image.palette[1]));
  EXPECT_EQ(Area(map)[0], 0x91);
  ASSERT_TRUE(map.WritePixel(3, 0, image.palette[15]));
  EXPECT_EQ(Area(map)[1], 0x5F);
  ASSERT_TRUE(map.WritePixel(2, 0, image.palette[0]));
  EXPECT_EQ(Area(map)[1], 0x0F);
}

TEST(BitmapEncoding, EightBitPixelIsOneByte) {
  testbmp::Image image(3, 1, 8);
  image.palette = DistinctTable(256);
  Bytes file = testbmp::Write(image);
  const std::size_t at = testbmp::PixelOffset(image);
  file[at] = 0;
  file[at + 1] = 200;
  file[at + 2] = 255;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(0, 0), image.palette[0]);
  EXPECT_EQ(map.ReadPixel(1, 0), image.palette[200]);
  EXPECT_EQ(map.ReadPixel(2, 0), image.palette[255]);
  ASSERT_TRUE(map.WritePixel(1, 0, image.palette[77]));
  EXPECT_EQ(Area(map)[1], 77);
  EXPECT_EQ(Area(map)[0], 0);
  EXPECT_EQ(Area(map)[2], 255);
}

TEST(BitmapEncoding, ReservedByteOfATableEntryIsDropped) {
  testbmp::Image image(1, 1, 8);
  image.palette = DistinctTable(256);
  Bytes file = testbmp::Write(image);
  file[54 + 3] = 0xEE;  // reserved byte of entry 0
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(0, 0), image.palette[0]);
  EXPECT_EQ(map.ReadPixel(0, 0) >> 24, 0u);
}

TEST(BitmapEncoding, TwelveByteHeaderTableEntriesAreThreeBytes) {
  testbmp::Image image(8, 8, 1);
  image.coreHeader = true;
  image.palette = {0, 0};
  image.at(1, 0) = 1;
  Bytes file = testbmp::Write(image);
  ASSERT_EQ(testbmp::PixelOffset(image), 32u);
  file[26] = 0x01;  // entry 0: blue, green, red
  file[27] = 0x02;
  file[28] = 0x03;
  file[29] = 0xA1;  // entry 1
  file[30] = 0xB2;
  file[31] = 0xC3;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(0, 0), 0x03u + 0x02u * 256 + 0x01u * 65536);
  EXPECT_EQ(map.ReadPixel(1, 0), 0xC3u + 0xB2u * 256 + 0xA1u * 65536);
  EXPECT_EQ(map.ColourCount(), 2u);
}

TEST(BitmapEncoding, TwelveByteHeaderEightBitTableEntryIAt26Plus3I) {
  testbmp::Image image(1, 1, 8);
  image.coreHeader = true;
  image.palette = DistinctTable(256);
  Bytes file = Padded(testbmp::Write(image), 1046);
  const std::size_t at = testbmp::PixelOffset(image);
  ASSERT_EQ(at, 26u + 3u * 256u);
  for (std::size_t i : {0u, 1u, 100u, 255u}) {
    SCOPED_TRACE(i);
    file[at] = static_cast<std::uint8_t>(i);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(file)));
    const Colour c = map.ReadPixel(0, 0);
    EXPECT_EQ(c, file[26 + 3 * i + 2] + file[26 + 3 * i + 1] * 256u + file[26 + 3 * i] * 65536u);
    EXPECT_EQ(c, image.palette[i]);
  }
}

TEST(BitmapEncoding, TwelveByteHeaderIsWidenedToAFortyByteOne) {
  testbmp::Image image(5, 3, 24);
  image.coreHeader = true;
  Bytes file = Padded(testbmp::Write(image), 120);
  for (std::size_t i = 26; i < file.size(); ++i) file[i] = 0xEE;  // bytes where a 40-byte header would be
  testbmp::PutU16(file, 22, 7);                                   // planes copied as they are
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  const gridseek::InfoHeader& h = map.Header();
  EXPECT_EQ(h.biSize, 40u);
  EXPECT_EQ(h.biWidth, 5);
  EXPECT_EQ(h.biHeight, 3);
  EXPECT_EQ(h.biPlanes, 7u);
  EXPECT_EQ(h.biBitCount, 24u);
  EXPECT_EQ(h.biCompression, 0u);
  EXPECT_EQ(h.biSizeImage, 0u);
  EXPECT_EQ(h.biXPelsPerMeter, 0);
  EXPECT_EQ(h.biYPelsPerMeter, 0);
  EXPECT_EQ(h.biClrUsed, 0u);
  EXPECT_EQ(h.biClrImportant, 0u);
}

TEST(BitmapEncoding, TwelveByteHeaderSizesAreZeroExtended) {
  // Width and height 0xFFFF are 65535, not -1: the first stored row (y = 65534)
  // is readable; rows beyond the bytes present are not.
  Bytes file(64, 0);
  file[0] = 'B';
  file[1] = 'M';
  testbmp::PutU32(file, 10, 26);
  testbmp::PutU32(file, 14, 12);
  testbmp::PutU16(file, 18, 1);
  testbmp::PutU16(file, 20, 0xFFFF);
  testbmp::PutU16(file, 22, 1);
  testbmp::PutU16(file, 24, 24);
  file[26] = 0x01;
  file[27] = 0x02;
  file[28] = 0x03;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Header().biHeight, 65535);
  EXPECT_EQ(map.ReadPixel(0, 65534), Rgb(0x03, 0x02, 0x01));
  EXPECT_EQ(Text(map), "");
  EXPECT_EQ(map.ReadPixel(0, 65535), 0u);
  EXPECT_EQ(Text(map), kOutOfBounds);
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(Text(map), kOutOfBounds);

  testbmp::PutU16(file, 18, 0xFFFF);
  testbmp::PutU16(file, 20, 1);
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Header().biWidth, 65535);
  EXPECT_EQ(map.ReadPixel(0, 0), Rgb(0x03, 0x02, 0x01));
  EXPECT_EQ(Text(map), "");
}

TEST(BitmapEncoding, ColourTableOnATrueColourImageLiesBeforeThePixels) {
  // biClrUsed 3 on a 24-bit image: 12 table bytes copied from offset 54, then
  // the pixel area at bfOffBits 66.
  testbmp::Image image(2, 2, 24);
  image.palette = {0x111111, 0x222222, 0x333333};
  image.at(0, 0) = 0xABCDEF;
  image.at(1, 1) = 0x010203;
  const Bytes file = testbmp::Write(image);
  ASSERT_EQ(testbmp::GetU32(file, 10), 66u);
  ASSERT_EQ(testbmp::GetU32(file, testbmp::field::biClrUsed), 3u);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ColourCount(), 3u);
  EXPECT_EQ(map.ReadPixel(0, 0), 0xABCDEFu);
  EXPECT_EQ(map.ReadPixel(1, 1), 0x010203u);
  EXPECT_EQ(map.ReadPixel(1, 0), 0u);
  EXPECT_EQ(Text(map), "");
}

// ---------------------------------------------------------------------------
// Bounds

TEST(BitmapBounds, PositionsOutsideThePictureFailReadsAndWrites) {
  for (const DepthCase& d : kAllDepths) {
    SCOPED_TRACE(Describe(d));
    testbmp::Image image = Pattern(d);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 1100))));
    const Bytes before = Area(map);
    const std::int32_t w = 5, h = 3;
    const std::pair<std::int32_t, std::int32_t> outside[] = {
        {w, 0},       {-1, 0},      {0, h},       {0, -1},      {w, h},       {-1, -1},     {w - 1, h},
        {w, h - 1},   {INT32_MIN, 0}, {0, INT32_MIN}, {INT32_MAX, 0}, {0, INT32_MAX}, {INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN}, {w + 1000, 0}, {0, h + 1000}};
    for (auto [x, y] : outside) {
      SCOPED_TRACE("(" + std::to_string(x) + ", " + std::to_string(y) + ")");
      EXPECT_EQ(map.ReadPixel(x, y), 0u);
      EXPECT_EQ(Text(map), kOutOfBounds);
      EXPECT_FALSE(map.WritePixel(x, y, 0xFFFFFF));
      EXPECT_EQ(Text(map), kOutOfBounds);
      EXPECT_FALSE(map.WritePixel(x, y, 0));
      EXPECT_EQ(Text(map), kOutOfBounds);
    }
    EXPECT_EQ(Area(map), before);
    for (auto [x, y] : {std::pair{0, 0}, std::pair{w - 1, 0}, std::pair{0, h - 1}, std::pair{w - 1, h - 1}}) {
      EXPECT_EQ(map.ReadPixel(x, y), Expected(image, image.at(x, y)));
      EXPECT_EQ(Text(map), "");
    }
  }
}

TEST(BitmapBounds, LastPixelOfTheFirstStoredRowIsTheBottomRight) {
  testbmp::Image image(3, 2, 24);
  Bytes file = testbmp::Write(image);
  // Row size 12; the first stored row (y = 1) starts at 54, its last pixel at 60.
  file[60] = 0x01;
  file[61] = 0x02;
  file[62] = 0x03;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ReadPixel(2, 1), Rgb(0x03, 0x02, 0x01));
  for (auto [x, y] : {std::pair{0, 0}, std::pair{1, 0}, std::pair{2, 0}, std::pair{0, 1}, std::pair{1, 1}}) {
    EXPECT_EQ(map.ReadPixel(x, y), 0u);
  }
}

TEST(BitmapBounds, ZeroWidthOrHeightLoadsAndEveryPositionFails) {
  for (const std::uint16_t bits : kDepths) {
    for (auto [w, h] : {std::pair{0, 3}, std::pair{3, 0}, std::pair{0, 0}}) {
      SCOPED_TRACE(std::to_string(bits) + " bits, " + std::to_string(w) + " x " + std::to_string(h));
      testbmp::Image image(w, h, bits);
      if (bits <= 8) image.palette = DistinctTable(std::size_t{1} << bits);
      位图 map;
      ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 1100))));
      for (std::int32_t y = -1; y <= 3; ++y) {
        for (std::int32_t x = -1; x <= 3; ++x) {
          EXPECT_EQ(map.ReadPixel(x, y), 0u);
          EXPECT_EQ(Text(map), kOutOfBounds);
          EXPECT_FALSE(map.WritePixel(x, y, 0));
          EXPECT_EQ(Text(map), kOutOfBounds);
        }
      }
    }
  }
}

TEST(BitmapBounds, NegativeHeightLoadsAndEveryPositionFails) {
  for (std::int32_t height : {-1, -2, -3, INT32_MIN}) {
    SCOPED_TRACE(height);
    testbmp::Image image(3, 2, 24, 0xFFFFFF);
    const Bytes file = With32(testbmp::Write(image), testbmp::field::biHeight, static_cast<std::uint32_t>(height));
    位图 map;
    ASSERT_TRUE(map.载入数据(View(file)));
    const Bytes before = Area(map);
    for (std::int32_t y = -3; y <= 3; ++y) {
      for (std::int32_t x = -1; x <= 3; ++x) {
        EXPECT_EQ(map.ReadPixel(x, y), 0u);
        EXPECT_EQ(Text(map), kOutOfBounds);
        EXPECT_FALSE(map.WritePixel(x, y, 0));
        EXPECT_EQ(Text(map), kOutOfBounds);
      }
    }
    EXPECT_EQ(Area(map), before);
  }
}

TEST(BitmapBounds, NegativeWidthLoadsAndEveryPositionFails) {
  testbmp::Image image(3, 2, 24, 0xFFFFFF);
  const Bytes file = With32(testbmp::Write(image), testbmp::field::biWidth, static_cast<std::uint32_t>(-3));
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  for (std::int32_t y = -1; y <= 2; ++y) {
    for (std::int32_t x = -3; x <= 3; ++x) {
      EXPECT_EQ(map.ReadPixel(x, y), 0u);
      EXPECT_EQ(Text(map), kOutOfBounds);
      EXPECT_FALSE(map.WritePixel(x, y, 0));
    }
  }
}

// ---------------------------------------------------------------------------
// Palette writes

// An 8-bit image of one row whose table is `table` (biClrUsed its size).
Bytes EightBitWithTable(const std::vector<Colour>& table, std::int32_t width = 4) {
  testbmp::Image image(width, 1, 8);
  image.palette = table;
  return Padded(testbmp::Write(image), 54 + 4 * table.size() + 4);
}

// The index that a write of `colour` stores into an 8-bit image with `table`.
int StoredIndex(const std::vector<Colour>& table, Colour colour) {
  位图 map;
  if (!map.载入数据(View(EightBitWithTable(table)))) return -2;
  if (!map.WritePixel(0, 0, colour)) return -1;
  return map.PixelArea()[0];
}

TEST(BitmapPalette, WriteStoresTheNearestEntryBySquaredDistance) {
  struct Case {
    std::string name;
    std::vector<Colour> table;
    Colour colour;
    int index;
  };
  const std::vector<Case> cases = {
      {"red 128 is nearer red than black", {0x000000, 0x0000FF, 0x00FF00, 0xFFFFFF}, 0x000080, 1},
      {"red 127 is nearer black than red", {0x000000, 0x0000FF, 0x00FF00, 0xFFFFFF}, 0x00007F, 0},
      {"grey 0x808080 is nearer white", {0x000000, 0xFFFFFF}, 0x808080, 1},
      {"grey 0x7F7F7F is nearer black", {0x000000, 0xFFFFFF}, 0x7F7F7F, 0},
      // Squared: (10,10,0) is 200 from black, (0,0,16) is 256; a sum of
      // differences would pick the second (20 against 16).
      {"squared, not summed", {Rgb(0, 0, 16), Rgb(10, 10, 0)}, 0x000000, 1},
      // Squared: (12,0,0) is 144, (9,9,9) is 243; the largest difference
      // would pick the second (12 against 9).
      {"squared, not the largest channel", {Rgb(9, 9, 9), Rgb(12, 0, 0)}, 0x000000, 1},
      {"all three channels count", {Rgb(0, 0, 200), Rgb(0, 200, 0), Rgb(200, 0, 0)}, Rgb(10, 190, 20), 1},
      {"pure red in a black-and-white table is black", {0x000000, 0xFFFFFF}, 0x0000FF, 0},
      {"pure red in a white-and-black table is black", {0xFFFFFF, 0x000000}, 0x0000FF, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StoredIndex(c.table, c.colour), c.index);
  }
}

TEST(BitmapPalette, TiesGoToTheLowestIndex) {
  struct Case {
    std::string name;
    std::vector<Colour> table;
    Colour colour;
    int index;
  };
  const std::vector<Case> cases = {
      {"equidistant red levels", {Rgb(0x10, 0, 0), Rgb(0x30, 0, 0)}, Rgb(0x20, 0, 0), 0},
      {"equidistant red levels, reversed", {Rgb(0x30, 0, 0), Rgb(0x10, 0, 0)}, Rgb(0x20, 0, 0), 0},
      {"equidistant on different channels", {Rgb(0, 5, 0), Rgb(0, 0, 5), Rgb(5, 0, 0)}, 0x000000, 0},
      {"later of two equal entries loses", {0x808080, 0x123456, 0x123456}, 0x123450, 1},
      {"duplicate exact entries", {0x000000, 0x00FF00, 0xFFFFFF, 0x00FF00}, 0x00FF00, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(StoredIndex(c.table, c.colour), c.index);
  }
}

TEST(BitmapPalette, AnEntryEqualToTheColourIsAlwaysChosen) {
  const std::vector<Colour> table = DistinctTable(256);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(EightBitWithTable(table, 1))));
  for (std::size_t i = 0; i < 256; ++i) {
    ASSERT_TRUE(map.WritePixel(0, 0, table[i]));
    ASSERT_EQ(std::size_t{map.PixelArea()[0]}, i);
    ASSERT_EQ(map.ReadPixel(0, 0), table[i]);
  }
}

TEST(BitmapPalette, BitsTwentyFourToThirtyOneOfTheColourAreIgnored) {
  const std::vector<Colour> table = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0x808080};
  for (Colour c : {0x000000u, 0x0000FFu, 0x00FF00u, 0xFF0000u, 0xFFFFFFu, 0x123456u, 0x7F7F7Fu}) {
    for (Colour high : {0x01000000u, 0x80000000u, 0xFF000000u}) {
      SCOPED_TRACE(c | high);
      EXPECT_EQ(StoredIndex(table, c | high), StoredIndex(table, c));
    }
  }
}

TEST(BitmapPalette, ReadAfterAWriteAnswersTheEntryNotTheColourWritten) {
  testbmp::Image image(8, 1, 1);
  image.palette = {0x000000, 0xFFFFFF};
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(image))));
  ASSERT_TRUE(map.WritePixel(0, 0, 0xF0F0F0));
  EXPECT_EQ(map.ReadPixel(0, 0), 0xFFFFFFu);
  ASSERT_TRUE(map.WritePixel(1, 0, 255));
  EXPECT_EQ(map.ReadPixel(1, 0), 0u);
  ASSERT_TRUE(map.WritePixel(2, 0, 0x101010));
  EXPECT_EQ(map.ReadPixel(2, 0), 0u);
}

TEST(BitmapPalette, SixteenEntryTableOnAnEightBitImageStoresIndicesBelowSixteen) {
  std::vector<Colour> table;
  for (std::uint32_t i = 0; i < 16; ++i) table.push_back(Rgb(i * 16, i * 16, i * 16));
  testbmp::Image image(16, 1, 8);
  image.palette = table;
  const Bytes file = testbmp::Write(image);
  ASSERT_EQ(testbmp::GetU32(file, testbmp::field::biClrUsed), 16u);
  ASSERT_EQ(testbmp::GetU32(file, 10), 54u + 64u);
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.ColourCount(), 16u);
  const Colour colours[] = {0xFFFFFF, 0x000000, 0x0000FF, 0xFF0000, 0x808080, 0xF0F0F0, 0x7F7F7F, 0xEEEEEE};
  for (std::int32_t x = 0; x < 8; ++x) {
    ASSERT_TRUE(map.WritePixel(x, 0, colours[x]));
    EXPECT_LT(map.PixelArea()[x], 16);
  }
  EXPECT_EQ(map.PixelArea()[0], 15);  // white becomes the lightest grey
  EXPECT_EQ(map.ReadPixel(0, 0), 0xF0F0F0u);
  EXPECT_EQ(map.PixelArea()[1], 0);
}

TEST(BitmapPalette, NearestIndexThatDoesNotFitTheDepthFailsAndStoresNothing) {
  struct Case {
    std::string name;
    std::uint16_t bits;
    std::vector<Colour> table;
    Colour colour;
    bool stored;
  };
  std::vector<Colour> seventeen = DistinctTable(16);
  seventeen.push_back(0xABCDEF);
  const std::vector<Case> cases = {
      {"1 bit, entry 2", 1, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, 0x0000FF, false},
      {"1 bit, entry 3", 1, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, 0x00FF00, false},
      {"1 bit, near entry 2", 1, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, 0x1010F0, false},
      {"1 bit, entry 0", 1, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, 0x000000, true},
      {"1 bit, entry 1", 1, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, 0xFFFFFF, true},
      {"4 bits, entry 16", 4, seventeen, 0xABCDEF, false},
      {"4 bits, entry 15", 4, seventeen, seventeen[15], true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testbmp::Image image(8, 8, c.bits);
    image.palette = c.table;
    image.at(0, 0) = 1;
    位图 map;
    ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 200))));
    ASSERT_EQ(map.ColourCount(), c.table.size());
    const Bytes before = Area(map);
    const Colour was = map.ReadPixel(0, 0);
    EXPECT_EQ(map.WritePixel(0, 0, c.colour), c.stored);
    EXPECT_EQ(Text(map), c.stored ? "" : kBadIndex);
    if (!c.stored) {
      EXPECT_EQ(Area(map), before);
      EXPECT_EQ(map.ReadPixel(0, 0), was);
      // The palette stays usable: a colour whose index fits is stored.
      EXPECT_TRUE(map.WritePixel(0, 0, c.table[0]));
      EXPECT_EQ(map.ReadPixel(0, 0), c.table[0]);
    }
  }
}

TEST(BitmapPalette, OnlyTheFirst256EntriesTakePart) {
  // biClrUsed 300 on an 8-bit image: entry 280 equals the colour written but
  // cannot be stored, so the nearest of entries 0..255 is.
  std::vector<Colour> table(300, 0x000000);
  table[10] = 0x0000F0;
  table[280] = 0x0000FF;
  testbmp::Image image(1, 1, 8);
  image.palette = table;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 1300))));
  ASSERT_EQ(map.ColourCount(), 300u);
  ASSERT_TRUE(map.WritePixel(0, 0, 0x0000FF));
  EXPECT_EQ(map.PixelArea()[0], 10);
  EXPECT_EQ(map.ReadPixel(0, 0), 0x0000F0u);
}

TEST(BitmapPalette, IndexNotBelowTheColourCountReadsAsZero) {
  struct Case {
    std::string name;
    std::uint16_t bits;
    std::size_t entries;
    std::uint32_t raw;
  };
  const Case cases[] = {
      {"1 bit, 1 entry, bit set", 1, 1, 1},  {"4 bits, 3 entries, nibble 3", 4, 3, 3},
      {"4 bits, 3 entries, nibble 15", 4, 3, 15}, {"8 bits, 2 entries, byte 2", 8, 2, 2},
      {"8 bits, 2 entries, byte 255", 8, 2, 255},  {"8 bits, 16 entries, byte 16", 8, 16, 16},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testbmp::Image image(2, 1, c.bits);
    image.palette.assign(c.entries, 0xFFFFFF);
    image.at(0, 0) = c.raw;
    位图 map;
    ASSERT_TRUE(map.载入数据(View(Padded(testbmp::Write(image), 64))));
    ASSERT_EQ(map.ColourCount(), c.entries);
    EXPECT_EQ(map.ReadPixel(0, 0), 0u);
    EXPECT_EQ(Text(map), "");
    EXPECT_EQ(map.ReadPixel(1, 0), 0xFFFFFFu);  // index 0, in the table
  }
}

TEST(BitmapPalette, IndexBeyondASmallTableReadsAsZeroAfterALargerTableWasLoaded) {
  // The same object first holds a full 256-entry white table; the next image's
  // two-entry table must not let index 5 reach the earlier entries.
  testbmp::Image large(1, 1, 8);
  large.palette.assign(256, 0xFFFFFF);
  testbmp::Image small(2, 1, 8);
  small.palette = {0x123456, 0x654321};
  small.at(0, 0) = 5;
  small.at(1, 0) = 1;
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(large))));
  ASSERT_EQ(map.ReadPixel(0, 0), 0xFFFFFFu);
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(small))));
  EXPECT_EQ(map.ReadPixel(0, 0), 0u);
  EXPECT_EQ(map.ReadPixel(1, 0), 0x654321u);
}

TEST(BitmapPalette, EachLoadUsesItsOwnTable) {
  testbmp::Image first(8, 1, 1);
  first.palette = {0x000000, 0xFFFFFF};
  testbmp::Image second(8, 1, 1);
  second.palette = {0xFFFFFF, 0x000000};
  位图 map;
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(first))));
  ASSERT_TRUE(map.WritePixel(0, 0, 0xFFFFFF));
  EXPECT_EQ(map.PixelArea()[0], 0x80);
  ASSERT_TRUE(map.载入数据(View(testbmp::Write(second))));
  ASSERT_TRUE(map.WritePixel(0, 0, 0xFFFFFF));
  EXPECT_EQ(map.PixelArea()[0], 0x00);
  ASSERT_TRUE(map.WritePixel(1, 0, 0x000000));
  EXPECT_EQ(map.PixelArea()[0], 0x40);
  EXPECT_EQ(map.ReadPixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(map.ReadPixel(1, 0), 0u);
}

// ---------------------------------------------------------------------------
// Pixel areas that do not hold every pixel: such a pixel fails like a
// position outside the picture, and nothing outside the area is touched.

struct PartialCase {
  std::string name;
  Bytes file;
  std::vector<std::pair<std::int32_t, std::int32_t>> addressable;
  std::vector<std::pair<std::int32_t, std::int32_t>> unaddressable;
};

std::vector<PartialCase> PartialAreas() {
  std::vector<PartialCase> cases;
  const Bytes two = With32(TwoByTwo24(), 2, 0);  // bfSize 0, so that cutting the file keeps bfSize legal
  // y = 1 is stored first (54..61), y = 0 second (62..69).
  cases.push_back({"2x2 24-bit cut to 66 bytes", Truncated(two, 66), {{0, 1}, {1, 1}, {0, 0}}, {{1, 0}}});
  cases.push_back({"2x2 24-bit cut to 64 bytes", Truncated(two, 64), {{0, 1}, {1, 1}}, {{0, 0}, {1, 0}}});
  cases.push_back({"2x2 24-bit cut to 65 bytes", Truncated(two, 65), {{0, 1}, {1, 1}, {0, 0}}, {{1, 0}}});
  cases.push_back({"2x2 24-bit cut to 56 bytes", Truncated(two, 56), {}, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}});
  cases.push_back({"2x2 24-bit cut to 60 bytes", Truncated(two, 60), {{0, 1}, {1, 1}}, {{0, 0}, {1, 0}}});
  {
    // One pixel byte: enough for an 8-bit pixel, not for a 24-bit one.
    Bytes eight = OnePixel(8);
    eight = Truncated(With32(With32(eight, 2, 0), 10, 1077), 1078);
    cases.push_back({"8-bit 1x1 with a 1-byte area", eight, {{0, 0}}, {}});
    const Bytes b24 = With32(testbmp::Write(testbmp::Image(1, 1, 24)), 10, 57);
    cases.push_back({"24-bit 1x1 with a 1-byte area", b24, {}, {{0, 0}}});
    const Bytes b32 = With32(testbmp::Write(testbmp::Image(1, 1, 32)), 10, 55);
    cases.push_back({"32-bit 1x1 with a 3-byte area", b32, {}, {{0, 0}}});
    const Bytes b16 = With32(testbmp::Write(testbmp::Image(2, 1, 16)), 10, 55);
    cases.push_back({"16-bit 2x1 with a 3-byte area", b16, {{0, 0}}, {{1, 0}}});
  }
  for (const std::uint16_t bits : kDepths) {
    testbmp::Image image(3, 2, bits);
    if (bits <= 8) image.palette = DistinctTable(std::size_t{1} << bits);
    const Bytes file = With16(Padded(testbmp::Write(image), 1200), testbmp::field::biPlanes, 0);
    cases.push_back({std::to_string(bits) + "-bit with biPlanes 0",
                     file,
                     {},
                     {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}}});
  }
  {
    // biPlanes 2 on a 24-bit image one pixel wide: row size 8, not 4. The
    // standard file holds 8 pixel bytes: only the first stored row (y = 1).
    testbmp::Image image(1, 2, 24);
    const Bytes file = With16(testbmp::Write(image), testbmp::field::biPlanes, 2);
    cases.push_back({"24-bit 1x2 with biPlanes 2", file, {{0, 1}}, {{0, 0}}});
    // With 12 pixel bytes the second stored row starts at 8: its 3 bytes fit.
    cases.push_back({"24-bit 1x2 with biPlanes 2, 12 bytes", Padded(file, 66), {{0, 1}, {0, 0}}, {}});
    cases.push_back({"24-bit 1x2 with biPlanes 2, 10 bytes", Padded(file, 64), {{0, 1}}, {{0, 0}}});
  }
  {
    // biPlanes 3 on an 8-bit image three pixels wide: row size 12, not 4.
    testbmp::Image image(3, 3, 8);
    image.palette = DistinctTable(256);
    const Bytes file = With16(testbmp::Write(image), testbmp::field::biPlanes, 3);  // 12 pixel bytes
    cases.push_back({"8-bit 3x3 with biPlanes 3", file, {{0, 2}, {1, 2}, {2, 2}}, {{0, 1}, {2, 1}, {0, 0}, {2, 0}}});
    cases.push_back({"8-bit 3x3 with biPlanes 3, 14 bytes", Padded(file, file.size() + 2),
                     {{0, 2}, {1, 2}, {2, 2}, {0, 1}, {1, 1}}, {{2, 1}, {0, 0}}});
  }
  {
    // biPlanes 3 on a 1-bit image twelve pixels wide: row size
    // (36 + 31) / 32 x 4 = 8, not 4; the standard file holds 8 pixel bytes.
    testbmp::Image image(12, 2, 1);
    image.palette = {0x000000, 0xFFFFFF};
    const Bytes file = With16(testbmp::Write(image), testbmp::field::biPlanes, 3);
    cases.push_back({"1-bit 12x2 with biPlanes 3", file, {{0, 1}, {11, 1}}, {{0, 0}, {11, 0}}});
    cases.push_back({"1-bit 12x2 with biPlanes 3, 9 bytes", Padded(file, file.size() + 1),
                     {{0, 1}, {11, 1}, {0, 0}, {7, 0}}, {{8, 0}, {11, 0}}});
  }
  {
    // A row size far beyond the data: only the first stored row's first pixels.
    testbmp::Image image(2, 2, 32);
    Bytes file = With32(testbmp::Write(image), testbmp::field::biWidth, 0x7FFFFFFF);
    file = With16(file, testbmp::field::biPlanes, 0xFFFF);
    cases.push_back({"32-bit, width 2^31 - 1, biPlanes 65535", file, {{0, 1}, {1, 1}, {3, 1}},
                     {{0, 0}, {4, 1}, {0x7FFFFFFE, 1}, {0x7FFFFFFE, 0}, {1 << 20, 1}}});
    Bytes tall = With32(With32(testbmp::Write(image), testbmp::field::biHeight, 0x7FFFFFFF), testbmp::field::biWidth,
                        0x7FFFFFFF);
    cases.push_back({"32-bit, 2^31 - 1 by 2^31 - 1", tall, {{0, 0x7FFFFFFE}, {3, 0x7FFFFFFE}},
                     {{0, 0}, {4, 0x7FFFFFFE}, {0, 0x7FFFFFFD}, {0x7FFFFFFE, 0x7FFFFFFE}}});
  }
  return cases;
}

TEST(BitmapPartialArea, PixelsBeyondTheLoadedBytesFailAsOutOfBounds) {
  for (const PartialCase& c : PartialAreas()) {
    SCOPED_TRACE(c.name);
    位图 map;
    ASSERT_TRUE(map.载入数据(View(c.file)));
    const Bytes before = Area(map);
    for (auto [x, y] : c.unaddressable) {
      SCOPED_TRACE("unaddressable (" + std::to_string(x) + ", " + std::to_string(y) + ")");
      EXPECT_EQ(map.ReadPixel(x, y), 0u);
      EXPECT_EQ(Text(map), kOutOfBounds);
      EXPECT_FALSE(map.WritePixel(x, y, 0xFFFFFF));
      EXPECT_EQ(Text(map), kOutOfBounds);
      EXPECT_FALSE(map.WritePixel(x, y, 0));
      EXPECT_EQ(Text(map), kOutOfBounds);
    }
    EXPECT_EQ(Area(map), before);
    for (auto [x, y] : c.addressable) {
      SCOPED_TRACE("addressable (" + std::to_string(x) + ", " + std::to_string(y) + ")");
      map.ReadPixel(x, y);
      EXPECT_EQ(Text(map), "");
      const Colour c0 = map.Header().biBitCount <= 8 ? map.TableColour(0) : 0;
      EXPECT_TRUE(map.WritePixel(x, y, c0));
      EXPECT_EQ(Text(map), "");
      EXPECT_EQ(map.ReadPixel(x, y), c0);
    }
  }
}

TEST(BitmapPartialArea, AddressedBytesFollowThePlanesFactorInTheRowSize) {
  // 24-bit, 1 x 2, biPlanes 2: row size 8, so y = 0 (stored second) is the
  // 3 bytes at pixel-area offset 8.
  testbmp::Image image(1, 2, 24);
  Bytes file = Padded(With16(testbmp::Write(image), testbmp::field::biPlanes, 2), 66);
  file[54 + 8] = 0x01;
  file[54 + 9] = 0x02;
  file[54 + 10] = 0x03;
  file[54 + 4] = 0xEE;  // where a row size of 4 would put it
  位图 map;
  ASSERT_TRUE(map.载入数据(View(file)));
  EXPECT_EQ(map.Geometry().rowSize(), 8u);
  EXPECT_EQ(map.ReadPixel(0, 0), Rgb(0x03, 0x02, 0x01));
}

// ---------------------------------------------------------------------------
// The copying load and the adopting load answer the same

std::vector<std::pair<std::string, Bytes>> Corpus() {
  std::vector<std::pair<std::string, Bytes>> files;
  for (const DepthCase& d : kAllDepths) files.emplace_back(Describe(d), Padded(testbmp::Write(Pattern(d)), 1100));
  for (PartialCase& c : PartialAreas()) files.emplace_back(c.name, std::move(c.file));
  files.emplace_back("2x2 24-bit", TwoByTwo24());
  files.emplace_back("bfOffBits 0", With32(TwoByTwo24(), 10, 0));
  files.emplace_back("bfOffBits 14", With32(TwoByTwo24(), 10, 14));
  files.emplace_back("negative height", With32(TwoByTwo24(), testbmp::field::biHeight, 0xFFFFFFFEu));
  files.emplace_back("compressed", With32(TwoByTwo24(), testbmp::field::biCompression, 1));
  files.emplace_back("header 108", With32(TwoByTwo24(), 14, 108));
  files.emplace_back("53 bytes", Truncated(TwoByTwo24(), 53));
  files.emplace_back("empty", Bytes());
  {
    testbmp::Image image(2, 1, 8);
    image.palette = {0x000000, 0xFFFFFF};
    image.at(1, 0) = 7;
    files.emplace_back("index beyond the table", testbmp::Write(image));
  }
  return files;
}

TEST(BitmapAdoptingLoad, AnswersExactlyAsTheCopyingLoad) {
  for (const auto& [name, file] : Corpus()) {
    SCOPED_TRACE(name);
    位图 copied;
    位图 adopted;
    const bool a = copied.载入数据(View(file));
    const bool b = adopted.载入数据(ToSequence(file));
    ASSERT_EQ(a, b);
    EXPECT_EQ(Text(copied), Text(adopted));
    const std::int32_t w = a ? std::min(copied.Header().biWidth, 8) : 2;
    const std::int32_t h = a ? std::min(copied.Header().biHeight, 8) : 2;
    const auto compare = [&](const char* when) {
      SCOPED_TRACE(when);
      for (std::int32_t y = -2; y < h + 2; ++y) {
        for (std::int32_t x = -2; x < w + 2; ++x) {
          ASSERT_EQ(copied.ReadPixel(x, y), adopted.ReadPixel(x, y)) << "(" << x << ", " << y << ")";
          ASSERT_EQ(Text(copied), Text(adopted));
        }
      }
    };
    compare("before writing");
    for (std::int32_t y = -1; y < h + 1; ++y) {
      for (std::int32_t x = -1; x < w + 1; ++x) {
        const Colour c = (x + y) % 2 == 0 ? 0xFFFFFFu : 255u;
        ASSERT_EQ(copied.WritePixel(x, y, c), adopted.WritePixel(x, y, c));
        ASSERT_EQ(Text(copied), Text(adopted));
      }
    }
    compare("after writing");
  }
}

}  // namespace
