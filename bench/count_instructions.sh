#!/usr/bin/env bash
# Instructions per frame, counted by callgrind: each step of the frame
# (clear, face, text layer, hands), ours and pixman's, for every angle set of
# bench/composition_bench.cpp (BM_StepsCount: 20 frames each), and one
# RenderClock with its text (BM_RenderClockCount: 50 seconds after a warm-up).
# Usage: bench/count_instructions.sh [path/to/vesk_bench]   (about 3 minutes)
#
# Callgrind counts a repeated string instruction (rep stos, which the C
# library's memset uses for large fills) once per repetition, so the clear
# steps of both sides count about one "instruction" per byte cleared.
set -euo pipefail
bench=${1:-build/native/bench/vesk_bench}
command -v valgrind >/dev/null || { echo "valgrind is needed (scripts/packages.txt)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Inclusive instructions of the function named $2 in callgrind output $1.
inclusive() {
  callgrind_annotate --inclusive=yes --threshold=100 "$1" 2>/dev/null |
    awk -v name="::$2(" 'index($0, name) && !found { gsub(",", "", $1); print $1; found = 1 }'
}

printf '%-9s %-6s %10s %10s %10s %10s %10s\n' "angles" "side" "clear" "face" "text" "hands" "frame"
for set in 0 1 2 3 4; do
  valgrind --tool=callgrind --callgrind-out-file="$work/steps.$set" --toggle-collect='*StepOurs*' \
    --toggle-collect='*StepPixman*' "$bench" --benchmark_filter="BM_StepsCount/$set/" >/dev/null 2>&1
  for side in Ours Pixman; do
    total=0
    row=""
    for step in Clear Face Text Hands; do
      n=$(inclusive "$work/steps.$set" "Step$side$step")
      n=$(( ${n:-0} / 20 ))
      total=$(( total + n ))
      row="$row $(printf '%10d' "$n")"
    done
    printf '%-9s %-6s%s %10d\n' "set $set" "$(echo "$side" | tr 'A-Z' 'a-z')" "$row" "$total"
  done
done

valgrind --tool=callgrind --callgrind-out-file="$work/render" --toggle-collect='*RenderOneSecond*' "$bench" \
  --benchmark_filter='BM_RenderClockCount' >/dev/null 2>&1
for f in RenderOneSecond MakeTextBitmap "TCustomImage32::PaintTo"; do
  n=$(inclusive "$work/render" "$f")
  printf 'RenderClock %-24s %10d instructions per second drawn\n' "$f" $(( ${n:-0} / 50 ))
done
