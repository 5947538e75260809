// gridseek_bench: times whole calls of the two exports, loaded with dlopen as a
// host loads them, against the floor (floor.h) on maps generated in code, and
// checks every result.
//
//   gridseek_bench [--quick] [--csv] [--library PATH] [--sizes 512,2048] [--maps open,maze]
//                  [--min-time SECONDS] [--min-reps N] [--cpu-time]
//
// --cpu-time times each call by the thread's CPU clock instead of the wall clock,
// which keeps a loaded machine's waiting out of the figures.

#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "alloc_counter.h"
#include "floor.h"
#include "maps.h"

#ifndef GRIDSEEK_LIBRARY_PATH
#define GRIDSEEK_LIBRARY_PATH "libgridseek.so"
#endif

namespace bench {
namespace {

using PathFn = void (*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t, std::int32_t, std::int32_t);
using OreFn = void (*)(std::intptr_t*, std::intptr_t*, std::int32_t, std::int32_t);

constexpr char kPathName[] = "\xE5\xAF\xBB\xE8\xB7\xAF";  // 寻路
constexpr char kOreName[] = "\xE5\xAF\xBB\xE7\x9F\xBF";   // 寻矿

struct Library {
  void* handle = nullptr;
  PathFn path = nullptr;
  OreFn ore = nullptr;
};

Library Load(const std::string& file) {
  Library lib;
  lib.handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (lib.handle == nullptr) throw std::runtime_error(std::string("dlopen: ") + dlerror());
  lib.path = reinterpret_cast<PathFn>(dlsym(lib.handle, kPathName));
  lib.ore = reinterpret_cast<OreFn>(dlsym(lib.handle, kOreName));
  if (lib.path == nullptr || lib.ore == nullptr) throw std::runtime_error("export missing in " + file);
  return lib;
}

struct Options {
  bool quick = false;
  bool csv = false;
  std::string library = GRIDSEEK_LIBRARY_PATH;
  std::vector<int> sizes;
  std::vector<std::string> maps;
  double minSeconds = -1;
  int minReps = -1;
  bool cpuTime = false;
};

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    if (comma > from) parts.push_back(text.substr(from, comma - from));
    from = comma + 1;
  }
  return parts;
}

Options Parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::invalid_argument(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--quick") {
      o.quick = true;
    } else if (arg == "--csv") {
      o.csv = true;
    } else if (arg == "--library") {
      o.library = value();
    } else if (arg == "--sizes") {
      for (const auto& s : Split(value())) o.sizes.push_back(std::stoi(s));
    } else if (arg == "--maps") {
      o.maps = Split(value());
    } else if (arg == "--min-time") {
      o.minSeconds = std::stod(value());
    } else if (arg == "--cpu-time") {
      o.cpuTime = true;
    } else if (arg == "--min-reps") {
      o.minReps = std::stoi(value());
    } else {
      throw std::invalid_argument("unknown argument " + arg +
                                  " (use --quick --csv --library PATH --sizes A,B --maps K,L --min-time S "
                                  "--min-reps N --cpu-time)");
    }
  }
  if (o.sizes.empty()) o.sizes = o.quick ? std::vector<int>{64, 256} : std::vector<int>{512, 2048, 4096};
  if (o.maps.empty()) o.maps = MapKinds();
  if (o.minSeconds < 0) o.minSeconds = o.quick ? 0.02 : 1.0;
  if (o.minReps < 0) o.minReps = o.quick ? 3 : 5;
  return o;
}

struct Call {
  std::intptr_t p = 0, q = 0;
};

Call CallLibrary(const Library& lib, const Map& m, const std::vector<std::uint8_t>& image) {
  Call c{reinterpret_cast<std::intptr_t>(image.data()), static_cast<std::intptr_t>(image.size())};
  if (m.search == Search::kPath) {
    lib.path(&c.p, &c.q, m.startX, m.startY, m.goalX, m.goalY);
  } else {
    lib.ore(&c.p, &c.q, m.startX, m.startY);
  }
  return c;
}

