#!/usr/bin/env bash
# What `cmake --install` lays out under a temporary prefix, used alone:
#   - the installed programs and module carry no run path but $ORIGIN, and
#     no installed text names the build or source tree;
#   - every deliverable is in its place and the links resolve;
#   - with the build tree, the source tree and Xalan-C's build hidden (empty
#     folders mounted over them in a private mount namespace): every library
#     resolves, one collection through the installed rulosrv -run with the
#     installed settings, the installed module registered by the installed
#     wmihost, a listing through that registration and a check of the
#     installed module root, then the registration taken back;
#   - installing again keeps settings an administrator changed.
#   usage: installed_tree.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source/tests/e2e/check.sh"

prefix=$work/prefix
bin=$prefix/lib/korvex/bin
if ! cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  exit 1
fi

# --- the installed files as they lie ---
# run_paths FILE: the run paths in FILE's dynamic section, one a line.
run_paths() { readelf -d "$1" | sed -n 's/.*(R\(UN\)\?PATH).*\[\(.*\)\]/\2/p' | tr ':' '\n'; }
for file in rulosrv wmihost wexi.so libqrv_com.so; do
  check "installed: $file" test -f "$bin/$file"
done
for file in rulosrv libqrv_com.so; do
  check "$file has no run path" test -z "$(run_paths "$bin/$file")"
done
for file in wmihost wexi.so; do
  check "$file finds the COM runtime beside itself, and nothing else through its run path" \
    test "$(run_paths "$bin/$file")" = '$ORIGIN'
done
check "no installed text names the build or source tree" \
  test -z "$(grep -rIl -e "$build" -e "$source" "$prefix")"
check "the collector is installed as a program" test -x "$prefix/lib/korvex/collector/korvex-collector"
check "the module root's registrations are the deployment's" \
  diff -r "$source/deploy/xmlreg" "$prefix/lib/korvex/xmlreg"
check "the module root's stylesheets are the deployment's" \
  diff -r "$source/deploy/xslroot/inventory/xsl" "$prefix/lib/korvex/xslroot/inventory/xsl"
check "the class MOF is the deployment's" diff "$source/deploy/mof/korvex.mof" "$prefix/share/korvex/mof/korvex.mof"
check "the module root's data folder is the writable one below var" \
  test "$(readlink -f "$prefix/lib/korvex/xslroot/inventory/data")" = "$prefix/var/lib/korvex/inventory"
check "the configured collector path is a link below var to the collector" \
  test "$(readlink -f "$prefix/var/lib/korvex/collector/korvex-collector")" = "$prefix/lib/korvex/collector/korvex-collector"
unit=$prefix/lib/systemd/system/rulosrv.service
check "the unit starts the installed rulosrv with the installed settings" \
  grep -qx -e "ExecStart=$bin/rulosrv" "$unit"
check "  ... and names the installed settings" \
  grep -qxF "Environment=\"KORVEX_REGISTRY_FILE=$prefix/etc/korvex/rulosrv.reg\"" "$unit"

