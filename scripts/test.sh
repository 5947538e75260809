#!/usr/bin/env bash
# Builds gridseek and runs every test suite: the normal build, the ASan+UBSan
# build, and each further suite that has a script in scripts/suites/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/install-deps.sh" --if-missing

jobs=$(nproc)
passed=0
failed=0
run_suite() {
  local name=$1; shift
  echo "=== suite: $name"
  if "$@"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "=== suite FAILED: $name"; fi
}

native_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null &&
    cmake --build "$dir" -j"$jobs" &&
    ctest --test-dir "$dir" --output-on-failure -j"$jobs"
}

run_suite release native_suite build/release
run_suite sanitize native_suite build/sanitize -DGRIDSEEK_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
for suite in "$root"/scripts/suites/*.sh; do
  [[ -e "$suite" ]] || continue
  run_suite "$(basename "$suite" .sh)" bash "$suite"
done

echo "suites: $passed passed, $failed failed"
[[ $failed -eq 0 ]]
