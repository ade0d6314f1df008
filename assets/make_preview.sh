#!/usr/bin/env bash
# Draws a preview of the clock from the committed skin and the bundled fonts,
# and prints the text measurements that docs/assets.md records:
#
#   assets/make_preview.sh [HH:MM:SS] [DATE]      (default 10:08:37 "06 Dec")
#
# Writes docs/img/preview_HHMMSS.png (the composed window, straight alpha) and
# docs/img/preview_HHMMSS_desktops.png (the window over a light, a blue, a
# dark and a busy desktop, twice enlarged). The tools are built with g++ into
# build/assets-tools; they need FreeType and libpng (scripts/packages.txt).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
time="${1:-10:08:37}"
date="${2:-06 Dec}"

# The bundled fonts at the sizes the clock creates them (see docs/assets.md):
# FILE:pixel height[:horizontal pixels per em].
digital="/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf:19:11"
label="/usr/share/fonts/truetype/proggy/ProggyTiny.ttf:16"

bin="$root/build/assets-tools"
mkdir -p "$bin" "$root/docs/img"
flags=(-std=c++20 -O2 -Wall -Wextra)
for tool in compose_preview measure_text; do
  g++ "${flags[@]}" -o "$bin/$tool" "$here/tools/$tool.cpp" $(pkg-config --cflags --libs freetype2 libpng)
done

stem="$root/docs/img/preview_${time//:/}"
"$bin/compose_preview" --skin "$here/face" --time "$time" --date "$date" \
  --digital "$digital" --label "$label" --out "$stem.png" --sheet "${stem}_desktops.png"
echo "make_preview: wrote $stem.png and ${stem}_desktops.png"

"$bin/measure_text" "$digital" 41 86 "88:88:88" "12:59:59 pm" "08:08:08 am" "$(printf '%s' "$time" | awk -F: '{ h = $1 % 12; if (h == 0) h = 12; printf "%02d:%s:%s %s", h, $2, $3, ($1 < 12 ? "am" : "pm") }')"
"$bin/measure_text" "$label" 63 55 "clock"
# The label font is monospaced: every date is 36 pixels wide and starts at
# x = 60 + (33 - 36) div 2 = 59.
"$bin/measure_text" "$label" 59 107 "$date" "30 May" "11 Nov"
