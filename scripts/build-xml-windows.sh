#!/usr/bin/env bash
# Builds Xerces-C 3.2.4 and Xalan-C 1.12 as DLLs for 64-bit Windows with
# mingw-w64 (cmake/mingw-w64.cmake), from their source tarballs with the fixes
# in cmake/patches applied, and prints the prefix they are installed in.
#
# The prefix lies outside the clone, in a cache keyed by a hash of the
# tarballs, the patches, this script and the toolchain file, so a machine
# builds them once; later runs only print the prefix.
#
#   QRV_XERCES_TARBALL  Xerces-C source tarball
#                       (default vendor/xerces-c_3.2.4+debian.orig.tar.xz)
#   QRV_XALAN_TARBALL   Xalan-C source tarball
#                       (default vendor/xalan-c-c326619.tar.xz)
#   QRV_XML_CACHE       the cache (default ${XDG_CACHE_HOME:-~/.cache}/qrv-xml-windows)
#
# Relative tarball paths are taken from the repository's root. Xalan-C's build
# runs one of its own Windows programs, so wine is needed too.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

xerces_tarball=$(realpath "${QRV_XERCES_TARBALL:-vendor/xerces-c_3.2.4+debian.orig.tar.xz}")
xalan_tarball=$(realpath "${QRV_XALAN_TARBALL:-vendor/xalan-c-c326619.tar.xz}")
for tarball in "$xerces_tarball" "$xalan_tarball"; do
  if [ ! -f "$tarball" ]; then
    echo "No source tarball at $tarball (README, section Windows, says where the releases are)" >&2
    exit 1
  fi
done
cache=${QRV_XML_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qrv-xml-windows}
toolchain=$repo/cmake/mingw-w64.cmake
patches=("$repo"/cmake/patches/*.patch)

key=$(sha256sum "$xerces_tarball" "$xalan_tarball" "${patches[@]}" "$repo/scripts/build-xml-windows.sh" "$toolchain" \
      | awk '{print $1}' | sha256sum | cut -c1-16)
prefix=$cache/$key

# Another run on this machine may be building the same prefix: wait for it.
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qrv-xml-windows.XXXXXX")
export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

log=$cache/$key.log
: >"$log"
echo "Building Xerces-C and Xalan-C for Windows into $prefix (log: $log)" >&2
run() {
  if ! nice -n 10 "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "failed: $*" >&2
    exit 1
  fi
}

# unpack NAME TARBALL: the tarball's single top folder as $work/NAME, with
# the patches for NAME applied.
unpack() {
  mkdir "$work/$1"
  tar -xf "$2" -C "$work/$1" --strip-components=1
  local patch
  for patch in "$repo"/cmake/patches/"$1"-*.patch; do
    run patch -d "$work/$1" -p1 --forward --quiet -i "$patch"
  done
}

stage=$prefix.partial
rm -rf "$stage"
common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQRV_XML_WINDOWS_PREFIX="$stage"
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=ON)

# Only the libraries are built and installed (and Xalan-C's command-line
# program, which its library's folder installs too): each source folder
# installs its own rules, so the samples and tests are left out.
unpack xerces-c "$xerces_tarball"
run cmake -S "$work/xerces-c" -B "$work/xerces-c-build" "${common[@]}" \
  -Dnetwork=OFF -Dtranscoder=windows -Dmessage-loader=inmemory -Dmutex-manager=windows
run cmake --build "$work/xerces-c-build" --target xerces-c -j2
run cmake --install "$work/xerces-c-build/src" --strip

# Xalan-C generates its message tables with a program of its own, run under
# wine; it needs the Xerces-C DLL on wine's search path.
unpack xalan-c "$xalan_tarball"
export WINEPATH="Z:${stage//\//\\}\\bin"
run cmake -S "$work/xalan-c" -B "$work/xalan-c-build" "${common[@]}" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" -Dmessage-loader=inmemory -Dtranscoder=default
run cmake --build "$work/xalan-c-build" --target xalan-c Xalan -j2
for dir in src/xalanc src/xalanc/Utils src/xalanc/Utils/XalanMsgLib; do
  run cmake --install "$work/xalan-c-build/$dir" --strip
done

touch "$stage/.complete"
mv "$stage" "$prefix"
echo "$prefix"
