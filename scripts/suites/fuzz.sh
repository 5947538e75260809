#!/usr/bin/env bash
# Fuzzing suite: builds both libFuzzer targets with clang under ASan+UBSan in
# build/fuzz and runs each from the generated seed corpus (plus the kept
# regression inputs) for GRIDSEEK_FUZZ_SECONDS seconds (default 60).
# Fails on any crash, leak, timeout, sanitizer report or broken invariant;
# the failing input is left in build/fuzz/artifacts/.
#
# Longer runs: GRIDSEEK_FUZZ_SECONDS=600 bash scripts/suites/fuzz.sh
# The working corpus in build/fuzz/corpus/ is kept between runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build/fuzz
seconds=${GRIDSEEK_FUZZ_SECONDS:-60}

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGRIDSEEK_BUILD_FUZZ=ON \
  -DGRIDSEEK_WERROR="${GRIDSEEK_WERROR:-ON}" \
  -DGRIDSEEK_BUILD_TESTS=OFF -DGRIDSEEK_BUILD_TOOLS=OFF -DGRIDSEEK_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gridseek_fuzz_exports gridseek_fuzz_bitmap

rm -rf "$build/seed"
python3 "$root/scripts/make-fuzz-corpus.py" "$build/seed"
mkdir -p "$build/artifacts"

status=0
for target in exports bitmap; do
  mkdir -p "$build/corpus/$target"
  echo "--- fuzzing $target for ${seconds}s"
  # Progress lines go to the log only; the summary and any report are shown.
  if "$build/fuzz/gridseek_fuzz_$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 \
      -print_final_stats=1 -artifact_prefix="$build/artifacts/$target-" \
      "$build/corpus/$target" "$build/seed/$target" "$root/fuzz/regressions/$target" >"$build/$target.log" 2>&1; then
    grep -E '^(#[0-9]+[[:space:]]+DONE|stat::)' "$build/$target.log" || true
  else
    status=1
    grep -vE '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse)' "$build/$target.log" | tail -60
    echo "--- $target FAILED; input kept in $build/artifacts/ (copy it to fuzz/regressions/$target/)"
  fi
done
exit $status
