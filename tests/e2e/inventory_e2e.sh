#!/usr/bin/env bash
# The inventory end to end:
#   - the collector's exit codes and log with each source failing (fake
#     commands first on PATH) and with its output unwritable;
#   - every class's stylesheet over recorded collector outputs, checked
#     against expected instances through wmihost: this machine's, recorded
#     once by an older collector (System, Hardware, Disks and Packages only),
#     the example server of deploy/, an inventory with sections missing and
#     values out of range, and one with no section at all;
#   - the whole chain on this machine: a deployment laid out in a temporary
#     root, one collection through rulosrv -run, the classes through wmihost.
# One wmihost invocation per deployment, all side by side, so the provider's
# six-second Initialize is paid about once.
#   usage: inventory_e2e.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
here=$source/tests/e2e/inventory
collector=$source/deploy/collector/korvex-collector
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/check.sh"

# deployment NAME [DATA]: a laid-out root; DATA becomes its inventory data file.
deployment() {
  bash "$source/scripts/lay_out.sh" "$build" "$work/$1" || exit 1
  if [ $# -gt 1 ]; then
    mkdir -p "$work/$1/opt/korvex/xslroot/inventory/data"
    cp "$2" "$work/$1/opt/korvex/xslroot/inventory/data/inventory.xml"
  fi
}

# classes NAME: every class of the deployment NAME, and a get of each kind,
# in JSON Lines, into NAME.out.
classes() {
  local opt=$work/$1/opt/korvex
  shift
  "$build/bin/wmihost" --repository "$opt/mof" --module "$opt/bin/wexi.so" --format json --batch - \
    >"$work/$name.out" 2>"$work/$name.err" <<IN
enum Korvex_ComputerSystem
enum Korvex_Processor
enum Korvex_Memory
enum Korvex_Disk
enum Korvex_DiskPartition
enum Korvex_DiskPartitionOnDisk
enum Korvex_NetworkAdapter
$(printf '%s\n' "$@")
IN
}

# --- the recorded outputs and the chain, in the background ---
deployment this_machine "$here/this_machine.xml"
deployment server "$source/deploy/xslroot/inventory/data/inventory.xml"
deployment partial "$here/partial.xml"
deployment empty "$here/empty.xml"
deployment chain
name=this_machine classes this_machine 'get Korvex_Software.Name="bash",Architecture="amd64"' \
  'get Korvex_ComputerSystem.Name="vm"' &
name=server classes server 'enum Korvex_Software' 'enum Korvex_InstalledSoftware' \
  'get Korvex_Memory.DeviceID="core/memory/bank:1"' 'get Korvex_DiskPartition.DeviceID="sda2"' \
  'get Korvex_ComputerSystem.Name="kvx-db01"' 'get Korvex_Software.Name="libquorvane1",Architecture="i386"' \
  'get Korvex_Processor.DeviceID="CPU1"' 'get Korvex_NetworkAdapter.DeviceID="eno1"' &
name=partial classes partial 'get Korvex_Processor.DeviceID="CPU0"' 'get Korvex_Memory.DeviceID="Array0/Module0"' \
  'get Korvex_NetworkAdapter.DeviceID="Wi-Fi"' &
name=empty classes empty 'enum Korvex_Software' 'enum Korvex_InstalledSoftware' &
(
  export KORVEX_REGISTRY_FILE=$work/chain/etc/korvex/registry.reg RULOSRV_TRACE_DIR=$work/chain/var/log/rulosrv
  "$work/chain/opt/korvex/bin/rulosrv" -run >"$work/run.out" 2>&1
  echo $? >"$work/run.rc"
  opt=$work/chain/opt/korvex
  "$build/bin/wmihost" --repository "$opt/mof" --module "$opt/bin/wexi.so" --format json \
    enum Korvex_ComputerSystem enum Korvex_Software enum Korvex_Disk enum Korvex_Processor \
    enum Korvex_NetworkAdapter >"$work/chain.out" 2>"$work/chain.err"
) &

# --- the collector with failing sources (meanwhile) ---
mkdir -p "$work/fake"
# fake NAME EXIT TEXT: a command that exits with EXIT after printing TEXT,
# on standard output when EXIT is 0, else on standard error.
fake() {
  local stream=
  [ "$2" = 0 ] || stream=' >&2'
  printf '#!/bin/sh\necho "%s"%s\nexit %s\n' "$3" "$stream" "$2" >"$work/fake/$1" && chmod +x "$work/fake/$1"
}
# collect NAME [ARGS]: the collector with the fakes first on PATH.
collect() {
  local name=$1
  shift
  : >"$work/$name.xml"
  PATH=$work/fake:$PATH python3 "$collector" -quiet "-outc=\"$work/$name.xml\"" "-logc=$work/$name.log" "$@"
  echo $? >"$work/$name.rc"
}
# outcome NAME STATUS LOG ELEMENTS: exit status, a log line, the document's sections.
outcome() {
  [ "$(cat "$work/$1.rc")" = "$2" ] && grep -qF -- "$3" "$work/$1.log" &&
    [ "$(python3 -c 'import sys, xml.etree.ElementTree as E; print(" ".join(c.tag for c in E.parse(sys.argv[1]).getroot()))' "$work/$1.xml")" = "$4" ] || {
    echo "     status $(cat "$work/$1.rc"), log: $(cat "$work/$1.log")"
    return 1
  }
}
collect all_sources
check "collector: every source answers: exit 0" outcome all_sources 0 "inventory written to" \
  "System Computer Processors Memory NetworkAdapters Disks Packages Hardware"
fake lshw 1 "lshw: cannot open /dev/mem"
collect no_lshw
check "collector: lshw fails: exit 1, the log names it, the rest is written" outcome no_lshw 1 \
  "lshw -xml exited with 1: lshw: cannot open /dev/mem" "System Disks Packages"
fake lshw 0 "<node id=\"broken\">"
collect bad_lshw
check "collector: lshw writes no XML: exit 1" outcome bad_lshw 1 "lshw -xml: the output is not XML" "System Disks Packages"
rm "$work/fake/lshw"
fake lsblk 32 "lsblk: failed to access sysfs directory"
collect no_lsblk
check "collector: lsblk fails: exit 1, the disks from /sys/block stay" outcome no_lsblk 1 \
  "exited with 32: lsblk: failed to access sysfs directory" "System Computer Processors Memory NetworkAdapters Disks Packages Hardware"
fake ip 1 "Cannot open netlink socket: Permission denied"
collect no_ip
check "collector: ip fails: exit 1, the adapters are written without it" outcome no_ip 1 \
  "ip -j address exited with 1: Cannot open netlink socket" "System Computer Processors Memory NetworkAdapters Disks Packages Hardware"
check "  ... with lshw's address of each interface that has one" python3 - "$work/no_ip.xml" <<'PY'
import sys, xml.etree.ElementTree as E
lshw = {n.findtext("logicalname"): s.get("value") for n in E.parse(sys.argv[1]).iter("node")
        for s in n.findall("configuration/setting[@id='ip']")}
adapters = {a.get("id"): [(x.get("family"), x.get("value")) for x in a] for a in E.parse(sys.argv[1]).iter("NetworkAdapter")}
sys.exit(not adapters or any(adapters[n] != ([("ipv4", lshw[n])] if n in lshw else []) for n in adapters))
PY
rm "$work/fake/ip"
fake lshw 1 "no"
fake dpkg-query 2 "dpkg-query: cannot access archive"
collect no_dpkg
check "collector: lshw, lsblk and dpkg-query fail: exit 1, each named" outcome no_dpkg 1 \
  "dpkg-query -W -f" "System Disks"
check "  ... the log has a line per failed command" [ "$(grep -c 'exited with' "$work/no_dpkg.log")" = 3 ]
rm "$work"/fake/*
python3 "$collector" "-outc=$work/missing/out.xml" "-logc=$work/unwritable.log"
echo $? >"$work/unwritable.rc"
check "collector: output that cannot be written: exit 2, the log says why" \
  bash -c "[ \"\$(cat '$work/unwritable.rc')\" = 2 ] && grep -q 'cannot write' '$work/unwritable.log'"
python3 "$collector" "-logc=$work/no_out.log"
echo $? >"$work/no_out.rc"
check "collector: no -outc: exit 2" bash -c "[ \"\$(cat '$work/no_out.rc')\" = 2 ] && grep -q 'no -outc' '$work/no_out.log'"
check "collector: carries the padding marker" grep -q 'PADDING_ENABLED:122' "$collector"

wait

# --- the recorded outputs against their expected instances ---
check "this machine's output of an older collector: every class with the values it has, and two gets" \
  diff -u "$here/this_machine.expected" "$work/this_machine.out"
check "the example server: every class, two associations and a get of each kind" \
  diff -u "$here/server.expected" "$work/server.out"
check "sections missing, values out of range: the values that make sense, and gets" \
  diff -u "$here/partial.expected" "$work/partial.out"
check "no section: no instance of any class, no failure" diff -u "$here/empty.expected" "$work/empty.out"

# --- the chain on this machine ---
check "chain: rulosrv -run publishes the collection and says so" \
  bash -c "[ \"\$(cat '$work/run.rc')\" = 0 ] && grep -qx 'rulosrv: success: Korvex Quorvane Inventory data for WMI gets updated successfully' '$work/run.out'"
chain_value() { python3 - "$work/chain.out" "$@" <<'PY'
import json, sys
objects = json.loads(open(sys.argv[1]).read().splitlines()[int(sys.argv[2])])["objects"]
print(eval(sys.argv[3], {"objects": objects}))
PY
}
check "chain: the computer system is this host" [ "$(chain_value 0 'objects[0]["Name"]')" = "$(hostname)" ]
check "chain: one software instance per installed package" \
  [ "$(chain_value 1 'len(objects)')" = "$(dpkg-query -W -f '${db:Status-Abbrev}\n' | grep -c '^ii')" ]
check "chain: one disk instance per disk of /sys/block" \
  [ "$(chain_value 2 'len(objects)')" = "$(ls -d /sys/block/*/device 2>/dev/null | wc -l)" ]
