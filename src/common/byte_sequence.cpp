#include "common/byte_sequence.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace gridseek {

std::uint8_t* ByteSequence::AllocateStorage(std::size_t count) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  constexpr std::size_t kHugePage = std::size_t{2} << 20;
  if (count >= 4 * kHugePage) {
    void* block = nullptr;
    if (posix_memalign(&block, kHugePage, count) != 0) return nullptr;
    madvise(block, count, MADV_HUGEPAGE);  // advice only: failure changes nothing
    return static_cast<std::uint8_t*>(block);
  }
#endif
  return static_cast<std::uint8_t*>(std::malloc(count));
}

}  // namespace gridseek
