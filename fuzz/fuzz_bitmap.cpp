// Fuzz target for the bitmap component alone: load, then a sequence of pixel
// reads and writes drawn from the input.
//
// Input: a 2-byte little-endian length n, then n image bytes (fewer when the
// input ends first), then operations of 8 bytes each:
//
//   kind    1 byte   bit 0: write (else read)
//                    bits 1-2: colour: 0 the operation's own, 1 white,
//                              2 black, 3 pure red (the searches' marks)
//                    bit 3: coordinates are the raw 32-bit values built from
//                           x and y (x | y << 16); otherwise x and y are
//                           small (signed low bytes)
//                    bit 4: reload the image first (alternating the copying
//                           and the adopting load)
//   x, y    2 bytes each, little-endian
//   colour  3 bytes (red, green, blue), plus bits 5-7 of kind in bits 24-26
//
// Two objects are loaded from the same bytes, one by each load overload, and
// receive the same operations; their answers must agree, and every answer
// must keep the component's invariants.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <span>

#include "bitmap/bitmap.h"
#include "bitmap/messages.h"
#include "common/byte_sequence.h"
#include "fuzz_input.h"

namespace {

using gridseek::Colour;

void Check(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "gridseek fuzz: invariant broken: %s\n", what);
  std::abort();
}

bool Says(const gridseek::位图& map, const char* message) { return std::strcmp(map.errorText(), message) == 0; }

// Loads both objects from the image bytes, one copying and one adopting.
bool LoadBoth(gridseek::位图& copying, gridseek::位图& adopting, std::span<const std::uint8_t> image) {
  const bool a = copying.载入数据(image);
  gridseek::ByteSequence own = gridseek::ByteSequence::Allocate(image.size());
  if (!image.empty()) std::memcpy(own.data(), image.data(), image.size());
  const bool b = adopting.载入数据(std::move(own));
  Check(a == b, "the two load overloads disagree");
  Check(a == copying.HasImage() && b == adopting.HasImage(), "load answer and state disagree");
  Check(a ? copying.errorText()[0] == '\0' : Says(copying, gridseek::messages::kUnsupportedData),
        "load message");
  // Rejections that need nothing but the first bytes.
  if (image.size() < 54 || image[0] != 'B' || image[1] != 'M') Check(!a, "a short or unsigned input loaded");
  if (a) {
    const std::uint32_t bfSize = gridseek_fuzz::U32At(image.data(), image.size(), 2);
    Check(bfSize <= image.size(), "a bfSize beyond the input loaded");
    const std::uint32_t offBits = gridseek_fuzz::U32At(image.data(), image.size(), 10);
    Check(offBits < image.size(), "an input without pixel bytes loaded");
  }
  return a;
}

// True when the colour is one of the table entries a pixel index reaches.
bool InTable(const gridseek::位图& map, Colour c) {
  const std::uint32_t n = map.ColourCount() < 256 ? map.ColourCount() : 256;
  for (std::uint32_t i = 0; i < n; ++i) {
    if (map.TableColour(i) == c) return true;
  }
  return false;
}

// What a palette pixel may answer: a table entry, or 0 for an index that
// has none.
bool IsTableColour(const gridseek::位图& map, Colour c) { return c == 0 || InTable(map, c); }

// What a direct-colour pixel reads after `written` was stored in it.
Colour ReadBack(std::uint32_t bits, Colour written) {
  if (bits == 16) return written & 0xF8F8F8;
  return written & 0xFFFFFF;
}

std::int32_t Small(std::uint8_t v) { return static_cast<std::int8_t>(v); }

