// The worked examples of both searches, each checked against the library's
// exports and against the literal reference model.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_handle.h"
#include "support/reference_search.h"
#include "support/result_bytes.h"

namespace {

using testbmp::Bytes;
using testresult::Cells;
using testresult::OreRecord;
using testresult::PathRecord;

const testlib::Library& Lib() {
  static const testlib::Library library;
  return library;
}

Bytes Map24(const std::vector<std::string>& rows) { return testbmp::Write(testbmp::FromText(rows)); }

// A palette image from text rows whose characters are palette indices '0'..'9'.
Bytes PaletteMap(const std::vector<std::string>& rows, std::uint16_t bits, std::vector<std::uint32_t> palette) {
  const auto h = static_cast<std::int32_t>(rows.size());
  const auto w = static_cast<std::int32_t>(rows[0].size());
  testbmp::Image image(w, h, bits);
  image.palette = std::move(palette);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      image.at(x, y) = static_cast<std::uint32_t>(rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] - '0');
  return testbmp::Write(image);
}

// A 16-bit image: '.' the brightest word 0x7FFF (reads 0xF8F8F8), 'B' 0.
Bytes Map16(const std::vector<std::string>& rows) {
  const auto h = static_cast<std::int32_t>(rows.size());
  const auto w = static_cast<std::int32_t>(rows[0].size());
  testbmp::Image image(w, h, 16);
  for (std::int32_t y = 0; y < h; ++y)
    for (std::int32_t x = 0; x < w; ++x)
      image.at(x, y) = rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == 'B' ? 0u : 0x7FFFu;
  return testbmp::Write(image);
}

std::vector<std::string> Filled(std::int32_t w, std::int32_t h, char c = '.') {
  return std::vector<std::string>(static_cast<std::size_t>(h), std::string(static_cast<std::size_t>(w), c));
}

const Bytes kNotABitmap = {'B', 'M', 1, 2, 3};
const Bytes kNothing = {};

struct PathCase {
  const char* name;
  Bytes image;
  std::int32_t sx, sy, gx, gy;
  Bytes expected;
};

struct OreCase {
  const char* name;
  Bytes image;
  std::int32_t x, y;
  Bytes expected;
};

void CheckPath(const PathCase& c) {
  SCOPED_TRACE(std::string(c.name) + ": start (" + std::to_string(c.sx) + "," + std::to_string(c.sy) + ") goal (" +
               std::to_string(c.gx) + "," + std::to_string(c.gy) + ")\n" + testresult::MapText(c.image));
  const Bytes library = Lib().FindPath(c.image, c.sx, c.sy, c.gx, c.gy);
  const Bytes model = reference::FindPath(c.image, c.sx, c.sy, c.gx, c.gy);
  EXPECT_EQ(testresult::Hex(library), testresult::Hex(c.expected)) << "library: " << testresult::Pairs(library);
  EXPECT_EQ(testresult::Hex(model), testresult::Hex(c.expected)) << "reference: " << testresult::Pairs(model);
}

void CheckOre(const OreCase& c) {
  SCOPED_TRACE(std::string(c.name) + ": start (" + std::to_string(c.x) + "," + std::to_string(c.y) + ")\n" +
               testresult::MapText(c.image));
  const Bytes library = Lib().FindOre(c.image, c.x, c.y);
  const Bytes model = reference::FindOre(c.image, c.x, c.y);
  EXPECT_EQ(testresult::Hex(library), testresult::Hex(c.expected)) << "library";
  EXPECT_EQ(testresult::Hex(model), testresult::Hex(c.expected)) << "reference";
}

constexpr std::uint32_t kWhite = 0xFFFFFF, kBlack = 0, kLightGrey = 0xC0C0C0, kRed = 0x0000FF;

}  // namespace

TEST(PathSearchExamples, FindsTheDocumentedPaths) {
  const std::vector<PathCase> cases = {
      {"3x3 open, diagonal", Map24(Filled(3, 3)), 0, 0, 2, 2,
       {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 0x02, 0x00}},
      {"5x3 wall: the way below wins", Map24({".....", ".###.", "....."}), 0, 1, 4, 1,
       PathRecord({{0, 1}, {1, 2}, {2, 2}, {3, 2}, {4, 1}})},
      {"5x3 wall, reversed", Map24({".....", ".###.", "....."}), 4, 1, 0, 1,
       PathRecord({{4, 1}, {3, 2}, {2, 2}, {1, 2}, {0, 1}})},
      {"diagonal passes between two walls", Map24({".#", "#."}), 0, 0, 1, 1, PathRecord({{0, 0}, {1, 1}})},
      {"start outside the image", Map24(Filled(3, 3)), -1, 0, 1, 0,
       {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00}},
      {"grey start cell", Map24({"#..", "...", "..."}), 0, 0, 2, 0, PathRecord({{0, 0}, {1, 0}, {2, 0}})},
      {"black start cell", Map24({"B..", "...", "..."}), 0, 0, 2, 0, PathRecord({{0, 0}, {1, 0}, {2, 0}})},
      {"diagonal corridor", Map24({".####", "#.###", "##.##", "###.#", "####."}), 0, 0, 4, 4,
       PathRecord({{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}})},
      {"1-bit black and white", PaletteMap({"111", "101", "111"}, 1, {kBlack, kWhite}), 0, 1, 2, 1,
       PathRecord({{0, 1}, {1, 2}, {2, 1}})},
  };
  for (const auto& c : cases) CheckPath(c);
}

