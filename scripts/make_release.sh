#!/usr/bin/env bash
# Assembles the release folder and its zip from a Windows build:
#
#   scripts/make_release.sh [--build] [EXE]
#
#   build/release/VeskClock/
#     VeskClock.exe
#     face/   clockface.png pma.png hours.png minutes.png seconds.png
#     sound/  chime.mp3
#     fonts/  the two bundled fonts, copied from the installed Debian packages,
#             with their licence texts
#     LICENSES.txt
#   build/release/VeskClock.zip
#
# EXE defaults to build/windows/src/VeskClock.exe. With --build the script
# first builds it (cmake --preset windows); without, a missing executable is
# an error. The skin, the chime and the fonts come from assets/ and
# /usr/share/fonts as they are now: nothing is vendored by hand. File times
# inside the zip are fixed, so the same inputs give the same zip.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

build=0
if [ "${1:-}" = --build ]; then
  build=1
  shift
fi
exe="${1:-$root/build/windows/src/VeskClock.exe}"

# The bundled fonts: file, Debian package, family name the program finds it by.
digital_font=/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf
digital_package=fonts-dseg
label_font=/usr/share/fonts/truetype/proggy/ProggyTiny.ttf
label_package=fonts-proggy

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

missing=()
for f in assets/face/{clockface,pma,hours,minutes,seconds}.png assets/sound/chime.mp3 \
         "$digital_font" "$label_font" \
         "/usr/share/doc/$digital_package/copyright" "/usr/share/doc/$label_package/copyright"; do
  [ -f "$f" ] || missing+=("$f")
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
cp assets/face/{clockface,pma,hours,minutes,seconds}.png "$dir/face/"
cp assets/sound/chime.mp3 "$dir/sound/"
cp "$digital_font" "$label_font" "$dir/fonts/"
cp "/usr/share/doc/$digital_package/copyright" "$dir/fonts/$(basename "$digital_font" .ttf)-LICENSE.txt"
cp "/usr/share/doc/$label_package/copyright" "$dir/fonts/$(basename "$label_font" .ttf)-LICENSE.txt"

cat >"$dir/LICENSES.txt" <<EOF
Vesk Clock 0.1.0: what this folder holds and where each part comes from.

VeskClock.exe
  The program, built from the Vesk Clock sources (C++, statically linked with
  the MinGW-w64 runtime, libpng and zlib from Debian's packages).

face\\clockface.png, face\\hours.png, face\\minutes.png, face\\seconds.png, face\\pma.png
sound\\chime.mp3
  Vesk Clock's own artwork and sound, made for it and distributed with it
  under the same terms as the program. Sources in the repository: the SVG
  drawings in assets/skin/ (rendered by assets/make_assets.sh) and the
  synthesis script assets/tools/synth_chime.sh (sox and lame).

fonts\\$(basename "$digital_font")
  Family "DSEG7 Classic", style Bold, from Debian's package $digital_package
  $(package_version "$digital_package"). Copyright keshikan, with Reserved Font
  Name "DSEG". SIL Open Font License 1.1: see
  fonts\\$(basename "$digital_font" .ttf)-LICENSE.txt.
  The clock uses it for its digital read-out in place of the face "Digital".

fonts\\$(basename "$label_font")
  Family "ProggyTinyTT", from Debian's package $label_package
  $(package_version "$label_package"). Copyright 2004, 2005 Tristan Grimmer.
  MIT licence: see fonts\\$(basename "$label_font" .ttf)-LICENSE.txt
  (Debian's copyright file of the package; the font's section is
  "Files: app/qml/fonts/modern-proggy-tiny/*").
  The clock uses it for the "clock" label and the date in place of the face
  "hooge 05_55 Cyr2".
EOF
# Windows line ends for the text files a Windows user opens.
for t in "$dir/LICENSES.txt" "$dir"/fonts/*.txt; do sed -i 's/\r\?$/\r/' "$t"; done

find "$dir" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
(cd "$release" && find VeskClock | LC_ALL=C sort | zip -q -X -D -@ VeskClock.zip)
echo "make_release: $dir"
echo "make_release: $release/VeskClock.zip ($(stat -c %s "$release/VeskClock.zip") bytes)"
