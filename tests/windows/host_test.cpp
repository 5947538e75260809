// A Win32 host of gridseek.dll: loads it with LoadLibrary, finds both entry
// points by their GBK names and by ordinal, checks the export directory and
// the calling convention, runs the behavioural case files, and checks the
// out-of-storage exit and the release of the result at unload.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/case_file.h"

namespace {

static_assert(sizeof(std::intptr_t) == 4, "the callers' variables are 32 bits in a Win32 host");

// What a Win32 host declares: __stdcall, 32-bit arguments, no return value.
using OreFn = void(__stdcall*)(std::intptr_t* p, std::intptr_t* q, std::int32_t x, std::int32_t y);
using PathFn = void(__stdcall*)(std::intptr_t* p, std::intptr_t* q, std::int32_t startX, std::int32_t startY,
                                std::int32_t goalX, std::int32_t goalY);

constexpr char kGbkOre[] = "\xD1\xB0\xBF\xF3";   // 寻矿
constexpr char kGbkPath[] = "\xD1\xB0\xC2\xB7";  // 寻路

std::string DllPath() { return GRIDSEEK_DLL_PATH; }

class Dll {
 public:
  Dll() : module_(LoadLibraryA(DllPath().c_str())) {
    if (module_ == nullptr) throw std::runtime_error("LoadLibrary " + DllPath() + " failed");
  }
  ~Dll() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Dll(const Dll&) = delete;
  Dll& operator=(const Dll&) = delete;

  HMODULE module() const { return module_; }
  FARPROC Find(const char* name) const { return GetProcAddress(module_, name); }
  FARPROC Find(WORD ordinal) const { return GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)); }
  OreFn ore() const { return reinterpret_cast<OreFn>(reinterpret_cast<void*>(Find(kGbkOre))); }
  PathFn path() const { return reinterpret_cast<PathFn>(reinterpret_cast<void*>(Find(kGbkPath))); }
  void Release() {
    FreeLibrary(module_);
    module_ = nullptr;
  }

 private:
  HMODULE module_;
};

testcase::Bytes Copy(std::intptr_t p, std::intptr_t q) {
  if (p == 0 || q <= 0) return {};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(p);
  return {bytes, bytes + q};
}

testcase::Bytes White3x3() { return testbmp::Write(testbmp::FromText({"...", "...", "..."})); }

// ---------------------------------------------------------------------------

TEST(Exports, BothAreFoundByGbkNameAndByOrdinal) {
  Dll dll;
  EXPECT_NE(dll.Find(kGbkOre), nullptr);
  EXPECT_NE(dll.Find(kGbkPath), nullptr);
  EXPECT_EQ(dll.Find(WORD{1}), dll.Find(kGbkOre));
  EXPECT_EQ(dll.Find(WORD{2}), dll.Find(kGbkPath));
  EXPECT_NE(dll.Find(kGbkOre), dll.Find(kGbkPath));
}

TEST(Exports, NoOtherNameOrOrdinalIsFound) {
  Dll dll;
  EXPECT_EQ(dll.Find(WORD{3}), nullptr);
  for (const char* name : {"\xE5\xAF\xBB\xE7\x9F\xBF", "\xE5\xAF\xBB\xE8\xB7\xAF",        // UTF-8
                           "\xD1\xB0\xBF\xF3@16", "_\xD1\xB0\xBF\xF3@16", "\xD1\xB0\xC2\xB7@24",  // decorated
                           "DllMain", "DllEntryPoint", "RunOreSearch"}) {
    EXPECT_EQ(dll.Find(name), nullptr) << name;
  }
}

// Reads the export directory of the loaded image itself.
TEST(Exports, ExportDirectoryHoldsExactlyTheTwoGbkNames) {
  Dll dll;
  const auto* base = reinterpret_cast<const std::uint8_t*>(dll.module());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  ASSERT_EQ(nt->FileHeader.Machine, IMAGE_FILE_MACHINE_I386);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  EXPECT_EQ(exports->Base, 1u);
  ASSERT_EQ(exports->NumberOfFunctions, 2u);
  ASSERT_EQ(exports->NumberOfNames, 2u);
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
  std::vector<std::pair<std::string, unsigned>> found;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i)
    found.emplace_back(reinterpret_cast<const char*>(base + names[i]), ordinals[i] + exports->Base);
  const std::vector<std::pair<std::string, unsigned>> expected{{kGbkOre, 1u}, {kGbkPath, 2u}};
  EXPECT_EQ(found, expected);
}

