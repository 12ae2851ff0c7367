#!/usr/bin/env bash
# Runs the request benchmark from a fresh module root and xsltproc on the
# same request documents and stylesheet, then prints the figures side by side:
#   bash bench/compare_xsltproc.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: compare_xsltproc.sh BUILD_DIR}

root=$(mktemp -d "${TMPDIR:-/tmp}/qrvbench.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin"
cp "$build/bin/request_bench" "$root/bin/"
"$root/bin/request_bench" --benchmark_out="$root/result.json" --benchmark_out_format=json

python3 bench/compare_xsltproc.py "$root"
