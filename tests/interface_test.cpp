// The library's outer surface, through the built shared library loaded the way
// a host loads it: the exported symbol set, the in/out variables, the empty
// image, the result buffer's lifetime, unload and reload, and running out of
// storage.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/library_handle.h"

#if defined(__SANITIZE_ADDRESS__)
#define GRIDSEEK_TEST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GRIDSEEK_TEST_ASAN 1
#endif
#endif

namespace {

using testbmp::Bytes;

std::intptr_t AddressOf(const void* p) { return reinterpret_cast<std::intptr_t>(p); }

Bytes ResultAt(std::intptr_t p, std::intptr_t q) {
  if (p == 0 || q <= 0) return {};
  const auto* b = reinterpret_cast<const std::uint8_t*>(p);
  return Bytes(b, b + q);
}

void PutWord(Bytes& out, std::int32_t v) {
  const auto bits = static_cast<std::uint32_t>(v);
  out.push_back(static_cast<std::uint8_t>(bits & 0xFF));
  out.push_back(static_cast<std::uint8_t>(bits >> 8 & 0xFF));
}

Bytes OreRecord(std::int32_t x, std::int32_t y, std::int32_t code) {
  Bytes b;
  PutWord(b, x);
  PutWord(b, y);
  PutWord(b, code);
  return b;
}

Bytes StartTwice(std::int32_t x, std::int32_t y) {
  Bytes b;
  PutWord(b, x);
  PutWord(b, y);
  PutWord(b, x);
  PutWord(b, y);
  return b;
}

// A 3 x 3 map whose white centre is walled in by grey: an ore search from the
// centre runs out after one expansion.
Bytes WalledPocket() {
  return testbmp::Write(testbmp::FromText({"###", "#.#", "###"}));
}

// A small open map with a black pixel.
Bytes OpenMap() {
  return testbmp::Write(testbmp::FromText({
      "......",
      ".##...",
      "....B.",
      "......",
  }));
}

// ---------------------------------------------------------------------------
// The exported symbol set

bool HaveNm() { return std::system("command -v nm >/dev/null 2>&1") == 0; }

TEST(Exports, DynamicSymbolsAreExactlyTheTwoUtf8Names) {
  if (!HaveNm()) GTEST_SKIP() << "nm is not installed";
  const std::string command = "nm -D --defined-only '" + testlib::Library::DefaultPath() + "' 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) output += buffer;
  ASSERT_EQ(pclose(pipe), 0) << output;

  std::set<std::string> names;
  std::istringstream lines(output);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string address, type, name;
    fields >> address >> type >> name;
    ASSERT_FALSE(name.empty()) << "unexpected nm line: " << line;
    EXPECT_EQ(type, "T") << line;
    names.insert(name);
  }
  EXPECT_EQ(names, (std::set<std::string>{"\xE5\xAF\xBB\xE8\xB7\xAF", "\xE5\xAF\xBB\xE7\x9F\xBF"}));
}

