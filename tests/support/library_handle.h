#pragma once
// Loads the built shared library the way a host does (dlopen/dlsym by the
// two export names) and calls the exports through two intptr_t variables.

#include <cstdint>
#include <string>
#include <vector>

namespace testlib {

using PathFn = void (*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t);
using OreFn = void (*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t);

class Library {
 public:
  // The library built with the tests, unless a path is given.
  explicit Library(const std::string& path = "");
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  PathFn path() const { return path_; }
  OreFn ore() const { return ore_; }

  // One call on `image`; returns a copy of the result bytes (empty result: {}).
  std::vector<std::uint8_t> FindPath(const std::vector<std::uint8_t>& image, std::int32_t sx, std::int32_t sy,
                                     std::int32_t gx, std::int32_t gy) const;
  std::vector<std::uint8_t> FindOre(const std::vector<std::uint8_t>& image, std::int32_t x, std::int32_t y) const;

  static std::string DefaultPath();

 private:
  void* handle_ = nullptr;
  PathFn path_ = nullptr;
  OreFn ore_ = nullptr;
};

// The UTF-8 export names.
inline constexpr char kPathName[] = "\xE5\xAF\xBB\xE8\xB7\xAF";  // 寻路
inline constexpr char kOreName[] = "\xE5\xAF\xBB\xE7\x9F\xBF";   // 寻矿

}  // namespace testlib