# --- used alone, with the trees it was made from hidden ---
hidden=("$build" "$source")
xalan=$(sed -n 's|^XalanC_DIR:[A-Z]*=\(.*\)/lib/cmake/XalanC$|\1|p' "$build/CMakeCache.txt")
[ -n "$xalan" ] && hidden+=("$xalan")
cat >"$work/alone.sh" <<'ALONE'
# Run in a private mount namespace: hides the given folders, then uses the
# installed tree alone. Writes each outcome into the work folder.
set -u
work=$1 prefix=$2
shift 2
for folder in "$@"; do mount -t tmpfs -o size=1m none "$folder" || exit 1; done
bin=$prefix/lib/korvex/bin
for file in "$bin"/*; do ldd "$file" >"$work/ldd.$(basename "$file")" 2>&1; done
KORVEX_REGISTRY_FILE=$prefix/etc/korvex/rulosrv.reg RULOSRV_TRACE_DIR=$prefix/var/log/rulosrv \
  "$bin/rulosrv" -run >"$work/run.out" 2>&1
echo $? >"$work/run.rc"
export KORVEX_REGISTRY_FILE=$work/registry.reg
"$bin/wmihost" regsvr "$bin/wexi.so" >"$work/regsvr.out" 2>&1
cp "$KORVEX_REGISTRY_FILE" "$work/registered.reg"
"$bin/wmihost" --repository "$prefix/share/korvex/mof" --format json \
  enum Korvex_ComputerSystem enum Korvex_Software >"$work/list.out" 2>"$work/list.err" &
"$bin/wmihost" --repository "$prefix/share/korvex/mof" --module "$bin/wexi.so" check >"$work/check.out" 2>&1
echo $? >"$work/check.rc"
wait
"$bin/wmihost" unregsvr "$bin/wexi.so" >"$work/unregsvr.out" 2>&1
ALONE
if ! unshare -m --propagation private true 2>/dev/null; then
  echo "$passed passed, $failed failed"
  echo "skipped: the installed tree alone needs a private mount namespace (unshare -m, as root)"
  [ "$failed" -eq 0 ] && exit 77
  exit 1
fi
unshare -m --propagation private bash "$work/alone.sh" "$work" "$prefix" "${hidden[@]}"

for file in "$bin"/*; do
  check "alone: every library $(basename "$file") needs resolves" bash -c "! grep -q 'not found' '$work/ldd.$(basename "$file")'"
done
check "alone: wexi.so loads the COM runtime beside it" grep -q "libqrv_com.so => $bin/libqrv_com.so" "$work/ldd.wexi.so"
check "alone: rulosrv -run publishes the collection" \
  bash -c "[ \"\$(cat '$work/run.rc')\" = 0 ] && grep -q 'gets updated successfully' '$work/run.out'" ||
  cat "$work/run.out"
check "  ... into the data file below var" test -s "$prefix/var/lib/korvex/inventory/inventory.xml"
check "  ... with the collector's output and log beside the configured collector link" \
  bash -c "ls '$prefix/var/lib/korvex/collector/' | grep -q '^rul.*\.TMP$' && test -f '$prefix/var/lib/korvex/collector/lastrun.log'"
check "  ... and nothing written beside the installed collector" \
  test "$(ls "$prefix/lib/korvex/collector")" = korvex-collector
check "  ... and its trace below var" test -s "$prefix/var/log/rulosrv/InvLog.txt"
check "alone: wmihost regsvr registers the installed module" \
  grep -qxF "@=\"$bin/wexi.so\"" "$work/registered.reg"
list_value() { python3 "$source/tests/packaging/listed_value.py" "$work/list.out" "$@"; }
check "alone: the registered module lists this host" [ "$(list_value 0 'objects[0]["Name"]')" = "$(hostname)" ] ||
  cat "$work/list.err"
check "  ... and one software instance per installed package, from the published file" \
  [ "$(list_value 1 'len(objects)')" = "$(dpkg-query -W -f '${db:Status-Abbrev}\n' | grep -c '^ii')" ]
check "alone: wmihost check finds no error in the installed module root" \
  bash -c "[ \"\$(cat '$work/check.rc')\" = 0 ] && grep -q '^check: 0 errors' '$work/check.out'" ||
  tail -n 5 "$work/check.out"
check "alone: wmihost unregsvr takes the registration back" bash -c "! grep -q InprocServer32 '$work/registry.reg'"

# --- installing again ---
settings=$prefix/etc/korvex/rulosrv.reg
echo '"startdelaysecond"=dword:0000001e' >>"$settings"
cp "$settings" "$work/changed.reg"
cmake --install "$build" --prefix "$prefix" >"$work/install-again.log" 2>&1
check "installing again keeps changed settings" cmp -s "$work/changed.reg" "$settings"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