TEST(Exports, BothNamesResolveWithDlsym) {
  void* handle = dlopen(testlib::Library::DefaultPath().c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(handle, nullptr) << dlerror();
  EXPECT_NE(dlsym(handle, "\xE5\xAF\xBB\xE8\xB7\xAF"), nullptr);  // 寻路
  EXPECT_NE(dlsym(handle, "\xE5\xAF\xBB\xE7\x9F\xBF"), nullptr);  // 寻矿
  // The GBK spellings are the Windows export names, not these.
  EXPECT_EQ(dlsym(handle, "\xD1\xB0\xC2\xB7"), nullptr);
  EXPECT_EQ(dlsym(handle, "\xD1\xB0\xBF\xF3"), nullptr);
  dlclose(handle);
}

// ---------------------------------------------------------------------------
// Null p or q

TEST(CallerVariables, NullPOrQReturnsTouchingNothing) {
  testlib::Library lib;
  const Bytes image = OpenMap();
  for (int previous = 0; previous < 2; ++previous) {
    SCOPED_TRACE(previous == 0 ? "after an ore result" : "after a path result");
    std::intptr_t p = AddressOf(image.data());
    std::intptr_t q = static_cast<std::intptr_t>(image.size());
    if (previous == 0) {
      lib.ore()(&p, &q, 7, 8);
    } else {
      lib.path()(&p, &q, 2, 2, 2, 2);
    }
    const std::intptr_t resultP = p;
    const std::intptr_t resultQ = q;
    const Bytes result = ResultAt(p, q);

    for (int call = 0; call < 6; ++call) {
      SCOPED_TRACE(call);
      std::intptr_t other = AddressOf(image.data());
      const std::intptr_t sentinel = other;
      switch (call) {
        case 0: lib.ore()(nullptr, &other, 1, 1); break;
        case 1: lib.ore()(&other, nullptr, 1, 1); break;
        case 2: lib.ore()(nullptr, nullptr, 1, 1); break;
        case 3: lib.path()(nullptr, &other, 1, 1, 1, 1); break;
        case 4: lib.path()(&other, nullptr, 1, 1, 1, 1); break;
        default: lib.path()(nullptr, nullptr, 1, 1, 3, 0); break;
      }
      EXPECT_EQ(other, sentinel);
      // The previous result is still there, unchanged.
      EXPECT_EQ(ResultAt(resultP, resultQ), result);
    }
    EXPECT_EQ(p, resultP);
    EXPECT_EQ(q, resultQ);
  }
}

// ---------------------------------------------------------------------------
// Images that are empty: count 0, a negative count, or the address 0

struct EmptyImage {
  const char* name;
  std::intptr_t address;
  std::intptr_t count;
};

std::vector<EmptyImage> EmptyImages(const Bytes& real) {
  const std::intptr_t a = AddressOf(real.data());
  return {
      {"address 0, count 0", 0, 0},
      {"real address, count 0", a, 0},
      {"address 1, count 0", 1, 0},
      {"real address, count -1", a, -1},
      {"real address, count -size", a, -static_cast<std::intptr_t>(real.size())},
      {"address 1, most negative count", 1, INTPTR_MIN},
      {"address 0, count of the real image", 0, static_cast<std::intptr_t>(real.size())},
      {"address 0, count 1", 0, 1},
      {"address 0, count -1", 0, -1},
  };
}

TEST(CallerVariables, EmptyImageMakesTheOreSearchReportTheStartWithCode1) {
  testlib::Library lib;
  const Bytes real = OpenMap();
  const std::pair<std::int32_t, std::int32_t> starts[] = {{0, 0}, {3, 2}, {-1, -5}, {1000, 2000}};
  for (const EmptyImage& e : EmptyImages(real)) {
    for (auto [x, y] : starts) {
      SCOPED_TRACE(std::string(e.name) + ", start " + std::to_string(x) + ", " + std::to_string(y));
      std::intptr_t p = e.address;
      std::intptr_t q = e.count;
      lib.ore()(&p, &q, x, y);
      ASSERT_EQ(q, 6);
      ASSERT_NE(p, 0);
      EXPECT_EQ(ResultAt(p, q), OreRecord(x, y, 1));
    }
  }
}

TEST(CallerVariables, EmptyImageMakesThePathSearchFindOnlyTheStartItself) {
  testlib::Library lib;
  const Bytes real = OpenMap();
  for (const EmptyImage& e : EmptyImages(real)) {
    SCOPED_TRACE(e.name);
    std::intptr_t p = e.address;
    std::intptr_t q = e.count;
    lib.path()(&p, &q, 0, 0, 1, 0);
    EXPECT_EQ(p, 0);
    EXPECT_EQ(q, 0);

    p = e.address;
    q = e.count;
    lib.path()(&p, &q, 4, -3, 4, -3);
    ASSERT_EQ(q, 8);
    EXPECT_EQ(ResultAt(p, q), StartTwice(4, -3));
  }
}

TEST(CallerVariables, EmptyResultIsAddressZeroCountZero) {
  testlib::Library lib;
  const Bytes image = OpenMap();
  const Bytes pocket = WalledPocket();
  struct Call {
    const char* name;
    const Bytes* image;
    bool ore;
    std::int32_t sx, sy, gx, gy;
  };
  const Call calls[] = {
      {"path to a goal outside the map", &image, false, 0, 0, 50, 50},
      {"path to a wall", &image, false, 0, 0, 1, 1},
      {"path to a black goal", &image, false, 0, 0, 4, 2},
      {"ore flood that runs out", &pocket, true, 1, 1, 0, 0},
  };
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    std::intptr_t p = AddressOf(c.image->data());
    std::intptr_t q = static_cast<std::intptr_t>(c.image->size());
    if (c.ore) {
      lib.ore()(&p, &q, c.sx, c.sy);
    } else {
      lib.path()(&p, &q, c.sx, c.sy, c.gx, c.gy);
    }
    EXPECT_EQ(p, 0);
    EXPECT_EQ(q, 0);
  }
}

// ---------------------------------------------------------------------------
// The result buffer

