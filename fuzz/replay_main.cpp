// Runs a fuzz target's entry point over saved inputs, without libFuzzer, so
// that a crasher or a whole corpus can be replayed with any compiler.
//
//   replay FILE|DIR...   each file, and each regular file directly inside a
//                        directory (names starting with '.' are skipped)
//
// Prints how many inputs ran; a broken invariant or a sanitizer report ends
// the process with a failure, naming the input that was being run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

bool RunFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "replay: cannot read %s\n", file.c_str());
    return false;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // On stdout, flushed, so that the input being run is known when a report
  // (on stderr) ends the process.
  std::printf("replay: %s (%zu bytes)\n", file.c_str(), bytes.size());
  std::fflush(stdout);
  // A copy of exactly the input's size, so that a read past its end is seen
  // by a sanitizer just as under libFuzzer.
  std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
  LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t ran = 0;
  bool ok = true;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path arg(argv[i]);
    std::error_code ec;
    if (std::filesystem::is_directory(arg, ec)) {
      std::vector<std::filesystem::path> files;
      for (const auto& entry : std::filesystem::directory_iterator(arg)) {
        if (entry.is_regular_file() && entry.path().filename().string().rfind('.', 0) != 0) files.push_back(entry.path());
      }
      std::sort(files.begin(), files.end());
      for (const auto& f : files) {
        ok = RunFile(f) && ok;
        ++ran;
      }
    } else {
      ok = RunFile(arg) && ok;
      ++ran;
    }
  }
  std::printf("replay: %zu inputs ran\n", ran);
  return ok ? 0 : 1;
}
