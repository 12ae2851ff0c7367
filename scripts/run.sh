#!/usr/bin/env bash
# Sets up the machine, builds, and runs the request-path benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
bash bench/compare_xsltproc.sh build
