#pragma once
// The tool's report of one search: lines for people, one JSON object for scripts.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "records.h"

namespace gstool {

struct PathReport {
  std::string map;
  bool mapDecodes = true;
  Cell start, goal;
  std::vector<Cell> cells;   // empty: no path
};

struct OreReport {
  std::string map;
  bool mapDecodes = true;
  Cell start;
  std::optional<OreHit> hit;
};

void PrintPathText(std::ostream& out, const PathReport& report);
void PrintOreText(std::ostream& out, const OreReport& report);
void PrintPathJson(std::ostream& out, const PathReport& report, const std::vector<std::string>& warnings);
void PrintOreJson(std::ostream& out, const OreReport& report, const std::vector<std::string>& warnings);

std::string JsonString(const std::string& text);

}  // namespace gstool
