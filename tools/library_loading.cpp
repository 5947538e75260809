#include "library_loading.h"

#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace gstool {
namespace {

#if defined(_WIN32) && !defined(_WIN64)
#define GSTOOL_CALL __stdcall
#else
#define GSTOOL_CALL
#endif

using PathFn = void(GSTOOL_CALL*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t, std::int32_t,
                                  std::int32_t);
using OreFn = void(GSTOOL_CALL*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t);

#if defined(_WIN32) && !defined(_WIN64)
// 32-bit Windows builds export the GBK spellings of the names.
constexpr char kPathName[] = "\xD1\xB0\xC2\xB7";  // 寻路
constexpr char kOreName[] = "\xD1\xB0\xBF\xF3";   // 寻矿
#else
constexpr char kPathName[] = "\xE5\xAF\xBB\xE8\xB7\xAF";  // 寻路
constexpr char kOreName[] = "\xE5\xAF\xBB\xE7\x9F\xBF";   // 寻矿
#endif

#ifdef _WIN32
constexpr char kLibraryFile[] = "gridseek.dll";
#else
constexpr char kLibraryFile[] = "libgridseek.so";
#endif

std::vector<std::uint8_t> CopyResult(std::intptr_t p, std::intptr_t q) {
  if (p == 0 || q <= 0) return {};
  const auto* first = reinterpret_cast<const std::uint8_t*>(p);
  return {first, first + q};
}

std::filesystem::path ExecutableDirectory() {
  std::error_code ignored;
#ifdef _WIN32
  wchar_t buffer[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  if (n == 0 || n == MAX_PATH) return {};
  return std::filesystem::path(buffer).parent_path();
#else
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ignored);
  return ignored ? std::filesystem::path() : self.parent_path();
#endif
}

}  // namespace

struct GridseekLibrary::Exports {
#ifdef _WIN32
  HMODULE handle = nullptr;
#else
  void* handle = nullptr;
#endif
  PathFn path = nullptr;
  OreFn ore = nullptr;
};

std::unique_ptr<GridseekLibrary> GridseekLibrary::Open(const std::string& path, std::string& error) {
  auto exports = std::make_unique<Exports>();
#ifdef _WIN32
  exports->handle = LoadLibraryW(std::filesystem::u8path(path).wstring().c_str());
  if (exports->handle == nullptr) {
    error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
    return nullptr;
  }
  exports->path = reinterpret_cast<PathFn>(reinterpret_cast<void*>(GetProcAddress(exports->handle, kPathName)));
  exports->ore = reinterpret_cast<OreFn>(reinterpret_cast<void*>(GetProcAddress(exports->handle, kOreName)));
#else
  // A bare file name would make dlopen search the system's library path;
  // the user means the file in the current directory.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  exports->handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (exports->handle == nullptr) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    return nullptr;
  }
  exports->path = reinterpret_cast<PathFn>(dlsym(exports->handle, kPathName));
  exports->ore = reinterpret_cast<OreFn>(dlsym(exports->handle, kOreName));
#endif
  if (exports->path == nullptr || exports->ore == nullptr) {
    error = path + " is not a gridseek library: it does not export " +
            (exports->path == nullptr ? std::string("寻路") : std::string("寻矿"));
#ifdef _WIN32
    FreeLibrary(exports->handle);
#else
    dlclose(exports->handle);
#endif
    return nullptr;
  }
  std::unique_ptr<GridseekLibrary> library(new GridseekLibrary());
  library->exports_ = std::move(exports);
  return library;
}

GridseekLibrary::~GridseekLibrary() {
  if (exports_ == nullptr) return;
#ifdef _WIN32
  FreeLibrary(exports_->handle);
#else
  dlclose(exports_->handle);
#endif
}

std::vector<std::uint8_t> GridseekLibrary::FindPath(const std::vector<std::uint8_t>& image, std::int32_t x0,
                                                    std::int32_t y0, std::int32_t x1, std::int32_t y1) const {
  std::intptr_t p = image.empty() ? 0 : reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  exports_->path(&p, &q, x0, y0, x1, y1);
  return CopyResult(p, q);
}

std::vector<std::uint8_t> GridseekLibrary::FindOre(const std::vector<std::uint8_t>& image, std::int32_t x,
                                                   std::int32_t y) const {
  std::intptr_t p = image.empty() ? 0 : reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  exports_->ore(&p, &q, x, y);
  return CopyResult(p, q);
}

std::vector<std::string> DefaultLibraryCandidates() {
  std::vector<std::string> candidates;
  const auto dir = ExecutableDirectory();
  if (!dir.empty()) {
    candidates.push_back((dir / kLibraryFile).string());
    candidates.push_back((dir.parent_path() / "lib" / kLibraryFile).string());
  }
#ifdef GSTOOL_BUILT_LIBRARY
  candidates.emplace_back(GSTOOL_BUILT_LIBRARY);
#endif
  return candidates;
}

}  // namespace gstool
