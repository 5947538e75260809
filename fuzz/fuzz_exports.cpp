// Fuzz target for the two searches, called the way the exports call them.
//
// Input: the image bytes followed by a 17-byte trailer (an input shorter than
// the trailer is all image, with control 0 and coordinates 0):
//
//   control  1 byte   bit 0: 0 path search, 1 ore search
//                     bit 1: coordinates are the raw 32-bit values; otherwise
//                            each is the signed low byte (-128..127), which
//                            keeps starts and goals near small pictures
//                     bit 2: a second call takes the first call's result as
//                            its image (bit 3 picks that call's search)
//                     bit 4: the first call is repeated on the same bytes and
//                            must give the same result
//   a, b, c, d  4 bytes each, little-endian: startX, startY, goalX, goalY
//               (the ore search uses a and b)
//
// Every result is checked against what any correct search must hand back,
// using a freshly decoded copy of the image as the oracle for pixel colours;
// on small pictures it must also equal, byte for byte, the result of the
// literal step-by-step reference searches of the test suite.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <span>
#include <utility>
#include <vector>

#include "bitmap/bitmap.h"
#include "fuzz_input.h"
#include "search/ore_search.h"
#include "search/path_search.h"
#include "support/reference_search.h"

namespace {

using gridseek::Colour;

constexpr std::size_t kTrailer = 17;
// Pictures up to this many cells are also run through the reference, whose
// open list is a plain vector (quadratic time).
constexpr std::uint64_t kReferenceCells = 1024;
constexpr Colour kWhite = 0xFFFFFF;

// Neighbour offsets in the searches' fixed order; index + 1 is the ore
// search's direction code.
constexpr int kDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
constexpr int kDy[8] = {1, 1, 1, 0, -1, -1, -1, 0};

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "gridseek fuzz: invariant broken: %s\n", what);
  std::abort();
}

std::int32_t Wrap(std::int64_t v) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(v & 0xFFFFFFFF)); }
std::int32_t Step(std::int32_t v, int d) { return Wrap(std::int64_t{v} + d); }

std::uint32_t Word(const std::uint8_t* r, std::size_t at) {
  return static_cast<std::uint32_t>(r[at]) | static_cast<std::uint32_t>(r[at + 1]) << 8;
}
std::uint32_t Low16(std::int32_t v) { return static_cast<std::uint32_t>(v) & 0xFFFF; }
int Delta16(std::uint32_t to, std::uint32_t from) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>((to - from) & 0xFFFF));
}

// A copy of a call's result, and the caller variables it was handed back in.
struct Result {
  std::vector<std::uint8_t> bytes;
  std::intptr_t p = 0;
  std::intptr_t q = 0;
};

// Reads the caller variables after a call: address 0 exactly when empty.
Result Collect(std::intptr_t p, std::intptr_t q) {
  Check(q >= 0, "negative result count");
  Check((p == 0) == (q == 0), "empty result not handed back as address 0, count 0");
  Result r;
  r.p = p;
  r.q = q;
  if (q > 0) {
    const auto* b = reinterpret_cast<const std::uint8_t*>(p);
    r.bytes.assign(b, b + q);
  }
  return r;
}

Result CallPath(std::intptr_t p, std::intptr_t q, std::int32_t sx, std::int32_t sy, std::int32_t gx,
                std::int32_t gy) {
  gridseek::RunPathSearch(&p, &q, sx, sy, gx, gy);
  return Collect(p, q);
}

Result CallOre(std::intptr_t p, std::intptr_t q, std::int32_t x, std::int32_t y) {
  gridseek::RunOreSearch(&p, &q, x, y);
  return Collect(p, q);
}

Result Call(bool ore, std::intptr_t p, std::intptr_t q, const std::int32_t* c) {
  return ore ? CallOre(p, q, c[0], c[1]) : CallPath(p, q, c[0], c[1], c[2], c[3]);
}

void CheckPath(gridseek::位图& map, const Result& r, std::int32_t sx, std::int32_t sy, std::int32_t gx,
               std::int32_t gy) {
  const auto& b = r.bytes;
  const bool same = sx == gx && sy == gy;
  if (same) Check(b.size() == 8, "start equal to goal must give the start twice");
  if (b.empty()) return;
  Check(b.size() % 4 == 0 && b.size() >= 8, "path record length");
  Check(Word(b.data(), 0) == Low16(sx) && Word(b.data(), 2) == Low16(sy), "path does not begin at the start");
  if (same) {
    Check(Word(b.data(), 4) == Low16(sx) && Word(b.data(), 6) == Low16(sy), "start-equals-goal record");
    return;
  }
  // Follow the path from the start with 32-bit coordinates: every step is a
  // king's move onto a white cell that the path has not visited before.
  std::int32_t x = sx, y = sy;
  std::set<std::uint64_t> seen{static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32 |
                               static_cast<std::uint32_t>(y)};
  for (std::size_t at = 4; at < b.size(); at += 4) {
    const int dx = Delta16(Word(b.data(), at), Low16(x));
    const int dy = Delta16(Word(b.data(), at + 2), Low16(y));
    Check(dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx != 0 || dy != 0), "path step is no king's move");
    x = Step(x, dx);
    y = Step(y, dy);
    Check(map.ReadPixel(x, y) == kWhite, "path crosses a cell that is not white");
    Check(seen.insert(static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32 |
                      static_cast<std::uint32_t>(y))
              .second,
          "path visits a cell twice");
  }
  Check(x == gx && y == gy, "path does not end at the goal");
}

