#pragma once
// The command line of the gridseek tool.

#include <cstdint>
#include <string>
#include <vector>

namespace gstool {

enum class Command { kNone, kPath, kOre };

struct Options {
  Command command = Command::kNone;
  std::string map;
  std::int32_t x0 = 0, y0 = 0;   // start (path) or the ore search's cell
  std::int32_t x1 = 0, y1 = 0;   // goal (path only)
  bool json = false;
  std::string draw;              // PNG to write, empty for none
  std::string library;           // empty: the default search
  std::int32_t scale = 0;        // pixels per cell in the drawing; 0 picks one
  bool help = false;
  bool version = false;
};

// Exit codes of the tool.
enum ExitCode : int {
  kExitFound = 0,
  kExitNotFound = 1,   // no path / no ore reachable
  kExitUsage = 2,      // bad command line
  kExitInput = 3,      // map unreadable, not an image, PNG undecodable, drawing not written
  kExitLibrary = 4,    // library not loadable or returned a malformed record
};

// False with a message (without the program name) for a bad command line.
bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error);

// A whole decimal 32-bit signed integer, optional sign, nothing else.
bool ParseInt32(const std::string& text, std::int32_t& value);

std::string UsageText();   // the synopsis lines
std::string HelpText();    // --help: synopsis, options, output, exit codes, examples

}  // namespace gstool
