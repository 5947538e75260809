// Both exports against the literal reference on thousands of small random
// maps. Every case is a pure function of (seed, case number); a mismatch
// prints everything needed to replay it: the coordinates, what each pixel
// reads as, the whole file in hex, and both results.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "bitmap/bitmap.h"
#include "support/library_handle.h"
#include "support/random_maps.h"
#include "support/reference_search.h"
#include "support/result_bytes.h"

namespace {

using testrandom::Bytes;
using testrandom::RandomMap;
using testrandom::Rng;

const testlib::Library& Lib() {
  static const testlib::Library library;
  return library;
}

// GRIDSEEK_RANDOM_SCALE=n runs n times as many cases (a longer soak).
int Scale() {
  const char* text = std::getenv("GRIDSEEK_RANDOM_SCALE");
  const int n = text == nullptr ? 1 : std::atoi(text);
  return n < 1 ? 1 : n;
}

constexpr int kMapsPerSeed = 2500;
constexpr int kQueriesPerMap = 2;
constexpr int kWideMapsPerSeed = 12;
constexpr int kDetailedFailures = 3;

// Cells of the decoded map that read white: good starts and goals.
std::vector<std::pair<std::int32_t, std::int32_t>> WhiteCells(const Bytes& file) {
  gridseek::位图 map;
  std::vector<std::pair<std::int32_t, std::int32_t>> cells;
  if (!map.载入数据(file)) return cells;
  const std::int32_t w = map.Header().biWidth, h = map.Header().biHeight;
  for (std::int32_t y = 0; y < h && y < 16; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      if (map.ReadPixel(x, y) == 0xFFFFFF) cells.push_back({x, y});
  return cells;
}

std::pair<std::int32_t, std::int32_t> Point(Rng& rng, const RandomMap& map,
                                            const std::vector<std::pair<std::int32_t, std::int32_t>>& whites) {
  if (!whites.empty() && rng.Percent(45)) return whites[rng.Below(static_cast<std::uint32_t>(whites.size()))];
  return {testrandom::Coordinate(rng, map.width), testrandom::Coordinate(rng, map.height)};
}

std::string Reproducer(std::uint64_t seed, int index, const RandomMap& map, const std::string& call,
                       const Bytes& expected, const Bytes& actual) {
  std::ostringstream out;
  out << "seed " << seed << ", case " << index << ": " << call << "\nmap: " << map.description << "\n"
      << testresult::MapText(map.file) << "file (" << map.file.size() << " bytes):\n"
      << (map.file.size() <= 4096 ? testresult::Hex(map.file) : std::string("(too long to print)")) << "\n"
      << "expected: " << testresult::Hex(expected) << "  " << testresult::Pairs(expected) << "\n"
      << "actual:   " << testresult::Hex(actual) << "  " << testresult::Pairs(actual);
  return out.str();
}

struct Tally {
  int cases = 0, nonEmpty = 0, mismatches = 0;
};

void Compare(Tally& tally, std::uint64_t seed, int index, const RandomMap& map, const std::string& call,
             const Bytes& expected, const Bytes& actual) {
  ++tally.cases;
  if (!expected.empty()) ++tally.nonEmpty;
  if (expected == actual) return;
  if (++tally.mismatches <= kDetailedFailures) ADD_FAILURE() << Reproducer(seed, index, map, call, expected, actual);
}

void Summarise(const char* what, std::uint64_t seed, const Tally& tally) {
  std::cout << what << " seed " << seed << ": " << tally.cases << " cases, " << tally.nonEmpty << " non-empty, "
            << tally.mismatches << " mismatches\n";
  EXPECT_EQ(tally.mismatches, 0) << tally.mismatches << " of " << tally.cases << " cases differ";
}

std::string PathCall(std::int32_t sx, std::int32_t sy, std::int32_t gx, std::int32_t gy) {
  return "path search from (" + std::to_string(sx) + "," + std::to_string(sy) + ") to (" + std::to_string(gx) + "," +
         std::to_string(gy) + ")";
}

std::string OreCall(std::int32_t x, std::int32_t y) {
  return "ore search from (" + std::to_string(x) + "," + std::to_string(y) + ")";
}

class SearchRandom : public ::testing::TestWithParam<std::uint64_t> {};

}  // namespace

TEST_P(SearchRandom, PathSearchMatchesLiteralReference) {
  const std::uint64_t seed = GetParam();
  Tally tally;
  const int maps = kMapsPerSeed * Scale();
  for (int index = 0; index < maps; ++index) {
    Rng rng(testrandom::CaseSeed(seed, static_cast<std::uint64_t>(index)));
    const RandomMap map = testrandom::SmallMap(rng);
    const auto whites = WhiteCells(map.file);
    for (int query = 0; query < kQueriesPerMap; ++query) {
      const auto [sx, sy] = Point(rng, map, whites);
      auto [gx, gy] = Point(rng, map, whites);
      if (rng.Percent(4)) std::tie(gx, gy) = std::pair{sx, sy};
      Compare(tally, seed, index, map, PathCall(sx, sy, gx, gy), reference::FindPath(map.file, sx, sy, gx, gy),
              Lib().FindPath(map.file, sx, sy, gx, gy));
    }
  }
  Summarise("path", seed, tally);
}

TEST_P(SearchRandom, OreSearchMatchesLiteralReference) {
  const std::uint64_t seed = GetParam();
  Tally tally;
  const int maps = kMapsPerSeed * Scale();
  for (int index = 0; index < maps; ++index) {
    Rng rng(testrandom::CaseSeed(seed, static_cast<std::uint64_t>(index)));
    const RandomMap map = testrandom::SmallMap(rng);
    const auto whites = WhiteCells(map.file);
    for (int query = 0; query < kQueriesPerMap; ++query) {
      const auto [x, y] = Point(rng, map, whites);
      Compare(tally, seed, index, map, OreCall(x, y), reference::FindOre(map.file, x, y), Lib().FindOre(map.file, x, y));
    }
  }
  Summarise("ore", seed, tally);
}

// Maps about 65536 cells wide: paths and reported cells on both sides of
// x = 65536, whose coordinate words wrap to 0.
TEST_P(SearchRandom, WideMapsMatchLiteralReference) {
  const std::uint64_t seed = GetParam();
  Tally tally;
  const int maps = kWideMapsPerSeed * Scale();
  for (int index = 0; index < maps; ++index) {
    Rng rng(testrandom::CaseSeed(seed ^ 0xA11CE, static_cast<std::uint64_t>(index)));
    const RandomMap map = testrandom::WideMap(rng);
    for (int query = 0; query < 4; ++query) {
      const std::int32_t sx = rng.Between(65524, 65547), gx = rng.Between(65524, 65547);
      const std::int32_t sy = rng.Between(-1, map.height), gy = rng.Between(-1, map.height);
      Compare(tally, seed, index, map, PathCall(sx, sy, gx, gy), reference::FindPath(map.file, sx, sy, gx, gy),
              Lib().FindPath(map.file, sx, sy, gx, gy));
      Compare(tally, seed, index, map, OreCall(sx, sy), reference::FindOre(map.file, sx, sy),
              Lib().FindOre(map.file, sx, sy));
    }
  }
  Summarise("wide", seed, tally);
}

INSTANTIATE_TEST_SUITE_P(Seeds, SearchRandom, ::testing::Values(1u, 2u, 3u, 4u));

// Whether every white cell of the map stops reading white once painted.
bool MarksStick(const Bytes& file, gridseek::Colour mark) {
  gridseek::位图 map;
  if (!map.载入数据(file)) return true;
  const std::int32_t w = map.Header().biWidth, h = map.Header().biHeight;
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      if (map.ReadPixel(x, y) == 0xFFFFFF) {
        map.WritePixel(x, y, mark);
        if (map.ReadPixel(x, y) == 0xFFFFFF) return false;
      }
  return true;
}

// The remembered-cell guard of the reference changes nothing where it has
// nothing to mend: for the path search on images whose marks stick, and for
// the ore search wherever the unguarded flood ends.
TEST(ReferenceSearch, GuardChangesNothingWhereTheLiteralSearchEnds) {
  int comparedPaths = 0, comparedOres = 0;
  for (int index = 0; index < 800; ++index) {
    Rng rng(testrandom::CaseSeed(77, static_cast<std::uint64_t>(index)));
    const RandomMap map = testrandom::SmallMap(rng);
    const auto whites = WhiteCells(map.file);
    const auto [sx, sy] = Point(rng, map, whites);
    const auto [gx, gy] = Point(rng, map, whites);
    // Where the marks stick, no cell but the start is taken twice.
    const std::size_t cells = static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height);
    const reference::Options literal{false, cells + 4};
    if (MarksStick(map.file, 0)) {
      const auto path = reference::PathSearch(map.file, sx, sy, gx, gy, literal);
      ASSERT_TRUE(path.has_value()) << map.description;
      const Bytes guarded = reference::FindPath(map.file, sx, sy, gx, gy);
      EXPECT_EQ(*path, guarded) << Reproducer(77, index, map, PathCall(sx, sy, gx, gy), *path, guarded);
      ++comparedPaths;
    }
    if (const auto ore = reference::OreSearch(map.file, sx, sy, literal)) {
      const Bytes guarded = reference::FindOre(map.file, sx, sy);
      EXPECT_EQ(*ore, guarded) << Reproducer(77, index, map, OreCall(sx, sy), *ore, guarded);
      ++comparedOres;
    }
  }
  EXPECT_GT(comparedPaths, 600);
  EXPECT_GT(comparedOres, 700);
}
