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

libpng_build_static fuzz "$tree" "$deps/build-libpng-fuzz" "$prefix" "$deps" \
  -DCMAKE_C_COMPILER=clang \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DPNG_HARDWARE_OPTIMIZATIONS=OFF \
  -DCMAKE_C_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer"
