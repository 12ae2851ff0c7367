#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test: the Windows build (its
# tests run under wine from the plain build), the plain build, the
# AddressSanitizer+UndefinedBehaviorSanitizer build and the ThreadSanitizer
# build, then runs every fuzz target for a bounded time (scripts/fuzz.sh).
# The plain build runs every test; the sanitizer builds build and run the
# tests named below. Ends with a summary that names every skipped test and
# its reason.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The tests of the sanitizer builds, by CTest name.
# AddressSanitizer+UndefinedBehaviorSanitizer: the code that manages memory
# itself or hands it across an interface: the COM and OLE automation
# stand-ins (BSTR, SAFEARRAY, VARIANT) and the wrappers and text conversions
# over them, the registry file, the request path's
# arenas, pools and caches over Xalan-C and Xerces-C, the dispatcher, the
# provider's value conversions, instances and COM objects, the module loaded
# as COM loads it, wmihost's class objects, and requests end to end through
# the loaded module. The parsers of outside text are fuzzed besides, in an
# AddressSanitizer build of their own. Left to the plain build: the WQL
# filter and wmihost's command line (plain C++ over standard containers;
# WQL is fuzzed), the service's logic and its Linux platform (strings and
# system calls; their threads run under ThreadSanitizer), the inventory end
# to end (the same module as wmihost_e2e over other data) and the Python
# checks of the source tree.
asan_tests=(
  com_test common_com_test common_text_test regfile_test
  registration_loading_test request_text_test request_files_test request_cache_bound_test
  registration_dispatch_test wmi_unit_test wmi_filling_test wmi_provider_test wmi_stress_test module_test
  wmihost_core_test
  wmihost_e2e
)
# ThreadSanitizer: every test that runs code on more than one thread (the
# others, and wmihost and the end-to-end scripts, run one thread only).
tsan_tests=(
  com_test regfile_test
  registration_loading_test request_text_test request_files_test registration_dispatch_test
  wmi_provider_test wmi_stress_test module_test
  wmihost_core_test
  service_test posix_platform_test service_posix_publish_test rulosrv_linux_e2e_test
)

summary=()
passed=0
skipped=0
# Each phase's time and the processor time of its processes, for the
# summary: the time depends on what else the machine runs, the processor
# time hardly.
phases=()
phase_start=0
phase_cpu=0
# cpu_seconds: the processor seconds of this script's finished processes,
# as $cpu. (`times` tells them only in this shell, not in a subshell.)
cpu_seconds() {
  local file
  file=$(mktemp)
  times >"$file"
  cpu=$(awk 'NR == 2 { for (i = 1; i <= 2; i++) { split($i, t, /[ms]/); n += t[1] * 60 + t[2] } printf "%d", n }' "$file")
  rm -f "$file"
}
minutes() { echo "$(($1 / 60))m$(($1 % 60))s"; }
phase_done() {
  local cpu
  cpu_seconds
  phases+=("$1 $(minutes $((SECONDS - phase_start))) (cpu $(minutes $((cpu - phase_cpu))))")
  phase_start=$SECONDS
  phase_cpu=$cpu
}

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

# targets_of TEST: the build targets TEST runs. A GoogleTest program is the
# target of its name; the end-to-end scripts run the programs and the
# deployment's module.
targets_of() {
  case $1 in
    wmihost_e2e) echo wmihost deploy_module ;;
    inventory_e2e) echo rulosrv wmihost deploy_module ;;
    *) echo "$1" ;;
  esac
}

# run_suite DIR [cmake options...] [--tests TEST...]: builds DIR and runs its
# tests; with --tests, builds what those tests need and runs them alone.
run_suite() {
  local dir=$1 options=() tests=() targets=() selection=() test
  shift
  while [ $# -gt 0 ]; do
    if [ "$1" = "--tests" ]; then
      shift
      tests=("$@")
      break
    fi
    options+=("$1")
    shift
  done
  echo "== $dir"
  if [ ${#tests[@]} -gt 0 ]; then
    for test in "${tests[@]}"; do
      targets+=($(targets_of "$test"))
    done
    selection=(-R "^($(IFS='|'; echo "${tests[*]}"))\$")
    bash scripts/build.sh "$dir" "${options[@]}" --target "${targets[@]}"
  else
    bash scripts/build.sh "$dir" "${options[@]}"
  fi
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" ${selection[@]+"${selection[@]}"} |
    tee "$dir/ctest-summary.log"
  summary+=("$dir: $(grep -m1 'tests passed' "$dir/ctest-summary.log")")
  passed=$((passed + $(grep -c 'Test *#[0-9]*: .* Passed' "$dir/ctest-summary.log" || true)))
  report_skipped "$dir" "$dir/ctest-summary.log"
  phase_done "$dir"
}

phase_done setup

# The Windows side first: the plain build's wine tests run its programs.
echo "== build-mingw"
bash scripts/build-windows.sh
phase_done build-mingw

run_suite build
run_suite build-asan -DQRV_SANITIZE=address -DQRV_BUILD_BENCH=OFF --tests "${asan_tests[@]}"
run_suite build-tsan -DQRV_SANITIZE=thread -DQRV_BUILD_BENCH=OFF --tests "${tsan_tests[@]}"

echo "== build-fuzz"
mkdir -p build-fuzz
bash scripts/fuzz.sh | tee build-fuzz/fuzz-summary.log
summary+=("build-fuzz: $(grep -c ' executions, ' build-fuzz/fuzz-summary.log) fuzz targets without a finding")
phase_done build-fuzz

echo "== summary"
printf '%s\n' "${summary[@]}"
cpu_seconds
echo "times: $(printf '%s, ' "${phases[@]}")in all $(minutes $SECONDS) (cpu $(minutes "$cpu"))"
# A failed test ends the run before this line.
echo "tests: $passed passed, 0 failed, $skipped skipped"
