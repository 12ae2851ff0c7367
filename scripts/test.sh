#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the Windows build (its
# tests run under wine from the plain build), the plain build, the
# AddressSanitizer+UndefinedBehaviorSanitizer build and the ThreadSanitizer build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

run_suite() {
  local dir=$1; shift
  echo "== $dir"
  bash scripts/build.sh "$dir" "$@"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)"
}

# The Windows side first: the plain build's wine tests run its programs.
echo "== build-mingw"
bash scripts/build-windows.sh

run_suite build
run_suite build-asan -DQRV_SANITIZE=address -DQRV_BUILD_BENCH=OFF
run_suite build-tsan -DQRV_SANITIZE=thread -DQRV_BUILD_BENCH=OFF
