#!/usr/bin/env bash
# Synthesises the hourly chime with sox and encodes it with lame:
#
#   synth_chime.sh OUT.mp3
#
# Two bell strikes a major third apart (B5, then G5 after 0.55 s). Each strike
# is a few sine partials in the ratios of a small tuned bell: a low hum, the
# strike note, its octave, a twelfth and two faint high partials. Every partial
# dies away exponentially (sox's logarithmic fade; higher partials faster), and
# starts with a 4 ms ramp so the onset does not click. The mix gets a little
# room reverb, is normalised to -1.5 dBFS (headroom for the MP3 encoder) and
# fades to silence at 3.6 s.
#
# Reproducible: sox runs with -R (fixed seeds, no time stamps) and writes
# 16-bit samples without dither (-D); lame encodes constant bit rate with
# fixed settings and writes no tag with a date.
set -euo pipefail

out="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

rate=44100
length=3.6

# partial: ratio to the strike note, level, decay (length of sox's
# logarithmic fade in seconds; the level falls by about 20 dB per fifth of it)
partials=(
  "0.5  0.30 11.0"
  "1.0  1.00 7.5"
  "2.0  0.42 4.5"
  "3.0  0.16 2.6"
  "4.2  0.07 1.4"
  "5.4  0.04 0.9"
)

# strike: note frequency in Hz, start in seconds, level
strikes=(
  "987.77 0.00 1.00"
  "783.99 0.55 0.92"
)

n=0
for strike in "${strikes[@]}"; do
  read -r note start strike_level <<<"$strike"
  for partial in "${partials[@]}"; do
    read -r ratio level decay <<<"$partial"
    freq="$(awk -v f="$note" -v r="$ratio" 'BEGIN { printf "%.3f", f * r }')"
    gain="$(awk -v a="$level" -v b="$strike_level" 'BEGIN { printf "%.4f", a * b * 0.25 }')"
    sox -V1 -R -D -n -r "$rate" -c 1 -b 32 -e floating-point "$work/p$n.wav" \
      synth "$decay" sine "$freq" fade t 0.004 fade l 0 "$decay" "$decay" vol "$gain" \
      pad "$start" trim 0 "$length"
    n=$((n + 1))
  done
done

inputs=()
for ((i = 0; i < n; i++)); do inputs+=(-v 1 "$work/p$i.wav"); done
sox -V1 -R -D -m "${inputs[@]}" -b 32 -e floating-point "$work/mix.wav"
sox -V1 -R -D "$work/mix.wav" -b 32 -e floating-point "$work/room.wav" reverb 18 40 45 trim 0 "$length"
# Normalised in a pass of its own: sox's reverb keeps headroom that a gain
# effect in the same chain would leave in place.
sox -V1 -R -D "$work/room.wav" -r "$rate" -c 1 -b 16 -e signed-integer "$work/chime.wav" \
  gain -n -1.5 fade t 0 "$length" 0.6

lame --quiet --nohist --noreplaygain -m m -b 128 --cbr -q 2 "$work/chime.wav" "$work/chime.mp3"
mv "$work/chime.mp3" "$out"
