#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <utility>

#include "common/out_of_storage.h"

namespace gridseek {

// A first-in first-out queue of trivially copyable values in one ring buffer
// that doubles when full. Running out of storage is fatal.
template <class T>
class RingQueue {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  RingQueue() = default;
  ~RingQueue() { std::free(items_); }
  RingQueue(const RingQueue&) = delete;
  RingQueue& operator=(const RingQueue&) = delete;

  bool empty() const noexcept { return count_ == 0; }
  std::size_t size() const noexcept { return count_; }

  void Push(T value) noexcept {
    if (count_ == capacity_) Grow();
    items_[(head_ + count_) & (capacity_ - 1)] = value;
    ++count_;
  }

  void Swap(RingQueue& other) noexcept {
    std::swap(items_, other.items_);
    std::swap(capacity_, other.capacity_);
    std::swap(head_, other.head_);
    std::swap(count_, other.count_);
  }

  // The value `ahead` places behind the front, or the front itself when the
  // queue is shorter than that. The queue must not be empty.
  T Peek(std::size_t ahead) const noexcept {
    return items_[(head_ + (ahead < count_ ? ahead : 0)) & (capacity_ - 1)];
  }

  // The queue must not be empty.
  T Pop() noexcept {
    const T value = items_[head_];
    head_ = (head_ + 1) & (capacity_ - 1);
    --count_;
    return value;
  }

 private:
  [[gnu::noinline]] void Grow() noexcept {
    constexpr std::size_t kFirstCapacity = 1024;
    const std::size_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_ * 2;
    if (capacity > SIZE_MAX / sizeof(T) || capacity < capacity_) OutOfStorage(UINT64_MAX);
    auto* items = static_cast<T*>(std::malloc(capacity * sizeof(T)));
    if (items == nullptr) OutOfStorage(static_cast<std::uint64_t>(capacity) * sizeof(T));
    // Unroll the ring into the front of the new buffer.
    const std::size_t tail = capacity_ - head_;
    if (count_ != 0) {
      std::memcpy(items, items_ + head_, (count_ < tail ? count_ : tail) * sizeof(T));
      if (count_ > tail) std::memcpy(items + tail, items_, (count_ - tail) * sizeof(T));
    }
    std::free(items_);
    items_ = items;
    capacity_ = capacity;
    head_ = 0;
  }

  T* items_ = nullptr;
  std::size_t capacity_ = 0;  // 0 or a power of two
  std::size_t head_ = 0;
  std::size_t count_ = 0;
};

}  // namespace gridseek
