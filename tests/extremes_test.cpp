// Inputs at their extremes: coordinates at the ends of the 32-bit range and
// around 2^16, header fields at their limits, the load checks at their
// boundaries, maps whose marks read white, and long runs of calls that must
// leave memory where it was.

#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bitmap/bitmap.h"
#include "support/bmp_writer.h"
#include "support/library_handle.h"
#include "support/reference_search.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kEdgeValues[] = {INT32_MIN, INT32_MIN + 1, -65537, -65536, -65535, -2, -1, 0, 1, 2,
                                        65534,     65535,         65536,  65537,  INT32_MAX - 1, INT32_MAX};

Bytes WhiteMap(std::int32_t w, std::int32_t h, std::uint16_t bits = 24) {
  testbmp::Image image(w, h, bits, bits <= 8 ? 1u : 0xFFFFFFu);
  if (bits <= 8) {
    image.palette = {0x000000, 0xFFFFFF};
    if (bits > 1) image.palette.resize(std::size_t{1} << bits, 0x808080);
  }
  return testbmp::Write(image);
}

std::uint16_t Word(const Bytes& b, std::size_t at) {
  return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

// Checks that a path record is a chain of king's moves from start to goal.
void ExpectPathShape(const Bytes& path, std::int32_t sx, std::int32_t sy, std::int32_t gx, std::int32_t gy) {
  ASSERT_GE(path.size(), 8u);
  ASSERT_EQ(path.size() % 4, 0u);
  EXPECT_EQ(Word(path, 0), static_cast<std::uint16_t>(sx));
  EXPECT_EQ(Word(path, 2), static_cast<std::uint16_t>(sy));
  EXPECT_EQ(Word(path, path.size() - 4), static_cast<std::uint16_t>(gx));
  EXPECT_EQ(Word(path, path.size() - 2), static_cast<std::uint16_t>(gy));
  for (std::size_t at = 4; at < path.size(); at += 4) {
    const int dx = static_cast<std::int16_t>(static_cast<std::uint16_t>(Word(path, at) - Word(path, at - 4)));
    const int dy = static_cast<std::int16_t>(static_cast<std::uint16_t>(Word(path, at + 2) - Word(path, at - 2)));
    ASSERT_TRUE(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx != 0 || dy != 0)) << "step " << at / 4;
  }
}

std::string Name(std::int32_t a, std::int32_t b) { return "(" + std::to_string(a) + "," + std::to_string(b) + ")"; }

// Bytes in use by the allocator, and resident pages of the process.
struct MemoryUse {
  std::size_t heapBytes = 0;
  std::size_t residentBytes = 0;
};

// Whether the resident size tracks the program's own storage. Under
// valgrind it includes the tool's records of every load of the library, and
// under the address sanitizer freed blocks stay in quarantine; there only the
// heap is compared, and the tools themselves check for leaks.
bool ResidentSizeIsMeaningful() {
#if defined(__SANITIZE_ADDRESS__)
  return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  return false;
#endif
#endif
  const char* preload = std::getenv("LD_PRELOAD");
  return preload == nullptr || std::strstr(preload, "vgpreload") == nullptr;
}

MemoryUse MeasureMemory() {
  MemoryUse m;
  m.heapBytes = mallinfo2().uordblks;
  std::ifstream statm("/proc/self/statm");
  std::size_t total = 0, resident = 0;
  statm >> total >> resident;
  m.residentBytes = resident * static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  return m;
}

}  // namespace

// ---------------------------------------------------------------------------
// Coordinates

