#pragma once

#include <cstdint>
#include <optional>

namespace gridseek {

// a * b, or nullopt when the product does not fit in 64 bits.
constexpr std::optional<std::uint64_t> CheckedMul(std::uint64_t a, std::uint64_t b) noexcept {
  if (a != 0 && b > UINT64_MAX / a) return std::nullopt;
  return a * b;
}

}  // namespace gridseek
