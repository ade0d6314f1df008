#!/usr/bin/env bash
# Assembles the release folder and its zip from a Windows build:
#
#   scripts/make_release.sh [--build] [EXE]
#
#   build/release/VeskClock/
#     VeskClock.exe
#     face/   clockface.png pma.png hours.png minutes.png seconds.png
#     sound/  chime.mp3
#     fonts/  the fonts listed in assets/bundled_fonts.txt, copied from the
#             installed Debian packages, each with its licence text
#     LICENSES.txt
#   build/release/VeskClock.zip
#
# EXE defaults to build/windows/src/VeskClock.exe. With --build the script
# first builds it (cmake --preset windows); without, a missing executable is
# an error. The skin and the chime come from assets/, the fonts from
# /usr/share/fonts as they are installed now: nothing is vendored by hand.
# File times inside the zip are fixed, so the same inputs give the same zip.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build=0
if [ "${1:-}" = --build ]; then
  build=1
  shift
fi
exe="${1:-$root/build/windows/src/VeskClock.exe}"

# The bundled fonts, one tab-separated line each: file, package, family,
# licence, copyright, the face it stands in for.
fonts=()
while IFS= read -r line; do
  case "$line" in "#"* | "") continue ;; esac
  fonts+=("$line")
done <"$root/assets/bundled_fonts.txt"
field() { cut -f "$2" <<<"$1"; }

if [ "$build" -eq 1 ]; then
  [ -f "$root/build/deps/mingw/lib/libpng16.a" ] || "$root/scripts/build_mingw_libpng.sh"
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target VeskClock
fi
if [ ! -f "$exe" ]; then
  echo "make_release: $exe does not exist." >&2
  echo "make_release: build it first (cmake --preset windows && cmake --build --preset windows)," >&2
  echo "make_release: or run scripts/make_release.sh --build." >&2
  exit 1
fi

skin=(clockface pma hours minutes seconds)
missing=()
for name in "${skin[@]}"; do
  [ -f "assets/face/$name.png" ] || missing+=("assets/face/$name.png")
done
[ -f assets/sound/chime.mp3 ] || missing+=(assets/sound/chime.mp3)
for font in "${fonts[@]}"; do
  for f in "$(field "$font" 1)" "/usr/share/doc/$(field "$font" 2)/copyright"; do
    [ -f "$f" ] || missing+=("$f")
  done
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "make_release: missing ${missing[*]} (scripts/setup.sh installs the font packages)" >&2
  exit 1
fi
command -v zip >/dev/null || { echo "make_release: zip is missing (scripts/setup.sh installs it)" >&2; exit 1; }

package_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }

release="$root/build/release"
dir="$release/VeskClock"
rm -rf "$dir" "$release/VeskClock.zip"
mkdir -p "$dir/face" "$dir/sound" "$dir/fonts"

cp "$exe" "$dir/VeskClock.exe"
for name in "${skin[@]}"; do cp "assets/face/$name.png" "$dir/face/"; done
cp assets/sound/chime.mp3 "$dir/sound/"

licences="$dir/LICENSES.txt"
{
  echo "Vesk Clock 0.1.0: what this folder holds and where each part comes from."
  echo
  echo "VeskClock.exe"
  echo "  The program, built from the Vesk Clock sources (C++, statically linked with"
  echo "  the MinGW-w64 runtime, libpng and zlib from Debian's packages)."
  echo
  echo 'face\clockface.png, face\hours.png, face\minutes.png, face\seconds.png, face\pma.png'
  echo 'sound\chime.mp3'
  echo "  Vesk Clock's own artwork and sound, made for it and distributed with it"
  echo "  under the same terms as the program. Sources in the repository: the SVG"
  echo "  drawings in assets/skin/ (rendered by assets/make_assets.sh) and the"
  echo "  synthesis script assets/tools/synth_chime.sh (sox and lame)."
} >"$licences"

for font in "${fonts[@]}"; do
  file="$(field "$font" 1)"
  package="$(field "$font" 2)"
  name="$(basename "$file" .ttf)"
  cp "$file" "$dir/fonts/"
  cp "/usr/share/doc/$package/copyright" "$dir/fonts/$name-LICENSE.txt"
  {
    echo
    echo "fonts\\$name.ttf"
    echo "  Family \"$(field "$font" 3)\", from Debian's package $package $(package_version "$package")."
    echo "  Copyright $(field "$font" 5)."
    echo "  $(field "$font" 4): see fonts\\$name-LICENSE.txt, the package's copyright file"
    echo "  (its section for this font's files names the licence)."
    echo "  The clock uses it in place of the face \"$(field "$font" 6)\"."
  } >>"$licences"
done

# Windows line ends for the text files a Windows user opens.
for t in "$licences" "$dir"/fonts/*.txt; do sed -i 's/\r\?$/\r/' "$t"; done

find "$dir" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
(cd "$release" && find VeskClock | LC_ALL=C sort | zip -q -X -D -@ VeskClock.zip)
echo "make_release: $dir"
echo "make_release: $release/VeskClock.zip ($(stat -c %s "$release/VeskClock.zip") bytes)"
