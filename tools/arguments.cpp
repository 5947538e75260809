#include "arguments.h"

#include <charconv>

namespace gstool {
namespace {

bool LooksLikeNumber(const std::string& arg) {
  return arg.size() >= 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9';
}

bool Coordinate(const std::string& name, const std::string& text, std::int32_t& value, std::string& error) {
  if (ParseInt32(text, value)) return true;
  error = name + " must be an integer from -2147483648 to 2147483647, not '" + text + "'";
  return false;
}

}  // namespace

bool ParseInt32(const std::string& text, std::int32_t& value) {
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (first != last && *first == '+') {
    ++first;
    if (first == last || *first == '-') return false;
  }
  const auto [end, ec] = std::from_chars(first, last, value);
  return ec == std::errc() && end == last;
}

bool ParseArguments(const std::vector<std::string>& args, Options& options, std::string& error) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-" || LooksLikeNumber(arg)) {
      positional.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    std::string name = arg;
    std::string value;
    bool hasValue = false;
    if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      hasValue = true;
    }
    const auto takeValue = [&](std::string& into) {
      if (!hasValue) {
        if (i + 1 >= args.size()) {
          error = name + " needs a value";
          return false;
        }
        value = args[++i];
      }
      if (value.empty()) {
        error = name + " needs a non-empty value";
        return false;
      }
      into = value;
      return true;
    };
    const auto noValue = [&]() {
      if (!hasValue) return true;
      error = name + " takes no value";
      return false;
    };
    if (name == "-h" || name == "--help") {
      if (!noValue()) return false;
      options.help = true;
    } else if (name == "--version") {
      if (!noValue()) return false;
      options.version = true;
    } else if (name == "--json") {
      if (!noValue()) return false;
      options.json = true;
    } else if (name == "--draw" || name == "-o") {
      if (!takeValue(options.draw)) return false;
    } else if (name == "--library") {
      if (!takeValue(options.library)) return false;
    } else if (name == "--scale") {
      std::string text;
      if (!takeValue(text)) return false;
      if (!ParseInt32(text, options.scale) || options.scale < 1 || options.scale > 64) {
        error = "--scale must be an integer from 1 to 64, not '" + text + "'";
        return false;
      }
    } else {
      error = "unknown option " + name;
      return false;
    }
  }
  if (options.help || options.version) return true;

  if (positional.empty()) {
    error = "no command given (path or ore)";
    return false;
  }
  const std::string& command = positional[0];
  std::size_t wanted = 0;
  if (command == "path") {
    options.command = Command::kPath;
    wanted = 6;
  } else if (command == "ore") {
    options.command = Command::kOre;
    wanted = 4;
  } else {
    error = "unknown command '" + command + "' (expected path or ore)";
    return false;
  }
  if (positional.size() != wanted) {
    error = command + (command == "path" ? " takes MAP X0 Y0 X1 Y1" : " takes MAP X Y") + " (got " +
            std::to_string(positional.size() - 1) + " argument" + (positional.size() == 2 ? "" : "s") + ")";
    return false;
  }
  options.map = positional[1];
  if (options.command == Command::kPath) {
    return Coordinate("X0", positional[2], options.x0, error) && Coordinate("Y0", positional[3], options.y0, error) &&
           Coordinate("X1", positional[4], options.x1, error) && Coordinate("Y1", positional[5], options.y1, error);
  }
  return Coordinate("X", positional[2], options.x0, error) && Coordinate("Y", positional[3], options.y0, error);
}

std::string UsageText() {
  return "usage: gridseek path MAP X0 Y0 X1 Y1 [--json] [--draw OUT.png] [--scale N] [--library PATH]\n"
         "       gridseek ore MAP X Y [--json] [--draw OUT.png] [--scale N] [--library PATH]\n"
         "       gridseek --help\n";
}

std::string HelpText() {
  return UsageText() +
         "\n"
         "Runs one search of the gridseek library on a map and prints the result.\n"
         "\n"
         "Commands:\n"
         "  path MAP X0 Y0 X1 Y1  shortest path from cell (X0, Y0) to cell (X1, Y1), stepping to\n"
         "                        any of the eight neighbours over white cells\n"
         "  ore MAP X Y           breadth-first flood from (X, Y) over white cells to the first cell\n"
         "                        with a black neighbour (outside the map reads black too)\n"
         "\n"
         "MAP is a BMP file, handed to the library as it is, or a PNG file, decoded and handed\n"
         "over as a 24-bit BMP. A cell is passable when its pixel is exactly white (#FFFFFF);\n"
         "x counts columns from the left, y rows from the top, both from 0.\n"
         "\n"
         "Options:\n"
         "  --json             print the result as one JSON object\n"
         "  --draw OUT.png     also write a picture of the map with the result drawn over it\n"
         "  --scale N          pixels per cell in the picture (1 to 64; default: fits ~1024 px)\n"
         "  --library PATH     use this build of the library instead of the one next to the tool\n"
         "  -h, --help         show this help\n"
         "  --version          show the tool's version\n"
         "\n"
         "Output: the path's length in cells and its cells, start first; or the ore cell (the\n"
         "flooded cell, not the black pixel), its direction code 1-8 and the side of the black\n"
         "pixel in words. Coordinates are printed as the library returns them: 16-bit signed.\n"
         "\n"
         "Exit codes: 0 found, 1 no path / no ore reachable, 2 bad command line,\n"
         "            3 map or picture file problem, 4 library problem.\n"
         "\n"
         "Examples:\n"
         "  gridseek path examples/maps/maze.bmp 1 1 39 29\n"
         "  gridseek path examples/maps/field.bmp 2 20 60 30 --draw out/field.png\n"
         "  gridseek ore examples/maps/cave.bmp 6 16 --json\n"
         "  gridseek path screenshot.png 10 10 200 150 --draw out/route.png --scale 4\n";
}

}  // namespace gstool
