#!/usr/bin/env bash
# Installs what the build, the tests and the run command need on Debian 12.
# Idempotent: does nothing when every package is present and the MinGW libpng
# build exists. Must run as root (or with sudo available) on a fresh machine.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

mapfile -t wanted < <(grep -v '^\s*#' "$root/scripts/packages.txt" | sed '/^\s*$/d')
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# libpng for the MinGW build, compiled from Debian's own source package.
if [ ! -f "$root/build/deps/mingw/lib/libpng16.a" ]; then
  "$root/scripts/build_mingw_libpng.sh"
fi
