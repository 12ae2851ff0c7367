#!/usr/bin/env bash
# A clean Debian 12 root (mmdebstrap, variant minbase) as a tarball, with the
# package lists and, downloaded but not installed, the packages named, so that
# installing them into an unpacked copy needs no download. Made once per set
# of packages into a cache outside the clone,
# ${XDG_CACHE_HOME:-~/.cache}/qrv-debian-root/<hash>.tar (QRV_DEBIAN_ROOT_CACHE
# moves it), keyed by this script and the packages; prints the tarball's path.
# Needs root and Debian's mirror.
#   usage: debian_root.sh PACKAGE...
set -euo pipefail
suite=bookworm
cache=${QRV_DEBIAN_ROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qrv-debian-root}
key=$({ cat "$0"; printf '%s\n' "$suite" "$@"; } | sha256sum | cut -c1-16)
tarball=$cache/$key.tar
mkdir -p "$cache"
# Another run on this machine may be making the same root.
exec 9>"$cache/lock"
flock 9
if [ ! -f "$tarball" ]; then
  if ! mmdebstrap --variant=minbase --skip=cleanup/apt/lists --skip=cleanup/apt/cache \
    --customize-hook="chroot \"\$1\" apt-get install --download-only -y --no-install-recommends $*" \
    "$suite" "$cache/$key.partial.tar" >"$cache/$key.log" 2>&1; then
    tail -n 40 "$cache/$key.log" >&2
    rm -f "$cache/$key.partial.tar"
    exit 1
  fi
  mv "$cache/$key.partial.tar" "$tarball"
fi
echo "$tarball"
