#!/usr/bin/env bash
# Lays out a deployment below ROOT from a build tree, as an installation
# would place it, and writes the service's configuration into ROOT's
# registry file:
#   ROOT/opt/korvex/bin/wexi.so, bin/rulosrv    the programs
#   ROOT/opt/korvex/xmlreg, xslroot, mof         registrations, stylesheets, class MOF
#   ROOT/opt/korvex/collector/korvex-collector   the collector
#   ROOT/etc/korvex/registry.reg                 the registry (KORVEX_REGISTRY_FILE)
#   ROOT/var/log/rulosrv                         the trace directory (RULOSRV_TRACE_DIR)
# The inventory data file, ROOT/opt/korvex/xslroot/inventory/data/inventory.xml,
# is left to the collection run to publish.
#   usage: scripts/lay_out.sh BUILD_DIR ROOT
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: scripts/lay_out.sh BUILD_DIR ROOT" >&2
  exit 2
fi
source=$(cd "$(dirname "$0")/.." && pwd)
build=$1
# The registry names the files by full paths, whatever ROOT was given as.
mkdir -p "$2"
root=$(cd "$2" && pwd)
opt=$root/opt/korvex

mkdir -p "$opt/bin" "$opt/collector" "$opt/xslroot/inventory" "$root/etc/korvex" "$root/var/log/rulosrv"
cp "$build/deploy/bin/wexi.so" "$build/bin/rulosrv" "$opt/bin/"
cp -r "$source/deploy/xmlreg" "$source/deploy/mof" "$opt/"
cp -r "$source/deploy/xslroot/inventory/xsl" "$opt/xslroot/inventory/"
cp "$source/deploy/collector/korvex-collector" "$opt/collector/"

cat >"$root/etc/korvex/registry.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv]
"invexecdir"="$opt/collector/korvex-collector"
"invoutputfile"="$opt/xslroot/inventory/data/inventory.xml"
"invtimeout"=dword:00000258
REG