// Calls an entry point with hand-pushed arguments (the last pushed first)
// and answers how many of their bytes are still on the stack afterwards:
// none under __stdcall, where the callee removes them. The stack pointer is
// kept in static storage, which the pushes do not move.
std::uint32_t gEspBefore, gEspAfter;

std::uint32_t BytesLeftOnStack(void* fn, const std::uint32_t* args, int count) {
  const std::uint32_t* last = args + count - 1;
  asm volatile(
      "movl %%esp, %[before]\n\t"
      "1:\n\t"
      "pushl (%[arg])\n\t"
      "subl $4, %[arg]\n\t"
      "decl %[n]\n\t"
      "jnz 1b\n\t"
      "call *%[fn]\n\t"
      "movl %%esp, %[after]\n\t"
      "movl %[before], %%esp\n\t"
      : [before] "=m"(gEspBefore), [after] "=m"(gEspAfter), [arg] "+S"(last), [n] "+D"(count)
      : [fn] "b"(fn)
      : "eax", "ecx", "edx", "memory", "cc");
  return gEspBefore - gEspAfter;
}

std::uint32_t Arg(std::intptr_t* v) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(v)); }

TEST(Exports, UseTheStdcallConvention) {
  Dll dll;
  const testcase::Bytes image = White3x3();
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  const std::uint32_t oreArgs[] = {Arg(&p), Arg(&q), 1, 1};
  EXPECT_EQ(BytesLeftOnStack(reinterpret_cast<void*>(dll.Find(kGbkOre)), oreArgs, 4), 0u);
  // The flood reaches (0, 2) first, whose lower left lies outside the map.
  EXPECT_EQ(testcase::Hex(Copy(p, q)), "00 00 02 00 01 00");

  p = reinterpret_cast<std::intptr_t>(image.data());
  q = static_cast<std::intptr_t>(image.size());
  const std::uint32_t pathArgs[] = {Arg(&p), Arg(&q), 0, 0, 2, 2};
  EXPECT_EQ(BytesLeftOnStack(reinterpret_cast<void*>(dll.Find(kGbkPath)), pathArgs, 6), 0u);
  EXPECT_EQ(testcase::Hex(Copy(p, q)), "00 00 00 00 01 00 01 00 02 00 02 00");
}

// ---------------------------------------------------------------------------
// The behavioural cases shared with the Linux suite.

const std::vector<testcase::Case>& Cases() {
  static const std::vector<testcase::Case> cases = testcase::LoadCases(testcase::DefaultCasesDir());
  return cases;
}

class CaseFile : public ::testing::TestWithParam<testcase::Case> {
 protected:
  static void SetUpTestSuite() { dll_ = new Dll; }
  static void TearDownTestSuite() {
    delete dll_;
    dll_ = nullptr;
  }
  static Dll* dll_;
};
Dll* CaseFile::dll_ = nullptr;

TEST_P(CaseFile, ResultMatches) {
  const testcase::Case& c = GetParam();
  const OreFn ore = dll_->ore();
  const PathFn path = dll_->path();
  ASSERT_NE(ore, nullptr);
  ASSERT_NE(path, nullptr);
  const testcase::Entry entry{
      [ore](std::intptr_t* p, std::intptr_t* q, std::int32_t x, std::int32_t y) { ore(p, q, x, y); },
      [path](std::intptr_t* p, std::intptr_t* q, std::int32_t sx, std::int32_t sy, std::int32_t gx,
             std::int32_t gy) { path(p, q, sx, sy, gx, gy); }};
  bool consistent = false;
  const testcase::Bytes result = testcase::Run(c, entry, consistent);
  EXPECT_TRUE(consistent) << "address and count disagree, or the image was written";
  EXPECT_EQ(testcase::Hex(result), testcase::Hex(c.expected)) << c.file << ":" << c.line << " " << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFile, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<testcase::Case>& p) { return p.param.name; });

// ---------------------------------------------------------------------------
// The two caller variables across calls.

TEST(CallerVariables, EmptyResultLeavesZeroInBoth) {
  Dll dll;
  const testcase::Bytes image = White3x3();
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  dll.path()(&p, &q, 0, 0, 5, 5);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);
}

TEST(CallerVariables, PreviousResultMayBeTheNextImage) {
  Dll dll;
  const testcase::Bytes image = White3x3();
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  dll.path()(&p, &q, 0, 0, 2, 2);
  ASSERT_EQ(q, 12);
  // The path record is no BMP file: everything reads black, so the ore search
  // reports its start with code 1.
  dll.ore()(&p, &q, 7, 8);
  EXPECT_EQ(testcase::Hex(Copy(p, q)), "07 00 08 00 01 00");
}

