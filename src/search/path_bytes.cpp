#include "search/path_bytes.h"

#include <unordered_map>
#include <vector>

#include "common/coordinate_word.h"

namespace gridseek {
namespace {

std::uint64_t CellKey(std::int32_t x, std::int32_t y) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(x)) << 32 | static_cast<std::uint32_t>(y);
}

}  // namespace

ByteSequence BuildPathBytes(const NodeList& closedList) {
  if (closedList.empty()) return {};
  std::vector<GridNode> nodes;
  nodes.reserve(closedList.size());
  std::unordered_map<std::uint64_t, std::size_t> firstAt;
  for (std::size_t i = 0; i < closedList.size(); ++i) {
    nodes.push_back(closedList[i]);
    firstAt.try_emplace(CellKey(nodes.back().x, nodes.back().y), i);
  }

  const GridNode& start = nodes.front();
  std::vector<const GridNode*> walk{&nodes.back()};
  // Each lookup lands nearer the front in a list a search builds; the bound
  // keeps a malformed list from walking in circles.
  for (std::size_t steps = 0;; ++steps) {
    const auto found = firstAt.find(CellKey(walk.back()->parentX, walk.back()->parentY));
    if (found == firstAt.end() || steps > nodes.size()) return {};
    walk.push_back(&nodes[found->second]);
    if (walk.back()->x == start.x && walk.back()->y == start.y) break;
  }

  ByteSequence record = ByteSequence::Allocate(4 * walk.size());
  std::uint8_t* out = record.data();
  for (auto it = walk.rbegin(); it != walk.rend(); ++it, out += 4) {
    PutCoordinateWord(out, (*it)->x);
    PutCoordinateWord(out + 2, (*it)->y);
  }
  return record;
}

}  // namespace gridseek