void CheckOre(gridseek::位图& map, const Result& r, std::int32_t sx, std::int32_t sy) {
  const auto& b = r.bytes;
  Check(b.empty() || b.size() == 6, "ore record length");

  // The first expansion is fully determined by the unpainted image up to the
  // first white neighbour: walls are skipped, a black neighbour is the hit.
  for (int code = 1; code <= 8; ++code) {
    const Colour c = map.ReadPixel(Step(sx, kDx[code - 1]), Step(sy, kDy[code - 1]));
    if (c == kWhite) break;
    if (c == 0) {
      Check(b.size() == 6 && Word(b.data(), 0) == Low16(sx) && Word(b.data(), 2) == Low16(sy) &&
                Word(b.data(), 4) == static_cast<std::uint32_t>(code),
            "start cell with a black neighbour before any white one not reported at once");
      return;
    }
    if (code == 8) Check(b.empty(), "start walled in by non-black cells gives a hit");
  }
  if (b.empty()) return;
  const std::uint32_t code = Word(b.data(), 4);
  Check(code >= 1 && code <= 8, "direction code out of 1..8");

  // Where the reported cell can be told apart exactly: the start itself, or
  // a flooded cell inside a picture whose coordinates fit 16 bits. Painting
  // a palette image can turn a white cell into one that reads 0, so the
  // black neighbour is checked only for direct-colour images.
  std::int32_t x = sx, y = sy;
  const bool atStart = Word(b.data(), 0) == Low16(sx) && Word(b.data(), 2) == Low16(sy);
  if (!atStart) {
    const auto& g = map.Geometry();
    if (g.width() > 0x8000 || g.height() > 0x8000) return;
    x = static_cast<std::int32_t>(Word(b.data(), 0));
    y = static_cast<std::int32_t>(Word(b.data(), 2));
    Check(map.ReadPixel(x, y) == kWhite, "reported cell is neither the start nor a white cell");
  }
  if (map.Geometry().bitsPerPixel() >= 16) {
    const int i = static_cast<int>(code) - 1;
    Check(map.ReadPixel(Step(x, kDx[i]), Step(y, kDy[i])) == 0, "reported neighbour does not read black");
  }
}

std::int32_t Coordinate(const std::uint8_t* t, bool raw) {
  const std::uint32_t v = static_cast<std::uint32_t>(t[0]) | static_cast<std::uint32_t>(t[1]) << 8 |
                          static_cast<std::uint32_t>(t[2]) << 16 | static_cast<std::uint32_t>(t[3]) << 24;
  return raw ? static_cast<std::int32_t>(v) : static_cast<std::int8_t>(t[0]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::size_t imageSize = size;
  std::uint8_t control = 0;
  std::int32_t c[4] = {0, 0, 0, 0};
  if (size >= kTrailer) {
    imageSize = size - kTrailer;
    const std::uint8_t* t = data + imageSize;
    control = t[0];
    for (int i = 0; i < 4; ++i) c[i] = Coordinate(t + 1 + 4 * i, (control & 2) != 0);
  }
  const gridseek_fuzz::Dimensions dims = gridseek_fuzz::DimensionsOf(data, imageSize);
  if (!gridseek_fuzz::WithinBounds(dims)) return -1;

  gridseek::位图 map;
  map.载入数据(std::span<const std::uint8_t>(data, imageSize));

  const bool ore = (control & 1) != 0;
  const auto address = reinterpret_cast<std::intptr_t>(data);
  const auto count = static_cast<std::intptr_t>(imageSize);
  Result last = Call(ore, address, count, c);
  if (ore) {
    CheckOre(map, last, c[0], c[1]);
  } else {
    CheckPath(map, last, c[0], c[1], c[2], c[3]);
  }

  if (dims.columns * dims.rows <= kReferenceCells) {
    const std::span<const std::uint8_t> image(data, imageSize);
    const reference::Bytes expected =
        ore ? reference::FindOre(image, c[0], c[1]) : reference::FindPath(image, c[0], c[1], c[2], c[3]);
    Check(expected == last.bytes, "result differs from the reference search");
  }

  if ((control & 16) != 0) {
    Result again = Call(ore, address, count, c);
    Check(again.bytes == last.bytes, "the same call on the same bytes gave another result");
    last = std::move(again);
  }

  if ((control & 4) != 0 && gridseek_fuzz::WithinBounds(gridseek_fuzz::DimensionsOf(last.bytes.data(), last.bytes.size()))) {
    // The previous result, still owned by the library, becomes the image:
    // its bytes must survive until the new call has copied them.
    const Result chained = Call((control & 8) != 0, last.p, last.q, c);
    (void)chained;
  }
  return 0;
}
