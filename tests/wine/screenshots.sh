#!/usr/bin/env bash
# Screenshots of the running clock under Wine at chosen instants, cropped to
# the window, for the documentation:
#
#   tests/wine/screenshots.sh [OUTDIR]      (default docs/img)
#
# For each instant the clock is started under faketime 8 seconds before
# it and runs on; screenshots are taken until the hands on the screen equal
# the frame tool's composition of that instant (so the picture shows exactly
# that second), and that one is kept as OUTDIR/clock_<name>.png. Needs the
# Windows build (VESK_BUILD_DIR) and the native frame tool
# (VESK_NATIVE_BUILD_DIR, default build/native).
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/wine/lib.sh
source "$here/lib.sh"
declare -A SCENARIO_DEADLINES=()
ALL_SCENARIOS=()
# shellcheck source=tests/wine/scenarios_visual.sh
source "$here/scenarios_visual.sh"

out="${1:-$VESK_ROOT/docs/img}"
APP="$VESK_WORK/app"
# name, instant
shots=(
  "100837|2026-12-07 10:08:37"
  "125959pm|2026-12-07 12:59:59"
  "000000|2026-12-08 00:00:00"
  "235959_31dec|2026-12-31 23:59:59"
)

"$VESK_ROOT/scripts/assemble_app.sh" "$VESK_BUILD_DIR" "$APP" >/dev/null || exit 1
why="$(visual_frame_tool)" || { echo "screenshots: $why" >&2; exit 1; }
vw_start_xvfb || exit 1
trap 'vw_kill_wine; vw_stop_xvfb' EXIT
vw_wine_env >/dev/null || exit 1
mkdir -p "$out" "$VESK_WORK/shots"

failed=0
for entry in "${shots[@]}"; do
  name="${entry%%|*}"
  instant="${entry#*|}"
  frame="$VESK_WORK/shots/frame_$name.png"
  "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$instant" --premultiplied --out "$frame" || exit 1
  timeout 20 convert "$frame" -alpha off "$VESK_WORK/shots/frame_rgb.png"
  start="$(date -d "$instant 8 seconds ago" '+%Y-%m-%d %H:%M:%S')"
  visual_start_clock_at "$start"
  vw_wait_window TfrmMain 40 || { echo "screenshots: the clock did not start" >&2; exit 1; }
  geometry="$(visual_window_geometry)"
  set -- $geometry
  visual_mask "$VESK_WORK/shots/mask.png" "${3}x$4" disc 64 text
  found=0
  end=$(( $(vw_now_ms) + 25000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    visual_window_shot "$VESK_WORK/shots/try.png" "$geometry"
    if [ "$(visual_diff_count "$VESK_WORK/shots/try.png" "$VESK_WORK/shots/frame_rgb.png" "$VESK_WORK/shots/mask.png")" = 0 ]; then
      cp "$VESK_WORK/shots/try.png" "$out/clock_$name.png"
      found=1
      break
    fi
    sleep 0.2
  done
  vw_stop_clock
  if [ "$found" = 1 ]; then
    echo "$out/clock_$name.png ($instant)"
  else
    echo "screenshots: no screenshot showed $instant" >&2
    failed=1
  fi
done
exit "$failed"
