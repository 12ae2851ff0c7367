#!/usr/bin/env bash
# The whole job on this machine: sets up, builds, installs every deliverable
# into a temporary prefix (cmake --install), runs one collection of this machine's inventory through
# rulosrv -run, and prints a few classes through one wmihost invocation.
# One line per step; each step's full output goes to a log that is shown
# when the step fails.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(mktemp -d /tmp/korvex-run.XXXXXX)
logs=$root/logs
mkdir -p "$logs"

# step NAME COMMAND...: runs COMMAND with its output in logs/NAME.log.
step() {
  local name=$1
  shift
  if ! "$@" >"$logs/$name.log" 2>&1; then
    echo "$name: failed; its output:" >&2
    tail -n 40 "$logs/$name.log" >&2
    exit 1
  fi
}

step setup bash scripts/setup.sh
echo "$(tail -n 1 "$logs/setup.log")"
step configure cmake -S . -B build
step build cmake --build build -j "$(nproc)" --target rulosrv wmihost wexi qrv_com
echo "build:   build/bin/rulosrv, build/bin/wmihost, build/bin/wexi.so"
step install cmake --install build --prefix "$root"
echo "install: $root/lib/korvex, settings $root/etc/korvex/rulosrv.reg"

export KORVEX_REGISTRY_FILE=$root/etc/korvex/rulosrv.reg RULOSRV_TRACE_DIR=$root/var/log/rulosrv
bin=$root/lib/korvex/bin
start=$(date +%s%N)
# 0: published; 1: published, but a source of the collector failed.
status=0
"$bin/rulosrv" -run >"$logs/collect.log" 2>&1 || status=$?
if [ "$status" -gt 1 ]; then
  echo "collect: rulosrv -run failed with exit code $status:" >&2
  cat "$logs/collect.log" >&2
  exit 1
fi
data=$root/var/lib/korvex/inventory/inventory.xml
echo "collect: $(grep -o '<Package ' "$data" | wc -l) packages, $(du -k "$data" | cut -f1) KiB in $data (rulosrv -run: $status)"
[ "$status" -eq 0 ] || sed 's/^/         /' "$logs/collect.log"

echo
"$bin/wmihost" --repository "$root/share/korvex/mof" --module "$bin/wexi.so" \
  enum Korvex_ComputerSystem \
  query 'SELECT DeviceID, Name, Vendor, CurrentClockSpeed, NumberOfCores, NumberOfLogicalProcessors FROM Korvex_Processor' \
  enum Korvex_Memory \
  enum Korvex_Disk \
  enum Korvex_NetworkAdapter \
  get 'Korvex_Software.Name="bash",Architecture="amd64"' \
  query "SELECT Name, Version FROM Korvex_Software WHERE Name LIKE 'libxml%'"
echo
echo "collection and listing took $((($(date +%s%N) - start) / 1000000)) ms; the deployment stays in $root"
