#!/usr/bin/env bash
# Memory-error and leak suite: the unit tests (and the fuzz replays over the
# seed corpus, and the C host) under valgrind memcheck, built in
# build/valgrind as Release with debug information. Fails on any memcheck
# error and on any definite or indirect leak; the unit tests include unloading
# the library (dlclose) while it still holds a result.
#
# GRIDSEEK_VALGRIND_FILTER sets a gtest filter (default: every test; the
# whole suite takes about a minute under valgrind).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/valgrind
filter=${GRIDSEEK_VALGRIND_FILTER:-"*"}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS=-g -DCMAKE_C_FLAGS=-g \
  -DGRIDSEEK_BUILD_BENCH=OFF -DGRIDSEEK_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"

memcheck=(valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect
  --errors-for-leak-kinds=definite,indirect --child-silent-after-fork=yes --quiet)

status=0
# Each program's own output goes to a log; memcheck reports go to stderr.
run() {
  local log=$build/valgrind-$(basename "$1").log
  echo "--- valgrind: $*"
  if ! "${memcheck[@]}" "$@" >"$log"; then
    tail -40 "$log"
    echo "--- FAILED under valgrind: $* (program output in $log)"
    status=1
  else
    tail -3 "$log"
  fi
}

run "$build/tests/gridseek_tests" --gtest_filter="$filter" --gtest_brief=1
run "$build/tests/gridseek_fuzz_replay_exports" "$root/fuzz/regressions/exports" "$build/fuzz-corpus/exports"
run "$build/tests/gridseek_fuzz_replay_bitmap" "$root/fuzz/regressions/bitmap" "$build/fuzz-corpus/bitmap"
if [[ -x "$build/tests/gridseek_c_host" ]]; then
  run "$build/tests/gridseek_c_host" "$build/src/libgridseek.so"
fi
exit $status
