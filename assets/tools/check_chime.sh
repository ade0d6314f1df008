#!/usr/bin/env bash
# Checks the chime MP3 the way a listener would notice a fault:
#
#   check_chime.sh [FILE.mp3]     (default: assets/sound/chime.mp3)
#
# It must decode, last 2 to 5 seconds, sound within its first 0.2 s, stay
# below full scale (no clipping) and fade out to silence.
set -euo pipefail

file="${1:-$(cd "$(dirname "$0")/.." && pwd)/sound/chime.mp3}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if ! sox -V1 "$file" -b 16 "$work/chime.wav" 2>"$work/err"; then
  echo "check_chime: sox cannot decode $file: $(cat "$work/err")" >&2
  exit 1
fi

# The largest absolute sample of a stretch, 0..1 (full scale).
peak() {
  sox -V1 "$work/chime.wav" -n "$@" stat 2>&1 |
    awk '/^Maximum amplitude/ { hi = $3 } /^Minimum amplitude/ { lo = -$3 } END { print (hi > lo ? hi : lo) }'
}

duration="$(soxi -D "$work/chime.wav")"
whole="$(peak)"
start="$(peak trim 0 0.2)"
ending="$(peak trim "$(awk -v d="$duration" 'BEGIN { print d - 0.1 }')")"
printf 'check_chime: %s: %.3f s, peak %.4f, first 0.2 s %.4f, last 0.1 s %.5f\n' \
  "$(basename "$file")" "$duration" "$whole" "$start" "$ending"

failures=0
fail() { echo "check_chime: $*" >&2; failures=$((failures + 1)); }
awk -v d="$duration" 'BEGIN { exit !(d >= 2 && d <= 5) }' || fail "duration $duration s is not between 2 and 5 s"
awk -v p="$whole" 'BEGIN { exit !(p < 0.98) }' || fail "peak $whole reaches full scale"
awk -v p="$whole" 'BEGIN { exit !(p > 0.5) }' || fail "peak $whole: the chime is too quiet (not normalised)"
awk -v p="$start" 'BEGIN { exit !(p > 0.1) }' || fail "nothing sounds in the first 0.2 s"
awk -v p="$ending" 'BEGIN { exit !(p < 0.01) }' || fail "the end is not silent (peak $ending in the last 0.1 s)"
[ "$failures" -eq 0 ]
