# Scenarios of what the clock shows and holds, sourced by run_all.sh: the
# screen against the frame tool's composition of the same instant, the
# second hand moving, and GDI objects and memory staying flat while it runs.
# The frame tool (tools/vesk_frame, built natively) composes the face with
# the very raster code the program uses; Wine shows every premultiplied
# pixel as it stands over the black root (no compositor), so away from the
# text, which the two text renderers draw differently, the screen must
# equal the composition's premultiplied colour channels exactly.
# shellcheck shell=bash

ALL_SCENARIOS+=(visual_face visual_second_hand visual_resources)
SCENARIO_DEADLINES[visual_face]=520  # may configure and build the frame tool first
SCENARIO_DEADLINES[visual_resources]=150

VESK_NATIVE_BUILD_DIR="${VESK_NATIVE_BUILD_DIR:-$VESK_ROOT/build/native}"
VISUAL_FRAME="$VESK_NATIVE_BUILD_DIR/tools/vesk_frame"
# The text items with a margin (x0,y0 x1,y1 inclusive, window pixels): the
# read-out, the label, the date. Both renderers keep their text inside.
VISUAL_TEXT_RECTS=("37,83 125,107" "60,52 99,67" "54,105 99,119")

# ---- helpers ------------------------------------------------------------------

# Starts the clock of $APP (or of the folder $3) under faketime at the local
# instant $1; with $2 "frozen" the clock stands still at that instant,
# otherwise it runs on from it. Wine's timers keep the real monotonic clock.
# Sets CLOCK_PID.
visual_start_clock_at() {
  local when="$1"
  [ "${2:-}" = frozen ] || when="@$1"
  (cd "${3:-$APP}" && exec env FAKETIME_DONT_FAKE_MONOTONIC=1 timeout -k 5 120 faketime -f "$when" wine ./VeskClock.exe \
    >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
}

# The clock's window on the screen: "X Y W H".
visual_window_geometry() {
  local rect
  rect="$(vw_winmsg rect TfrmMain)" || return 1
  set -- $rect
  echo "$2 $3 $(($4 - $2)) $(($5 - $3))"
}

# Screenshot cropped to the window: $1 output, $2 geometry "X Y W H".
visual_window_shot() {
  local shot="$VESK_WORK/visual_root.png"
  set -- "$1" $2
  vw_shot "$shot" && timeout 20 convert "$shot" -crop "${4}x${5}+${2}+${3}" +repage -alpha off "$1"
}

# Builds (or brings up to date) the native frame tool, configuring the
# native build first when there is none; prints why it cannot.
visual_frame_tool() {
  if [ ! -f "$VESK_NATIVE_BUILD_DIR/build.ninja" ]; then
    timeout 120 cmake --preset native -B "$VESK_NATIVE_BUILD_DIR" -S "$VESK_ROOT" >"$VESK_WORK/frame_build.log" 2>&1 ||
      { tail -5 "$VESK_WORK/frame_build.log"; return 1; }
  fi
  timeout 330 cmake --build "$VESK_NATIVE_BUILD_DIR" --target vesk_frame >>"$VESK_WORK/frame_build.log" 2>&1 ||
    { tail -5 "$VESK_WORK/frame_build.log"; return 1; }
  [ -x "$VISUAL_FRAME" ] || { echo "no $VISUAL_FRAME after the build"; return 1; }
}

# A W x H mask, white where pixels are compared: $1 output, $2 size "WxH",
# then the drawing: "text" blacks out the text rectangles, "disc R" keeps
# only the disc of radius R about (75, 75), "ring R1 R2" only the ring
# between those radii, "outside R" only what lies beyond radius R.
visual_mask() {
  local out="$1" size="$2" draw=()
  shift 2
  local base=white
  while [ "$#" -gt 0 ]; do
    case "$1" in
      disc) base=black; draw+=(-fill white -draw "circle 75,75 75,$((75 - $2))"); shift 2 ;;
      ring) base=black; draw+=(-fill white -draw "circle 75,75 75,$((75 - $3))" -fill black -draw "circle 75,75 75,$((75 - $2))"); shift 3 ;;
      outside) draw+=(-fill black -draw "circle 75,75 75,$((75 - $2))"); shift 2 ;;
      text)
        local r
        for r in "${VISUAL_TEXT_RECTS[@]}"; do draw+=(-fill black -draw "rectangle $r"); done
        shift ;;
      *) return 1 ;;
    esac
  done
  timeout 20 convert -size "$size" "xc:$base" "${draw[@]}" -colorspace gray "$out"
}

