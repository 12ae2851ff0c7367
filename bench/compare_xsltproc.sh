#!/usr/bin/env bash
# Runs the request benchmark from a fresh module root and xsltproc on the
# same request documents and stylesheets, then prints the figures side by
# side with their ratios (CPU times, peak memory), the gets beside the
# enumerations of their classes and what the caches keep; then gets,
# association queries and wmihost's start-up over this machine's own
# inventory (bench/association_bench.py):
#   bash bench/compare_xsltproc.sh BUILD_DIR [LSHW_XML]
# LSHW_XML is an `lshw -xml` recording, bench/lshw.xml unless given. Each
# benchmark runs three times and the fastest counts, as the fastest of five
# xsltproc runs does: a single run of the largest sizes is one sample, and the
# first at a size also grows the memory the provider keeps.
set -euo pipefail
build=$(realpath "${1:?usage: compare_xsltproc.sh BUILD_DIR [LSHW_XML]}")
lshw=$(realpath "${2:-$(dirname "$0")/lshw.xml}")
cd "$(dirname "$0")/.."

root=$(mktemp -d "${TMPDIR:-/tmp}/qrvbench.XXXXXX")
trap 'rm -rf "$root"' EXIT
mkdir -p "$root/bin" "$root/xslroot/inventory"
cp "$build/bin/request_bench" "$root/bin/"
# The gets of packages run the deployment's software stylesheet.
cp -r deploy/xslroot/inventory/xsl "$root/xslroot/inventory/"
LSHW_XML=$lshw "$root/bin/request_bench" --benchmark_repetitions=3 \
  --benchmark_out="$root/result.json" --benchmark_out_format=json

python3 bench/compare_xsltproc.py "$root"
python3 bench/association_bench.py "$build" "$root/deployment"
