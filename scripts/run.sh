#!/usr/bin/env bash
# Sets up the machine, builds, and enumerates an example class through
# wmihost: the provider module of the example deployment in build/deploy,
# over that deployment's registrations, stylesheets and inventory data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh build
build/bin/wmihost --repository build/deploy/mof --module build/deploy/bin/wexi.so enum Korvex_Disk