TEST(PathSearchExamples, StartEqualToGoalIsTheStartTwice) {
  const Bytes twice = PathRecord({{1, 1}, {1, 1}});
  const std::vector<PathCase> cases = {
      {"white start", Map24(Filled(3, 3)), 1, 1, 1, 1, twice},
      {"grey start", Map24({"...", ".#.", "..."}), 1, 1, 1, 1, twice},
      {"black start", Map24({"...", ".B.", "..."}), 1, 1, 1, 1, twice},
      {"walled-in start", Map24({"###", "#.#", "###"}), 1, 1, 1, 1, twice},
      {"failed load", kNotABitmap, 1, 1, 1, 1, twice},
      {"no bytes at all", kNothing, 1, 1, 1, 1, twice},
      {"start outside", Map24(Filled(3, 3)), -5, 7, -5, 7, PathRecord({{-5, 7}, {-5, 7}})},
      {"16-bit image", Map16(Filled(3, 3)), 1, 1, 1, 1, twice},
      {"extremes", Map24(Filled(3, 3)), INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN,
       {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}},
      {"16-bit words wrap", kNotABitmap, 65537, -1, 65537, -1, {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0xFF, 0xFF}},
  };
  for (const auto& c : cases) CheckPath(c);
}

TEST(PathSearchExamples, UnreachableGoalsGiveTheEmptyResult) {
  const std::vector<PathCase> cases = {
      {"goal outside", Map24(Filled(3, 3)), 0, 0, 3, 0, {}},
      {"goal far outside", Map24(Filled(3, 3)), 0, 0, -1, -1, {}},
      {"grey goal", Map24({"...", "...", "..#"}), 0, 0, 2, 2, {}},
      {"black goal", Map24({"...", "...", "..B"}), 0, 0, 2, 2, {}},
      {"red goal", Map24({"...", "...", "..R"}), 0, 0, 2, 2, {}},
      {"walled-off goal", Map24({"..#..", "..#..", "..#.."}), 0, 0, 4, 2, {}},
      {"start boxed in by its neighbours", Map24({".#.", "##.", "..."}), 0, 0, 2, 2, {}},
      {"failed load", kNotABitmap, 0, 0, 1, 0, {}},
      {"16-bit image reads no white", Map16(Filled(3, 3)), 0, 0, 2, 0, {}},
      {"start outside, far from the image", Map24(Filled(3, 3)), -2, 0, 1, 0, {}},
      {"wrap-around neighbour of INT32_MAX", Map24(Filled(3, 3)), INT32_MAX, 0, INT32_MIN, 0, {}},
      {"wrap-around neighbour of INT32_MIN", Map24(Filled(3, 3)), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, {}},
      {"goal at 2^16 is not goal 0", Map24(Filled(3, 3)), 0, 0, 65536, 0, {}},
  };
  for (const auto& c : cases) CheckPath(c);
}

