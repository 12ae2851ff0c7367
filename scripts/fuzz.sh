#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) into build-fuzz and runs each over its seed
# corpus for FUZZ_SECONDS (default 30) seconds, FUZZ_JOBS (default: one per
# core) targets at a time. New inputs go to build-fuzz/corpus/<target>, an
# input that crashes, hangs (10 s) or takes more than 2 GB to
# build-fuzz/artifacts/. Ends with the executions of every target; fails when
# a target finds something, once the targets running beside it have ended.
#   scripts/fuzz.sh [TARGET...]     default: every target
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
dir=build-fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=($(ls fuzz/corpus))
fi

bash scripts/build.sh "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQRV_FUZZ=ON \
  -DQRV_BUILD_TESTS=OFF -DQRV_BUILD_BENCH=OFF --target "${targets[@]}"

# fuzz TARGET: one target's run, its output in artifacts/TARGET.log.
fuzz() {
  local target=$1 dict=()
  mkdir -p "$dir/corpus/$target"
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  "$dir/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 "${dict[@]}" \
    -artifact_prefix="$dir/artifacts/$target-" "$dir/corpus/$target" "fuzz/corpus/$target" \
    >"$dir/artifacts/$target.log" 2>&1
}

# Each target runs on a core of its own; a finding stops the starting of
# further targets.
mkdir -p "$dir/artifacts"
jobs=${FUZZ_JOBS:-$(nproc)}
declare -A running=()
found=()
# reap: waits for one running target to end.
reap() {
  local pid status=0
  wait -n -p pid "${!running[@]}" || status=$?
  [ "$status" -eq 0 ] || found+=("${running[$pid]}")
  unset "running[$pid]"
}
for target in "${targets[@]}"; do
  [ ${#found[@]} -eq 0 ] || break
  echo "== fuzzing $target for ${seconds}s"
  fuzz "$target" &
  running[$!]=$target
  [ ${#running[@]} -lt "$jobs" ] || reap
done
while [ ${#running[@]} -gt 0 ]; do
  reap
done
for target in ${found[@]+"${found[@]}"}; do
  tail -n 40 "$dir/artifacts/$target.log"
  echo "fuzz: $target found a fault; the input is in $dir/artifacts/" >&2
done
[ ${#found[@]} -eq 0 ] || exit 1

summary=()
for target in "${targets[@]}"; do
  log="$dir/artifacts/$target.log"
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1)
  summary+=("$target: $runs executions, $coverage edges, $(ls "$dir/corpus/$target" | wc -l) inputs in its corpus")
done
echo "== fuzz summary"
printf '%s\n' "${summary[@]}"
