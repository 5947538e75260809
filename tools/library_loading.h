#pragma once
// Loads a gridseek build the way any host does: by file name, then the two
// exports by name (dlopen/dlsym; LoadLibrary/GetProcAddress on Windows).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gstool {

class GridseekLibrary {
 public:
  // Null with a message in `error` when the file does not load or lacks an export.
  static std::unique_ptr<GridseekLibrary> Open(const std::string& path, std::string& error);
  ~GridseekLibrary();
  GridseekLibrary(const GridseekLibrary&) = delete;
  GridseekLibrary& operator=(const GridseekLibrary&) = delete;

  // One call each; the result bytes are copied out before returning
  // (an empty vector is the empty result).
  std::vector<std::uint8_t> FindPath(const std::vector<std::uint8_t>& image, std::int32_t x0, std::int32_t y0,
                                     std::int32_t x1, std::int32_t y1) const;
  std::vector<std::uint8_t> FindOre(const std::vector<std::uint8_t>& image, std::int32_t x, std::int32_t y) const;

 private:
  GridseekLibrary() = default;
  struct Exports;
  std::unique_ptr<Exports> exports_;
};

// Where the tool looks for the library when --library is not given, in order:
// next to the executable, in ../lib beside it (an installed layout), and where
// the build that made the tool put it.
std::vector<std::string> DefaultLibraryCandidates();

}  // namespace gstool
