#!/usr/bin/env bash
# Builds Xalan-C 1.12 for Linux as static libraries, against Debian's
# Xerces-C, from its source tarball with the fixes in cmake/patches applied,
# and prints the prefix it is installed in. The Linux build links it into
# wexi.so and the programs that need it; CMake runs this script when it
# configures a build.
#
# The prefix lies outside the clone, in a cache keyed by a hash of the
# tarball, the patches and the scripts (scripts/xml-cache.sh names the
# tarball's variable):
#   QRV_XALAN_CACHE     the cache (default ${XDG_CACHE_HOME:-~/.cache}/qrv-xalan-linux)
source "$(dirname "$0")/xml-cache.sh"

open_cache "${QRV_XALAN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qrv-xalan-linux}" \
  "$xalan_tarball" "$repo"/cmake/patches/xalan-c-*.patch \
  "$repo/scripts/build-xalan-linux.sh" "$repo/scripts/xml-cache.sh"

echo "Building Xalan-C for Linux into $prefix, once on this machine (log: $log)" >&2
unpack xalan-c "$xalan_tarball"
# Position-independent, since wexi.so takes it in.
run cmake -S "$work/xalan-c" -B "$work/xalan-c-build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$stage" -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
  -Dmessage-loader=inmemory -Dtranscoder=default
run cmake --build "$work/xalan-c-build" --target xalan-c Xalan -j"$(nproc)"
install_xalan "$work/xalan-c-build"

close_cache
