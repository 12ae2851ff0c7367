#!/usr/bin/env bash
# Configures and builds one build tree.
set -euo pipefail
if [ $# -lt 1 ] || [ "$1" = "-h" ] || [ "$1" = "--help" ]; then
  cat >&2 <<'USAGE'
usage: scripts/build.sh DIR [cmake options...]
  Configures the project into DIR and builds it, e.g.
    scripts/build.sh build                              the plain Linux build
    scripts/build.sh build-asan -DQRV_SANITIZE=address  AddressSanitizer + UndefinedBehaviorSanitizer
    scripts/build.sh build-tsan -DQRV_SANITIZE=thread   ThreadSanitizer
  scripts/build-windows.sh builds the Windows side (build-mingw).
USAGE
  [ $# -ge 1 ] && exit 0 || exit 2
fi
cd "$(dirname "$0")/.."
dir=$1; shift
cmake -S . -B "$dir" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
