#pragma once

#include <cstddef>
#include <cstdint>
#include <queue>
#include <vector>

#include "search/grid_node.h"

namespace gridseek {

// An ordered list that owns copies of GridNodes. Elements are added only at
// the end; a removal closes the gap, so position order is always append order.
//
// PopLeastScore takes the element with the least score and, among equal
// scores, the one appended earliest. Instead of scanning the list it keeps a
// heap keyed by (score, append sequence); positions are found through a
// Fenwick tree over the slots still alive, so every operation is O(log n).
class NodeList {
 public:
  void Append(const GridNode& node);
  // Removes the element at `position` (0 = first); outside 0..size()-1
  // nothing is removed.
  void RemoveAt(std::size_t position);
  // Empty list: false, `node` untouched. Otherwise copies the first element
  // into `node`, removes it and answers true.
  bool TakeFirst(GridNode& node);
  // As TakeFirst, for the least-score element (earliest appended among equals).
  bool PopLeastScore(GridNode& node);

  std::size_t size() const noexcept { return alive_; }
  bool empty() const noexcept { return alive_ == 0; }
  // The element at `position`, 0 <= position < size().
  const GridNode& operator[](std::size_t position) const;

 private:
  struct Key {
    std::int32_t score;
    std::size_t slot;
    bool operator>(const Key& other) const {
      return score != other.score ? score > other.score : slot > other.slot;
    }
  };
  std::size_t SlotOf(std::size_t position) const;  // slot of the position-th live element
  void Kill(std::size_t slot);
  void FenwickAdd(std::size_t slot, std::int64_t delta);
  std::int64_t FenwickPrefix(std::size_t slots) const;  // live slots among the first `slots`

  std::vector<GridNode> slots_;
  std::vector<bool> live_;
  std::vector<std::int64_t> fenwick_;  // 1-based
  std::priority_queue<Key, std::vector<Key>, std::greater<Key>> byScore_;
  std::size_t alive_ = 0;
  std::size_t firstLive_ = 0;  // every slot before this one is dead
};

}  // namespace gridseek
