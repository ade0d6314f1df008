#!/usr/bin/env bash
# Puts the Windows program together with the folders it reads beside it:
#   DEST/VeskClock.exe, DEST/face/*.png, DEST/sound/chime.mp3, DEST/fonts/*.ttf
#
# The fonts are those listed in assets/bundled_fonts.txt, copied from the
# installed Debian packages (scripts/setup.sh installs them), as the release
# bundles them.
#
#   scripts/assemble_app.sh [BUILD_DIR [DEST]]
#     BUILD_DIR  the Windows build (default build/windows)
#     DEST       the folder to fill (default build/wine/app); emptied first
#
# Exit codes: 0 done, 2 the program or a required skin, sound or font file
# is missing (the message names what), 1 anything else.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/windows}"
dest="${2:-$root/build/wine/app}"

exe="$build/src/VeskClock.exe"
required=(face/clockface.png face/pma.png face/hours.png face/minutes.png face/seconds.png sound/chime.mp3)
missing=()
[ -f "$exe" ] || missing+=("$exe")
for f in "${required[@]}"; do
  [ -f "$root/assets/$f" ] || missing+=("assets/$f")
done
# The first field of each line of bundled_fonts.txt is the font file.
fonts=()
while IFS= read -r line; do
  case "$line" in "#"* | "") continue ;; esac
  fonts+=("$(cut -f 1 <<<"$line")")
done <"$root/assets/bundled_fonts.txt"
for f in "${fonts[@]}"; do
  [ -f "$f" ] || missing+=("$f (scripts/setup.sh installs the font packages)")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "assemble_app: missing: ${missing[*]}" >&2
  exit 2
fi

rm -rf "$dest"
mkdir -p "$dest/face" "$dest/sound" "$dest/fonts"
cp "$exe" "$dest/"
cp "$root"/assets/face/*.png "$dest/face/"
cp "$root/assets/sound/chime.mp3" "$dest/sound/"
[ "${#fonts[@]}" -eq 0 ] || cp "${fonts[@]}" "$dest/fonts/"
echo "$dest"
