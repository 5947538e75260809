#include "support/random_maps.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "support/bmp_writer.h"

namespace testrandom {

std::uint64_t Rng::Next() {
  state_ += 0x9E3779B97F4A7C15u;
  std::uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
  return z ^ (z >> 31);
}

std::int32_t Rng::Between(std::int32_t lo, std::int32_t hi) {
  const auto span = static_cast<std::uint32_t>(static_cast<std::int64_t>(hi) - lo + 1);
  return static_cast<std::int32_t>(static_cast<std::int64_t>(lo) + Below(span));
}

std::uint64_t CaseSeed(std::uint64_t seed, std::uint64_t index) {
  Rng rng(seed * 0x100000001B3u ^ index);
  rng.Next();
  return rng.Next();
}

namespace {

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kRed = 0x0000FF;

enum class Kind : std::uint8_t { Open, Black, Wall };

// The logical layout: which cells are open, black or walls.
std::vector<Kind> Layout(Rng& rng, std::int32_t w, std::int32_t h, std::string& description) {
  const auto cells = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  std::vector<Kind> kinds(cells, Kind::Open);
  const std::uint32_t style = rng.Below(6);
  auto scatter = [&](std::uint32_t wallPercent, std::uint32_t blackPercent) {
    for (auto& k : kinds) {
      const std::uint32_t r = rng.Below(100);
      k = r < wallPercent ? Kind::Wall : r < wallPercent + blackPercent ? Kind::Black : Kind::Open;
    }
  };
  switch (style) {
    case 0: description += "open field"; scatter(4, 1); break;
    case 1: description += "scattered walls"; scatter(25, 3); break;
    case 2: description += "dense walls"; scatter(50, 2); break;
    case 3: description += "black dots"; scatter(10, 12); break;
    case 4: {  // a maze carved from a grid of walls
      description += "maze";
      std::fill(kinds.begin(), kinds.end(), Kind::Wall);
      auto at = [&](std::int32_t x, std::int32_t y) -> Kind& {
        return kinds[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)];
      };
      if (w > 0 && h > 0) {
        std::vector<std::pair<std::int32_t, std::int32_t>> stack = {{0, 0}};
        at(0, 0) = Kind::Open;
        while (!stack.empty()) {
          const auto [x, y] = stack.back();
          std::pair<std::int32_t, std::int32_t> options[4];
          int n = 0;
          const std::int32_t d[4][2] = {{2, 0}, {-2, 0}, {0, 2}, {0, -2}};
          for (const auto& s : d) {
            const std::int32_t nx = x + s[0], ny = y + s[1];
            if (nx >= 0 && nx < w && ny >= 0 && ny < h && at(nx, ny) == Kind::Wall) options[n++] = {nx, ny};
          }
          if (n == 0) {
            stack.pop_back();
            continue;
          }
          const auto [nx, ny] = options[rng.Below(static_cast<std::uint32_t>(n))];
          at((x + nx) / 2, (y + ny) / 2) = Kind::Open;
          at(nx, ny) = Kind::Open;
          stack.push_back({nx, ny});
        }
        for (int i = 0; i < 2; ++i)
          at(rng.Between(0, w - 1), rng.Between(0, h - 1)) = rng.Percent(50) ? Kind::Black : Kind::Open;
      }
      break;
    }
    default: {  // a wall line with a gap or none, the rest open
      description += "wall line";
      if (w > 0 && h > 0) {
        const bool vertical = rng.Percent(50);
        const std::int32_t line = vertical ? rng.Between(0, w - 1) : rng.Between(0, h - 1);
        const std::int32_t length = vertical ? h : w;
        const std::int32_t gap = rng.Percent(50) ? rng.Between(0, length - 1) : -1;
        for (std::int32_t i = 0; i < length; ++i) {
          if (i == gap) continue;
          const std::int32_t x = vertical ? line : i, y = vertical ? i : line;
          kinds[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = Kind::Wall;
        }
      }
      break;
    }
  }
  if (rng.Percent(30)) {  // a frame of walls: the flood must find black inside
    description += ", framed";
    for (std::int32_t y = 0; y < h; ++y)
      for (std::int32_t x = 0; x < w; ++x)
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1)
          kinds[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = Kind::Wall;
  }
  return kinds;
}

std::uint32_t RandomColour(Rng& rng) {
  switch (rng.Below(6)) {
    case 0: return 0x808080;
    case 1: return kRed;
    case 2: return 0xFEFFFF;
    case 3: return 0xFFFFFE;
    case 4: return 0xC0C0C0;
    default: return static_cast<std::uint32_t>(rng.Next()) & 0xFFFFFF;
  }
}

// A colour table for a palette image, and which of its entries stand for
// open, black and wall cells (each list possibly empty).
struct PaletteChoice {
  std::vector<std::uint32_t> table;
  std::string name;
};

PaletteChoice ChoosePalette(Rng& rng, std::uint16_t bits, bool core) {
  const std::size_t full = std::size_t{1} << bits;
  PaletteChoice p;
  switch (rng.Below(core ? 5 : 9)) {
    case 0:
      p.name = "black, white";
      p.table = {kBlack, kWhite};
      break;
    case 1:
      p.name = "white, black";
      p.table = {kWhite, kBlack};
      break;
    case 2:  // pure red is nearer to black than to the wall colour: marks read black
      p.name = "light grey, white, black";
      p.table = {0xC0C0C0, kWhite, kBlack};
      break;
    case 3:  // marks read as red
      p.name = "white, black, grey, red";
      p.table = {kWhite, kBlack, 0x808080, kRed};
      break;
    case 4: {
      p.name = "random, with white and black";
      const std::size_t n = core ? full : 1 + rng.Below(static_cast<std::uint32_t>(std::min<std::size_t>(full, 20)));
      for (std::size_t i = 0; i < n; ++i) p.table.push_back(RandomColour(rng));
      p.table[rng.Below(static_cast<std::uint32_t>(n))] = kWhite;
      if (rng.Percent(80)) p.table[rng.Below(static_cast<std::uint32_t>(n))] = kBlack;
      break;
    }
    case 5:  // every mark stays white
      p.name = "only white";
      p.table = {kWhite};
      break;
    case 6:  // only white and a grey: 0 and 255 both become grey
      p.name = "white, grey";
      p.table = {kWhite, 0x808080};
      break;
    case 7: {  // more entries than a pixel can index: the marks' nearest
               // entries lie beyond it, so the mark writes fail
      p.name = "oversized table";
      const std::size_t n = full + 1 + rng.Below(4);
      for (std::size_t i = 0; i < n; ++i) p.table.push_back(0x808080);
      p.table[0] = kWhite;
      if (rng.Percent(50)) p.table[1] = 0x404040;
      p.table[full] = rng.Percent(50) ? kBlack : kRed;
      p.table[n - 1] = rng.Percent(50) ? kRed : kBlack;
      break;
    }
    default:  // a short table: pixel values beyond it have no entry
      p.name = "short table";
      p.table = {kWhite, kBlack, 0x808080};
      break;
  }
  if (core) {
    // The core header always has the depth's full table.
    while (p.table.size() < full) p.table.push_back(RandomColour(rng));
    p.table.resize(full);
  }
  return p;
}

std::vector<std::uint32_t> EntriesOf(const std::vector<std::uint32_t>& table, std::size_t limit,
                                     bool (*test)(std::uint32_t)) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < table.size() && i < limit; ++i)
    if (test(table[i])) out.push_back(static_cast<std::uint32_t>(i));
  return out;
}