check "chain: the memory the kernel counts" \
  [ "$(chain_value 0 'objects[0].get("TotalPhysicalMemory")')" = "$(( $(awk '/^MemTotal:/ { print $2 }' /proc/meminfo) * 1024 ))" ]
packages=$(grep '^physical id' /proc/cpuinfo | sort -u | wc -l)
check "chain: one processor per package of /proc/cpuinfo" [ "$(chain_value 3 'len(objects)')" = "$packages" ]
check "  ... with its logical processors" \
  [ "$(chain_value 3 'sum(o.get("NumberOfLogicalProcessors", 0) for o in objects)')" = "$(grep -c '^processor' /proc/cpuinfo)" ]
check "chain: each adapter is an interface with the addresses ip lists" python3 - "$work/chain.out" <<'PY'
import json, subprocess, sys
adapters = json.loads(open(sys.argv[1]).read().splitlines()[4])["objects"]
links = {link["ifname"]: [a["local"] for a in link.get("addr_info", []) if a.get("family") in ("inet", "inet6")]
         for link in json.loads(subprocess.run(["ip", "-j", "address"], capture_output=True, check=True).stdout)}
sys.exit(not adapters or any(sorted(a.get("IPAddresses", [])) != sorted(links[a["Name"]]) for a in adapters))
PY

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
