#include "floor.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace bench {

namespace {

std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

constexpr std::uint8_t kOpen = 0;      // white, not reached yet
constexpr std::uint8_t kStart = 9;     // reached: the start
constexpr std::uint8_t kBlocked = 0xFF;
// Other values 1..8: reached, by the step kDx/kDy[value - 1] from the parent.

}  // namespace

FloorResult RunFloor(const std::uint8_t* image, std::size_t size, int startX, int startY, int goalX, int goalY) {
  FloorResult result;

  // One copy of the caller's bytes into a fresh buffer.
  std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size]);
  std::memcpy(copy.get(), image, size);
  const std::uint8_t* bmp = copy.get();

  const std::size_t offBits = U32(bmp + 10);
  const std::size_t w = U32(bmp + 18);
  const std::size_t h = U32(bmp + 22);
  const unsigned depth = static_cast<unsigned>(bmp[28]) | static_cast<unsigned>(bmp[29]) << 8;
  const std::size_t rowBytes = (w * depth + 31) / 32 * 4;

  bool whiteIndex[256] = {};
  if (depth == 8) {
    const std::uint8_t* palette = bmp + 14 + 40;
    for (std::size_t i = 0; i < 256; ++i) {
      whiteIndex[i] = palette[4 * i] == 0xFF && palette[4 * i + 1] == 0xFF && palette[4 * i + 2] == 0xFF;
    }
  }

  // Classification into a grid with a one-cell blocked border.
  const std::size_t stride = w + 2;
  const std::size_t cells = stride * (h + 2);
  std::unique_ptr<std::uint8_t[]> grid(new std::uint8_t[cells]);
  std::memset(grid.get(), kBlocked, stride);
  std::memset(grid.get() + (h + 1) * stride, kBlocked, stride);
  for (std::size_t y = 0; y < h; ++y) {
    const std::uint8_t* src = bmp + offBits + (h - 1 - y) * rowBytes;
    std::uint8_t* dst = grid.get() + (y + 1) * stride;
    dst[0] = kBlocked;
    dst[w + 1] = kBlocked;
    if (depth == 24) {
      for (std::size_t x = 0; x < w; ++x) {
        const bool white = src[3 * x] == 0xFF && src[3 * x + 1] == 0xFF && src[3 * x + 2] == 0xFF;
        dst[x + 1] = white ? kOpen : kBlocked;
      }
    } else {
      for (std::size_t x = 0; x < w; ++x) dst[x + 1] = whiteIndex[src[x]] ? kOpen : kBlocked;
    }
  }

  std::ptrdiff_t offset[8];
  const auto s = static_cast<std::ptrdiff_t>(stride);
  static constexpr int kDx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
  static constexpr int kDy[8] = {1, 1, 1, 0, -1, -1, -1, 0};
  for (int d = 0; d < 8; ++d) offset[d] = kDy[d] * s + kDx[d];

  const auto cellOf = [&](int x, int y) {
    return static_cast<std::uint32_t>(static_cast<std::size_t>(y + 1) * stride + static_cast<std::size_t>(x + 1));
  };
  const std::uint32_t start = cellOf(startX, startY);
  const std::uint32_t goal = cellOf(goalX, goalY);

  // Breadth-first flood; the queue is a vector read from a moving head.
  std::vector<std::uint32_t> queue;
  std::uint8_t* g = grid.get();
  g[start] = kStart;
  queue.push_back(start);
  bool reached = false;
  for (std::size_t head = 0; head < queue.size(); ++head) {
    const std::uint32_t c = queue[head];
    ++result.expanded;
    if (c == goal) {
      reached = true;
      break;
    }
    for (int d = 0; d < 8; ++d) {
      const auto n = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(c) + offset[d]);
      if (g[n] != kOpen) continue;
      g[n] = static_cast<std::uint8_t>(d + 1);
      queue.push_back(n);
    }
  }

  // Walk back along the stored directions.
  if (reached) {
    for (std::uint32_t c = goal; c != start;
         c = static_cast<std::uint32_t>(static_cast<std::ptrdiff_t>(c) - offset[g[c] - 1])) {
      result.pathCells.push_back(c);
    }
    result.pathCells.push_back(start);
    std::reverse(result.pathCells.begin(), result.pathCells.end());
  }
  return result;
}

}  // namespace bench
