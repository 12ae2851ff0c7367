#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz and runs each over its seed
# corpus for FUZZ_SECONDS (default 30) seconds. New inputs go to
# build-fuzz/corpus/<target>, an input that crashes, hangs (10 s) or takes
# more than 2 GB to build-fuzz/artifacts/. Ends with the executions of every
# target; fails at the first target that finds something.
#   scripts/fuzz.sh [TARGET...]     default: every target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
dir=build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(ls fuzz/corpus))
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQRV_FUZZ=ON \
  -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" --target "${targets[@]}"

mkdir -p "$dir/artifacts"
summary=()
for target in "${targets[@]}"; do
  echo "== fuzzing $target for ${seconds}s"
  mkdir -p "$dir/corpus/$target"
  log="$dir/artifacts/$target.log"
  dict=()
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  if ! "$dir/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${dict[@]}" \
      -artifact_prefix="$dir/artifacts/$target-" "$dir/corpus/$target" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz: $target found a fault; the input is in $dir/artifacts/" >&2
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  summary+=("$target: $runs executions, $coverage edges, $(ls "$dir/corpus/$target" | wc -l) inputs in its corpus")
done
echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
