// The node list's operations and the path record, by table, and the node
// list against the literal reference list on random operation sequences.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "search/node_list.h"
#include "search/path_bytes.h"
#include "support/reference_search.h"
#include "support/result_bytes.h"

namespace {

using gridseek::GridNode;
using gridseek::NodeList;

GridNode Scored(std::int32_t x, std::int32_t score) {
  GridNode n;
  n.x = x;
  n.score = score;
  return n;
}

GridNode Cell(std::int32_t x, std::int32_t y, std::int32_t px, std::int32_t py) {
  GridNode n;
  n.x = x;
  n.y = y;
  n.parentX = px;
  n.parentY = py;
  return n;
}

NodeList ListOf(const std::vector<GridNode>& nodes) {
  NodeList list;
  for (const auto& n : nodes) list.Append(n);
  return list;
}

std::vector<std::int32_t> Xs(const NodeList& list) {
  std::vector<std::int32_t> xs;
  for (std::size_t i = 0; i < list.size(); ++i) xs.push_back(list[i].x);
  return xs;
}

bool Same(const GridNode& a, const GridNode& b) {
  return a.x == b.x && a.y == b.y && a.parentX == b.parentX && a.parentY == b.parentY && a.cost == b.cost &&
         a.stepLength == b.stepLength && a.score == b.score;
}

std::vector<std::uint8_t> Record(const NodeList& closed) {
  const gridseek::ByteSequence bytes = gridseek::BuildPathBytes(closed);
  return {bytes.data(), bytes.data() + bytes.size()};
}

}  // namespace

TEST(NodeList, PopLeastScoreTakesTheEarliestOfTheLeastScores) {
  struct Case {
    const char* name;
    std::vector<std::int32_t> scores;
    std::vector<std::int32_t> takenPositionsInOriginal;  // x holds the original position
  };
  const std::vector<Case> cases = {
      {"5 3 3 4", {5, 3, 3, 4}, {1, 2, 3, 0}},
      {"4 2 7 2", {4, 2, 7, 2}, {1, 3, 0, 2}},
      {"all equal", {6, 6, 6, 6}, {0, 1, 2, 3}},
      {"one element", {9}, {0}},
      {"negative scores", {0, -1, INT32_MIN, INT32_MAX, INT32_MIN}, {2, 4, 1, 0, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NodeList list;
    for (std::size_t i = 0; i < c.scores.size(); ++i) list.Append(Scored(static_cast<std::int32_t>(i), c.scores[i]));
    std::vector<std::int32_t> taken;
    GridNode node;
    while (list.PopLeastScore(node)) taken.push_back(node.x);
    EXPECT_EQ(taken, c.takenPositionsInOriginal);
    EXPECT_EQ(list.size(), 0u);
  }
}

TEST(NodeList, PopLeastScoreLeavesTheOthersInOrder) {
  NodeList list = ListOf({Scored(0, 5), Scored(1, 3), Scored(2, 3), Scored(3, 4)});
  GridNode node;
  ASSERT_TRUE(list.PopLeastScore(node));
  EXPECT_EQ(node.x, 1);
  EXPECT_EQ(Xs(list), (std::vector<std::int32_t>{0, 2, 3}));
  EXPECT_EQ(list[1].score, 3);
}

TEST(NodeList, TakingFromAnEmptyListLeavesTheNodeUntouched) {
  const GridNode before{1, 2, 3, 4, 5, 6, 7};
  NodeList list;
  GridNode node = before;
  EXPECT_FALSE(list.PopLeastScore(node));
  EXPECT_TRUE(Same(node, before));
  EXPECT_FALSE(list.TakeFirst(node));
  EXPECT_TRUE(Same(node, before));
  list.Append(Scored(0, 0));
  ASSERT_TRUE(list.TakeFirst(node));
  node = before;
  EXPECT_FALSE(list.TakeFirst(node));
  EXPECT_FALSE(list.PopLeastScore(node));
  EXPECT_TRUE(Same(node, before));
}

TEST(NodeList, TakingCopiesAllSevenFields) {
  const GridNode full{-7, 65536, INT32_MIN, INT32_MAX, 12, 2, 14};
  for (int op = 0; op < 2; ++op) {
    NodeList list = ListOf({full});
    GridNode node;
    ASSERT_TRUE(op == 0 ? list.TakeFirst(node) : list.PopLeastScore(node));
    EXPECT_TRUE(Same(node, full));
    EXPECT_EQ(list.size(), 0u);
  }
}

TEST(NodeList, TakeFirstIsFirstInFirstOut) {
  NodeList list = ListOf({Scored(0, 9), Scored(1, 1), Scored(2, 5)});
  GridNode node;
  std::vector<std::int32_t> taken;
  while (list.TakeFirst(node)) taken.push_back(node.x);
  EXPECT_EQ(taken, (std::vector<std::int32_t>{0, 1, 2}));
}

TEST(NodeList, AppendKeepsItsOwnCopy) {
  NodeList list;
  GridNode working = Scored(1, 4);
  list.Append(working);
  working.score = 8;
  list.Append(working);
  working.x = 99;
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].score, 4);
  EXPECT_EQ(list[1].score, 8);
  EXPECT_EQ(list[0].x, 1);
  EXPECT_EQ(list[1].x, 1);
}