TEST(CallerVariables, PathThenFruitlessOreWritesZeroAndKeepsImage) {
  Dll dll;
  const testcase::Bytes walls = testbmp::Write(testbmp::FromText({"###", "#.#", "###"}));
  const testcase::Bytes before = walls;
  const testcase::Bytes image = White3x3();
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  dll.path()(&p, &q, 0, 0, 2, 0);
  ASSERT_EQ(q, 12);
  p = reinterpret_cast<std::intptr_t>(walls.data());
  q = static_cast<std::intptr_t>(walls.size());
  dll.ore()(&p, &q, 1, 1);
  EXPECT_EQ(p, 0);
  EXPECT_EQ(q, 0);
  EXPECT_EQ(walls, before);
}

// ---------------------------------------------------------------------------
// Unload.

// Whether `address` is the start of a block in use in any heap of the process.
bool HeapBlockInUse(const void* address) {
  std::vector<HANDLE> heaps(256);
  const DWORD n = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  for (DWORD i = 0; i < n && i < heaps.size(); ++i) {
    PROCESS_HEAP_ENTRY entry;
    entry.lpData = nullptr;
    while (HeapWalk(heaps[i], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 && entry.lpData == address) return true;
    }
  }
  return false;
}

TEST(Unload, FreeLibraryReleasesTheResult) {
  auto dll = std::make_unique<Dll>();
  const testcase::Bytes image = White3x3();
  std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
  std::intptr_t q = static_cast<std::intptr_t>(image.size());
  dll->path()(&p, &q, 0, 0, 2, 2);
  ASSERT_EQ(q, 12);
  const void* result = reinterpret_cast<const void*>(p);
  ASSERT_TRUE(HeapBlockInUse(result)) << "the result block is not visible to HeapWalk";
  dll->Release();
  ASSERT_EQ(GetModuleHandleA("gridseek.dll"), nullptr) << "the DLL is still loaded";
  EXPECT_FALSE(HeapBlockInUse(result));
}

TEST(Unload, ReloadedLibraryStartsAfresh) {
  const testcase::Bytes image = White3x3();
  testcase::Bytes first;
  for (int round = 0; round < 3; ++round) {
    Dll dll;
    std::intptr_t p = reinterpret_cast<std::intptr_t>(image.data());
    std::intptr_t q = static_cast<std::intptr_t>(image.size());
    dll.ore()(&p, &q, 1, 1);
    if (round == 0) first = Copy(p, q);
    EXPECT_EQ(Copy(p, q), first) << "round " << round;
    EXPECT_EQ(testcase::Hex(first), "00 00 02 00 01 00");
  }
  EXPECT_EQ(GetModuleHandleA("gridseek.dll"), nullptr);
}

// ---------------------------------------------------------------------------
// Out of storage: a child process asks for more than a 32-bit process can
// have. It replaces the DLL's MessageBoxA import with a recorder, so the
// message text and style come back on its output.

struct ChildResult {
  DWORD exitCode = 0;
  std::string output;
};

ChildResult RunChild(const std::string& args) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) throw std::runtime_error("CreatePipe");
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdOutput = writeEnd;
  si.hStdError = writeEnd;
  si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION pi{};
  std::string command = "\"" GRIDSEEK_OOM_CHILD_PATH "\" " + args;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi))
    throw std::runtime_error("CreateProcess " + command);
  CloseHandle(writeEnd);
  ChildResult r;
  char buffer[512];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) r.output.append(buffer, got);
  CloseHandle(readEnd);
  WaitForSingleObject(pi.hProcess, 60000);
  GetExitCodeProcess(pi.hProcess, &r.exitCode);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return r;
}

TEST(OutOfStorage, ModalMessageNamesTheBytesThenExitCodeIsMinusOne) {
  const ChildResult r = RunChild("record");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu) << r.output;
  EXPECT_NE(r.output.find("2147483647"), std::string::npos) << r.output;
  EXPECT_NE(r.output.find("modal"), std::string::npos) << r.output;
  EXPECT_EQ(r.output.find("returned"), std::string::npos) << r.output;
}

TEST(OutOfStorage, RealMessageBoxThenExitCodeIsMinusOne) {
  const ChildResult r = RunChild("plain");
  EXPECT_EQ(r.exitCode, 0xFFFFFFFFu) << r.output;
  EXPECT_EQ(r.output.find("returned"), std::string::npos) << r.output;
}

}  // namespace