void Damage(Rng& rng, Bytes& file, bool core, std::string& description) {
  if (file.size() < 26) return;
  const std::uint32_t roll = rng.Below(100);
  if (roll < 8) {
    const std::size_t cut = 1 + rng.Below(static_cast<std::uint32_t>(std::min<std::size_t>(file.size() / 4, 40)));
    file.resize(file.size() - cut);
    testbmp::PutU32(file, testbmp::field::bfSize, 0);
    description += ", cut " + std::to_string(cut) + " bytes";
  } else if (roll < 12) {
    const std::uint16_t planes = rng.Percent(50) ? 0 : 2;
    testbmp::PutU16(file, core ? 22 : testbmp::field::biPlanes, planes);
    description += ", biPlanes " + std::to_string(planes);
  } else if (roll < 14 && !core) {
    const std::int32_t h = static_cast<std::int32_t>(testbmp::GetU32(file, testbmp::field::biHeight));
    testbmp::PutU32(file, testbmp::field::biHeight, static_cast<std::uint32_t>(-h));
    description += ", negative height";
  } else if (roll < 17) {
    const std::size_t extra = 1 + rng.Below(64);
    for (std::size_t i = 0; i < extra; ++i) file.push_back(static_cast<std::uint8_t>(rng.Next()));
    description += ", " + std::to_string(extra) + " extra bytes";
  } else if (roll < 19) {
    file[static_cast<std::size_t>(rng.Below(2))] ^= 0x20;
    description += ", not BM";
  } else if (roll < 21) {
    testbmp::PutU32(file, testbmp::field::bfSize, static_cast<std::uint32_t>(file.size() + 1));
    description += ", bfSize too large";
  } else if (roll < 23) {
    const auto off = testbmp::GetU32(file, testbmp::field::bfOffBits);
    const std::uint32_t moved = rng.Percent(50) ? off + 1 + rng.Below(4) : rng.Below(off + 1);
    testbmp::PutU32(file, testbmp::field::bfOffBits, moved);
    description += ", bfOffBits " + std::to_string(moved);
  }
}

}  // namespace