# Pixels where images $1 and $2 differ in any channel, counted where mask
# $3 is white.
visual_diff_count() {
  timeout 30 convert "$1" "$2" -compose difference -composite -separate -evaluate-sequence max -threshold 0 \
    "$3" -compose multiply -composite -format '%[fx:round(mean*w*h)]' info:
}

# Pixels of $1 that are not black, counted where mask $2 is white.
visual_lit_count() {
  timeout 30 convert "$1" -separate -evaluate-sequence max -threshold 0 "$2" -compose multiply -composite \
    -format '%[fx:round(mean*w*h)]' info:
}

# The Linux process of the clock (the child of the timeout that runs wine).
visual_clock_linux_pid() { ps -o pid= --ppid "$CLOCK_PID" 2>/dev/null | head -1 | tr -d ' '; }

# "gdi rss_kib vsize_kib working_set_kib": the smallest GDI count of three
# quick readings (a face being drawn holds a few objects for a moment), and
# the memory of the Wine process.
visual_resources_sample() {
  local pid gdi=-1 g ws=0 line i
  pid="$(visual_clock_linux_pid)"
  for i in 1 2 3; do
    line="$(vw_winmsg resources TfrmMain)" || return 1
    g="$(sed -n 's/.* gdi=\([0-9]*\) .*/\1/p' <<<"$line")"
    ws="$(sed -n 's/.* working_set=\([0-9]*\) .*/\1/p' <<<"$line")"
    [ -n "$g" ] || return 1
    if [ "$gdi" -lt 0 ] || [ "$g" -lt "$gdi" ]; then gdi="$g"; fi
    sleep 0.1
  done
  echo "$gdi $(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status") $(awk '/^VmSize:/ {print $2}' "/proc/$pid/status") $((ws / 1024))"
}

# ---- scenarios ----------------------------------------------------------------

# The screen shows exactly the composition of the frame tool for the same
# instant, the rim and the dial as well as the turned hands; only the text
# is left out. The clock stands still at 10:08:37 so both show one instant.
scenario_visual_face() {
  local instant='2026-12-07 10:08:37' dir="$VESK_WORK/visual" geometry size frame shot mask n lit why
  mkdir -p "$dir"
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL visual_face: the frame tool is not available: $why"
    return
  fi
  frame="$dir/frame_100837.png"
  check "visual_face: the frame tool composes $instant" \
    "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$instant" --premultiplied --out "$frame" || return
  timeout 20 convert "$frame" -alpha off "$dir/frame_rgb.png"
  visual_start_clock_at "$instant" frozen
  vw_wait_window TfrmMain 40 || { echo "FAIL visual_face: the clock did not start"; return; }
  sleep 1.5  # past the fade-in: the last fade tick presents at full strength
  geometry="$(visual_window_geometry)" || { echo "FAIL visual_face: no window rectangle"; return; }
  shot="$dir/screen_100837.png"
  visual_window_shot "$shot" "$geometry" || { echo "FAIL visual_face: no screenshot"; return; }
  note "window $geometry; screen $shot; composition $frame"
  set -- $geometry
  size="${3}x$4"
  check "visual_face: the window has the face's size" test "$size" = "$(identify -format %wx%h "$frame")" || return

  mask="$dir/mask_away.png"
  visual_mask "$mask" "$size" text outside 64
  n="$(visual_diff_count "$shot" "$dir/frame_rgb.png" "$mask")"
  lit="$(visual_lit_count "$shot" "$mask")"
  note "away from the hands and the text: $lit lit pixels, $n differ"
  check "visual_face: away from the hands and the text the screen equals the composition ($n pixels differ)" \
    test "${n:-1}" = 0
  check "visual_face: ... and that region shows the face ($lit lit pixels)" test "${lit:-0}" -gt 2000

  mask="$dir/mask_hands.png"
  visual_mask "$mask" "$size" disc 64 text
  n="$(visual_diff_count "$shot" "$dir/frame_rgb.png" "$mask")"
  lit="$(visual_lit_count "$shot" "$mask")"
  note "the hands' disc without the text: $lit lit pixels, $n differ"
  check "visual_face: the turned hands on the screen equal the composition ($n pixels differ)" test "${n:-1}" = 0
  check "visual_face: ... and the disc shows the dial and the hands ($lit lit pixels)" test "${lit:-0}" -gt 8000
  vw_stop_clock
}

