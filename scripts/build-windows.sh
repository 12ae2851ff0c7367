#!/usr/bin/env bash
# Cross-builds the Windows side with mingw-w64 into build-mingw: rulosrv.exe,
# the service's unit tests and the helper programs of the wine tests, and the
# Provider (wexi.dll where Xerces-C and Xalan-C for Windows are installed,
# otherwise its sources compiled against the SDK headers without linking).
# The Linux build's wine tests run what this builds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DQRV_BUILD_BENCH=OFF
