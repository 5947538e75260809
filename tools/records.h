#pragma once
// The two result records of the library, decoded.
//
//   path record: 4 bytes per cell, start first and goal last; each cell is an
//                x word and a y word (16-bit little-endian, signed)
//   ore record:  6 bytes: x word, y word, direction code word (1..8)
// An empty result (no bytes) means "no path" or "no ore reachable".

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace gstool {

struct Cell {
  std::int32_t x = 0;
  std::int32_t y = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

struct OreHit {
  Cell cell;              // the expanded cell, not the black pixel
  std::int32_t direction = 0;
};

struct Direction {
  std::int32_t code;
  std::int32_t dx;
  std::int32_t dy;
  const char* side;       // where the black pixel lies, seen from the cell
};

// The direction with this code, or nullptr for a code outside 1..8.
const Direction* FindDirection(std::int32_t code);

// False with a message when the bytes are not a well-formed record.
bool DecodePathRecord(const std::vector<std::uint8_t>& bytes, std::vector<Cell>& cells, std::string& error);
bool DecodeOreRecord(const std::vector<std::uint8_t>& bytes, std::optional<OreHit>& hit, std::string& error);

}  // namespace gstool
