#!/usr/bin/env bash
# Builds the gridseek command-line tool and runs it on the bundled maps:
# a path through the maze and an ore search in the cave, each drawn as a PNG
# in out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh" --if-missing

build=build/example
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDSEEK_BUILD_TESTS=OFF -DGRIDSEEK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gridseek_cli >/dev/null
mkdir -p out

echo "\$ gridseek path examples/maps/maze.bmp 1 1 39 29 --draw out/maze-path.png"
"$build/tools/gridseek" path examples/maps/maze.bmp 1 1 39 29 --draw out/maze-path.png
echo
echo "\$ gridseek ore examples/maps/cave.bmp 6 16 --draw out/cave-ore.png"
"$build/tools/gridseek" ore examples/maps/cave.bmp 6 16 --draw out/cave-ore.png
echo
echo "pictures: out/maze-path.png out/cave-ore.png (the tool: $build/tools/gridseek)"
