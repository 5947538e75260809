#pragma once
// Building expected result bytes and printing results and maps readably.

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace testresult {

using Bytes = std::vector<std::uint8_t>;
using Cells = std::vector<std::pair<std::int32_t, std::int32_t>>;

// Path record: x word, y word per cell (low 16 bits, low byte first).
Bytes PathRecord(const Cells& cells);
// Ore record: x word, y word, code word.
Bytes OreRecord(std::int32_t x, std::int32_t y, std::int32_t code);

// "03 00 04 00", or "(empty)".
std::string Hex(std::span<const std::uint8_t> bytes);
// The same as 16-bit signed (x, y) pairs, e.g. "(0,1) (1,2)", when the
// length is a multiple of 4.
std::string Pairs(std::span<const std::uint8_t> bytes);

// What each pixel of the decoded image reads as, one text row per picture
// row: '.' white, 'B' black, 'R' pure red, '#' any other colour, ' ' for
// a pixel that cannot be read. Also says when the image does not load.
std::string MapText(std::span<const std::uint8_t> image);

}  // namespace testresult
