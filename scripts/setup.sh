#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the benchmarks need.
# Run as root on Debian 12; says so and does nothing where everything is
# present already.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libxerces-c-dev
  libsystemd-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  xsltproc python3 lshw iproute2
  g++-mingw-w64-x86-64-posix mingw-w64-tools binutils-mingw-w64-x86-64
  wine wine64
  patch xz-utils ccache lld
  lintian mmdebstrap wixl msitools
  clang libfuzzer-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}; run scripts/setup.sh as root to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