TEST(ResultBuffer, ResultStaysValidUntilTheNextCall) {
  testlib::Library lib;
  const Bytes image = OpenMap();
  std::intptr_t p = AddressOf(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  lib.path()(&p, &q, 0, 0, 5, 3);
  ASSERT_GT(q, 0);
  const Bytes result = ResultAt(p, q);

  // Storage churn in the host does not disturb the library's buffer.
  std::vector<std::unique_ptr<std::uint8_t[]>> blocks;
  for (std::size_t i = 0; i < 2000; ++i) {
    const std::size_t size = 1 + i % 97;
    blocks.emplace_back(new std::uint8_t[size]);
    std::memset(blocks.back().get(), 0xA5, size);
    if (i % 3 == 0) blocks.erase(blocks.begin() + static_cast<std::ptrdiff_t>(i / 5));
  }
  blocks.clear();
  EXPECT_EQ(ResultAt(p, q), result);

  // A call with a null variable is no call at all.
  lib.ore()(nullptr, &q, 0, 0);
  EXPECT_EQ(ResultAt(p, q), result);
}

TEST(ResultBuffer, PreviousResultPassedAsTheNextImage) {
  testlib::Library lib;
  // Calling again with the same variables passes the previous result as the
  // image; none of these results decodes, so every call sees an undecodable
  // image.
  std::intptr_t p = 0;
  std::intptr_t q = 0;
  lib.path()(&p, &q, 3, 4, 3, 4);
  ASSERT_EQ(ResultAt(p, q), StartTwice(3, 4));
  lib.path()(&p, &q, 5, 6, 5, 6);
  ASSERT_EQ(ResultAt(p, q), StartTwice(5, 6));
  lib.ore()(&p, &q, 7, 8);
  ASSERT_EQ(ResultAt(p, q), OreRecord(7, 8, 1));
  lib.ore()(&p, &q, -9, 10);
  ASSERT_EQ(ResultAt(p, q), OreRecord(-9, 10, 1));
  lib.path()(&p, &q, 1, 1, 1, 1);
  ASSERT_EQ(ResultAt(p, q), StartTwice(1, 1));
  lib.path()(&p, &q, 0, 0, 1, 1);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);
}

TEST(ResultBuffer, PreviousRealPathPassedAsTheNextImage) {
  testlib::Library lib;
  const Bytes image = testbmp::Write(testbmp::FromText({
      "..........",
      "..........",
      "..........",
  }));
  std::intptr_t p = AddressOf(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  lib.path()(&p, &q, 0, 0, 9, 2);
  ASSERT_GT(q, 8);
  const std::intptr_t pathBytes = q;
  // The path record, taken as a map, does not decode: the ore search reports
  // the start with code 1.
  lib.ore()(&p, &q, 2, 2);
  EXPECT_EQ(ResultAt(p, q), OreRecord(2, 2, 1));
  EXPECT_GT(pathBytes, 0);
}

TEST(ResultBuffer, CallerImageBytesAreUnchangedAndCallsRepeat) {
  testlib::Library lib;
  const std::vector<Bytes> images = {
      OpenMap(),
      WalledPocket(),
      testbmp::Write(testbmp::FromText({"....", ".##.", "...."}, 32)),
      [] {
        testbmp::Image i(8, 4, 1);
        i.palette = {0x000000, 0xFFFFFF};
        for (auto& v : i.pixels) v = 1;
        i.at(3, 2) = 0;
        return testbmp::Write(i);
      }(),
  };
  for (std::size_t n = 0; n < images.size(); ++n) {
    SCOPED_TRACE("image " + std::to_string(n));
    // A private copy that the library is handed, and the original to compare.
    const Bytes original = images[n];
    Bytes given = images[n];
    std::vector<Bytes> first;
    for (int round = 0; round < 2; ++round) {
      std::vector<Bytes> results;
      for (std::int32_t y = -1; y <= 3; ++y) {
        for (std::int32_t x = -1; x <= 4; ++x) {
          results.push_back(lib.FindOre(given, x, y));
          results.push_back(lib.FindPath(given, x, y, 3, 0));
          results.push_back(lib.FindPath(given, 0, 0, x, y));
          ASSERT_EQ(given, original);
        }
      }
      if (round == 0) {
        first = results;
      } else {
        EXPECT_EQ(results, first);
      }
    }
  }
}

TEST(ResultBuffer, PathFollowedByAnOreSearchThatFindsNothingWritesZeros) {
  testlib::Library lib;
  const Bytes open = OpenMap();
  const Bytes pocket = WalledPocket();
  std::intptr_t p = AddressOf(open.data());
  std::intptr_t q = static_cast<std::intptr_t>(open.size());
  lib.path()(&p, &q, 0, 0, 5, 0);
  ASSERT_GT(q, 0);
  ASSERT_NE(p, 0);
  p = AddressOf(pocket.data());
  q = static_cast<std::intptr_t>(pocket.size());
  lib.ore()(&p, &q, 1, 1);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);

  // And a path followed by a path that finds nothing.
  p = AddressOf(open.data());
  q = static_cast<std::intptr_t>(open.size());
  lib.path()(&p, &q, 0, 0, 5, 0);
  ASSERT_GT(q, 0);
  p = AddressOf(open.data());
  q = static_cast<std::intptr_t>(open.size());
  lib.path()(&p, &q, 0, 0, 1, 1);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);
}

