#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the Windows build (its
# tests run under wine from the plain build), the plain build, the
# AddressSanitizer+UndefinedBehaviorSanitizer build and the ThreadSanitizer
# build, then runs every fuzz target for a bounded time (scripts/fuzz.sh).
# Ends with a summary that names every skipped test and its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

summary=()
passed=0
skipped=0

# Names the tests of the last run in DIR that were skipped, with the line in
# which each gave its reason.
report_skipped() {
  local dir=$1 log=$2 name reason
  for name in $(sed -n 's/.*Test *#[0-9]*: \([^ ]*\) .*\*\*\*Skipped.*/\1/p' "$log"); do
    reason=$(ctest --test-dir "$dir" -R "^${name}\$" -FA ".*" -V 2>&1 | grep -m1 -i 'skip' | sed 's/^[0-9]*: //')
    summary+=("$dir: $name: ${reason:-skipped, no reason given}")
    skipped=$((skipped + 1))
  done
}

run_suite() {
  local dir=$1; shift
  echo "== $dir"
  bash scripts/build.sh "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" | tee "$dir/ctest-summary.log"
  summary+=("$dir: $(grep -m1 'tests passed' "$dir/ctest-summary.log")")
  passed=$((passed + $(grep -c 'Test *#[0-9]*: .* Passed' "$dir/ctest-summary.log" || true)))
  report_skipped "$dir" "$dir/ctest-summary.log"
}

# The Windows side first: the plain build's wine tests run its programs.
echo "== build-mingw"
bash scripts/build-windows.sh

run_suite build
run_suite build-asan -DQRV_SANITIZE=address -DQRV_BUILD_BENCH=OFF
run_suite build-tsan -DQRV_SANITIZE=thread -DQRV_BUILD_BENCH=OFF

echo "== build-fuzz"
mkdir -p build-fuzz
bash scripts/fuzz.sh | tee build-fuzz/fuzz-summary.log
summary+=("build-fuzz: $(grep -c ' executions, ' build-fuzz/fuzz-summary.log) fuzz targets without a finding")

echo "== summary"
printf '%s\n' "${summary[@]}"
# A failed test ends the run before this line.
echo "tests: $passed passed, 0 failed, $skipped skipped"
