#include "output.h"

#include <cstdio>

namespace gstool {
namespace {

// Built by appending: GCC 12 warns falsely (-Wrestrict) about "(" + std::to_string(...).
std::string Bracketed(char open, Cell c, char close) {
  std::string s(1, open);
  s.append(std::to_string(c.x)).append(", ").append(std::to_string(c.y)).push_back(close);
  return s;
}
std::string Pair(Cell c) { return Bracketed('(', c, ')'); }
std::string JsonPair(Cell c) { return Bracketed('[', c, ']'); }

void JsonWarnings(std::ostream& out, const std::vector<std::string>& warnings) {
  out << "  \"warnings\": [";
  for (std::size_t i = 0; i < warnings.size(); ++i) out << (i ? ", " : "") << JsonString(warnings[i]);
  out << "]";
}

}  // namespace

std::string JsonString(const std::string& text) {
  std::string s = "\"";
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': s += "\\\""; break;
      case '\\': s += "\\\\"; break;
      case '\n': s += "\\n"; break;
      case '\r': s += "\\r"; break;
      case '\t': s += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          s += buf;
        } else {
          s += ch;  // UTF-8 passes through
        }
    }
  }
  return s + "\"";
}

void PrintPathText(std::ostream& out, const PathReport& r) {
  if (r.cells.empty()) {
    out << "no path from " << Pair(r.start) << " to " << Pair(r.goal) << "\n";
    return;
  }
  out << "path from " << Pair(r.start) << " to " << Pair(r.goal) << ": " << r.cells.size() << " cells\n";
  // Eight cells a line keeps long paths readable.
  for (std::size_t i = 0; i < r.cells.size(); ++i) {
    out << (i % 8 == 0 ? "  " : " ") << Pair(r.cells[i]);
    if (i % 8 == 7 || i + 1 == r.cells.size()) out << "\n";
  }
}

void PrintOreText(std::ostream& out, const OreReport& r) {
  if (!r.hit) {
    out << "no ore reachable from " << Pair(r.start) << "\n";
    return;
  }
  const Direction* d = FindDirection(r.hit->direction);
  const Cell ore{r.hit->cell.x + d->dx, r.hit->cell.y + d->dy};
  out << "ore next to cell " << Pair(r.hit->cell) << ": direction " << d->code << " (" << d->side
      << "), black pixel at " << Pair(ore) << "\n";
}

void PrintPathJson(std::ostream& out, const PathReport& r, const std::vector<std::string>& warnings) {
  out << "{\n  \"command\": \"path\",\n  \"map\": " << JsonString(r.map)
      << ",\n  \"map_decodes\": " << (r.mapDecodes ? "true" : "false") << ",\n  \"start\": " << JsonPair(r.start)
      << ",\n  \"goal\": " << JsonPair(r.goal) << ",\n  \"found\": " << (r.cells.empty() ? "false" : "true")
      << ",\n  \"length\": " << r.cells.size() << ",\n  \"cells\": [";
  for (std::size_t i = 0; i < r.cells.size(); ++i) out << (i ? ", " : "") << JsonPair(r.cells[i]);
  out << "],\n";
  JsonWarnings(out, warnings);
  out << "\n}\n";
}

void PrintOreJson(std::ostream& out, const OreReport& r, const std::vector<std::string>& warnings) {
  out << "{\n  \"command\": \"ore\",\n  \"map\": " << JsonString(r.map)
      << ",\n  \"map_decodes\": " << (r.mapDecodes ? "true" : "false") << ",\n  \"start\": " << JsonPair(r.start)
      << ",\n  \"found\": " << (r.hit ? "true" : "false") << ",\n";
  if (r.hit) {
    const Direction* d = FindDirection(r.hit->direction);
    out << "  \"cell\": " << JsonPair(r.hit->cell) << ",\n  \"direction\": " << d->code << ",\n  \"side\": \""
        << d->side << "\",\n  \"ore\": " << JsonPair({r.hit->cell.x + d->dx, r.hit->cell.y + d->dy}) << ",\n";
  }
  JsonWarnings(out, warnings);
  out << "\n}\n";
}

}  // namespace gstool
