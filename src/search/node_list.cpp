#include "search/node_list.h"

namespace gridseek {

void NodeList::FenwickAdd(std::size_t slot, std::int64_t delta) {
  for (std::size_t i = slot + 1; i <= fenwick_.size(); i += i & (~i + 1)) fenwick_[i - 1] += delta;
}

std::int64_t NodeList::FenwickPrefix(std::size_t slots) const {
  std::int64_t sum = 0;
  for (std::size_t i = slots; i > 0; i -= i & (~i + 1)) sum += fenwick_[i - 1];
  return sum;
}

void NodeList::Append(const GridNode& node) {
  const std::size_t slot = slots_.size();
  slots_.push_back(node);
  live_.push_back(true);
  // A new Fenwick cell covers the slots (i - lowbit(i), i]; all but the new
  // one already exist, so its sum is a difference of prefixes.
  const std::size_t i = slot + 1;
  const std::size_t low = i & (~i + 1);
  fenwick_.push_back(1 + FenwickPrefix(i - 1) - FenwickPrefix(i - low));
  byScore_.push(Key{node.score, slot});
  ++alive_;
}

std::size_t NodeList::SlotOf(std::size_t position) const {
  // Smallest slot s with FenwickPrefix(s + 1) == position + 1.
  std::size_t at = 0;
  auto remaining = static_cast<std::int64_t>(position) + 1;
  std::size_t step = 1;
  while (step * 2 <= fenwick_.size()) step *= 2;
  for (; step > 0; step /= 2) {
    if (at + step <= fenwick_.size() && fenwick_[at + step - 1] < remaining) {
      at += step;
      remaining -= fenwick_[at - 1];
    }
  }
  return at;
}

void NodeList::Kill(std::size_t slot) {
  live_[slot] = false;
  FenwickAdd(slot, -1);
  --alive_;
  while (firstLive_ < slots_.size() && !live_[firstLive_]) ++firstLive_;
}

void NodeList::RemoveAt(std::size_t position) {
  if (position >= alive_) return;
  Kill(SlotOf(position));
}

bool NodeList::TakeFirst(GridNode& node) {
  if (alive_ == 0) return false;
  node = slots_[firstLive_];
  Kill(firstLive_);
  return true;
}

bool NodeList::PopLeastScore(GridNode& node) {
  if (alive_ == 0) return false;
  while (!live_[byScore_.top().slot]) byScore_.pop();  // entries of removed elements
  const std::size_t slot = byScore_.top().slot;
  byScore_.pop();
  node = slots_[slot];
  Kill(slot);
  return true;
}

const GridNode& NodeList::operator[](std::size_t position) const { return slots_[SlotOf(position)]; }

}  // namespace gridseek