TEST(NodeList, RemoveAtClosesTheGapAndIgnoresPositionsOutside) {
  struct Case {
    const char* name;
    std::size_t position;
    std::vector<std::int32_t> left;
  };
  const std::vector<Case> cases = {
      {"first", 0, {1, 2, 3}},       {"middle", 2, {0, 1, 3}},
      {"last", 3, {0, 1, 2}},        {"at the count", 4, {0, 1, 2, 3}},
      {"far outside", SIZE_MAX, {0, 1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    NodeList list = ListOf({Scored(0, 0), Scored(1, 0), Scored(2, 0), Scored(3, 0)});
    list.RemoveAt(c.position);
    EXPECT_EQ(Xs(list), c.left);
  }
  NodeList empty;
  empty.RemoveAt(0);
  EXPECT_EQ(empty.size(), 0u);
}

TEST(BuildPathBytes, WalksFromTheLastElementToTheStart) {
  struct Case {
    const char* name;
    std::vector<GridNode> closed;
    std::vector<std::uint8_t> expected;
  };
  const std::vector<Case> cases = {
      {"only the start", {Cell(3, 4, 3, 4)}, {0x03, 0x00, 0x04, 0x00, 0x03, 0x00, 0x04, 0x00}},
      {"a straight line",
       {Cell(0, 0, 0, 0), Cell(1, 0, 0, 0), Cell(2, 0, 1, 0)},
       {0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00}},
      {"elements off the path add nothing",
       {Cell(0, 0, 0, 0), Cell(0, 1, 0, 0), Cell(1, 0, 0, 0), Cell(5, 5, 0, 1), Cell(2, 0, 1, 0)},
       testresult::PathRecord({{0, 0}, {1, 0}, {2, 0}})},
      {"the start twice: the first occurrence is used",
       {Cell(0, 0, 0, 0), Cell(0, 1, 0, 0), Cell(0, 0, 0, 1), Cell(1, 1, 0, 0)},
       testresult::PathRecord({{0, 0}, {1, 1}})},
      {"a repeated cell: the first occurrence's parent is followed",
       {Cell(0, 0, 0, 0), Cell(1, 0, 0, 0), Cell(2, 0, 1, 0), Cell(1, 0, 2, 0), Cell(3, 0, 1, 0)},
       testresult::PathRecord({{0, 0}, {1, 0}, {3, 0}})},
      {"start at -1", {Cell(-1, 0, -1, 0), Cell(0, 0, -1, 0)}, {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"-2 and 65537",
       {Cell(-2, 65537, -2, 65537)},
       {0xFE, 0xFF, 0x01, 0x00, 0xFE, 0xFF, 0x01, 0x00}},
      {"the extremes",
       {Cell(INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN), Cell(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MIN)},
       {0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
      {"empty list", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const NodeList closed = ListOf(c.closed);
    EXPECT_EQ(testresult::Hex(Record(closed)), testresult::Hex(c.expected));
    reference::NodeList model;
    for (const auto& n : c.closed) model.Append({n.x, n.y, n.parentX, n.parentY, n.cost, n.stepLength, n.score});
    EXPECT_EQ(testresult::Hex(reference::BuildPathBytes(model)), testresult::Hex(c.expected)) << "reference";
    EXPECT_EQ(closed.size(), c.closed.size());
  }
}

// A list no search builds: a parent cell that is nowhere in the list, or
// parents that lead in a circle, would make a literal walk loop forever; the
// record is then empty instead.
TEST(BuildPathBytes, AListWithoutAWayBackGivesTheEmptyRecord) {
  const std::vector<std::vector<GridNode>> lists = {
      {Cell(0, 0, 0, 0), Cell(1, 0, 7, 7)},
      {Cell(0, 0, 0, 0), Cell(1, 0, 2, 0), Cell(2, 0, 1, 0)},
  };
  for (const auto& list : lists) EXPECT_EQ(Record(ListOf(list)).size(), 0u);
}

// Random sequences of the four operations, on the library's list and on the
// literal reference list side by side. Scores come from a small range (many
// ties), from the range the path search produces (each node at most 3 above
// the one it follows), or from all of int32.
TEST(NodeList, MatchesTheLiteralListOnRandomOperations) {
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  auto next = [&state] {
    state += 0x9E3779B97F4A7C15u;
    std::uint64_t z = state;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
  };
  int failures = 0;
  for (int sequence = 0; sequence < 600 && failures < 5; ++sequence) {
    const int kind = sequence % 3;
    NodeList list;
    reference::NodeList model;
    std::int32_t lastScore = 0;
    std::string log;
    const int steps = 1 + static_cast<int>(next() % 300);
    for (int step = 0; step < steps; ++step) {
      const std::uint64_t r = next();
      const int op = static_cast<int>(r % 10);
      if (op < 5) {
        std::int32_t score = 0;
        if (kind == 0) score = static_cast<std::int32_t>(next() % 5);
        if (kind == 1) score = lastScore + static_cast<std::int32_t>(next() % 4);
        if (kind == 2) score = static_cast<std::int32_t>(static_cast<std::uint32_t>(next()));
        const GridNode n{step, static_cast<std::int32_t>(r >> 32), static_cast<std::int32_t>(next() % 7), -step,
                         static_cast<std::int32_t>(next() % 1000), static_cast<std::int32_t>(next() % 3), score};
        list.Append(n);
        model.Append({n.x, n.y, n.parentX, n.parentY, n.cost, n.stepLength, n.score});
        log += " A" + std::to_string(score);
      } else {
        GridNode got{-1, -1, -1, -1, -1, -1, -1};
        reference::Node want{-1, -1, -1, -1, -1, -1, -1};
        bool okGot = false, okWant = false;
        if (op < 8) {
          okGot = list.PopLeastScore(got);
          okWant = model.PopLeastScore(want);
          log += " P";
          if (okWant && kind == 1) lastScore = want.score;
        } else if (op == 8) {
          okGot = list.TakeFirst(got);
          okWant = model.TakeFirst(want);
          log += " T";
        } else {
          const std::size_t position = static_cast<std::size_t>(next() % (model.size() + 2));
          list.RemoveAt(position);
          model.RemoveAt(position);
          log += " R" + std::to_string(position);
          okGot = okWant = true;
          want = {-1, -1, -1, -1, -1, -1, -1};
        }
        const bool same = okGot == okWant && got.x == want.x && got.y == want.y && got.parentX == want.parentX &&
                          got.parentY == want.parentY && got.cost == want.cost &&
                          got.stepLength == want.stepLength && got.score == want.score;
        if (!same) {
          ADD_FAILURE() << "sequence " << sequence << " step " << step << ": took x=" << got.x << " (ok " << okGot
                        << "), reference x=" << want.x << " (ok " << okWant << ")\nops:" << log;
          ++failures;
          break;
        }
      }
      bool listsEqual = list.size() == model.size();
      for (std::size_t i = 0; listsEqual && i < model.size(); ++i)
        listsEqual = list[i].x == model[i].x && list[i].score == model[i].score && list[i].y == model[i].y;
      if (!listsEqual) {
        ADD_FAILURE() << "sequence " << sequence << " step " << step << ": lists differ\nops:" << log;
        ++failures;
        break;
      }
    }
  }
}
