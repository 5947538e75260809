#include "support/library_handle.h"

#include <dlfcn.h>

#include <stdexcept>

namespace testlib {

std::string Library::DefaultPath() {
#ifdef GRIDSEEK_LIBRARY_PATH
  return GRIDSEEK_LIBRARY_PATH;
#else
  return "libgridseek.so";
#endif
}

Library::Library(const std::string& path) {
  const std::string file = path.empty() ? DefaultPath() : path;
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) throw std::runtime_error("dlopen " + file + ": " + dlerror());
  path_ = reinterpret_cast<PathFn>(dlsym(handle_, kPathName));
  ore_ = reinterpret_cast<OreFn>(dlsym(handle_, kOreName));
  if (path_ == nullptr || ore_ == nullptr) throw std::runtime_error("export missing in " + file);
}

Library::~Library() {
  if (handle_ != nullptr) dlclose(handle_);
}

namespace {
std::vector<std::uint8_t> Copy(std::intptr_t p, std::intptr_t q) {
  if (p == 0 || q <= 0) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(p);
  return {bytes, bytes + q};
}
}  // namespace

std::vector<std::uint8_t> Library::FindPath(const std::vector<std::uint8_t>& image, std::int32_t sx,
                                            std::int32_t sy, std::int32_t gx, std::int32_t gy) const {
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  path_(&p, &q, sx, sy, gx, gy);
  return Copy(p, q);
}

std::vector<std::uint8_t> Library::FindOre(const std::vector<std::uint8_t>& image, std::int32_t x,
                                           std::int32_t y) const {
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  ore_(&p, &q, x, y);
  return Copy(p, q);
}

}  // namespace testlib
