#!/usr/bin/env bash
# Brings the Windows build up to date: update_windows_build.sh DIR
# Skips (exit code 77, reason printed) where DIR holds no configured build.
set -euo pipefail
dir=$1
if [ ! -f "$dir/CMakeCache.txt" ]; then
  echo "skipped: no Windows build in $dir (make one with scripts/build-windows.sh)"
  exit 77
fi
cmake --build "$dir" -j "$(nproc)"
