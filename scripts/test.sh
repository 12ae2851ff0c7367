#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the plain build, the
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

run_suite build
run_suite build-asan -DQRV_SANITIZE=address -DQRV_BUILD_BENCH=OFF
run_suite build-tsan -DQRV_SANITIZE=thread -DQRV_BUILD_BENCH=OFF

# The Windows side: the service must compile with mingw-w64.
echo "== build-mingw"
bash scripts/build.sh build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF
