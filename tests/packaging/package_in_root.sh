#!/usr/bin/env bash
# The Debian package in a clean Debian 12 root (tests/packaging/debian_root.sh),
# unpacked afresh and entered with chroot in a private mount namespace:
#   - apt installs it with its dependencies, registers the module and enables
#     the service (not started: no systemd runs there);
#   - the main job from the installed files: a collection through rulosrv -run
#     with the packaged settings, a listing through wmihost and the module's
#     registration;
#   - an upgrade to the package rebuilt with a higher version keeps changed
#     settings, which the next collection follows;
#   - removing keeps the settings and the data, purging leaves nothing.
# Needs root (chroot, mounts) and, the first time, Debian's mirror.
#   usage: package_in_root.sh BUILD_DIR DEBS_DIR
set -uo pipefail
if [ "$(id -u)" -ne 0 ]; then
  echo "skipped: installing into a Debian root needs root"
  exit 77
fi
if ! command -v mmdebstrap >/dev/null; then
  echo "skipped: mmdebstrap is missing (scripts/setup.sh installs it)"
  exit 77
fi
if [ -z "${QRV_PRIVATE_MOUNTS:-}" ]; then
  # Whatever is mounted into the root goes with the namespace.
  exec env QRV_PRIVATE_MOUNTS=1 unshare -m --propagation private bash "$0" "$@"
fi
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
root=$work/root
trap 'umount "$root/proc" "$root/sys" "$root/dev/pts" 2>/dev/null; rm -rf --one-file-system "$work"' EXIT
source "$source/tests/e2e/check.sh"

first=$(ls "$2"/korvex_*.deb)
version=$(dpkg-deb -f "$first" Version)
arch=$(dpkg --print-architecture)
start=$SECONDS
second=$(QRV_DEB_VERSION=$version+upgrade1 bash "$source/scripts/package-deb.sh" "$build" "$work") || exit 1
echo "time: the upgrade package built in $((SECONDS - start)) s"

start=$SECONDS
depends=$(dpkg-deb -f "$first" Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | sort -u)
tarball=$(bash "$source/tests/packaging/debian_root.sh" $depends) || exit 1
echo "time: the Debian root ready in $((SECONDS - start)) s ($tarball)"
start=$SECONDS
mkdir "$root"
tar -xf "$tarball" -C "$root" || exit 1
mkdir -p "$root/dev/pts"
mount -t proc proc "$root/proc" && mount -t sysfs -o ro sysfs "$root/sys" &&
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts" || exit 1
cp "$first" "$root/tmp/korvex-1.deb"
cp "$second" "$root/tmp/korvex-2.deb"
echo "time: unpacked in $((SECONDS - start)) s"

# in_root COMMAND...: COMMAND in the root, with a plain environment.
in_root() {
  chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive LC_ALL=C.UTF-8 "$@"
}
# step NAME COMMAND...: COMMAND in the root, output in NAME.log, exit code in NAME.rc.
step() {
  local name=$1
  shift
  local started=$SECONDS
  in_root "$@" >"$work/$name.log" 2>&1
  echo $? >"$work/$name.rc"
  echo "time: $name took $((SECONDS - started)) s"
}
status() { in_root dpkg-query -W -f '${Status} ${Version}' korvex 2>/dev/null; }
succeeded() { [ "$(cat "$work/$1.rc")" = 0 ] || { tail -n 20 "$work/$1.log"; return 1; }; }
no_dpkg_warning() { ! grep -E '^dpkg: (warning|error)' "$work/$1.log"; }
registered() { grep -qxF '@="/usr/lib/korvex/bin/wexi.so"' "$root/etc/korvex/registry.reg"; }
# collect NAME: the main job, a collection and a listing, as an administrator runs it.
collect() {
  step "$1-run" env KORVEX_REGISTRY_FILE=/etc/korvex/rulosrv.reg /usr/lib/korvex/bin/rulosrv -run
  step "$1-list" /usr/lib/korvex/bin/wmihost --repository /usr/share/korvex/mof --format json \
    enum Korvex_ComputerSystem get "Korvex_Software.Name=\"korvex\",Architecture=\"$arch\""
}
# listed NAME LINE EXPRESSION: a value of the listing NAME, by its request's line.
listed() { python3 "$source/tests/packaging/listed_value.py" "$work/$1-list.log" "$2" "$3"; }

# --- install ---
check "the root is clean: none of the package's dependencies is installed" \
  bash -c "! chroot '$root' dpkg-query -W -f '\${Status}\n' python3 lshw libxerces-c3.2 2>/dev/null | grep -q ' installed'"