RandomMap SmallMap(Rng& rng) {
  RandomMap map;
  static constexpr std::uint16_t kDepths[] = {1, 4, 8, 16, 24, 32};
  const std::uint16_t bits = kDepths[rng.Below(6)];
  const bool core = rng.Percent(20);
  const std::int32_t most = rng.Percent(10) ? 32 : 14;
  const std::int32_t w = rng.Percent(4) ? 0 : rng.Between(1, most);
  const std::int32_t h = rng.Percent(4) ? 0 : rng.Between(1, most);
  map.width = w;
  map.height = h;
  map.description = std::to_string(w) + "x" + std::to_string(h) + ", " + std::to_string(bits) + " bits, " +
                    (core ? "12-byte header, " : "40-byte header, ");

  testbmp::Image image(w, h, bits);
  image.coreHeader = core;
  image.fourthByte = rng.Below(256);
  const std::vector<Kind> kinds = Layout(rng, w, h, map.description);
  const std::uint32_t noise = rng.Percent(70) ? 0 : rng.Below(10);  // percent of cells with a random value

  if (bits <= 8) {
    const PaletteChoice palette = ChoosePalette(rng, bits, core);
    image.palette = palette.table;
    map.description += ", palette " + palette.name;
    const std::size_t reach = std::size_t{1} << bits;
    const auto whites = EntriesOf(image.palette, reach, [](std::uint32_t c) { return c == kWhite; });
    const auto blacks = EntriesOf(image.palette, reach, [](std::uint32_t c) { return c == kBlack; });
    const auto walls = EntriesOf(image.palette, reach, [](std::uint32_t c) { return c != kWhite && c != kBlack; });
    auto pick = [&](const std::vector<std::uint32_t>& from) {
      return from.empty() ? rng.Below(static_cast<std::uint32_t>(reach))
                          : from[rng.Below(static_cast<std::uint32_t>(from.size()))];
    };
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      if (rng.Below(100) < noise) {
        image.pixels[i] = rng.Below(static_cast<std::uint32_t>(reach));
        continue;
      }
      image.pixels[i] = kinds[i] == Kind::Open ? pick(whites) : kinds[i] == Kind::Black ? pick(blacks) : pick(walls);
    }
  } else {
    for (std::size_t i = 0; i < kinds.size(); ++i) {
      std::uint32_t v = 0;
      if (bits == 16) {
        v = kinds[i] == Kind::Open   ? 0x7FFFu | (rng.Percent(50) ? 0x8000u : 0u)
            : kinds[i] == Kind::Black ? (rng.Percent(80) ? 0u : 0x8000u)
                                      : rng.Below(0x10000);
      } else {
        v = kinds[i] == Kind::Open ? kWhite : kinds[i] == Kind::Black ? kBlack : RandomColour(rng);
      }
      if (rng.Below(100) < noise) v = bits == 16 ? rng.Below(0x10000) : RandomColour(rng);
      image.pixels[i] = v;
    }
  }

  map.file = testbmp::Write(image);
  if (core && bits == 8 && rng.Percent(70)) {
    // A 12-byte header still needs 4 bytes per table entry in the file.
    while (map.file.size() < 1046 + rng.Below(8)) map.file.push_back(static_cast<std::uint8_t>(rng.Next()));
    map.description += ", padded";
  }
  Damage(rng, map.file, core, map.description);
  return map;
}

RandomMap WideMap(Rng& rng) {
  RandomMap map;
  const std::uint16_t bits = rng.Percent(70) ? 1 : 4;
  const std::int32_t w = rng.Between(65530, 65545);
  const std::int32_t h = rng.Between(1, 3);
  map.width = w;
  map.height = h;
  testbmp::Image image(w, h, bits, 0);  // index 0: grey wall
  image.palette = {0x808080, kWhite, kBlack};
  if (bits == 1) image.palette.pop_back();
  const std::int32_t from = rng.Between(65525, 65535), to = rng.Between(65536, 65546);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = std::max(0, from); x < std::min(w, to); ++x)
      image.at(x, y) = rng.Percent(85) ? 1u : (bits == 4 && rng.Percent(50) ? 2u : 0u);
  map.description = std::to_string(w) + "x" + std::to_string(h) + ", " + std::to_string(bits) +
                    " bits, open from x=" + std::to_string(from) + " to " + std::to_string(to - 1);
  map.file = testbmp::Write(image);
  return map;
}

std::int32_t Coordinate(Rng& rng, std::int32_t extent) {
  static constexpr std::int32_t kExtremes[] = {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, 65535, 65536,
                                               65537,     -65536,        -65537,    32767,         32768, -32768,
                                               -32769,    -1};
  const std::uint32_t roll = rng.Below(100);
  if (roll < 75 && extent > 0) return rng.Between(0, extent - 1);
  if (roll < 90) {
    const std::int32_t edges[] = {-1, 0, extent - 1, extent, extent + 1, -2};
    return edges[rng.Below(6)];
  }
  return kExtremes[rng.Below(sizeof kExtremes / sizeof kExtremes[0])];
}

}  // namespace testrandom
