#!/usr/bin/env bash
# Builds a static libpng from Debian's libpng1.6 source package with clang and
# the fuzzing instrumentation (coverage, ASan, UBSan) of the "fuzz" preset, and
# installs it into build/deps/fuzz. With it the fuzzer sees and checks the
# decoder's own code paths, not only the skin loader's. Idempotent; fetches
# only from the Debian archive.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deps="$root/build/deps"
prefix="$deps/fuzz"

if [ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ]; then
  echo "fuzz libpng: already installed in $prefix"
  exit 0
fi
for tool in clang cmake ninja dpkg-source; do
  command -v "$tool" >/dev/null || { echo "fuzz libpng: $tool is missing (run scripts/setup.sh)"; exit 1; }
done

source "$root/scripts/libpng_source.sh"
tree="$(libpng_source_tree "$root")"
echo "fuzz libpng: building from $tree"

build="$deps/build-libpng-fuzz"
rm -rf "$build"
cmake -S "$tree" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
  -DPNG_FRAMEWORK=OFF -DPNG_HARDWARE_OPTIMIZATIONS=OFF -DSKIP_INSTALL_PROGRAMS=ON \
  -DSKIP_INSTALL_FILES=ON -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_EXPORT=ON \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
  >"$deps/libpng-fuzz-configure.log" 2>&1 \
  || { tail -40 "$deps/libpng-fuzz-configure.log"; exit 1; }
cmake --build "$build" -j "$(nproc)" >"$deps/libpng-fuzz-build.log" 2>&1 \
  || { tail -40 "$deps/libpng-fuzz-build.log"; exit 1; }
cmake --install "$build" >"$deps/libpng-fuzz-install.log" 2>&1 \
  || { tail -40 "$deps/libpng-fuzz-install.log"; exit 1; }
if [ ! -f "$prefix/lib/libpng16.a" ]; then
  for alt in libpng16_static.a libpng.a; do
    if [ -f "$prefix/lib/$alt" ]; then cp "$prefix/lib/$alt" "$prefix/lib/libpng16.a"; break; fi
  done
fi
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] \
  || { echo "fuzz libpng: install did not produce libpng16.a and png.h"; exit 1; }
rm -rf "$build"
echo "fuzz libpng: installed $prefix/lib/libpng16.a"