TEST(ExtremeCoordinates, EveryStartAndGoalAtTheEdgesAgreesWithTheReference) {
  testlib::Library lib;
  const Bytes maps[] = {WhiteMap(3, 3), Bytes{}, WhiteMap(1, 1, 1)};
  for (const Bytes& map : maps) {
    for (std::int32_t sx : kEdgeValues) {
      for (std::int32_t sy : kEdgeValues) {
        SCOPED_TRACE("map of " + std::to_string(map.size()) + " bytes, start " + Name(sx, sy));
        const std::pair<std::int32_t, std::int32_t> goals[] = {{sx, sy}, {0, 0}, {2, 2}, {INT32_MAX, INT32_MIN},
                                                               {65536, 0}};
        for (auto [gx, gy] : goals) {
          EXPECT_EQ(lib.FindPath(map, sx, sy, gx, gy), reference::FindPath(map, sx, sy, gx, gy))
              << "goal " << Name(gx, gy);
        }
        EXPECT_EQ(lib.FindOre(map, sx, sy), reference::FindOre(map, sx, sy));
      }
    }
  }
}

TEST(ExtremeCoordinates, StartAtTheGoalGivesTheWrappedWordsTwice) {
  testlib::Library lib;
  const Bytes map = WhiteMap(3, 3);
  const struct {
    std::int32_t x, y;
    Bytes expected;
  } cases[] = {
      {INT32_MIN, INT32_MAX, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}},
      {65536, -1, {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}},
      {65537, -65537, {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0xFF, 0xFF}},
      {1, 2, {0x01, 0x00, 0x02, 0x00, 0x01, 0x00, 0x02, 0x00}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(lib.FindPath(map, c.x, c.y, c.x, c.y), c.expected) << Name(c.x, c.y);
  }
}

TEST(ExtremeCoordinates, OreSearchOutsideThePictureReportsTheStartWithCode1) {
  testlib::Library lib;
  const Bytes map = WhiteMap(3, 3);
  EXPECT_EQ(lib.FindOre(map, INT32_MAX, INT32_MIN), (Bytes{0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}));
  EXPECT_EQ(lib.FindOre(map, INT32_MIN, INT32_MAX), (Bytes{0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00}));
  EXPECT_EQ(lib.FindOre(Bytes{}, 65537, -1), (Bytes{0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00}));
}

TEST(ExtremeCoordinates, NeighbourSumsWrapAroundTheInt32Range) {
  // A start at INT32_MAX has neighbours at INT32_MIN, far outside: nothing
  // is reachable; and a goal at INT32_MIN is never confused with INT32_MAX+1.
  testlib::Library lib;
  const Bytes map = WhiteMap(3, 3);
  EXPECT_TRUE(lib.FindPath(map, INT32_MAX, 0, INT32_MIN, 0).empty());
  EXPECT_TRUE(lib.FindPath(map, 0, INT32_MAX, 0, INT32_MIN).empty());
  EXPECT_TRUE(lib.FindPath(map, INT32_MIN, 0, INT32_MAX, 0).empty());
}

TEST(ExtremeCoordinates, PathAcrossTheSixteenBitBoundaryWrapsItsWords) {
  // One white row 65540 cells long, at 1 bit per pixel: the path from x = 0
  // to x = 65539 runs straight, and its x words wrap from 65535 to 0.
  testlib::Library lib;
  const std::int32_t width = 65540;
  const Bytes map = WhiteMap(width, 1, 1);
  const Bytes path = lib.FindPath(map, 0, 0, width - 1, 0);
  ASSERT_EQ(path.size(), 4u * static_cast<std::size_t>(width));
  for (std::int32_t i = 0; i < width; ++i) {
    const auto at = 4 * static_cast<std::size_t>(i);
    ASSERT_EQ(Word(path, at), static_cast<std::uint16_t>(i & 0xFFFF)) << "cell " << i;
    ASSERT_EQ(Word(path, at + 2), 0u) << "cell " << i;
  }
  // Starts inside the picture beyond 2^16: codes and words as the reference says.
  for (std::int32_t x : {65535, 65536, 65537, width - 1}) {
    EXPECT_EQ(lib.FindOre(map, x, 0), reference::FindOre(map, x, 0)) << x;
    EXPECT_EQ(lib.FindPath(map, x, 0, x - 3, 0), reference::FindPath(map, x, 0, x - 3, 0)) << x;
  }
}

// ---------------------------------------------------------------------------
// Header fields

