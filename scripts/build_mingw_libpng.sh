#!/usr/bin/env bash
# Builds a static libpng for x86_64-w64-mingw32 from Debian's own libpng1.6
# source package, against Debian's MinGW zlib (libz-mingw-w64-dev), and
# installs it into build/deps/mingw (lib/libpng16.a, include/png.h).
#
# Idempotent: does nothing when the library is already installed. Fetches only
# from the Debian archive that apt is configured with (adding a deb-src entry
# for it when none exists). Must run as root (or with sudo available).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$root/build/deps"
prefix="$deps/mingw"
host=x86_64-w64-mingw32

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "mingw libpng: already installed in $prefix"
  exit 0
fi
for tool in "$host-gcc-posix" cmake ninja dpkg-source; do
  command -v "$tool" >/dev/null || { echo "mingw libpng: $tool is missing (run scripts/setup.sh)"; exit 1; }
done
if [ ! -f "/usr/$host/include/zlib.h" ] || [ ! -f "/usr/$host/lib/libz.a" ]; then
  echo "mingw libpng: libz-mingw-w64-dev is missing (run scripts/setup.sh)"
  exit 1
fi

source "$root/scripts/libpng_source.sh"
tree="$(libpng_source_tree "$root")"
echo "mingw libpng: building from $tree"

libpng_build_static mingw "$tree" "$deps/build-libpng-mingw" "$prefix" "$deps" \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
  -DCMAKE_C_COMPILER="$host-gcc-posix" \
  -DCMAKE_RC_COMPILER="$host-windres" \
  -DCMAKE_FIND_ROOT_PATH="/usr/$host" \
  -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
  -DCMAKE_BUILD_TYPE=Release \
  -DZLIB_INCLUDE_DIR="/usr/$host/include" \
  -DZLIB_LIBRARY="/usr/$host/lib/libz.a" \
  -DCMAKE_C_FLAGS="-O2"