# The second hand moves between two screenshots 1.1 s apart: the ring its
# tip sweeps (radius 55 to 62, beyond the minute hand's reach and inside the
# indices) changes, while the rim stays as it was.
scenario_visual_second_hand() {
  local dir="$VESK_WORK/visual" geometry size a b ring rim
  mkdir -p "$dir"
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL visual_second_hand: the clock did not start"; return; }
  sleep 1.5
  geometry="$(visual_window_geometry)" || { echo "FAIL visual_second_hand: no window rectangle"; return; }
  set -- $geometry
  size="${3}x$4"
  a="$dir/second_a.png"
  b="$dir/second_b.png"
  visual_window_shot "$a" "$geometry"
  sleep 1.1
  visual_window_shot "$b" "$geometry"
  visual_mask "$dir/mask_ring.png" "$size" ring 55 62 text
  visual_mask "$dir/mask_rim.png" "$size" outside 66
  ring="$(visual_diff_count "$a" "$b" "$dir/mask_ring.png")"
  rim="$(visual_diff_count "$a" "$b" "$dir/mask_rim.png")"
  note "pixels changed in 1.1 s: second hand's ring $ring, rim $rim ($a, $b)"
  check "visual_second_hand: the second hand moved (ring pixels changed: $ring)" test "${ring:-0}" -ge 10
  check "visual_second_hand: the rim did not change ($rim)" test "${rim:-1}" = 0
  vw_stop_clock
}

# Over 60 s of running (a new face every second) the process's GDI objects
# and memory stay flat. Tolerances: GDI objects at most 4 above the first
# reading (taken 3 s after start, when the fonts exist); resident and virtual
# memory of the Wine process and its working set at most 1024 KiB above it.
# A leak of the text rendering's three bitmaps a draw would add 720 GDI
# objects and tens of megabytes in that time.
scenario_visual_resources() {
  local first last sample i gdi0 rss0 vsz0 ws0 gdi rss vsz ws max_gdi=0
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL visual_resources: the clock did not start"; return; }
  sleep 3
  first="$(visual_resources_sample)" || { echo "FAIL visual_resources: cannot read the process's resources"; return; }
  read -r gdi0 rss0 vsz0 ws0 <<<"$first"
  note "at 3 s: gdi=$gdi0 rss=${rss0}KiB vsize=${vsz0}KiB working_set=${ws0}KiB"
  check "visual_resources: the GDI objects are counted ($gdi0)" test "${gdi0:-0}" -gt 0 || { vw_stop_clock; return; }
  for i in 1 2 3 4 5 6; do
    sleep 10
    sample="$(visual_resources_sample)" || { echo "FAIL visual_resources: the clock went away"; return; }
    read -r gdi rss vsz ws <<<"$sample"
    [ "$gdi" -gt "$max_gdi" ] && max_gdi="$gdi"
    note "at $((3 + 10 * i)) s: gdi=$gdi rss=${rss}KiB vsize=${vsz}KiB working_set=${ws}KiB"
  done
  last="$sample"
  read -r gdi rss vsz ws <<<"$last"
  check "visual_resources: GDI objects stay flat over 60 s ($gdi0 -> $gdi, at most $max_gdi)" \
    test "$max_gdi" -le $((gdi0 + 4))
  check "visual_resources: resident memory stays flat ($rss0 -> $rss KiB)" test "$rss" -le $((rss0 + 1024))
  check "visual_resources: virtual memory stays flat ($vsz0 -> $vsz KiB)" test "$vsz" -le $((vsz0 + 1024))
  check "visual_resources: the working set stays flat ($ws0 -> $ws KiB)" test "$ws" -le $((ws0 + 1024))
  check "visual_resources: the clock still runs" vw_alive "$CLOCK_PID"
  vw_stop_clock
}
