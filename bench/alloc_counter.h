#pragma once
// Live heap bytes of the whole process, counted by this program's own malloc,
// calloc, realloc, free and aligned allocators (which forward to glibc), plus
// anonymous mmap/munmap calls made by anyone outside glibc. A dlopen'ed library
// resolves these names to the definitions here, so its allocations are counted.

#include <cstdint>

namespace bench {

std::int64_t LiveBytes();
// Sets the running peak to the current live count; returns that count.
std::int64_t ResetPeak();
std::int64_t PeakBytes();

}  // namespace bench