// x + d with 32-bit wrap-around, as the searches step.
std::int32_t Step(std::int32_t x, int d) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(d));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return -1;
  std::size_t n = gridseek_fuzz::U16At(data, size, 0);
  if (n > size - 2) n = size - 2;
  const std::span<const std::uint8_t> image(data + 2, n);
  if (!gridseek_fuzz::WithinBounds(gridseek_fuzz::DimensionsOf(image.data(), image.size()))) return -1;

  gridseek::位图 copying;
  gridseek::位图 adopting;
  Check(!copying.HasImage() && copying.ReadPixel(0, 0) == 0 && Says(copying, gridseek::messages::kNoImage),
        "a new object answers as if it held an image");
  bool loaded = LoadBoth(copying, adopting, image);
  bool copyingFirst = true;

  for (std::size_t at = 2 + n; at + 8 <= size; at += 8) {
    const std::uint8_t* op = data + at;
    const std::uint8_t kind = op[0];
    if ((kind & 16) != 0) {
      copyingFirst = !copyingFirst;
      loaded = copyingFirst ? LoadBoth(copying, adopting, image) : LoadBoth(adopting, copying, image);
    }
    std::int32_t x, y;
    if ((kind & 8) != 0) {
      const std::uint32_t raw = static_cast<std::uint32_t>(op[1]) | static_cast<std::uint32_t>(op[2]) << 8 |
                                static_cast<std::uint32_t>(op[3]) << 16 | static_cast<std::uint32_t>(op[4]) << 24;
      x = static_cast<std::int32_t>(raw);
      y = static_cast<std::int32_t>(raw ^ 0x80000000u);
    } else {
      x = Small(op[1]);
      y = Small(op[3]);
    }
    Colour colour = static_cast<Colour>(op[5]) | static_cast<Colour>(op[6]) << 8 | static_cast<Colour>(op[7]) << 16 |
                    static_cast<Colour>(kind >> 5) << 24;
    switch (kind >> 1 & 3) {
      case 1: colour = 0xFFFFFF; break;
      case 2: colour = 0; break;
      case 3: colour = 255; break;
      default: break;
    }

    const Colour before = copying.ReadPixel(x, y);
    Check((before & 0xFF000000u) == 0, "a read has bits 24-31 set");
    Check(adopting.ReadPixel(x, y) == before, "the two load overloads read differently");
    const bool inside = loaded && copying.errorText()[0] == '\0';
    if (!loaded) Check(before == 0 && Says(copying, gridseek::messages::kNoImage), "a read without an image");
    if (loaded && !inside) Check(before == 0 && Says(copying, gridseek::messages::kOutOfBounds), "a failed read");
    if (inside) {
      const auto& g = copying.Geometry();
      Check(x >= 0 && y >= 0 && x < g.width() && y < g.height(), "a read outside the picture succeeded");
      if (g.bitsPerPixel() <= 8) Check(IsTableColour(copying, before), "a palette pixel reads no table colour");
      if (g.bitsPerPixel() == 16) Check((before & 0x070707) == 0, "a 16-bit pixel reads a channel not times 8");
    }
    if ((kind & 1) == 0) continue;

    // Neighbours in the same row share bytes at 1 and 4 bits: a write must
    // leave them as they were.
    const Colour left = copying.ReadPixel(Step(x, -1), y);
    const Colour right = copying.ReadPixel(Step(x, 1), y);
    const bool stored = copying.WritePixel(x, y, colour);
    Check(adopting.WritePixel(x, y, colour) == stored, "the two load overloads write differently");
    const Colour after = copying.ReadPixel(x, y);
    Check(adopting.ReadPixel(x, y) == after, "the two load overloads read back differently");
    if (!inside) {
      Check(!stored, "a write outside the picture succeeded");
    }
    if (!stored) {
      Check(after == before, "a failed write changed its pixel");
    } else {
      Check(inside, "a write succeeded where the read failed");
      const std::uint32_t bits = copying.Geometry().bitsPerPixel();
      if (bits > 8) {
        Check(after == ReadBack(bits, colour), "a direct-colour pixel reads back another colour");
      } else {
        Check(IsTableColour(copying, after), "a palette write reads back no table colour");
        if (InTable(copying, colour & 0xFFFFFF)) {
          // The colour is in the table: the nearest entry is an equal one.
          if (after != (colour & 0xFFFFFF)) {
            std::fprintf(stderr, "write (%d, %d) colour %06x reads back %06x\n", x, y, colour, after);
          }
          Check(after == (colour & 0xFFFFFF), "a palette write of a table colour reads back another colour");
        }
      }
    }
    Check(copying.ReadPixel(Step(x, -1), y) == left && copying.ReadPixel(Step(x, 1), y) == right,
          "a write changed a neighbouring pixel");
  }
  return 0;
}
