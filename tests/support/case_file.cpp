#include "support/case_file.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/bmp_writer.h"

namespace testcase {
namespace {

[[noreturn]] void Fail(const std::string& file, int line, const std::string& what) {
  throw std::runtime_error(file + ":" + std::to_string(line) + ": " + what);
}

struct Reader {
  std::string file;
  int line = 0;

  long long Number(std::istringstream& in) const {
    std::string token;
    if (!(in >> token)) Fail(file, line, "number expected");
    std::size_t used = 0;
    long long v = 0;
    try {
      v = std::stoll(token, &used, 0);
    } catch (const std::exception&) {
      Fail(file, line, "not a number: " + token);
    }
    if (used != token.size()) Fail(file, line, "not a number: " + token);
    return v;
  }

  // A 32-bit argument; values from 2^31 to 2^32 - 1 keep their bits.
  std::int32_t Arg(std::istringstream& in) const {
    const long long v = Number(in);
    if (v < INT32_MIN || v > static_cast<long long>(UINT32_MAX)) Fail(file, line, "argument out of 32-bit range");
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
  }

  void HexBytes(std::istringstream& in, Bytes& out) const {
    std::string token;
    while (in >> token) {
      std::size_t used = 0;
      unsigned long v = 0;
      try {
        v = std::stoul(token, &used, 16);
      } catch (const std::exception&) {
        Fail(file, line, "not a hex byte: " + token);
      }
      if (used != token.size() || v > 0xFF) Fail(file, line, "not a hex byte: " + token);
      out.push_back(static_cast<std::uint8_t>(v));
    }
  }
};

struct Draft {
  Case c;
  bool haveExpect = false;
  bool haveImage = false;
  bool rawBytes = false;
  std::vector<std::uint32_t> palette;
  bool core = false;
  std::uint16_t bits = 24;
  std::vector<std::string> rows;
  std::vector<std::pair<std::size_t, std::uint32_t>> patches;
};

Case Finish(Draft& d, const std::string& file) {
  if (d.c.call == Case::Call::kNone) Fail(file, d.c.line, d.c.name + ": no ore or path line");
  if (!d.haveExpect) Fail(file, d.c.line, d.c.name + ": no expect line");
  if (!d.haveImage) Fail(file, d.c.line, d.c.name + ": no map, bytes or none line");
  if (!d.rows.empty()) {
    testbmp::Image image;
    if (d.palette.empty()) {
      image = testbmp::FromText(d.rows, d.bits);
      if (d.bits == 16)  // '.' the brightest 5-5-5 word, 'B' 0, the rest mid grey
        for (auto& v : image.pixels) v = v == 0xFFFFFFu ? 0x7FFFu : v == 0 ? 0u : 0x4210u;
    } else {
      const auto h = static_cast<std::int32_t>(d.rows.size());
      const auto w = static_cast<std::int32_t>(d.rows[0].size());
      image = testbmp::Image(w, h, d.bits);
      image.palette = d.palette;
      for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
          const char ch = d.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)];
          const auto index = std::stoul(std::string(1, ch), nullptr, 16);
          if (index >= d.palette.size()) Fail(file, d.c.line, d.c.name + ": pixel names no palette entry");
          image.at(x, y) = static_cast<std::uint32_t>(index);
        }
      }
    }
    image.coreHeader = d.core;
    d.c.image = testbmp::Write(image);
  }
  for (const auto& [at, value] : d.patches) {
    if (at + 4 > d.c.image.size()) Fail(file, d.c.line, d.c.name + ": patch beyond the image");
    testbmp::PutU32(d.c.image, at, value);
  }
  return d.c;
}

}  // namespace

