# Scenarios of the clock at a display scale, sourced by run_all.sh: with
# Wine's resolution set through its registry (LogPixels), the window has the
# scaled face's size and, away from the text, shows exactly the frame tool's
# composition at that scale. The resolution is put back to 96 afterwards.
# shellcheck shell=bash

ALL_SCENARIOS+=(scale_window)
SCENARIO_DEADLINES[scale_window]=200

scale_set_log_pixels() {
  timeout 20 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  timeout 20 wineserver -k >/dev/null 2>&1 || true
}

scenario_scale_window() {
  local instant='2026-12-07 10:08:37' dir="$VESK_WORK/scale" ppi pct frame shot geometry size mask n lit r why
  mkdir -p "$dir"
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL scale_window: the frame tool is not available: $why"
    return
  fi
  for ppi in 120 144 192; do
    pct=$((ppi * 100 / 96))
    frame="$dir/frame_$pct.png"
    "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$instant" --scale "${ppi}ppi" --premultiplied \
      --out "$frame" || { echo "FAIL scale_window: no composition at $pct %"; continue; }
    timeout 20 convert "$frame" -alpha off "$dir/frame_rgb_$pct.png"
    scale_set_log_pixels "$ppi"
    visual_start_clock_at "$instant" frozen
    vw_wait_window TfrmMain 40 || { echo "FAIL scale_window: the clock did not start at $ppi ppi"; continue; }
    sleep 1.5
    geometry="$(visual_window_geometry)" || { echo "FAIL scale_window: no window rectangle"; vw_stop_clock; continue; }
    shot="$dir/screen_$pct.png"
    visual_window_shot "$shot" "$geometry"
    set -- $geometry
    size="${3}x$4"
    check "scale_window: at $ppi ppi the window is $size, the scaled face's size" \
      test "$size" = "$(identify -format %wx%h "$frame")"
    # Away from the text: everything but the read-out, label and date
    # rectangles, scaled.
    mask="$dir/mask_$pct.png"
    local draw=()
    for r in "37 83 125 107" "60 52 99 67" "54 105 99 119"; do
      set -- $r
      draw+=(-fill black -draw "rectangle $(($1 * ppi / 96)),$(($2 * ppi / 96)) $((($3 + 1) * ppi / 96)),$((($4 + 1) * ppi / 96))")
    done
    timeout 20 convert -size "$size" xc:white "${draw[@]}" -colorspace gray "$mask"
    n="$(visual_diff_count "$shot" "$dir/frame_rgb_$pct.png" "$mask")"
    lit="$(visual_lit_count "$shot" "$mask")"
    note "$ppi ppi: window $geometry, $lit lit pixels away from the text, $n differ"
    check "scale_window: at $ppi ppi the screen equals the composition away from the text ($n differ)" test "${n:-1}" = 0
    check "scale_window: ... and shows the face ($lit lit pixels)" test "${lit:-0}" -gt $((12000 * ppi * ppi / 9216))
    vw_stop_clock
  done
  scale_set_log_pixels 96
}
