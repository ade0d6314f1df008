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
srcdir="$deps/src"
host=x86_64-w64-mingw32

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "mingw libpng: already installed in $prefix"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

for tool in "$host-gcc-posix" cmake dpkg-source; do
  command -v "$tool" >/dev/null || { echo "mingw libpng: $tool is missing (run scripts/setup.sh)"; exit 1; }
done
if [ ! -f "/usr/$host/include/zlib.h" ] || [ ! -f "/usr/$host/lib/libz.a" ]; then
  echo "mingw libpng: libz-mingw-w64-dev is missing (run scripts/setup.sh)"
  exit 1
fi

# --- source entries -----------------------------------------------------------
# A deb-src line for the archive apt already uses. The machine's sources are in
# deb822 form (/etc/apt/sources.list.d/debian.sources); a separate file is
# added beside them rather than editing that one.
have_deb_src() {
  grep -rqsE '^\s*(Types:.*\bdeb-src\b|deb-src\s)' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
added_sources=0
if ! have_deb_src; then
  codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
  echo "mingw libpng: adding deb-src entries for $codename"
  $SUDO tee /etc/apt/sources.list.d/vesk-deb-src.sources >/dev/null <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  added_sources=1
fi
if [ "$added_sources" -eq 1 ] || [ -z "$(apt-cache showsrc libpng1.6 2>/dev/null | head -1)" ]; then
  $SUDO apt-get update -q
fi

# --- download -----------------------------------------------------------------
mkdir -p "$srcdir"
cd "$srcdir"
# Newest first. The archive may no longer carry every file of the newest
# security revision, so older revisions are tried in turn.
mapfile -t versions < <(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -u -r -V)
[ "${#versions[@]}" -gt 0 ] || { echo "mingw libpng: no libpng1.6 source package known to apt"; exit 1; }

dsc=""
for v in "${versions[@]}"; do
  upstream="${v#*:}"
  candidate="libpng1.6_${upstream}.dsc"
  if [ -f "$candidate" ] || timeout 600 apt-get source --download-only -q "libpng1.6=$v"; then
    if [ -f "$candidate" ]; then dsc="$candidate"; break; fi
  fi
  echo "mingw libpng: version $v could not be fetched, trying an older one"
done
[ -n "$dsc" ] || { echo "mingw libpng: no libpng1.6 source could be fetched"; exit 1; }
echo "mingw libpng: using $dsc"

# --- unpack -------------------------------------------------------------------
tree="$srcdir/libpng1.6-${dsc#libpng1.6_}"
tree="${tree%.dsc}"
tree="${tree%-*}"   # dpkg-source names the folder <package>-<upstream version>
rm -rf "$tree"
dpkg-source -x "$dsc" "$tree" >"$deps/libpng-mingw-unpack.log" 2>&1 \
  || { cat "$deps/libpng-mingw-unpack.log"; exit 1; }

# --- build --------------------------------------------------------------------
build="$deps/build-libpng-mingw"
rm -rf "$build"
cmake -S "$tree" -B "$build" -G Ninja \
  -DCMAKE_SYSTEM_NAME=Windows \
  -DCMAKE_SYSTEM_PROCESSOR=x86_64 \
  -DCMAKE_C_COMPILER="$host-gcc-posix" \
  -DCMAKE_RC_COMPILER="$host-windres" \
  -DCMAKE_FIND_ROOT_PATH="/usr/$host" \
  -DCMAKE_FIND_ROOT_PATH_MODE_PROGRAM=NEVER \
  -DCMAKE_FIND_ROOT_PATH_MODE_LIBRARY=ONLY \
  -DCMAKE_FIND_ROOT_PATH_MODE_INCLUDE=ONLY \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DZLIB_INCLUDE_DIR="/usr/$host/include" \
  -DZLIB_LIBRARY="/usr/$host/lib/libz.a" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
  -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_EXPORT=ON \
  -DCMAKE_C_FLAGS="-O2" >"$deps/libpng-mingw-configure.log" 2>&1 \
  || { tail -40 "$deps/libpng-mingw-configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" >"$deps/libpng-mingw-build.log" 2>&1 \
  || { tail -40 "$deps/libpng-mingw-build.log"; exit 1; }
cmake --install "$build" >"$deps/libpng-mingw-install.log" 2>&1 \
  || { tail -40 "$deps/libpng-mingw-install.log"; exit 1; }

# Some releases install only libpng16_static.a or libpng.a; the build looks
# for libpng16.a.
if [ ! -f "$prefix/lib/libpng16.a" ]; then
  for alt in libpng16_static.a libpng.a; do
    if [ -f "$prefix/lib/$alt" ]; then cp "$prefix/lib/$alt" "$prefix/lib/libpng16.a"; break; fi
  done
fi
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] \
  || { echo "mingw libpng: install did not produce libpng16.a and png.h"; exit 1; }
rm -rf "$build"
echo "mingw libpng: installed $prefix/lib/libpng16.a"
