#pragma once

#include <cstdint>

namespace gridseek {

// The library's one fatal condition. Shows a message naming the number of
// bytes that could not be had (stderr; a modal message box on Windows), then
// ends the host process with exit code -1. Never returns.
[[noreturn]] void OutOfStorage(std::uint64_t bytesRequested) noexcept;

}  // namespace gridseek