int Word(const std::uint8_t* b, std::size_t at) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(b[at] | b[at + 1] << 8));
}

// Empty when the result is right, otherwise what is wrong with it.
std::string CheckPath(const Map& m, Call c) {
  if (c.p == 0 || c.q < 8 || c.q % 4 != 0) return "no path record (q=" + std::to_string(c.q) + ")";
  const auto* b = reinterpret_cast<const std::uint8_t*>(c.p);
  const auto n = static_cast<std::size_t>(c.q / 4);
  if (Word(b, 0) != m.startX || Word(b, 2) != m.startY) return "path does not begin at the start";
  if (Word(b, 4 * (n - 1)) != m.goalX || Word(b, 4 * (n - 1) + 2) != m.goalY) return "path does not end at the goal";
  for (std::size_t i = 1; i < n; ++i) {
    const int x = Word(b, 4 * i), y = Word(b, 4 * i + 2);
    const int dx = x - Word(b, 4 * (i - 1)), dy = y - Word(b, 4 * (i - 1) + 2);
    if (std::max(std::abs(dx), std::abs(dy)) != 1) return "step " + std::to_string(i) + " is not to a neighbour";
    if (!m.white(x, y)) return "step " + std::to_string(i) + " enters a cell that is not white";
  }
  return {};
}

struct OreAnswer {
  int x = 0, y = 0;  // the cell expanded first among those next to the ore
  int steps = 0;
};

OreAnswer ExpectedOre(const Map& m) {
  const std::vector<std::int32_t> steps = StepCounts(m);
  OreAnswer best{0, 0, -1};
  for (int d = 0; d < 8; ++d) {
    const int x = m.goalX + kDx[d], y = m.goalY + kDy[d];
    if (!m.white(x, y)) continue;
    const std::int32_t s = steps[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) +
                                 static_cast<std::size_t>(x)];
    if (s >= 0 && (best.steps < 0 || s < best.steps)) best = {x, y, s};
  }
  if (best.steps < 0) throw std::logic_error("ore map without a reachable ore");
  return best;
}

std::string CheckOre(const Map& m, const OreAnswer& expected, Call c) {
  if (c.p == 0 || c.q != 6) return "no ore record (q=" + std::to_string(c.q) + ")";
  const auto* b = reinterpret_cast<const std::uint8_t*>(c.p);
  const int x = Word(b, 0), y = Word(b, 2), code = Word(b, 4);
  char text[48];
  std::snprintf(text, sizeof text, " (%d,%d,%d)", x, y, code);
  const std::string got = text;
  if (code < 1 || code > 8) return "direction code out of range" + got;
  if (x + kDx[code - 1] != m.goalX || y + kDy[code - 1] != m.goalY) return "record does not point at the ore" + got;
  if (!m.white(x, y)) return "record names a cell that is not white" + got;
  const std::vector<std::int32_t> steps = StepCounts(m);
  const std::int32_t s = steps[static_cast<std::size_t>(y) * static_cast<std::size_t>(m.width) +
                               static_cast<std::size_t>(x)];
  if (s != expected.steps) return "record names a cell that is not expanded first" + got;
  return {};
}