std::vector<Case> ParseCases(const std::string& text, const std::string& file) {
  std::vector<Case> cases;
  std::istringstream lines(text);
  Reader r{file};
  Draft d;
  bool open = false;
  std::size_t mapRowsLeft = 0;
  std::string raw;
  while (std::getline(lines, raw)) {
    ++r.line;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (mapRowsLeft > 0) {
      if (!d.rows.empty() && raw.size() != d.rows[0].size()) Fail(file, r.line, "map rows differ in length");
      d.rows.push_back(raw);
      --mapRowsLeft;
      continue;
    }
    std::istringstream in(raw);
    std::string word;
    if (!(in >> word) || word[0] == '#') continue;
    if (word == "case") {
      if (open) cases.push_back(Finish(d, file));
      d = Draft();
      open = true;
      if (!(in >> d.c.name)) Fail(file, r.line, "case name expected");
      for (const char ch : d.c.name)
        if (!(std::isalnum(static_cast<unsigned char>(ch)) || ch == '_')) Fail(file, r.line, "bad case name");
      d.c.file = file;
      d.c.line = r.line;
      continue;
    }
    if (!open) Fail(file, r.line, "'case' expected");
    auto image = [&] {
      if (d.haveImage) Fail(file, r.line, "a second image for one case");
      d.haveImage = true;
    };
    if (word == "ore") {
      d.c.call = Case::Call::kOre;
      for (int i = 0; i < 2; ++i) d.c.args[i] = r.Arg(in);
    } else if (word == "path") {
      d.c.call = Case::Call::kPath;
      for (int i = 0; i < 4; ++i) d.c.args[i] = r.Arg(in);
    } else if (word == "map") {
      image();
      d.bits = static_cast<std::uint16_t>(r.Number(in));
      mapRowsLeft = static_cast<std::size_t>(r.Number(in));
      if (mapRowsLeft == 0) Fail(file, r.line, "a map needs rows");
    } else if (word == "palette") {
      std::string token;
      while (in >> token) d.palette.push_back(static_cast<std::uint32_t>(std::stoul(token, nullptr, 16)));
    } else if (word == "core") {
      d.core = true;
    } else if (word == "bytes") {
      if (!d.rawBytes) image();
      d.rawBytes = true;
      r.HexBytes(in, d.c.image);
    } else if (word == "none") {
      image();
      d.c.noImage = true;
    } else if (word == "patch32") {
      const auto at = static_cast<std::size_t>(r.Number(in));
      d.patches.emplace_back(at, static_cast<std::uint32_t>(r.Number(in)));
    } else if (word == "expect") {
      d.haveExpect = true;
      std::string kind;
      in >> kind;
      if (kind == "empty") {
        d.c.expected.clear();
      } else if (kind == "words") {
        while (in >> std::ws && !in.eof()) {
          const auto w = static_cast<std::uint32_t>(r.Arg(in));
          d.c.expected.push_back(static_cast<std::uint8_t>(w & 0xFF));
          d.c.expected.push_back(static_cast<std::uint8_t>(w >> 8 & 0xFF));
        }
      } else if (kind == "bytes") {
        r.HexBytes(in, d.c.expected);
      } else {
        Fail(file, r.line, "expect empty, words or bytes");
      }
    } else {
      Fail(file, r.line, "unknown line: " + word);
    }
  }
  if (mapRowsLeft > 0) Fail(file, r.line, "map ends early");
  if (open) cases.push_back(Finish(d, file));
  return cases;
}

std::vector<Case> LoadCases(const std::string& dir) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    if (entry.path().extension() == ".case") files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  if (files.empty()) throw std::runtime_error("no .case files in " + dir);
  std::vector<Case> all;
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    auto cases = ParseCases(text.str(), path.filename().string());
    all.insert(all.end(), cases.begin(), cases.end());
  }
  for (std::size_t i = 0; i < all.size(); ++i)
    for (std::size_t j = 0; j < i; ++j)
      if (all[i].name == all[j].name) throw std::runtime_error("case name used twice: " + all[i].name);
  return all;
}

std::string DefaultCasesDir() {
#ifdef GRIDSEEK_CASES_DIR
  return GRIDSEEK_CASES_DIR;
#else
  return (std::filesystem::path(__FILE__).parent_path().parent_path() / "cases").string();
#endif
}

Bytes Run(const Case& c, const Entry& entry, bool& consistent) {
  const Bytes image = c.image;  // the caller's bytes; checked unchanged below
  std::intptr_t p = c.noImage ? 0 : reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = c.noImage ? 0 : static_cast<std::intptr_t>(image.size());
  if (c.call == Case::Call::kOre) {
    entry.ore(&p, &q, c.args[0], c.args[1]);
  } else {
    entry.path(&p, &q, c.args[0], c.args[1], c.args[2], c.args[3]);
  }
  consistent = (p == 0) == (q == 0) && q >= 0 && image == c.image;
  if (p == 0 || q <= 0) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(p);
  return Bytes(bytes, bytes + q);
}

std::string Hex(const Bytes& bytes) {
  if (bytes.empty()) return "(empty)";
  std::string s;
  char buf[4];
  for (const std::uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    if (!s.empty()) s += ' ';
    s += buf;
  }
  return s;
}

}  // namespace testcase
