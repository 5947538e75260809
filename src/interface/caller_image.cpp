#include "interface/caller_image.h"

#include <cstring>

namespace gridseek {

ByteSequence CopyCallerImage(std::intptr_t address, std::intptr_t count) noexcept {
  if (count <= 0 || address == 0) return {};
  const auto size = static_cast<std::size_t>(count);
  ByteSequence copy = ByteSequence::Allocate(size);
  std::memcpy(copy.data(), reinterpret_cast<const void*>(address), size);
  return copy;
}

}  // namespace gridseek
