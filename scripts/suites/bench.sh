#!/usr/bin/env bash
# Builds the benchmark (Release, build/bench) and runs its quick mode: small maps,
# a few seconds. Fails on a wrong result only; the timings are printed, never judged.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
dir=build/bench
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DGRIDSEEK_BUILD_TESTS=OFF -DGRIDSEEK_BUILD_TOOLS=OFF \
  -DGRIDSEEK_BUILD_BENCH=ON >/dev/null
cmake --build "$dir" --target gridseek_bench -j"$(nproc)"
"$dir/bench/gridseek_bench" --quick
