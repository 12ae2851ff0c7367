#!/usr/bin/env bash
# Builds the Debian package from a built tree: the tree's `cmake --install`
# into a staging root with the prefix /usr, stripped, plus what packaging/debian
# holds (maintainer scripts, conffiles, copyright, changelog). The dependencies
# on shared libraries come from dpkg-shlibdeps; python3, lshw and iproute2 (ip) are the
# collector's. Prints the package's path.
#   usage: scripts/package-deb.sh BUILD_DIR [OUT_DIR]
#   QRV_DEB_VERSION  the package's version (default: the changelog's latest)
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: scripts/package-deb.sh BUILD_DIR [OUT_DIR]" >&2
  exit 2
fi
source=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
out=${2:-$build/packaging}
debian=$source/packaging/debian
umask 022

version=${QRV_DEB_VERSION:-$(dpkg-parsechangelog -l "$debian/changelog" -S Version)}
arch=$(dpkg --print-architecture)
# File times no later than the changelog's, so that the same tree gives the
# same package.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l "$debian/changelog" -S Timestamp)}

stage=$(mktemp -d "${TMPDIR:-/tmp}/qrv-deb.XXXXXX")
trap 'rm -rf "$stage"' EXIT
root=$stage/root
mkdir -m 755 "$root"
DESTDIR=$root cmake --install "$build" --prefix /usr >"$stage/install.log"
# Stripped as Debian strips: no debugging symbols, no compiler notes, and the
# shared objects without the symbols nobody links against.
strip --remove-section=.comment --remove-section=.note "$root"/usr/lib/korvex/bin/{rulosrv,wmihost}
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root"/usr/lib/korvex/bin/*.so
# The maintainer scripts make the writable folders and the collector link,
# so that removing the package leaves the service's data to purge alone.
rm -rf "$root/var"

doc=$root/usr/share/doc/korvex
mkdir -p "$doc"
cp "$debian/copyright" "$doc/"
gzip -9n <"$debian/changelog" >"$doc/changelog.gz"
install -D -m 644 "$debian/lintian-overrides" "$root/usr/share/lintian/overrides/korvex"

mkdir -m 755 "$root/DEBIAN"
cp "$debian/postinst" "$debian/prerm" "$debian/postrm" "$root/DEBIAN/"
chmod 755 "$root/DEBIAN/postinst" "$root/DEBIAN/prerm" "$root/DEBIAN/postrm"
cp "$debian/conffiles" "$root/DEBIAN/"
(cd "$root" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | LC_ALL=C sort -z | xargs -0 md5sum) \
  >"$root/DEBIAN/md5sums"

# dpkg-shlibdeps reads the package's name from a control file; it finds
# libqrv_com.so beside the programs through their run path and, since the
# package itself ships it, adds no dependency for it.
mkdir -p "$stage/source/debian"
printf 'Source: korvex\n\nPackage: korvex\nArchitecture: any\n' >"$stage/source/debian/control"
mapfile -t elves < <(find "$root/usr/lib/korvex/bin" -type f)
shlibs=$(cd "$stage/source" && dpkg-shlibdeps -O "${elves[@]/#/-e}" 2>"$stage/shlibdeps.log") || {
  cat "$stage/shlibdeps.log" >&2
  exit 1
}
depends="${shlibs#shlibs:Depends=}, iproute2, lshw, python3"

size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  "$debian/control.in" >"$root/DEBIAN/control"

mkdir -p "$out"
package=$out/korvex_${version}_${arch}.deb
dpkg-deb --root-owner-group -Zxz --build "$root" "$package" >/dev/null
echo "$package"
