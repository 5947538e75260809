#include "support/result_bytes.h"

#include <cstdio>

#include "bitmap/bitmap.h"

namespace testresult {

namespace {
void PutWord(Bytes& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  out.push_back(static_cast<std::uint8_t>(bits >> 8 & 0xFF));
}
}  // namespace

Bytes PathRecord(const Cells& cells) {
  Bytes out;
  for (const auto& [x, y] : cells) {
    PutWord(out, x);
    PutWord(out, y);
  }
  return out;
}

Bytes OreRecord(std::int32_t x, std::int32_t y, std::int32_t code) {
  Bytes out;
  PutWord(out, x);
  PutWord(out, y);
  PutWord(out, code);
  return out;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return "(empty)";
  std::string out;
  char buf[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%02X", bytes[i]);
    if (i != 0) out += (i % 32 == 0) ? '\n' : ' ';
    out += buf;
  }
  return out;
}

std::string Pairs(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return "(empty)";
  if (bytes.size() % 4 != 0) return Hex(bytes);
  std::string out;
  for (std::size_t i = 0; i < bytes.size(); i += 4) {
    const auto x = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
    const auto y = static_cast<std::int16_t>(bytes[i + 2] | bytes[i + 3] << 8);
    if (i != 0) out += ' ';
    out += '(';
    out += std::to_string(x);
    out += ',';
    out += std::to_string(y);
    out += ')';
  }
  return out;
}

std::string MapText(std::span<const std::uint8_t> image) {
  gridseek::位图 map;
  if (!map.载入数据(image)) return "(image does not load)\n";
  const std::int32_t w = map.Header().biWidth;
  const std::int32_t h = map.Header().biHeight;
  std::string out = std::to_string(w);
  out += " x ";
  out += std::to_string(h);
  out += ", ";
  out += std::to_string(map.Header().biBitCount);
  out += " bits\n";
  if (w <= 0 || h <= 0 || w > 256 || h > 256) return out;
  for (std::int32_t y = 0; y < h; ++y) {
    for (std::int32_t x = 0; x < w; ++x) {
      const gridseek::Colour c = map.ReadPixel(x, y);
      const bool unreadable = c == 0 && map.errorText()[0] != '\0';
      out += unreadable ? ' ' : c == 0xFFFFFF ? '.' : c == 0 ? 'B' : c == 255 ? 'R' : '#';
    }
    out += '\n';
  }
  return out;
}

}  // namespace testresult
