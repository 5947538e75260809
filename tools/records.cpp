#include "records.h"

#include <array>
#include <cstddef>

namespace gstool {
namespace {

constexpr std::array<Direction, 8> kDirections{{
    {1, -1, 1, "lower left"},
    {2, 0, 1, "below"},
    {3, 1, 1, "lower right"},
    {4, 1, 0, "right"},
    {5, 1, -1, "upper right"},
    {6, 0, -1, "above"},
    {7, -1, -1, "upper left"},
    {8, -1, 0, "left"},
}};

std::int32_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  const auto raw = static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
  return static_cast<std::int16_t>(raw);
}

}  // namespace

const Direction* FindDirection(std::int32_t code) {
  if (code < 1 || code > 8) return nullptr;
  return &kDirections[static_cast<std::size_t>(code - 1)];
}

bool DecodePathRecord(const std::vector<std::uint8_t>& bytes, std::vector<Cell>& cells, std::string& error) {
  cells.clear();
  if (bytes.size() % 4 != 0 || bytes.size() == 4) {
    error = "the library returned a path record of " + std::to_string(bytes.size()) +
            " bytes (expected 0 or a multiple of 4, at least 8)";
    return false;
  }
  for (std::size_t at = 0; at < bytes.size(); at += 4) cells.push_back({Word(bytes, at), Word(bytes, at + 2)});
  return true;
}

bool DecodeOreRecord(const std::vector<std::uint8_t>& bytes, std::optional<OreHit>& hit, std::string& error) {
  hit.reset();
  if (bytes.empty()) return true;
  if (bytes.size() != 6) {
    error = "the library returned an ore record of " + std::to_string(bytes.size()) + " bytes (expected 0 or 6)";
    return false;
  }
  const OreHit decoded{{Word(bytes, 0), Word(bytes, 2)}, Word(bytes, 4)};
  if (FindDirection(decoded.direction) == nullptr) {
    error = "the library returned an ore record with direction code " + std::to_string(decoded.direction) +
            " (expected 1 to 8)";
    return false;
  }
  hit = decoded;
  return true;
}

}  // namespace gstool
