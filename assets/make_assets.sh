#!/usr/bin/env bash
# Regenerates the clock's artwork, chime and icon from their sources:
#
#   assets/skin/*.svg  --rsvg-convert-->  assets/face/{clockface,hours,minutes,seconds,pma}.png
#                                         and the face and hands at every display scale
#                                         in kScales: assets/face/NAME.scale-PCT.png
#   assets/skin/icon*.svg --rsvg-convert + tools/pack_ico.py-->  assets/icon/vesk_clock.ico
#   tools/synth_chime.sh  --sox + lame-->  assets/sound/chime.mp3
#
#   assets/make_assets.sh           rewrite the committed outputs
#   assets/make_assets.sh --check   render into a temporary folder and compare
#                                   with the committed outputs byte for byte
#   assets/make_assets.sh --out DIR render into DIR (face/, icon/, sound/)
#
# Every step is deterministic, so the committed files are exactly what the
# sources give; building the program needs none of these tools.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
skin="$here/skin"
tools="$here/tools"

mode=write
out="$here"
case "${1:-}" in
  --check) mode=check ;;
  --out) out="${2:?--out needs a folder}" ;;
  "") ;;
  *) echo "usage: $0 [--check | --out DIR]" >&2; exit 2 ;;
esac

for tool in rsvg-convert sox lame python3; do
  command -v "$tool" >/dev/null || { echo "make_assets: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
[ "$mode" = check ] && out="$work/out"
mkdir -p "$out/face" "$out/icon" "$out/sound"

# The face and the hands at their own size (the SVG's width and height).
for name in clockface hours minutes seconds; do
  rsvg-convert "$skin/$name.svg" -o "$out/face/$name.png"
done
# The face and the hands for the common display scales, zoomed about their
# top-left corner: the renderer sizes each image ceil(size x zoom), and a
# pivot p (pixel-centre coordinates) lands exactly at (p + 0.5) x zoom - 0.5,
# where the program puts it (docs/scaling.md). pma.png is never drawn and
# has no scaled versions.
scales=(125 150 175 200 250 300)
scaled_outputs=()
for pct in "${scales[@]}"; do
  zoom="$((pct / 100)).$(printf '%02d' $((pct % 100)))"
  for name in clockface hours minutes seconds; do
    rsvg-convert -z "$zoom" "$skin/$name.svg" -o "$out/face/$name.scale-$pct.png"
    scaled_outputs+=("face/$name.scale-$pct.png")
  done
done
# The emblem image: the icon's design at 120 x 120.
rsvg-convert -w 120 -h 120 "$skin/icon.svg" -o "$out/face/pma.png"

# The icon: full detail at 256 and 48, the bold parts at 40, 32, 24 and 20,
# the simplified drawing at 16: the small-icon sizes of 100, 125, 150, 200
# and 250 % are each drawn, not scaled.
rsvg-convert -w 256 -h 256 "$skin/icon.svg" -o "$work/icon256.png"
rsvg-convert -w 48 -h 48 "$skin/icon.svg" -o "$work/icon48.png"
for size in 40 32 24 20; do
  rsvg-convert -s "$skin/icon_compact.css" -w "$size" -h "$size" "$skin/icon.svg" -o "$work/icon$size.png"
done
rsvg-convert "$skin/icon_small.svg" -o "$work/icon16.png"
python3 "$tools/pack_ico.py" "$out/icon/vesk_clock.ico" \
  "$work/icon16.png" "$work/icon20.png" "$work/icon24.png" "$work/icon32.png" "$work/icon40.png" \
  "$work/icon48.png" "$work/icon256.png"

"$tools/synth_chime.sh" "$out/sound/chime.mp3"

outputs=(face/clockface.png face/hours.png face/minutes.png face/seconds.png face/pma.png
         icon/vesk_clock.ico sound/chime.mp3 "${scaled_outputs[@]}")

if [ "$mode" = check ]; then
  differ=0
  for file in "${outputs[@]}"; do
    if ! cmp -s "$out/$file" "$here/$file"; then
      echo "make_assets: assets/$file differs from what its sources give" >&2
      differ=1
    fi
  done
  [ "$differ" -eq 0 ] && echo "make_assets: all ${#outputs[@]} outputs match their sources"
  exit "$differ"
fi
echo "make_assets: wrote ${#outputs[@]} files under $out (${outputs[*]:0:7} and the scaled face and hands)"
