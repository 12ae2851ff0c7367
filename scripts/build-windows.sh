#!/usr/bin/env bash
# Cross-builds the Windows side with mingw-w64 into build-mingw: rulosrv.exe,
# the service's unit tests and the helper programs of the wine tests, and the
# Provider, wexi.dll, laid out with its XML libraries in build-mingw/deploy.
# Xerces-C and Xalan-C for Windows come from scripts/build-xml-windows.sh,
# which builds them once per machine. The Linux build's wine tests run what
# this builds.
set -euo pipefail
cd "$(dirname "$0")/.."
xml_prefix=$(bash scripts/build-xml-windows.sh)
bash scripts/build.sh build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DQRV_XML_WINDOWS_PREFIX="$xml_prefix" -DQRV_BUILD_BENCH=OFF
