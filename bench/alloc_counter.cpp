#include "alloc_counter.h"

#include <dlfcn.h>
#include <malloc.h>
#include <sys/mman.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <mutex>

extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* block, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

void Grow(std::size_t bytes) {
  const std::int64_t now = live.fetch_add(static_cast<std::int64_t>(bytes), std::memory_order_relaxed) +
                           static_cast<std::int64_t>(bytes);
  std::int64_t seen = peak.load(std::memory_order_relaxed);
  while (now > seen && !peak.compare_exchange_weak(seen, now, std::memory_order_relaxed)) {
  }
}

void Shrink(std::size_t bytes) { live.fetch_sub(static_cast<std::int64_t>(bytes), std::memory_order_relaxed); }

std::size_t Usable(void* block) { return block == nullptr ? 0 : malloc_usable_size(block); }

// Anonymous mappings handed out by the mmap below, so that munmap subtracts only
// what was added (glibc's own mappings never pass through here).
struct Region {
  std::uintptr_t begin = 0, end = 0;
};
constexpr int kRegions = 256;
Region regions[kRegions];
std::mutex regionLock;

using MmapFn = void* (*)(void*, std::size_t, int, int, int, off_t);
using MunmapFn = int (*)(void*, std::size_t);

MmapFn RealMmap() {
  static MmapFn fn = reinterpret_cast<MmapFn>(dlsym(RTLD_NEXT, "mmap"));
  return fn;
}
MunmapFn RealMunmap() {
  static MunmapFn fn = reinterpret_cast<MunmapFn>(dlsym(RTLD_NEXT, "munmap"));
  return fn;
}

constexpr std::uintptr_t kPage = 4096;
std::uintptr_t PageUp(std::uintptr_t v) { return (v + kPage - 1) & ~(kPage - 1); }

}  // namespace

#define BENCH_EXPORT extern "C" __attribute__((visibility("default")))

BENCH_EXPORT void* malloc(std::size_t size) noexcept {
  void* block = __libc_malloc(size);
  Grow(Usable(block));
  return block;
}

BENCH_EXPORT void* calloc(std::size_t count, std::size_t size) noexcept {
  void* block = __libc_calloc(count, size);
  Grow(Usable(block));
  return block;
}

BENCH_EXPORT void* realloc(void* block, std::size_t size) noexcept {
  const std::size_t before = Usable(block);
  void* moved = __libc_realloc(block, size);
  if (moved == nullptr && size != 0) return nullptr;  // the old block is still there
  Shrink(before);
  Grow(Usable(moved));
  return moved;
}

BENCH_EXPORT void free(void* block) noexcept {
  Shrink(Usable(block));
  __libc_free(block);
}

BENCH_EXPORT void* memalign(std::size_t alignment, std::size_t size) noexcept {
  void* block = __libc_memalign(alignment, size);
  Grow(Usable(block));
  return block;
}

BENCH_EXPORT void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
  return memalign(alignment, size);
}

BENCH_EXPORT int posix_memalign(void** out, std::size_t alignment, std::size_t size) noexcept {
  if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return EINVAL;
  void* block = memalign(alignment, size);
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}

BENCH_EXPORT void* mmap(void* address, std::size_t length, int protection, int flags, int fd,
                        off_t offset) noexcept {
  void* mapped = RealMmap()(address, length, protection, flags, fd, offset);
  if (mapped == MAP_FAILED || (flags & MAP_ANONYMOUS) == 0) return mapped;
  const auto begin = reinterpret_cast<std::uintptr_t>(mapped);
  const std::lock_guard<std::mutex> hold(regionLock);
  for (Region& r : regions) {
    if (r.begin != r.end) continue;
    r.begin = begin;
    r.end = begin + PageUp(length);
    Grow(r.end - r.begin);
    break;
  }
  return mapped;
}

BENCH_EXPORT int munmap(void* address, std::size_t length) noexcept {
  const auto begin = reinterpret_cast<std::uintptr_t>(address);
  const std::uintptr_t end = begin + PageUp(length);
  {
    const std::lock_guard<std::mutex> hold(regionLock);
    for (Region& r : regions) {
      if (r.begin == r.end || end <= r.begin || begin >= r.end) continue;
      if (begin <= r.begin && end >= r.end) {  // whole region
        Shrink(r.end - r.begin);
        r = Region{};
      } else if (begin <= r.begin) {  // its head
        Shrink(end - r.begin);
        r.begin = end;
      } else if (end >= r.end) {  // its tail
        Shrink(r.end - begin);
        r.end = begin;
      } else {  // a hole in the middle: keep counting the head and the tail as one region
        Shrink(end - begin);
      }
    }
  }
  return RealMunmap()(address, length);
}

namespace bench {

std::int64_t LiveBytes() { return live.load(std::memory_order_relaxed); }

std::int64_t ResetPeak() {
  const std::int64_t now = live.load(std::memory_order_relaxed);
  peak.store(now, std::memory_order_relaxed);
  return now;
}

std::int64_t PeakBytes() { return peak.load(std::memory_order_relaxed); }

}  // namespace bench
