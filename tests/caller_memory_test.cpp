// The caller's image is only read, and only within its byte count: every
// image here lies in pages mapped read-only, ending on the last byte of its
// last page, with an inaccessible page right after it. A write to the
// caller's bytes, or a read of one byte past the count, faults.

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_handle.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A copy of some bytes placed so that the byte after the last one is the
// first byte of an inaccessible page; the bytes themselves are read-only.
class GuardedImage {
 public:
  explicit GuardedImage(const Bytes& bytes) : size_(bytes.size()) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const std::size_t dataPages = (size_ + page - 1) / page + (size_ == 0 ? 1 : 0);
    mapped_ = (dataPages + 1) * page;
    void* base = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) throw std::runtime_error("mmap failed");
    base_ = static_cast<std::uint8_t*>(base);
    std::uint8_t* guard = base_ + dataPages * page;
    data_ = guard - size_;
    if (size_ > 0) std::memcpy(data_, bytes.data(), size_);
    if (mprotect(base_, dataPages * page, PROT_READ) != 0 || mprotect(guard, page, PROT_NONE) != 0) {
      munmap(base_, mapped_);
      throw std::runtime_error("mprotect failed");
    }
  }
  ~GuardedImage() { munmap(base_, mapped_); }
  GuardedImage(const GuardedImage&) = delete;
  GuardedImage& operator=(const GuardedImage&) = delete;

  std::intptr_t address() const { return reinterpret_cast<std::intptr_t>(data_); }
  std::intptr_t count() const { return static_cast<std::intptr_t>(size_); }
  Bytes bytes() const { return Bytes(data_, data_ + size_); }

 private:
  std::size_t size_;
  std::size_t mapped_ = 0;
  std::uint8_t* base_ = nullptr;
  std::uint8_t* data_ = nullptr;
};

Bytes Collect(std::intptr_t p, std::intptr_t q) {
  if (p == 0 || q <= 0) return {};
  const auto* b = reinterpret_cast<const std::uint8_t*>(p);
  return Bytes(b, b + q);
}

