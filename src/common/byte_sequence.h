#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <utility>

#include "common/out_of_storage.h"

namespace gridseek {

// A counted run of bytes that owns its storage; may be empty. An empty
// sequence owns nothing, so it is handed to a caller as address 0, count 0.
class ByteSequence {
 public:
  constexpr ByteSequence() noexcept = default;

  // Storage for `count` bytes, contents unspecified; running out is fatal.
  static ByteSequence Allocate(std::size_t count) noexcept {
    if (count == 0) return {};
    std::uint8_t* bytes = AllocateStorage(count);
    if (bytes == nullptr) OutOfStorage(count);
    return ByteSequence(bytes, count);
  }

  // As Allocate, but a failure is the caller's to handle.
  static std::optional<ByteSequence> TryAllocate(std::size_t count) noexcept {
    if (count == 0) return ByteSequence();
    std::uint8_t* bytes = AllocateStorage(count);
    if (bytes == nullptr) return std::nullopt;
    return ByteSequence(bytes, count);
  }

  std::uint8_t* data() noexcept { return bytes_.get(); }
  const std::uint8_t* data() const noexcept { return bytes_.get(); }
  std::size_t size() const noexcept { return size_; }
  bool empty() const noexcept { return size_ == 0; }
  std::span<std::uint8_t> span() noexcept { return {bytes_.get(), size_}; }
  std::span<const std::uint8_t> span() const noexcept { return {bytes_.get(), size_}; }

  ByteSequence(ByteSequence&& other) noexcept
      : bytes_(std::move(other.bytes_)), size_(std::exchange(other.size_, 0)) {}
  ByteSequence& operator=(ByteSequence&& other) noexcept {
    bytes_ = std::move(other.bytes_);  // releases what this held first
    size_ = std::exchange(other.size_, 0);
    return *this;
  }
  ByteSequence(const ByteSequence&) = delete;
  ByteSequence& operator=(const ByteSequence&) = delete;

 private:
  struct Free {
    void operator()(std::uint8_t* bytes) const noexcept { std::free(bytes); }
  };
  ByteSequence(std::uint8_t* bytes, std::size_t count) noexcept : bytes_(bytes), size_(count) {}

  // malloc, or null. Large blocks (image copies, search grids) are aligned to
  // and advised for huge pages where the system offers them: touching them
  // the first time then costs a fault per 2 MiB instead of per 4 KiB.
  static std::uint8_t* AllocateStorage(std::size_t count) noexcept;

  std::unique_ptr<std::uint8_t, Free> bytes_;
  std::size_t size_ = 0;
};

}  // namespace gridseek
