#!/usr/bin/env bash
# Configures and builds one build tree, all of it or the targets named after
# --target. Where ccache is installed, every compile of the tree goes through
# it (below).
set -euo pipefail
if [ $# -lt 1 ] || [ "$1" = "-h" ] || [ "$1" = "--help" ]; then
  cat >&2 <<'USAGE'
usage: scripts/build.sh DIR [cmake options...] [--target TARGET...]
  Configures the project into DIR and builds it (only TARGET... where given), e.g.
    scripts/build.sh build                              the plain Linux build
    scripts/build.sh build-asan -DQRV_SANITIZE=address  AddressSanitizer + UndefinedBehaviorSanitizer
    scripts/build.sh build-tsan -DQRV_SANITIZE=thread   ThreadSanitizer
  scripts/build-windows.sh builds the Windows side (build-mingw).
USAGE
  [ $# -ge 1 ] && exit 0 || exit 2
fi
cd "$(dirname "$0")/.."
dir=$1; shift
options=()
targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--target" ]; then
    shift
    targets=("$@")
    break
  fi
  options+=("$1")
  shift
done

# ccache takes the paths below the clone as relative ones and leaves the
# build folder out of its keys (debug information names the folder of the
# compile that filled the entry), so a clone in another folder, CI's, reuses
# what this one compiled. The launcher carries these settings, so that a
# later `cmake --build` of the tree (the wine tests' update of the Windows
# build) compiles the same way. A launcher given on the command line wins.
launcher=()
if command -v ccache >/dev/null; then
  ccache="env;CCACHE_BASEDIR=$PWD;CCACHE_NOHASHDIR=1;ccache"
  launcher=("-DCMAKE_C_COMPILER_LAUNCHER=$ccache" "-DCMAKE_CXX_COMPILER_LAUNCHER=$ccache")
fi
cmake -S . -B "$dir" "${launcher[@]}" "${options[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${targets[@]+--target "${targets[@]}"}