namespace {

struct HeaderCase {
  std::string name;
  Bytes file;
};

std::vector<HeaderCase> HeaderExtremes() {
  std::vector<HeaderCase> cases;
  const Bytes white24 = WhiteMap(4, 3);
  const Bytes white8 = WhiteMap(4, 3, 8);
  auto add = [&](const std::string& name, const Bytes& base, std::size_t at, std::uint32_t value, bool zeroSize) {
    Bytes b = base;
    testbmp::PutU32(b, at, value);
    if (zeroSize) testbmp::PutU32(b, testbmp::field::bfSize, 0);
    cases.push_back({name, b});
  };
  using testbmp::field::bfOffBits;
  using testbmp::field::biClrUsed;
  using testbmp::field::biHeight;
  using testbmp::field::biWidth;
  for (std::uint32_t w : {0u, 1u, 2u, 65535u, 65536u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    add("24-bit width " + std::to_string(w), white24, biWidth, w, true);
    add("8-bit width " + std::to_string(w), white8, biWidth, w, true);
  }
  for (std::uint32_t h : {0u, 1u, 2u, 65536u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu}) {
    add("24-bit height " + std::to_string(h), white24, biHeight, h, true);
    add("8-bit height " + std::to_string(h), white8, biHeight, h, true);
  }
  const auto len24 = static_cast<std::uint32_t>(white24.size());
  for (std::uint32_t off : {0u, 1u, 14u, 53u, 54u, len24 - 1, len24, len24 + 1, 0x80000000u, 0xFFFFFFFFu}) {
    add("bfOffBits " + std::to_string(off), white24, bfOffBits, off, false);
  }
  for (std::uint32_t used : {1u, 2u, 255u, 256u, 257u, 0x3FFFFFFFu, 0x40000000u, 0x40000001u, 0x7FFFFFFFu,
                             0xFFFFFFFFu}) {
    add("24-bit biClrUsed " + std::to_string(used), white24, biClrUsed, used, false);
    add("8-bit biClrUsed " + std::to_string(used), white8, biClrUsed, used, false);
  }
  // 12-byte headers: 16-bit width and height at their ends, small files.
  for (std::uint16_t w : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{0xFFFF}}) {
    for (std::uint16_t h : {std::uint16_t{0}, std::uint16_t{1}, std::uint16_t{0xFFFF}}) {
      testbmp::Image image(4, 3, 24, 0xFFFFFF);
      image.coreHeader = true;
      Bytes b = testbmp::Write(image);
      testbmp::PutU16(b, 18, w);
      testbmp::PutU16(b, 20, h);
      testbmp::PutU32(b, testbmp::field::bfSize, 0);
      cases.push_back({"core " + std::to_string(w) + "x" + std::to_string(h), b});
    }
  }
  return cases;
}

}  // namespace

TEST(ExtremeHeaders, SizesOffsetsAndColourCountsAtTheirLimitsGiveTheReferenceResults) {
  testlib::Library lib;
  for (const HeaderCase& c : HeaderExtremes()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(lib.FindPath(c.file, 0, 0, 0, 0).size(), 8u);
    EXPECT_EQ(lib.FindPath(c.file, 0, 0, 3, 2), reference::FindPath(c.file, 0, 0, 3, 2));
    EXPECT_EQ(lib.FindPath(c.file, 3, 0, 0, 2), reference::FindPath(c.file, 3, 0, 0, 2));
    EXPECT_EQ(lib.FindPath(c.file, 0, 0, 70000, 0), reference::FindPath(c.file, 0, 0, 70000, 0));
    EXPECT_EQ(lib.FindOre(c.file, 1, 1), reference::FindOre(c.file, 1, 1));
    EXPECT_EQ(lib.FindOre(c.file, 2, 0), reference::FindOre(c.file, 2, 0));
  }
}

