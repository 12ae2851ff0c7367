#!/usr/bin/env bash
# The Debian package as built (into OUT_DIR, where the install test takes it):
# its files in their places and nothing below /var, the conffile, the shipped
# unit and settings, dependencies on exactly the packages of the libraries the
# programs need plus the collector's, and lintian without errors or warnings.
#   usage: package_contents.sh BUILD_DIR OUT_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
out=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$source/tests/e2e/check.sh"

rm -f "$out"/korvex_*.deb
start=$SECONDS
deb=$(bash "$source/scripts/package-deb.sh" "$build" "$out") || exit 1
echo "built $deb ($(du -k "$deb" | cut -f1) KiB) in $((SECONDS - start)) s"
dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/files"

for file in /usr/lib/korvex/bin/rulosrv /usr/lib/korvex/bin/wmihost /usr/lib/korvex/bin/wexi.so \
  /usr/lib/korvex/bin/libqrv_com.so /usr/lib/korvex/collector/korvex-collector /usr/share/korvex/mof/korvex.mof \
  /lib/systemd/system/rulosrv.service /etc/korvex/rulosrv.reg /usr/share/doc/korvex/copyright; do
  check "ships $file" grep -qx "$file" "$work/files"
done
check "ships every registration and stylesheet of the deployment" bash -c "
  diff -r '$source/deploy/xmlreg' '$work/root/usr/share/korvex/xmlreg' &&
  diff -r '$source/deploy/xslroot/inventory/xsl' '$work/root/usr/share/korvex/xslroot/inventory/xsl'"
check "ships nothing below /var: the maintainer scripts make it" bash -c "! grep -q '^/var' '$work/files'"
check "the module root's folders link to the data below /usr/share and /var" bash -c "
  [ \"\$(readlink '$work/root/usr/lib/korvex/xmlreg')\" = ../../share/korvex/xmlreg ] &&
  [ \"\$(readlink '$work/root/usr/lib/korvex/xslroot')\" = ../../share/korvex/xslroot ] &&
  [ \"\$(readlink '$work/root/usr/share/korvex/xslroot/inventory/data')\" = /var/lib/korvex/inventory ]"
check "the copyright file gives the Apache License 2.0 for the whole, as LICENSE does" bash -c "
  awk '/^Files: \\*\$/ { whole = 1; next } whole && /^License:/ { print; exit }' \
    '$work/root/usr/share/doc/korvex/copyright' | grep -qx 'License: Apache-2.0' &&
  cmp -s '$source/LICENSE' /usr/share/common-licenses/Apache-2.0"
check "the settings are the one conffile" test "$(cat "$work/control/conffiles")" = /etc/korvex/rulosrv.reg
check "the settings name the collector link and the data file below /var" bash -c "
  grep -qxF '\"invexecdir\"=\"/var/lib/korvex/collector/korvex-collector\"' '$work/root/etc/korvex/rulosrv.reg' &&
  grep -qxF '\"invoutputfile\"=\"/var/lib/korvex/inventory/inventory.xml\"' '$work/root/etc/korvex/rulosrv.reg'"
unit=$work/root/lib/systemd/system/rulosrv.service
check "the unit runs the installed rulosrv with the settings, at every start of the system" bash -c "
  grep -qx 'ExecStart=/usr/lib/korvex/bin/rulosrv' '$unit' &&
  grep -qxF 'Environment=\"KORVEX_REGISTRY_FILE=/etc/korvex/rulosrv.reg\"' '$unit' &&
  grep -qx 'Type=notify' '$unit' && grep -qx 'WantedBy=multi-user.target' '$unit'"

# The dependencies: the package of every library a shipped program or module
# needs, as this system resolves it, unless the package ships it, and the
# collector's interpreter, lshw and iproute2 (ip); nothing else.
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort -u)
needed=$(find "$work/root" -type f -exec sh -c 'readelf -d "$1" 2>/dev/null' sh {} \; |
  sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' | sort -u)
expected=$( {
  for soname in $needed; do
    grep -qx "/usr/lib/korvex/bin/$soname" "$work/files" && continue
    path=$(ldconfig -p | awk -v name="$soname" '$1 == name && $NF ~ /^\// {print $NF; exit}')
    owner=$(dpkg-query -S "$path" 2>/dev/null || dpkg-query -S "$(realpath "$path")") || owner="$soname: no package"
    echo "${owner%%:*}"
  done
  echo iproute2
  echo lshw
  echo python3
} | sort -u)
check "depends on the packages of the libraries needed, lshw, iproute2 and python3, and nothing else" \
  test "$depends" = "$expected" || printf 'Depends: %s\nexpected: %s\n' "$(echo $depends)" "$(echo $expected)"
check "depends on Xerces-C and libsystemd among them" bash -c "
  grep -qx libxerces-c3.2 <<<'$depends' && grep -qx libsystemd0 <<<'$depends'"

if command -v lintian >/dev/null; then
  start=$SECONDS
  lintian --fail-on none "$deb" >"$work/lintian" 2>&1
  echo "lintian took $((SECONDS - start)) s"
  check "lintian: no error, no warning" bash -c "! grep -E '^[EW]: ' '$work/lintian'" || cat "$work/lintian"
else
  check "lintian is installed (scripts/setup.sh)" false
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
