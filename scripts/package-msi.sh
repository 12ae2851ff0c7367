#!/usr/bin/env bash
# Builds the Windows installer from a mingw-w64 build tree (scripts/build-windows.sh)
# with wixl: packaging/windows/korvex.wxs over the install folder laid out in a
# staging folder as the module root (bin/ with rulosrv.exe, wmihost.exe,
# wexi.dll and the XML library DLLs, and collector/ with korvex-collector.exe,
# stripped; the deployment's xmlreg/, xslroot/inventory/xsl/ and mof/; LICENSE.txt
# and NOTICE.txt). wixl-heat lists the libraries and the
# deployment's files, so that a file added to the deployment is packaged
# without an edit here; packaging/windows/tables.sql adds what wixl cannot
# write. Prints the package's path.
#   usage: scripts/package-msi.sh BUILD_MINGW [OUT_DIR]
#   QRV_MSI_VERSION  the product version (default: the Debian changelog's latest)
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: scripts/package-msi.sh BUILD_MINGW [OUT_DIR]" >&2
  exit 2
fi
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=${2:-$build/packaging}
windows=$source/packaging/windows

for tool in wixl wixl-heat msibuild x86_64-w64-mingw32-strip; do
  if ! command -v "$tool" >/dev/null; then
    echo "package-msi: $tool is missing (scripts/setup.sh installs it)" >&2
    exit 1
  fi
done
programs=("$build/bin/rulosrv.exe" "$build/bin/wmihost.exe" "$build/bin/korvex-collector.exe"
          "$build/deploy/bin/wexi.dll")
for program in "${programs[@]}"; do
  if [ ! -f "$program" ]; then
    echo "package-msi: $program is missing (build the Windows side with scripts/build-windows.sh)" >&2
    exit 1
  fi
done
version=${QRV_MSI_VERSION:-$(dpkg-parsechangelog -l "$source/packaging/debian/changelog" -S Version)}

stage=$(mktemp -d "${TMPDIR:-/tmp}/qrv-msi.XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/root
mkdir -p "$root/bin" "$root/collector" "$root/xslroot/inventory"
cp "$build/bin/rulosrv.exe" "$build/bin/wmihost.exe" "$build"/deploy/bin/*.dll "$root/bin/"
cp "$build/bin/korvex-collector.exe" "$root/collector/"
cp -r "$build/deploy/xmlreg" "$build/deploy/mof" "$root/"
cp -r "$build/deploy/xslroot/inventory/xsl" "$root/xslroot/inventory/"
x86_64-w64-mingw32-strip "$root"/bin/* "$root/collector/korvex-collector.exe"
# The licence and the notice of what the package ships (Xerces-C and Xalan-C,
# the mingw-w64 runtime), in the install folder; .txt for Windows' editors.
cp "$source/LICENSE" "$root/LICENSE.txt"
cp "$source/NOTICE" "$root/NOTICE.txt"

# One fragment per directory the main source names; wixl reads the files
# relative to the staging root.
heat() {  # GROUP DIRECTORY_REF PREFIX FIND_ARGUMENTS...
  local group=$1 ref=$2 prefix=$3
  shift 3
  (cd "$root" && find "$@" -type f | LC_ALL=C sort |
    wixl-heat -p "$prefix" --directory-ref "$ref" --component-group "$group" --var "var.$group" --win64) \
    >"$stage/$group.wxs"
}
heat XmlLibraries BINDIR ./bin/ ./bin -name '*.dll' ! -name wexi.dll
heat Deployment INSTALLDIR ./ ./xmlreg ./mof
heat Stylesheets INVENTORYDIR ./xslroot/inventory/ ./xslroot/inventory/xsl

msi=$stage/korvex.msi
(cd "$root" && wixl -a x64 -D Version="$version" -D Win64=yes \
  -D XmlLibraries=bin -D Deployment=. -D Stylesheets=xslroot/inventory \
  -o "$msi" "$windows/korvex.wxs" "$stage"/{XmlLibraries,Deployment,Stylesheets}.wxs)

queries=()
while IFS= read -r -d ';' statement; do
  queries+=(-q "$(tr '\n' ' ' <<<"$statement" | sed -e 's/  */ /g' -e 's/^ //' -e 's/ $//')")
done < <(sed -e 's/--.*//' "$windows/tables.sql")
msibuild "$msi" "${queries[@]}"

mkdir -p "$out"
package=$out/korvex_${version}_x64.msi
mv "$msi" "$package"
echo "$package"
