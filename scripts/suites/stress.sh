#!/usr/bin/env bash
# Stress suite: a Release build in build/stress, then one 8192 x 8192 24-bit
# map through both searches; prints time and peak memory (ru_maxrss).
# GRIDSEEK_STRESS_SIDE changes the side of the map.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/stress
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDSEEK_BUILD_BENCH=OFF -DGRIDSEEK_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gridseek_stress gridseek
"$build/tests/stress/gridseek_stress" "${GRIDSEEK_STRESS_SIDE:-8192}"