std::string CheckFloor(const Map& m, int goalX, int goalY, const FloorResult& f) {
  if (f.pathCells.empty()) return "floor did not reach its goal";
  const auto stride = static_cast<std::uint32_t>(m.width + 2);
  const std::uint32_t last = f.pathCells.back();
  if (static_cast<int>(last % stride) - 1 != goalX || static_cast<int>(last / stride) - 1 != goalY) {
    return "floor path ends elsewhere";
  }
  return {};
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct Row {
  std::string map;
  std::string fn;
  int size = 0;
  int depth = 0;
  std::uint64_t cells = 0;  // cells the floor expanded
  std::size_t libPath = 0, floorPath = 0;  // path maps: cells of each path
  int reps = 0;
  double libMs = 0, floorMs = 0;
  double libPeakMiB = 0, floorPeakMiB = 0, budgetMiB = 0;
  std::string error;
};

double Seconds(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// Milliseconds on the thread's CPU clock or on the wall clock.
double NowMs(bool cpu) {
  timespec t{};
  clock_gettime(cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

constexpr double kMiB = 1024.0 * 1024.0;

Row Measure(const Library& lib, const Map& m, int depth, const Options& o) {
  Row row;
  row.map = m.name;
  row.fn = m.search == Search::kPath ? "\xE5\xAF\xBB\xE8\xB7\xAF" : "\xE5\xAF\xBB\xE7\x9F\xBF";  // 寻路, 寻矿
  row.size = m.width;
  row.depth = depth;
  const std::vector<std::uint8_t> image = EncodeBmp(m, depth);
  const auto cellCount = static_cast<double>(m.width) * static_cast<double>(m.height);
  row.budgetMiB = (static_cast<double>(image.size()) + 6.0 * cellCount) / kMiB;

  int floorGoalX = m.goalX, floorGoalY = m.goalY;
  OreAnswer ore;
  if (m.search == Search::kOre) {
    ore = ExpectedOre(m);
    floorGoalX = ore.x;
    floorGoalY = ore.y;
  }

  // Checked calls, which also measure the peak of extra live memory.
  std::int64_t base = ResetPeak();
  const Call c = CallLibrary(lib, m, image);
  row.libPeakMiB = static_cast<double>(PeakBytes() - base) / kMiB;
  row.error = m.search == Search::kPath ? CheckPath(m, c) : CheckOre(m, ore, c);
  if (m.search == Search::kPath && c.q > 0) row.libPath = static_cast<std::size_t>(c.q / 4);

  base = ResetPeak();
  FloorResult f = RunFloor(image.data(), image.size(), m.startX, m.startY, floorGoalX, floorGoalY);
  row.floorPeakMiB = static_cast<double>(PeakBytes() - base) / kMiB;
  if (row.error.empty()) row.error = CheckFloor(m, floorGoalX, floorGoalY, f);
  row.cells = f.expanded;
  row.floorPath = f.pathCells.size();
  f = FloorResult{};

  // Timed calls, the two alternating so that both see the same machine.
  std::vector<double> libTimes, floorTimes;
  const auto begin = std::chrono::steady_clock::now();
  std::uint64_t sink = 0;
  while (true) {
    const double t0 = NowMs(o.cpuTime);
    const Call r = CallLibrary(lib, m, image);
    const double t1 = NowMs(o.cpuTime);
    sink += static_cast<std::uint64_t>(r.q);
    {
      const FloorResult fr = RunFloor(image.data(), image.size(), m.startX, m.startY, floorGoalX, floorGoalY);
      sink += fr.pathCells.size();
    }
    const double t2 = NowMs(o.cpuTime);
    libTimes.push_back(t1 - t0);
    floorTimes.push_back(t2 - t1);
    const int reps = static_cast<int>(libTimes.size());
    if (reps >= o.minReps && Seconds(begin, std::chrono::steady_clock::now()) >= o.minSeconds) break;
    if (reps >= 10000) break;
  }
  if (sink == 0) std::fputs("", stderr);  // keeps the results observable
  row.reps = static_cast<int>(libTimes.size());
  row.libMs = Median(libTimes);
  row.floorMs = Median(floorTimes);
  return row;
}

double NsPerCell(double ms, std::uint64_t cells) { return cells == 0 ? 0 : ms * 1e6 / static_cast<double>(cells); }

void PrintHeader(bool csv) {
  if (csv) {
    std::printf("map,call,size,depth,cells,reps,library_ms,floor_ms,ratio,library_ns_per_cell,"
                "floor_ns_per_cell,library_peak_mib,floor_peak_mib,budget_mib,library_path,floor_path,result\n");
  } else {
    std::printf("%-9s %-6s %5s %5s %9s %4s %10s %10s %6s %8s %8s %9s %9s %9s  %s\n", "map", "call", "size",
                "depth", "cells", "reps", "lib ms", "floor ms", "ratio", "lib ns/c", "flr ns/c", "lib MiB",
                "floor MiB", "budget", "result");
  }
}

void PrintRow(const Row& r, bool csv) {
  const double ratio = r.floorMs > 0 ? r.libMs / r.floorMs : 0;
  const std::string result = r.error.empty() ? "ok" : "WRONG: " + r.error;
  if (csv) {
    std::printf("%s,%s,%d,%d,%llu,%d,%.3f,%.3f,%.3f,%.2f,%.2f,%.2f,%.2f,%.2f,%zu,%zu,\"%s\"\n", r.map.c_str(),
                r.fn.c_str(), r.size, r.depth, static_cast<unsigned long long>(r.cells), r.reps, r.libMs, r.floorMs,
                ratio, NsPerCell(r.libMs, r.cells), NsPerCell(r.floorMs, r.cells), r.libPeakMiB, r.floorPeakMiB,
                r.budgetMiB, r.libPath, r.floorPath, result.c_str());
  } else {
    std::printf("%-9s %s   %5d %5d %9llu %4d %10.3f %10.3f %6.2f %8.2f %8.2f %9.2f %9.2f %9.2f  %s\n",
                r.map.c_str(), r.fn.c_str(), r.size, r.depth, static_cast<unsigned long long>(r.cells), r.reps,
                r.libMs, r.floorMs, ratio, NsPerCell(r.libMs, r.cells), NsPerCell(r.floorMs, r.cells),
                r.libPeakMiB, r.floorPeakMiB, r.budgetMiB, result.c_str());
  }
  std::fflush(stdout);
}

int Run(int argc, char** argv) {
  const Options o = Parse(argc, argv);
  const Library lib = Load(o.library);
  if (!o.csv) {
    std::printf("library: %s\nmode: %s, median %s time of >= %d reps and >= %.2f s per row\n", o.library.c_str(),
                o.quick ? "quick" : "full", o.cpuTime ? "thread CPU" : "wall", o.minReps, o.minSeconds);
    std::printf("cells = cells the floor expands (its BFS dequeues); ns/c for both = median ms / those cells\n\n");
  }
  PrintHeader(o.csv);
  std::vector<Row> rows;
  int wrong = 0;
  for (const int size : o.sizes) {
    for (const std::string& kind : o.maps) {
      const Map m = MakeMap(kind, size);
      if (m.carved) std::fprintf(stderr, "note: %s %d needed a carved diagonal to join its corners\n", kind.c_str(),
                                 size);
      for (const int depth : {24, 8}) {
        rows.push_back(Measure(lib, m, depth, o));
        PrintRow(rows.back(), o.csv);
        if (!rows.back().error.empty()) ++wrong;
      }
    }
  }

  if (!o.csv && o.sizes.size() > 1) {
    // Growth: library ns per cell at the largest size over that at the smallest.
    const int small = *std::min_element(o.sizes.begin(), o.sizes.end());
    const int large = *std::max_element(o.sizes.begin(), o.sizes.end());
    std::map<std::string, std::pair<double, double>> growth;
    for (const Row& r : rows) {
      const std::string key = r.map + " " + std::to_string(r.depth) + "-bit";
      if (r.size == small) growth[key].first = NsPerCell(r.libMs, r.cells);
      if (r.size == large) growth[key].second = NsPerCell(r.libMs, r.cells);
    }
    std::printf("\nlibrary ns/cell at %d over that at %d:\n", large, small);
    for (const auto& [key, g] : growth) {
      std::printf("  %-20s %6.2f -> %6.2f  (x%.2f)\n", key.c_str(), g.first, g.second,
                  g.first > 0 ? g.second / g.first : 0);
    }
  }
  if (wrong > 0) {
    std::fprintf(stderr, "gridseek_bench: %d wrong result(s)\n", wrong);
    return 1;
  }
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
  try {
    return bench::Run(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "gridseek_bench: %s\n", e.what());
    return 2;
  }
}
