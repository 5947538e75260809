#pragma once
// Behavioural cases kept in text files (tests/cases/*.case), read by the
// Linux test suite and by the Windows host test alike, so that both
// platforms check the same calls against the same expected bytes.
//
// A file holds one or more cases. '#' starts a comment line; blank lines are
// skipped; numbers are decimal (a leading '-' allowed) or 0x-prefixed hex.
//
//   case NAME                 starts a case; NAME is letters, digits and '_'
//   ore X Y                   the call: 寻矿(p, q, X, Y)
//   path SX SY GX GY          the call: 寻路(p, q, SX, SY, GX, GY)
//   map BITS ROWS             the next ROWS lines are the picture, top row
//                             first: '.' white, '#' grey, 'B' black, 'R' red,
//                             or, after a palette line, one hex digit per
//                             pixel naming a palette entry
//   palette C0 C1 ...         colour table for a 1-, 4- or 8-bit map; each
//                             entry a hex colour BBGGRR like the library's
//                             colours (FFFFFF white, 0000FF red)
//   core                      write a 12-byte BITMAPCOREHEADER
//   bytes HH HH ...           the image is these raw bytes (lines add up)
//   none                      no image: address 0 and count 0
//   patch32 OFFSET VALUE      overwrite 4 image bytes, little-endian
//   expect empty              the result is empty (address 0, count 0)
//   expect words W W ...      the result is these 16-bit little-endian words
//   expect bytes HH HH ...    the result is these bytes
//
// Every case has one call, one image (map, bytes or none) and one expect line.

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace testcase {

using Bytes = std::vector<std::uint8_t>;

struct Case {
  std::string name;
  std::string file;  // where it was read, for messages
  int line = 0;
  enum class Call { kNone, kOre, kPath } call = Call::kNone;
  std::int32_t args[4] = {0, 0, 0, 0};  // ore: x, y; path: sx, sy, gx, gy
  bool noImage = false;                 // address 0, count 0
  Bytes image;
  Bytes expected;
};

// GoogleTest names a case by its name, not by its bytes.
inline void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

// All cases of every *.case file in `dir`, files in name order. Throws
// std::runtime_error with file and line on a malformed file.
std::vector<Case> LoadCases(const std::string& dir);
std::vector<Case> ParseCases(const std::string& text, const std::string& file);

// The folder of the case files in this source tree.
std::string DefaultCasesDir();

// The two entry points as a host sees them.
struct Entry {
  std::function<void(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t)> ore;
  std::function<void(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t)>
      path;
};

// Makes the case's call and returns a copy of the result bytes ({} for the
// empty result). `consistent` is set false when the two variables do not
// describe the result the way the interface says (address 0 exactly when the
// count is 0).
Bytes Run(const Case& c, const Entry& entry, bool& consistent);

// "03 00 04 00" style rendering for failure messages.
std::string Hex(const Bytes& bytes);

}  // namespace testcase
