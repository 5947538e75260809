#pragma once
// A slow, deliberately literal model of the node list, the path search, the
// path record and the ore search, for comparing the library against.
//
// Every algorithm here is in its plainest, unoptimised form: the open list is
// a plain vector scanned front to back for the least score, the path record
// is rebuilt with a front-to-back scan per parent, and every pixel is
// probed through the library's own 位图 (ReadPixel / WritePixel), so
// palette images, failed writes and short pixel areas behave exactly as the
// decoder makes them behave. Speed is no concern: the maps are small.
//
// Both searches also remember every cell that they have put on a list (the
// start cell not included at first) and never put a remembered cell on a
// list again. On images whose marks stick this changes nothing; it is what
// makes the searches end on images whose marks still read white.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace reference {

using Bytes = std::vector<std::uint8_t>;

struct Node {
  std::int32_t x = 0, y = 0, parentX = 0, parentY = 0, cost = 0, stepLength = 0, score = 0;
  friend bool operator==(const Node&, const Node&) = default;
};

// An ordered list of node copies: append at the end, remove anywhere.
class NodeList {
 public:
  void Append(const Node& node) { items_.push_back(node); }
  // A position outside 0 .. size()-1 removes nothing.
  void RemoveAt(std::size_t position);
  // Copies the first element into `node` and removes it; false (node
  // untouched) on an empty list.
  bool TakeFirst(Node& node);
  // Copies the element with the least score (the first one among equals)
  // into `node` and removes it; false (node untouched) on an empty list.
  bool PopLeastScore(Node& node);

  std::size_t size() const { return items_.size(); }
  const Node& operator[](std::size_t position) const { return items_.at(position); }

 private:
  std::vector<Node> items_;
};

// The path record of a closed list: 4 bytes (x word, y word) per cell,
// start first, goal (the last element) last; empty for an empty list.
// Throws std::logic_error when a parent cell is missing from the list.
Bytes BuildPathBytes(const NodeList& closedList);

// Limits for the searches. The guard is on unless switched off; without it
// a search may never end, so it stops after `expansionLimit` expansions
// and answers nothing.
struct Options {
  bool rememberCells = true;
  std::size_t expansionLimit = SIZE_MAX;
};

// The result bytes of 寻路 / 寻矿 on the BMP file `image` (empty: the
// empty result); nullopt only when the expansion limit was reached.
std::optional<Bytes> PathSearch(std::span<const std::uint8_t> image, std::int32_t startX, std::int32_t startY,
                                std::int32_t goalX, std::int32_t goalY, const Options& options);
std::optional<Bytes> OreSearch(std::span<const std::uint8_t> image, std::int32_t x, std::int32_t y,
                               const Options& options);

// The guarded searches, which always end.
Bytes FindPath(std::span<const std::uint8_t> image, std::int32_t startX, std::int32_t startY, std::int32_t goalX,
               std::int32_t goalY);
Bytes FindOre(std::span<const std::uint8_t> image, std::int32_t x, std::int32_t y);

}  // namespace reference