// ---------------------------------------------------------------------------
// Unload and load again

TEST(Lifecycle, UnloadThenLoadAgainBehavesLikeTheFirstLoad) {
  const std::string path = testlib::Library::DefaultPath();
  void* already = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  const bool heldElsewhere = already != nullptr;
  if (already != nullptr) dlclose(already);

  const Bytes image = OpenMap();
  std::vector<Bytes> firstCalls;
  for (int load = 0; load < 3; ++load) {
    SCOPED_TRACE("load " + std::to_string(load));
    std::vector<Bytes> calls;
    {
      testlib::Library lib;
      std::intptr_t p = 0;
      std::intptr_t q = 0;
      lib.ore()(&p, &q, 4, 5);  // the first call of this load
      calls.push_back(ResultAt(p, q));
      calls.push_back(lib.FindPath(image, 0, 0, 5, 3));
      calls.push_back(lib.FindOre(image, 0, 0));
      p = 0;
      q = 0;
      lib.path()(&p, &q, 2, 2, 2, 2);
      calls.push_back(ResultAt(p, q));
    }
    if (!heldElsewhere) {
      void* still = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
      EXPECT_EQ(still, nullptr) << "the library was not unloaded";
      if (still != nullptr) dlclose(still);
    }
    if (load == 0) {
      firstCalls = calls;
      EXPECT_EQ(calls[0], OreRecord(4, 5, 1));
      EXPECT_EQ(calls[3], StartTwice(2, 2));
    } else {
      EXPECT_EQ(calls, firstCalls);
    }
  }
}

// ---------------------------------------------------------------------------
// Running out of storage

TEST(OutOfStorage, MessageNamesTheBytesRequestedAndTheProcessExitsWithMinusOne) {
  // The image copy of a count far beyond what the process may map cannot be
  // had. The caller's address is never read, since the copy fails first.
  const std::intptr_t count =
      sizeof(std::intptr_t) >= 8 ? static_cast<std::intptr_t>(std::int64_t{1} << 40) : INTPTR_MAX;
  const std::string style = GTEST_FLAG_GET(death_test_style);
  GTEST_FLAG_SET(death_test_style, "threadsafe");
#ifdef GRIDSEEK_TEST_ASAN
  // The address sanitizer needs its shadow memory, so the address-space limit
  // is not used here; its allocator refuses such a size by itself and, with
  // this option, answers null as malloc does instead of aborting. The child
  // is a fresh run of this program, which reads the option at start-up.
  const char* before = std::getenv("ASAN_OPTIONS");
  const std::string saved = before != nullptr ? before : "";
  const std::string options = (saved.empty() ? "" : saved + ":") + "allocator_may_return_null=1";
  setenv("ASAN_OPTIONS", options.c_str(), 1);
  const bool limitAddressSpace = false;
#else
  const bool limitAddressSpace = true;
#endif
  auto run = [&](bool ore) {
    testlib::Library lib;
    if (limitAddressSpace) {
      rlimit limit{};
      limit.rlim_cur = limit.rlim_max = rlim_t{256} << 20;
      if (setrlimit(RLIMIT_AS, &limit) != 0) std::_Exit(3);
    }
    std::uint8_t image[64] = {};
    std::intptr_t p = AddressOf(image);
    std::intptr_t q = count;
    if (ore) {
      lib.ore()(&p, &q, 0, 0);
    } else {
      lib.path()(&p, &q, 0, 0, 1, 1);
    }
    std::_Exit(0);  // not reached when the copy fails
  };
  const std::string requested = std::to_string(count);
  EXPECT_EXIT(run(true), ::testing::ExitedWithCode(255), requested + " bytes");
  EXPECT_EXIT(run(false), ::testing::ExitedWithCode(255), requested + " bytes");
  GTEST_FLAG_SET(death_test_style, style);
#ifdef GRIDSEEK_TEST_ASAN
  if (before != nullptr) {
    setenv("ASAN_OPTIONS", saved.c_str(), 1);
  } else {
    unsetenv("ASAN_OPTIONS");
  }
#endif
}

}  // namespace
