#!/usr/bin/env bash
# Builds Xerces-C 3.2.4 and Xalan-C 1.12 as DLLs for 64-bit Windows with
# mingw-w64 (cmake/mingw-w64.cmake), from their source tarballs with the fixes
# in cmake/patches applied, and prints the prefix they are installed in.
#
# The prefix lies outside the clone, in a cache keyed by a hash of the
# tarballs, the patches, the scripts and the toolchain file (scripts/xml-cache.sh
# names the tarballs' variables):
#   QRV_XML_CACHE       the cache (default ${XDG_CACHE_HOME:-~/.cache}/qrv-xml-windows)
#
# Xalan-C's build runs one of its own Windows programs, so wine is needed too.
source "$(dirname "$0")/xml-cache.sh"

toolchain=$repo/cmake/mingw-w64.cmake
open_cache "${QRV_XML_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qrv-xml-windows}" \
  "$xerces_tarball" "$xalan_tarball" "$repo"/cmake/patches/*.patch \
  "$repo/scripts/build-xml-windows.sh" "$repo/scripts/xml-cache.sh" "$toolchain"

export WINEPREFIX=$work/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=
cleanup() {
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

echo "Building Xerces-C and Xalan-C for Windows into $prefix (log: $log)" >&2
common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQRV_XML_WINDOWS_PREFIX="$stage"
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=ON)

# Only the libraries are built and installed (and Xalan-C's command-line
# program, which its library's folder installs too).
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
install_xalan "$work/xalan-c-build" --strip

close_cache