step install apt-get install -y --no-install-recommends /tmp/korvex-1.deb
check "install: apt installs it with its dependencies" succeeded install
check "  ... and dpkg says nothing is amiss" no_dpkg_warning install
check "  ... installed: $version" test "$(status)" = "install ok installed $version"
check "  ... the module is registered in the registry file" registered
check "  ... the service is enabled" \
  test "$(readlink "$root/etc/systemd/system/multi-user.target.wants/rulosrv.service")" = /lib/systemd/system/rulosrv.service
check "  ... the configured collector path links to the collector" \
  test "$(readlink "$root/var/lib/korvex/collector/korvex-collector")" = /usr/lib/korvex/collector/korvex-collector

collect first
check "main job: rulosrv -run publishes a collection" succeeded first-run
check "  ... the data file below /var" test -s "$root/var/lib/korvex/inventory/inventory.xml"
check "  ... traced into /var/log/rulosrv" test -s "$root/var/log/rulosrv/InvLog.txt"
check "main job: wmihost lists through the registered module" succeeded first-list
check "  ... this host" test "$(listed first 0 'objects[0]["Name"]')" = "$(hostname)"
check "  ... and the package itself, at $version, among the installed software" \
  test "$(listed first 1 'objects[0]["Version"]')" = "$version"

# --- upgrade, with changed settings ---
settings=$root/etc/korvex/rulosrv.reg
echo '"startdelaysecond"=dword:00000001' >>"$settings"
cp "$settings" "$work/changed.reg"
step upgrade apt-get install -y --no-install-recommends /tmp/korvex-2.deb
check "upgrade: apt upgrades it" succeeded upgrade
check "  ... and dpkg says nothing is amiss" no_dpkg_warning upgrade
check "  ... installed: $version+upgrade1" test "$(status)" = "install ok installed $version+upgrade1"
check "  ... the changed settings are kept, without a copy beside them" bash -c "
  cmp -s '$work/changed.reg' '$settings' && ! ls '$root/etc/korvex/' | grep -q dpkg"
check "  ... the module is registered" registered
collect second
check "upgrade: the next collection follows the changed settings" \
  grep -q 'Delay 1 second(s) to start Korvex Inventory Collector' "$work/second-run.log"
check "  ... and publishes" succeeded second-run
check "  ... wmihost lists the package at its new version" \
  test "$(listed second 1 'objects[0]["Version"]')" = "$version+upgrade1"

# --- remove, then purge ---
step remove apt-get remove -y korvex
check "remove: apt removes it" succeeded remove
check "  ... and dpkg says nothing is amiss" no_dpkg_warning remove
check "  ... its settings stay" test "$(status)" = "deinstall ok config-files $version+upgrade1"
check "  ... and so does the published data" test -s "$root/var/lib/korvex/inventory/inventory.xml"
check "  ... the registration is gone with the registry file it alone filled" \
  test ! -e "$root/etc/korvex/registry.reg" -a ! -e "$root/etc/korvex/registry.reg.lock"
check "  ... the collector link is gone" test ! -L "$root/var/lib/korvex/collector/korvex-collector"
check "  ... the programs are gone" test ! -e "$root/usr/lib/korvex"
step purge apt-get purge -y korvex
check "purge: apt purges it" succeeded purge
check "  ... and dpkg says nothing is amiss" no_dpkg_warning purge
check "  ... dpkg knows it no more" bash -c "! chroot '$root' dpkg-query -L korvex >/dev/null 2>&1"
for path in /etc/korvex /var/lib/korvex /var/log/rulosrv /usr/share/korvex /usr/share/doc/korvex; do
  check "  ... $path is gone" test ! -e "$root$path"
done
check "  ... no file of that name is left anywhere" bash -c "
  cd '$root' && [ -z \"\$(find . -xdev \\( -iname '*korvex*' -o -iname '*rulosrv*' -o -iname '*wexi*' \\) \
    -not -path './tmp/*' -not -path './var/cache/apt/*' -print)\" ]"

# --- a registry file that holds another program's keys too ---
step reinstall apt-get install -y --no-install-recommends /tmp/korvex-2.deb
printf '\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"Kept"="yes"\n' >>"$root/etc/korvex/registry.reg"
step purge-shared apt-get purge -y korvex
check "purge with another program's keys in the registry file: apt purges it" succeeded purge-shared
check "  ... the registry file stays with those keys" grep -qxF '"Kept"="yes"' "$root/etc/korvex/registry.reg"
check "  ... and without the module's registration" bash -c "! grep -qi -e qrvcim -e wexi '$root/etc/korvex/registry.reg'"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
