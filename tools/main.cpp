// gridseek: runs one search of the gridseek library on a map file.

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "arguments.h"
#include "drawing.h"
#include "library_loading.h"
#include "map_loading.h"
#include "output.h"
#include "png_file.h"
#include "records.h"

namespace {

using namespace gstool;

int Fail(int code, const std::string& message) {
  std::cerr << "gridseek: " << message << "\n";
  return code;
}

void Warn(const std::string& message) { std::cerr << "gridseek: warning: " << message << "\n"; }

std::unique_ptr<GridseekLibrary> LoadLibrary(const Options& options, std::string& error) {
  if (!options.library.empty()) return GridseekLibrary::Open(options.library, error);
  const auto candidates = DefaultLibraryCandidates();
  std::string tried;
  for (const auto& candidate : candidates) {
    std::error_code ec;
    if (std::filesystem::exists(candidate, ec)) return GridseekLibrary::Open(candidate, error);
    tried += "\n  " + candidate;
  }
  error = "cannot find the gridseek library; looked for:" + tried + "\nname one with --library PATH";
  return nullptr;
}

// Writes the picture; false (after a message) when it cannot be made or written.
bool WritePicture(const Options& options, const LoadedMap& map, const Raster& picture) {
  std::error_code ec;
  const auto parent = std::filesystem::path(options.draw).parent_path();
  if (!parent.empty() && !std::filesystem::is_directory(parent, ec)) {
    Fail(kExitInput, "cannot write " + options.draw + ": no directory " + parent.string());
    return false;
  }
  std::string error;
  if (!WritePng(options.draw, picture, error)) {
    Fail(kExitInput, error);
    return false;
  }
  (void)map;
  return true;
}

int Run(const Options& options) {
  LoadedMap map;
  std::string error;
  if (!LoadMap(options.map, map, error)) return Fail(kExitInput, error);
  for (const auto& warning : map.warnings) Warn(warning);

  const auto library = LoadLibrary(options, error);
  if (library == nullptr) return Fail(kExitLibrary, error);

  // What the drawing shows: the picture the library reads, nothing when the
  // map does not decode (every cell reads black then).
  const bool drawable = !map.decodes || map.picture.has_value();
  if (!options.draw.empty() && !drawable) return Fail(kExitInput, "the map is too large to draw");
  const Raster empty;
  const Raster& seen = map.picture ? *map.picture : empty;
  std::vector<std::string> drawingWarnings;

  int status = kExitFound;
  if (options.command == Command::kPath) {
    PathReport report{options.map, map.decodes, {options.x0, options.y0}, {options.x1, options.y1}, {}};
    if (!DecodePathRecord(library->FindPath(map.bmp, options.x0, options.y0, options.x1, options.y1), report.cells,
                          error))
      return Fail(kExitLibrary, error);
    status = report.cells.empty() ? kExitNotFound : kExitFound;
    if (!options.draw.empty()) {
      const Raster picture = DrawPath(seen, report, options.scale, drawingWarnings);
      for (const auto& w : drawingWarnings) Warn(w);
      if (!WritePicture(options, map, picture)) return kExitInput;
    }
    std::vector<std::string> warnings = map.warnings;
    warnings.insert(warnings.end(), drawingWarnings.begin(), drawingWarnings.end());
    if (options.json) PrintPathJson(std::cout, report, warnings);
    else PrintPathText(std::cout, report);
  } else {
    OreReport report{options.map, map.decodes, {options.x0, options.y0}, std::nullopt};
    if (!DecodeOreRecord(library->FindOre(map.bmp, options.x0, options.y0), report.hit, error))
      return Fail(kExitLibrary, error);
    status = report.hit ? kExitFound : kExitNotFound;
    if (!options.draw.empty()) {
      const Raster picture = DrawOre(seen, report, options.scale, drawingWarnings);
      for (const auto& w : drawingWarnings) Warn(w);
      if (!WritePicture(options, map, picture)) return kExitInput;
    }
    std::vector<std::string> warnings = map.warnings;
    warnings.insert(warnings.end(), drawingWarnings.begin(), drawingWarnings.end());
    if (options.json) PrintOreJson(std::cout, report, warnings);
    else PrintOreText(std::cout, report);
  }
  std::cout.flush();
  if (!std::cout) return Fail(kExitInput, "cannot write the result to standard output");
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  Options options;
  std::string error;
  if (!ParseArguments(args, options, error)) {
    std::cerr << "gridseek: " << error << "\n" << UsageText() << "Try 'gridseek --help' for more.\n";
    return kExitUsage;
  }
  if (options.help) {
    std::cout << HelpText();
    return 0;
  }
  if (options.version) {
#ifdef GSTOOL_VERSION
    std::cout << "gridseek " << GSTOOL_VERSION << "\n";
#endif
    return 0;
  }
  return Run(options);
}