TEST(ExtremeHeaders, EveryLoadCheckAtItsBoundary) {
  const Bytes white24 = WhiteMap(4, 3);  // 54 + 3 rows of 12 bytes = 90
  const Bytes white8 = WhiteMap(4, 3, 8);  // 54 + 1024 + 12 = 1090
  testbmp::Image core8(4, 3, 8, 1);
  core8.coreHeader = true;
  core8.palette.assign(256, 0xFFFFFF);
  const Bytes white8core = testbmp::Write(core8);  // 26 + 768 + 12 = 806
  auto patched = [](Bytes b, std::size_t at, std::uint32_t v) {
    testbmp::PutU32(b, at, v);
    return b;
  };
  auto cut = [](const Bytes& b, std::size_t n) {
    Bytes c(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    testbmp::PutU32(c, testbmp::field::bfSize, 0);
    return c;
  };
  Bytes white54 = cut(white24, 54);
  testbmp::PutU32(white54, testbmp::field::bfOffBits, 53);
  Bytes padded8core = white8core;
  padded8core.resize(1046, 0);
  const struct {
    const char* name;
    Bytes file;
    bool loads;
  } cases[] = {
      {"53 bytes", Bytes(white24.begin(), white24.begin() + 53), false},
      {"54 bytes, one pixel byte", white54, true},
      {"bfSize = length", white24, true},
      {"bfSize = length + 1", patched(white24, testbmp::field::bfSize, static_cast<std::uint32_t>(white24.size() + 1)), false},
      {"bfSize = 0", patched(white24, testbmp::field::bfSize, 0), true},
      {"bfOffBits = length - 1", patched(white24, testbmp::field::bfOffBits, static_cast<std::uint32_t>(white24.size() - 1)), true},
      {"bfOffBits = length", patched(white24, testbmp::field::bfOffBits, static_cast<std::uint32_t>(white24.size())), false},
      {"bfOffBits = 0", patched(white24, testbmp::field::bfOffBits, 0), true},
      {"8-bit, 40-byte header, 1078 bytes", cut(white8, 1078), false},  // bfOffBits is 1078: no pixel byte
      {"8-bit, 40-byte header, 1077 bytes", cut(white8, 1077), false},
      {"8-bit, 40-byte header, 1079 bytes", cut(white8, 1079), true},
      {"8-bit, 12-byte header, 1045 bytes", Bytes(padded8core.begin(), padded8core.end() - 1), false},
      {"8-bit, 12-byte header, 1046 bytes", padded8core, true},
      {"8-bit, 12-byte header, 806 bytes", white8core, false},
      {"header size 39", patched(white24, testbmp::field::biSize, 39), false},
      {"header size 41", patched(white24, testbmp::field::biSize, 41), false},
      {"header size 11", patched(white24, testbmp::field::biSize, 11), false},
      {"header size 13", patched(white24, testbmp::field::biSize, 13), false},
      {"biClrUsed fills the input exactly", patched(white24, testbmp::field::biClrUsed, 9), true},
      {"biClrUsed one entry too many", patched(white24, testbmp::field::biClrUsed, 10), false},
      {"biCompression 0", white24, true},
      {"biCompression 1", patched(white24, testbmp::field::biCompression, 1), false},
      {"biCompression 0xFFFFFFFF", patched(white24, testbmp::field::biCompression, 0xFFFFFFFF), false},
  };
  for (const auto& c : cases) {
    gridseek::位图 map;
    EXPECT_EQ(map.载入数据(std::span<const std::uint8_t>(c.file)), c.loads) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Termination

TEST(Termination, MarksThatReadWhiteOnALargeMapStillEnd) {
  // Every entry of the colour table is white, so a painted cell still reads
  // white: the searches must remember what they have visited by other means.
  testlib::Library lib;
  const std::int32_t n = 1000;
  for (std::uint16_t bits : {std::uint16_t{1}, std::uint16_t{4}, std::uint16_t{8}}) {
    SCOPED_TRACE(std::to_string(bits) + " bits");
    testbmp::Image image(n, n, bits, 0);
    image.palette.assign(std::size_t{1} << bits, 0xFFFFFF);
    const Bytes map = testbmp::Write(image);

    const Bytes across = lib.FindPath(map, 0, 0, n - 1, n - 1);
    ExpectPathShape(across, 0, 0, n - 1, n - 1);
    const Bytes back = lib.FindPath(map, n - 1, 3, 5, n - 2);
    ExpectPathShape(back, n - 1, 3, 5, n - 2);
    // A goal outside the picture: the whole map is flooded, then nothing.
    EXPECT_TRUE(lib.FindPath(map, n / 2, n / 2, n + 5, n + 5).empty());
    // No pixel reads black: the flood ends at the edge of the picture.
    const Bytes ore = lib.FindOre(map, n / 2, n / 2);
    ASSERT_EQ(ore.size(), 6u);
    EXPECT_GE(Word(ore, 4), 1u);
    EXPECT_LE(Word(ore, 4), 8u);
    const std::uint16_t ox = Word(ore, 0), oy = Word(ore, 2);
    EXPECT_TRUE(ox == 0 || oy == 0 || ox == n - 1 || oy == n - 1) << "ore reported at " << ox << "," << oy;
  }
}

// ---------------------------------------------------------------------------
// Memory over many calls

TEST(RepeatedCalls, ThousandsOfAlternatingCallsLeaveMemoryFlat) {
  testlib::Library lib;
  testbmp::Image image = testbmp::FromText({
      "..........",
      ".####.....",
      ".#..#..B..",
      ".#..####..",
      "..........",
  });
  const Bytes map = testbmp::Write(image);
  const Bytes big = WhiteMap(300, 200);

  // Each call passes on whatever the previous one handed back, as a caller
  // does that reuses its variables; every few calls the map comes back.
  auto run = [&](int calls) {
    std::intptr_t p = 0, q = 0;
    for (int i = 0; i < calls; ++i) {
      if (i % 3 == 0) {
        const Bytes& m = i % 30 == 0 ? big : map;
        p = reinterpret_cast<std::intptr_t>(m.data());
        q = static_cast<std::intptr_t>(m.size());
      }
      if (i % 2 == 0) {
        lib.path()(&p, &q, 0, 0, 9, i % 5);
      } else {
        lib.ore()(&p, &q, 2, 2);
      }
    }
  };
  run(500);  // warm-up: the allocator's pools reach their working size
  const MemoryUse before = MeasureMemory();
  run(5000);
  const MemoryUse after = MeasureMemory();
  EXPECT_LE(after.heapBytes, before.heapBytes + (std::size_t{256} << 10))
      << "heap " << before.heapBytes << " -> " << after.heapBytes;
  if (ResidentSizeIsMeaningful()) {
    EXPECT_LE(after.residentBytes, before.residentBytes + (std::size_t{8} << 20))
        << "resident " << before.residentBytes << " -> " << after.residentBytes;
  }
}

TEST(RepeatedCalls, LoadCallUnloadCyclesLeaveMemoryFlat) {
  const Bytes map = WhiteMap(40, 30);
  auto cycle = [&](int times) {
    for (int i = 0; i < times; ++i) {
      testlib::Library lib;
      const Bytes path = lib.FindPath(map, 0, 0, 39, 29);
      ASSERT_FALSE(path.empty());
      ASSERT_EQ(lib.FindOre(map, 5, 5).size(), 6u);
      // The result is still held when the library is unloaded here.
      std::intptr_t p = reinterpret_cast<std::intptr_t>(map.data());
      std::intptr_t q = static_cast<std::intptr_t>(map.size());
      lib.path()(&p, &q, 1, 1, 30, 20);
      ASSERT_NE(q, 0);
    }
  };
  cycle(20);
  const MemoryUse before = MeasureMemory();
  cycle(300);
  const MemoryUse after = MeasureMemory();
  EXPECT_LE(after.heapBytes, before.heapBytes + (std::size_t{256} << 10))
      << "heap " << before.heapBytes << " -> " << after.heapBytes;
  if (ResidentSizeIsMeaningful()) {
    EXPECT_LE(after.residentBytes, before.residentBytes + (std::size_t{16} << 20))
        << "resident " << before.residentBytes << " -> " << after.residentBytes;
  }
}
