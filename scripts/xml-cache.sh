# Sourced by the scripts that build the XML libraries from their source
# tarballs (build-xml-windows.sh, build-xalan-linux.sh). Each build goes to a
# prefix outside the clone, in a cache keyed by a hash of everything it is
# made from, so a machine builds it once; later runs only print the prefix.
#
#   QRV_XERCES_TARBALL  Xerces-C source tarball
#                       (default vendor/xerces-c_3.2.4+debian.orig.tar.xz)
#   QRV_XALAN_TARBALL   Xalan-C source tarball
#                       (default vendor/xalan-c-c326619.tar.xz)
#
# Relative tarball paths are taken from the repository's root.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
repo=$PWD

xerces_tarball=$(realpath "${QRV_XERCES_TARBALL:-vendor/xerces-c_3.2.4+debian.orig.tar.xz}")
xalan_tarball=$(realpath "${QRV_XALAN_TARBALL:-vendor/xalan-c-c326619.tar.xz}")

# open_cache CACHE FILES...: the prefix keyed by FILES (the tarballs,
# patches and scripts a build is made from) in the folder CACHE, as $prefix.
# Holds the cache's lock until the script ends, since another run on this
# machine may be building the same prefix; where the prefix is complete
# already, prints it and ends the script.
open_cache() {
  local cache=$1 file; shift
  for file in "$@"; do
    if [ ! -f "$file" ]; then
      echo "No file at $file (README, section Windows, says where the source releases are)" >&2
      exit 1
    fi
  done
  local key
  key=$(sha256sum "$@" | awk '{print $1}' | sha256sum | cut -c1-16)
  prefix=$cache/$key
  mkdir -p "$cache"
  exec 9>"$cache/lock"
  flock 9
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
  fi
  work=$(mktemp -d "${TMPDIR:-/tmp}/qrv-xml.XXXXXX")
  trap 'rm -rf "$work"' EXIT
  log=$cache/$key.log
  : >"$log"
  stage=$prefix.partial
  rm -rf "$stage"
}

# close_cache: marks the staged build complete, moves it to its prefix and
# prints the prefix.
close_cache() {
  touch "$stage/.complete"
  mv "$stage" "$prefix"
  echo "$prefix"
}

# run COMMAND...: runs COMMAND with its output in the log; on failure shows
# the log's end and ends the script.
run() {
  if ! nice -n 10 "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "failed: $*" >&2
    exit 1
  fi
}

# unpack NAME TARBALL: the tarball's single top folder as $work/NAME, with
# the patches for NAME from cmake/patches applied.
unpack() {
  mkdir "$work/$1"
  tar -xf "$2" -C "$work/$1" --strip-components=1
  local patch
  for patch in "$repo"/cmake/patches/"$1"-*.patch; do
    run patch -d "$work/$1" -p1 --forward --quiet -i "$patch"
  done
}

# install_xalan BUILD_DIR: installs Xalan-C's libraries, headers and CMake
# package from its build folder. Each source folder installs its own rules,
# so the samples and tests are left out.
install_xalan() {
  local dir
  for dir in src/xalanc src/xalanc/Utils src/xalanc/Utils/XalanMsgLib; do
    run cmake --install "$1/$dir" "${@:2}"
  done
}
