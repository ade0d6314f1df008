# Scenarios of the clock at a display scale, sourced by run_all.sh: with
# Wine's resolution set through its registry (LogPixels), the window has the
# scaled face's size and, away from the text, shows exactly the frame tool's
# composition at that scale; its edges are as sharp as the scaled artwork,
# not as a stretched 100 % face; the notification-area icon is drawn at the
# system's small-icon size; a position stored at another resolution is not
# used. A move to a monitor of another scale (WM_DPICHANGED) rebuilds the
# face at that scale. The resolution is put back to 96 afterwards.
# shellcheck shell=bash

ALL_SCENARIOS+=(scale_window scale_storage scale_dpi_changed)
SCENARIO_DEADLINES[scale_window]=240
SCENARIO_DEADLINES[scale_storage]=120
SCENARIO_DEADLINES[scale_dpi_changed]=120

SCALE_INSTANT='2026-12-07 10:08:37'

scale_set_log_pixels() {
  timeout 20 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  timeout 20 wineserver -k >/dev/null 2>&1 || true
}

# The frame tool's composition of the instant at $1 ppi, without alpha, as
# "$VESK_WORK/scale/frame_rgb_$1.png".
scale_frame() {
  local dir="$VESK_WORK/scale"
  mkdir -p "$dir"
  "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$SCALE_INSTANT" --scale "${1}ppi" --premultiplied \
    --out "$dir/frame_$1.png" || return 1
  timeout 20 convert "$dir/frame_$1.png" -alpha off "$dir/frame_rgb_$1.png"
}

# Checks, for the running clock, that its window has the size of the
# composition at $1 ppi and shows it exactly away from the text; $2 names
# the case. The window's screenshot is left as "$VESK_WORK/scale/screen_$2.png".
scale_check_screen() {
  local ppi="$1" what="$2" dir="$VESK_WORK/scale" geometry shot size mask n lit r
  geometry="$(visual_window_geometry)" || { echo "FAIL $what: no window rectangle"; return 1; }
  shot="$dir/screen_$what.png"
  visual_window_shot "$shot" "$geometry"
  set -- $geometry
  size="${3}x$4"
  check "$what: the window is $size, the size of the face at $ppi ppi" \
    test "$size" = "$(identify -format %wx%h "$dir/frame_rgb_$ppi.png")"
  # Away from the text: everything but the read-out, label and date
  # rectangles, scaled.
  mask="$dir/mask_$what.png"
  local draw=()
  for r in "37 83 125 107" "60 52 99 67" "54 105 99 119"; do
    set -- $r
    draw+=(-fill black -draw "rectangle $(($1 * ppi / 96)),$(($2 * ppi / 96)) $((($3 + 1) * ppi / 96)),$((($4 + 1) * ppi / 96))")
  done
  timeout 20 convert -size "$size" xc:white "${draw[@]}" -colorspace gray "$mask"
  n="$(visual_diff_count "$shot" "$dir/frame_rgb_$ppi.png" "$mask")"
  lit="$(visual_lit_count "$shot" "$mask")"
  note "$what: window $geometry, $lit lit pixels away from the text, $n differ"
  check "$what: the screen equals the composition at $ppi ppi away from the text ($n differ)" test "${n:-1}" = 0
  check "$what: ... and shows the face ($lit lit pixels)" test "${lit:-0}" -gt $((12000 * ppi * ppi / 9216))
}

# The width in pixels of the face's outer edge on the middle row of image
# $1, read from the left: the distance between the points where the
# brightness passes 10 % and 90 % of the rim's first peak (linear between
# pixels), within the first $2 pixels.
scale_edge_width() {
  local w h
  read -r w h <<<"$(identify -format '%w %h' "$1")"
  timeout 20 convert "$1" -crop "${2}x1+0+$((h / 2))" +repage -colorspace gray -depth 8 txt:- |
    awk -F'[(),]' 'NR > 1 { v[n++] = $4 + 0 }
      END {
        peak = 0; for (i = 0; i < n; i++) if (v[i] > peak) peak = v[i]
        lo = v[0] + 0.1 * (peak - v[0]); hi = v[0] + 0.9 * (peak - v[0]); a = -1; b = -1
        for (i = 1; i < n; i++) {
          if (a < 0 && v[i] >= lo) a = i - 1 + (lo - v[i - 1]) / (v[i] - v[i - 1])
          if (b < 0 && v[i] >= hi) { b = i - 1 + (hi - v[i - 1]) / (v[i] - v[i - 1]); break }
        }
        if (a < 0 || b < 0) print "none"; else printf "%.2f\n", b - a
      }'
}

# The notification-area icon on the screen equals the icon file's image of
# the system's small-icon size at $1 ppi (16 x 16 at 96, 20 at 120, 24 at
# 144, 32 at 192) over the tray's background.
scale_check_tray_icon() {
  local ppi="$1" size index n
  size=$(( (16 * ppi + 48) / 96 ))
  case "$size" in 16) index=0 ;; 20) index=1 ;; 24) index=2 ;; 32) index=3 ;; 40) index=4 ;; *) index=-1 ;; esac
  tray_wait_icons 1 10 || { echo "FAIL scale_window: no icon at $ppi ppi"; return; }
  n="$(tray_icon_differ "$size" "$index" "$VESK_WORK/scale")"
  check "scale_window: at $ppi ppi the icon is the file's own $size x $size image ($n pixels differ)" test "${n:-1}" = 0
}

