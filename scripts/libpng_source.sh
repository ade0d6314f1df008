# Sourced by the scripts that build libpng from Debian's libpng1.6 source
# package. Defines libpng_source_tree, which downloads the package from the
# Debian archive apt is configured with (adding a deb-src entry when none
# exists), unpacks it under build/deps/src and prints the source folder.

libpng_source_tree() {
  local root="$1"
  local srcdir="$root/build/deps/src"
  local SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

  # A deb-src entry for the archive apt already uses. The machine's sources
  # are in deb822 form (/etc/apt/sources.list.d/debian.sources); a separate
  # file is added beside them rather than editing that one.
  local added_sources=0
  if ! grep -rqsE '^\s*(Types:.*\bdeb-src\b|deb-src\s)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    local codename
    codename="$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")"
    echo "libpng source: adding deb-src entries for $codename" >&2
    $SUDO tee /etc/apt/sources.list.d/vesk-deb-src.sources >/dev/null <<EOT
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
EOT
    added_sources=1
  fi
  if [ "$added_sources" -eq 1 ] || [ -z "$(apt-cache showsrc libpng1.6 2>/dev/null | head -1)" ]; then
    $SUDO apt-get update -q >&2 || return 1
  fi

  mkdir -p "$srcdir"
  # Newest first. The archive may no longer carry every file of the newest
  # security revision, so older revisions are tried in turn.
  local versions v upstream dsc=""
  mapfile -t versions < <(apt-cache showsrc libpng1.6 | sed -n 's/^Version: //p' | sort -u -r -V)
  if [ "${#versions[@]}" -eq 0 ]; then
    echo "libpng source: no libpng1.6 source package known to apt" >&2
    return 1
  fi
  # A revision downloaded before is used as it is.
  for v in "${versions[@]}"; do
    upstream="${v#*:}"
    if [ -f "$srcdir/libpng1.6_${upstream}.dsc" ]; then dsc="libpng1.6_${upstream}.dsc"; break; fi
  done
  if [ -z "$dsc" ]; then
    for v in "${versions[@]}"; do
      upstream="${v#*:}"
      (cd "$srcdir" && timeout 600 apt-get source --download-only -q "libpng1.6=$v" >&2) || true
      if [ -f "$srcdir/libpng1.6_${upstream}.dsc" ]; then dsc="libpng1.6_${upstream}.dsc"; break; fi
      echo "libpng source: version $v could not be fetched, trying an older one" >&2
    done
  fi
  if [ -z "$dsc" ]; then
    echo "libpng source: no libpng1.6 source could be fetched" >&2
    return 1
  fi

  # dpkg-source names the folder <package>-<upstream version>.
  local tree="${dsc%.dsc}"
  tree="$srcdir/libpng1.6-${tree#libpng1.6_}"
  tree="${tree%-*}"
  if [ ! -f "$tree/png.h" ] || [ ! -f "$tree/.vesk-unpacked-$dsc" ]; then
    rm -rf "$tree"
    (cd "$srcdir" && dpkg-source -x "$dsc" "$tree" >"$srcdir/unpack.log" 2>&1) || {
      cat "$srcdir/unpack.log" >&2
      return 1
    }
    touch "$tree/.vesk-unpacked-$dsc"
  fi
  echo "$tree"
}

# Configures, builds and installs a static libpng from the source tree:
#   libpng_build_static LABEL TREE BUILD_DIR PREFIX LOG_DIR [cmake args...]
# The extra arguments choose the compiler and flags. Leaves PREFIX with
# lib/libpng16.a and include/png.h, or fails with the tail of the log.
libpng_build_static() {
  local label="$1" tree="$2" build="$3" prefix="$4" logs="$5"
  shift 5
  rm -rf "$build"
  cmake -S "$tree" -B "$build" -G Ninja \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DPNG_FRAMEWORK=OFF -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON \
    -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_EXPORT=ON \
    "$@" >"$logs/libpng-$label-configure.log" 2>&1 \
    || { tail -40 "$logs/libpng-$label-configure.log"; return 1; }
  cmake --build "$build" -j "$(nproc)" >"$logs/libpng-$label-build.log" 2>&1 \
    || { tail -40 "$logs/libpng-$label-build.log"; return 1; }
  cmake --install "$build" >"$logs/libpng-$label-install.log" 2>&1 \
    || { tail -40 "$logs/libpng-$label-install.log"; return 1; }
  # Some releases install only libpng16_static.a or libpng.a; the build
  # looks for libpng16.a.
  if [ ! -f "$prefix/lib/libpng16.a" ]; then
    local alt
    for alt in libpng16_static.a libpng.a; do
      if [ -f "$prefix/lib/$alt" ]; then cp "$prefix/lib/$alt" "$prefix/lib/libpng16.a"; break; fi
    done
  fi
  [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] \
    || { echo "$label libpng: install did not produce libpng16.a and png.h"; return 1; }
  rm -rf "$build"
  echo "$label libpng: installed $prefix/lib/libpng16.a"
}