TEST(OreSearchExamples, ReportsTheDocumentedCells) {
  auto around = Filled(30, 30);
  around[19][11] = 'B';
  auto several = Filled(9, 9);
  several[4][5] = 'B';  // code 4 of (4, 4)
  several[3][4] = 'B';  // code 6
  several[4][3] = 'B';  // code 8
  auto blackStart = Filled(7, 7);
  blackStart[3][3] = 'B';
  std::vector<std::string> pocket = {".......", ".#####.", ".#...#.", ".#...#.", ".#...#.", ".#####.", "......."};
  std::vector<std::string> walled = {".....", ".###.", ".#.#.", ".###.", "....."};
  std::vector<std::string> diagonal = {"########", "#.######", "##.#####", "###.####", "####.B##",
                                       "########", "########"};

  const std::vector<OreCase> cases = {
      {"black at the upper right", Map24(around), 10, 20, {0x0A, 0x00, 0x14, 0x00, 0x05, 0x00}},
      {"lowest code among several blacks", Map24(several), 4, 4, OreRecord(4, 4, 4)},
      {"black start cell is found from its lower-left neighbour", Map24(blackStart), 3, 3, OreRecord(2, 4, 5)},
      {"grey start behaves like a white one", Map24([&] { auto m = around; m[20][10] = '#'; return m; }()), 10, 20,
       OreRecord(10, 20, 5)},
      {"walled start", Map24(walled), 2, 2, {}},
      {"closed pocket", Map24(pocket), 3, 3, {}},
      {"leftmost column", Map24(Filled(5, 5)), 0, 2, OreRecord(0, 2, 1)},
      {"bottom row", Map24(Filled(5, 5)), 2, 4, OreRecord(2, 4, 1)},
      {"top row: code 5", Map24(Filled(5, 3)), 2, 0, OreRecord(2, 0, 5)},
      {"top row: black below right", Map24({".....", "...B.", "....."}), 2, 0, OreRecord(2, 0, 3)},
      {"diagonal corridor", Map24(diagonal), 1, 1, OreRecord(4, 4, 4)},
      {"failed load", kNotABitmap, 3, 4, {0x03, 0x00, 0x04, 0x00, 0x01, 0x00}},
      {"no bytes at all", kNothing, 3, 4, {0x03, 0x00, 0x04, 0x00, 0x01, 0x00}},
      {"failed load, coordinates wrap", kNotABitmap, 65537, -1, {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00}},
      {"start outside", Map24(Filled(5, 5)), 7, 2, OreRecord(7, 2, 1)},
      {"start at the extremes", Map24(Filled(5, 5)), INT32_MAX, INT32_MIN, {0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
      {"start at INT32_MIN", Map24(Filled(5, 5)), INT32_MIN, INT32_MAX, {0x00, 0x00, 0xFF, 0xFF, 0x01, 0x00}},
      {"16-bit: only the start is expanded, black above",
       Map16({".....", "..B..", ".....", ".....", "....."}), 2, 2, OreRecord(2, 2, 6)},
      {"16-bit: nothing black around the start", Map16(Filled(5, 5)), 2, 2, {}},
  };
  for (const auto& c : cases) CheckOre(c);
}

// In a (light grey, white, black) palette the mark 255 is nearest to black
// (255^2 against 63^2 + 2 x 192^2 and 2 x 255^2), so a white cell reads
// black in its own ore test right after it is painted.
TEST(OreSearchExamples, MarkThatReadsBlackEndsTheFirstExpansion) {
  const std::vector<std::uint32_t> palette = {kLightGrey, kWhite, kBlack};
  const std::vector<OreCase> cases = {
      {"first white neighbour", PaletteMap({"11111", "11111", "11111", "11111", "11111"}, 8, palette), 2, 2,
       OreRecord(2, 2, 1)},
      {"codes 1 and 2 are walls", PaletteMap({"11111", "11111", "11111", "10011", "11111"}, 8, palette), 2, 2,
       OreRecord(2, 2, 3)},
      {"every neighbour a wall", PaletteMap({"11111", "10001", "10101", "10001", "11111"}, 8, palette), 2, 2, {}},
      {"1-bit black and white", PaletteMap({"111", "111", "111"}, 1, {kBlack, kWhite}), 1, 1, OreRecord(1, 1, 1)},
      {"4-bit, code 4 black", PaletteMap({"00000", "00000", "00020", "00000", "00000"}, 4, palette), 2, 2,
       OreRecord(2, 2, 4)},
  };
  for (const auto& c : cases) CheckOre(c);
}

// A palette that holds only white keeps every mark white. Remembering the
// queued cells makes both searches end, with the results they give when the
// marks stick: those of the same map at 24 bits.
TEST(SearchesOnMarksThatDoNotStick, EndAndMatchTheMapWhoseMarksStick) {
  for (const auto& [w, h] : {std::pair{5, 10}, std::pair{200, 200}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    testbmp::Image onlyWhite(w, h, 8, 0);
    onlyWhite.palette = {kWhite};
    const Bytes sticky = testbmp::Write(onlyWhite);
    const Bytes plain = Map24(Filled(w, h));

    const Bytes path = Lib().FindPath(sticky, 0, 0, w - 1, h - 1);
    EXPECT_EQ(testresult::Hex(path), testresult::Hex(reference::FindPath(sticky, 0, 0, w - 1, h - 1)));
    EXPECT_EQ(testresult::Hex(path), testresult::Hex(Lib().FindPath(plain, 0, 0, w - 1, h - 1)));

    const Bytes unreachable = Lib().FindPath(sticky, 1, 1, w, h);
    EXPECT_TRUE(unreachable.empty());

    const Bytes ore = Lib().FindOre(sticky, w / 2, h / 2);
    EXPECT_EQ(testresult::Hex(ore), testresult::Hex(reference::FindOre(sticky, w / 2, h / 2)));
    EXPECT_EQ(testresult::Hex(ore), testresult::Hex(Lib().FindOre(plain, w / 2, h / 2)));
  }
}

// A mark whose write fails ("颜色索引无效": the nearest entry to pure red is
// index 2, which a 1-bit pixel cannot hold) stays white as well.
TEST(SearchesOnMarksThatDoNotStick, FailedMarkWritesStillEnd) {
  testbmp::Image image(6, 6, 1, 1);
  image.palette = {kBlack, kWhite, kRed};
  image.at(0, 5) = 0;
  const Bytes map = testbmp::Write(image);
  auto rows = Filled(6, 6);
  rows[5][0] = 'B';
  const Bytes ore = Lib().FindOre(map, 3, 2);
  EXPECT_EQ(testresult::Hex(ore), testresult::Hex(reference::FindOre(map, 3, 2)));
  EXPECT_EQ(testresult::Hex(ore), testresult::Hex(Lib().FindOre(Map24(rows), 3, 2)));
  EXPECT_EQ(testresult::Hex(ore), testresult::Hex(OreRecord(1, 4, 1)));
}