# ---- scenarios ------------------------------------------------------------------

scenario_scale_window() {
  local dir="$VESK_WORK/scale" ppi why sharp stretched
  mkdir -p "$dir"
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL scale_window: the frame tool is not available: $why"
    return
  fi
  scale_frame 96 || { echo "FAIL scale_window: no composition at 96 ppi"; return; }
  for ppi in 120 144 192; do
    scale_frame "$ppi" || { echo "FAIL scale_window: no composition at $ppi ppi"; continue; }
    scale_set_log_pixels "$ppi"
    visual_start_clock_at "$SCALE_INSTANT" frozen
    vw_wait_window TfrmMain 40 || { echo "FAIL scale_window: the clock did not start at $ppi ppi"; continue; }
    sleep 1.5
    scale_check_screen "$ppi" "scale_window_$ppi"
    scale_check_tray_icon "$ppi"
    if [ "$ppi" = 192 ]; then
      # Sharp: the rim's edge on the screen against the 100 % face
      # stretched to 200 % as the system stretches a program that is not
      # aware of the scale (bilinear).
      timeout 20 convert "$dir/frame_rgb_96.png" -filter Triangle -resize 200% "$dir/stretched_192.png"
      sharp="$(scale_edge_width "$dir/screen_scale_window_192.png" 40)"
      stretched="$(scale_edge_width "$dir/stretched_192.png" 40)"
      note "edge width at 192 ppi: $sharp px on the screen, $stretched px for the stretched 100 % face"
      check "scale_window: at 192 ppi the rim's edge is sharper than a stretched face ($sharp < $stretched px)" \
        awk -v a="$sharp" -v b="$stretched" 'BEGIN { exit !(a != "none" && b != "none" && a + 1 <= b) }'
    fi
    vw_stop_clock
  done
  scale_set_log_pixels 96
}

# "PixelsPerInch": a position saved at 96 ppi is not used at 144, one saved
# at 144 is; the close at 144 stores "144".
scenario_scale_storage() {
  local key rect
  scale_set_log_pixels 144
  for stored in 96 144; do
    storage_reset
    storage_seed PixelsPerInch REG_SZ "$stored"
    storage_seed NormPos REG_SZ "300,200,525,425"
    storage_start || { echo "FAIL scale_storage: the clock did not start"; continue; }
    rect="$(storage_rect)"
    set -- $rect
    if [ "$stored" = 96 ]; then
      check "scale_storage: a position stored at 96 ppi is not applied at 144 ($rect)" test "$1 $2" != "300 200"
    else
      check "scale_storage: a position stored at 144 ppi is applied at 144 ($rect)" test "$1 $2" = "300 200"
    fi
    check "scale_storage: ... with the window at the face's size at 144 ppi ($rect)" \
      test "$(($3 - $1))x$(($4 - $2))" = 225x225
    vw_stop_clock
    key="$(storage_query)"
    check "scale_storage: the close stores PixelsPerInch 144" \
      test "$(storage_value_in PixelsPerInch "$key")" = "REG_SZ 144"
    check "scale_storage: ... and the window's position" \
      test "$(storage_value_in NormPos "$key")" = "REG_SZ $1,$2,$3,$4"
  done
  storage_reset
  scale_set_log_pixels 96
}

# WM_DPICHANGED: the window takes the suggested rectangle with the face
# rebuilt at the new scale; with the pointer on the face, the point under
# it stays under it; back at 96 ppi it is the 100 % clock again.
scenario_scale_dpi_changed() {
  local why rect l t cx cy
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL scale_dpi_changed: the frame tool is not available: $why"
    return
  fi
  scale_frame 96 && scale_frame 144 && scale_frame 192 || { echo "FAIL scale_dpi_changed: no compositions"; return; }
  timeout 5 xdotool mousemove 1000 10
  visual_start_clock_at "$SCALE_INSTANT" frozen
  vw_wait_window TfrmMain 40 || { echo "FAIL scale_dpi_changed: the clock did not start"; return; }
  sleep 1.5
  check "scale_dpi_changed: a suggested rectangle for 144 ppi is taken" vw_winmsg dpi TfrmMain 144 400 100 625 325
  sleep 0.5
  check "scale_dpi_changed: ... as it is ($(storage_rect))" test "$(storage_rect)" = "400 100 625 325"
  scale_check_screen 144 scale_dpi_changed_144

  # The pointer holds the face 30 px right and 45 px below its corner.
  rect="$(storage_rect)"; set -- $rect; l=$1; t=$2
  cx=$((l + 30)); cy=$((t + 45))
  timeout 5 xdotool mousemove "$cx" "$cy"
  sleep 0.2
  vw_winmsg dpi TfrmMain 192 "$l" "$t" $((l + 300)) $((t + 300)) >/dev/null
  sleep 0.5
  check "scale_dpi_changed: at 192 ppi the point under the pointer stays under it ($(storage_rect))" \
    test "$(storage_rect)" = "$((cx - 40)) $((cy - 60)) $((cx - 40 + 300)) $((cy - 60 + 300))"
  scale_check_screen 192 scale_dpi_changed_192

  timeout 5 xdotool mousemove 1000 10
  vw_winmsg dpi TfrmMain 96 200 150 350 300 >/dev/null
  sleep 0.5
  check "scale_dpi_changed: back at 96 ppi ($(storage_rect))" test "$(storage_rect)" = "200 150 350 300"
  scale_check_screen 96 scale_dpi_changed_96
  vw_stop_clock
}