struct GuardedMap {
  std::string name;
  Bytes file;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// Palette indices used below: 0 black, 1 white, 2 grey, 3 pure red.
std::vector<std::uint32_t> PaletteFor(std::uint16_t bits) {
  std::vector<std::uint32_t> palette = {0x000000, 0xFFFFFF, 0x808080, 0x0000FF};
  if (bits == 1) palette.resize(2);
  if (bits >= 4) palette.resize(std::size_t{1} << bits, 0x404040);
  return palette;
}

// Raw pixel value for a cell kind ('.', '#', 'B') at a depth.
std::uint32_t Raw(char kind, std::uint16_t bits) {
  const std::uint32_t colour = kind == '.' ? 0xFFFFFF : kind == 'B' ? 0 : 0x808080;
  if (bits <= 8) return kind == '.' ? 1u : kind == 'B' ? 0u : (bits == 1 ? 0u : 2u);
  if (bits == 16) return kind == '.' ? 0x7FFFu : kind == 'B' ? 0u : 0x4210u;
  return colour;
}

// A deterministic mix of white, walls and a little black.
char KindAt(std::int32_t x, std::int32_t y, std::uint32_t seed) {
  const std::uint32_t h = (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u) ^ seed;
  const std::uint32_t r = (h * 2654435761u) >> 24;
  return r < 40 ? '#' : r < 46 ? 'B' : '.';
}

std::vector<GuardedMap> Maps() {
  std::vector<GuardedMap> maps;
  const std::uint16_t depths[] = {1, 4, 8, 16, 24, 32};
  const std::pair<std::int32_t, std::int32_t> sizes[] = {{1, 1}, {2, 3}, {7, 5}, {31, 17}, {64, 3}, {5, 40}};
  std::uint32_t seed = 1;
  for (std::uint16_t bits : depths) {
    for (bool core : {false, true}) {
      for (auto [w, h] : sizes) {
        for (bool open : {true, false}) {
          testbmp::Image image(w, h, bits);
          image.coreHeader = core;
          if (bits <= 8) image.palette = PaletteFor(bits);
          for (std::int32_t y = 0; y < h; ++y) {
            for (std::int32_t x = 0; x < w; ++x) image.at(x, y) = Raw(open ? '.' : KindAt(x, y, seed), bits);
          }
          ++seed;
          const std::string name = std::to_string(w) + "x" + std::to_string(h) + "-" + std::to_string(bits) +
                                   "bit" + (core ? "-core" : "") + (open ? "-open" : "-maze");
          Bytes file = testbmp::Write(image);
          maps.push_back({name, file, w, h});
          if (!open) continue;
          // Truncated copies whose last byte still lies on the page's last
          // byte: with bfSize 0 they load with a short pixel area.
          const std::size_t pixelOffset = testbmp::PixelOffset(image);
          for (std::size_t cut : {file.size() - 1, pixelOffset + (file.size() - pixelOffset) / 2, pixelOffset + 1}) {
            if (cut <= pixelOffset || cut >= file.size()) continue;
            Bytes shorter(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(cut));
            maps.push_back({name + "-cut" + std::to_string(cut) + "-kept", shorter, w, h});
            testbmp::PutU32(shorter, testbmp::field::bfSize, 0);
            maps.push_back({name + "-cut" + std::to_string(cut), shorter, w, h});
          }
        }
      }
    }
  }
  // Odd headers on a small open 24-bit map.
  testbmp::Image base(6, 4, 24, 0xFFFFFF);
  const Bytes file = testbmp::Write(base);
  auto patched = [&](const std::string& name, std::size_t at, std::uint32_t value) {
    Bytes b = file;
    testbmp::PutU32(b, at, value);
    maps.push_back({name, b, 6, 4});
  };
  patched("offbits0", testbmp::field::bfOffBits, 0);
  patched("offbits-last", testbmp::field::bfOffBits, static_cast<std::uint32_t>(file.size() - 1));
  patched("width-huge", testbmp::field::biWidth, 0x7FFFFFFF);
  patched("height-huge", testbmp::field::biHeight, 0x7FFFFFFF);
  patched("height-negative", testbmp::field::biHeight, static_cast<std::uint32_t>(-4));
  patched("clrused-max", testbmp::field::biClrUsed, 0xFFFFFFFF);
  patched("clrused-3", testbmp::field::biClrUsed, 3);
  maps.push_back({"short53", Bytes(file.begin(), file.begin() + 53), 6, 4});
  maps.push_back({"bm-only", Bytes{'B', 'M'}, 0, 0});
  maps.push_back({"one-byte", Bytes{0x42}, 0, 0});
  return maps;
}

struct Probe {
  bool ore;
  std::int32_t a, b, c, d;
};

std::vector<Probe> ProbesFor(const GuardedMap& m) {
  const std::int32_t mx = m.width > 0 ? m.width - 1 : 0, my = m.height > 0 ? m.height - 1 : 0;
  return {
      {false, 0, 0, mx, my},          {false, mx, 0, 0, my},     {false, mx / 2, my / 2, mx / 2, my / 2},
      {false, -1, 0, mx, my / 2},     {true, mx / 2, my / 2, 0, 0}, {true, 0, 0, 0, 0},
      {true, mx, my, 0, 0},           {true, m.width, m.height, 0, 0},
  };
}

}  // namespace

TEST(CallerMemory, SearchesOnlyReadTheImageWithinItsCount) {
  testlib::Library lib;
  std::size_t calls = 0;
  for (const GuardedMap& m : Maps()) {
    const GuardedImage guarded(m.file);
    for (const Probe& probe : ProbesFor(m)) {
      SCOPED_TRACE(m.name + (probe.ore ? " ore " : " path ") + std::to_string(probe.a) + "," + std::to_string(probe.b) +
                   " -> " + std::to_string(probe.c) + "," + std::to_string(probe.d));
      std::intptr_t p = guarded.address();
      std::intptr_t q = guarded.count();
      if (probe.ore) {
        lib.ore()(&p, &q, probe.a, probe.b);
      } else {
        lib.path()(&p, &q, probe.a, probe.b, probe.c, probe.d);
      }
      const Bytes fromGuarded = Collect(p, q);
      // The same call on an ordinary copy of the bytes gives the same result.
      const Bytes fromCopy = probe.ore ? lib.FindOre(m.file, probe.a, probe.b)
                                       : lib.FindPath(m.file, probe.a, probe.b, probe.c, probe.d);
      EXPECT_EQ(fromGuarded, fromCopy);
      ++calls;
    }
    EXPECT_EQ(guarded.bytes(), m.file) << m.name;
  }
  EXPECT_GT(calls, 1000u);
}

TEST(CallerMemory, EmptyCountReadsNothingEvenAtAnInaccessibleAddress) {
  testlib::Library lib;
  const GuardedImage guarded(Bytes{});  // the address is the first byte of the inaccessible page
  std::intptr_t p = guarded.address();
  std::intptr_t q = 0;
  lib.path()(&p, &q, 0, 0, 0, 0);
  EXPECT_EQ(q, 8);
  p = guarded.address();
  q = 0;
  lib.ore()(&p, &q, 3, 4);
  EXPECT_EQ(Collect(p, q), (Bytes{3, 0, 4, 0, 1, 0}));
}
