#!/usr/bin/env bash
# End-to-end tests of VeskClock.exe under Wine in a private Xvfb. Each
# scenario runs in its own process under a deadline and prints PASS/FAIL
# lines; the last line is "N passed, N failed, N skipped".
#
#   tests/wine/run_all.sh                 every scenario
#   tests/wine/run_all.sh close startup   only these
#
# VESK_BUILD_DIR selects the Windows build (default build/windows). The app
# folder (program, face\, sound\, fonts\) is assembled from assets/ under
# build/wine/e2e; without the assets every scenario is skipped.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=tests/wine/lib.sh
source "$here/lib.sh"

APP="$VESK_WORK/app"
SCENARIO_DEADLINE=90
# Longer deadlines of single scenarios (seconds), set by the scenarios_*.sh
# that need them.
declare -A SCENARIO_DEADLINES=()
ALL_SCENARIOS=(startup face_pixels ticking drag close double_close end_session missing_pma)
# Where the window's client area starts on the screen (its design position).
WIN_X=192
WIN_Y=114

# ---- scenarios (each runs in a child process) ------------------------------

vw_has_xwin() { vw_wait_xwin "$1" 5 >/dev/null; }

scenario_startup() {
  local t0 info rect w h
  t0=$(vw_now_ms)
  vw_start_clock "$APP"
  check "startup: the clock window appears" vw_wait_window TfrmMain 40 || return
  note "launch to window: $(( $(vw_now_ms) - t0 )) ms"
  # The window exists before it is shown (creation, then the restore and the
  # show): a warm Wine session can find it in that moment, so wait for the
  # show, at most 5 s.
  local end=$(( $(vw_now_ms) + 5000 ))
  info="$(vw_winmsg info TfrmMain)"
  while ! grep -q ' visible=1 ' <<<"$info" && [ "$(vw_now_ms)" -lt "$end" ]; do
    sleep 0.1
    info="$(vw_winmsg info TfrmMain)"
  done
  note "$info"
  check "startup: caption is Vesk Clock" grep -q '^title=Vesk Clock ' <<<"$info"
  check "startup: layered tool window, visible, on top" \
    grep -q 'visible=1 topmost=1 layered=1 toolwindow=1' <<<"$info"
  w="$(identify -format %w "$APP/face/clockface.png")"
  h="$(identify -format %h "$APP/face/clockface.png")"
  rect="$(vw_winmsg rect TfrmMain)"
  note "$rect (face ${w}x$h)"
  check "startup: design position, face size" test "$rect" = "rect 192 114 $((192 + w)) $((114 + h))"
  check "startup: an X window named Vesk Clock" vw_has_xwin '^Vesk Clock$' 
  vw_stop_clock
}

# "r,g,b" of a pixel of a skin PNG as the window shows it over the black
# root: fully opaque skin pixels appear with their own colour.
skin_px() {
  convert "$APP/face/$1" -format "%[fx:int(255*p{$2,$3}.r+.5)],%[fx:int(255*p{$2,$3}.g+.5)],%[fx:int(255*p{$2,$3}.b+.5)],%[fx:int(255*p{$2,$3}.a+.5)]" info:
}

# After the fade-in the face is on the screen at the window's place: opaque
# face pixels with their own colour, transparent ones not drawn at all.
scenario_face_pixels() {
  local shot="$VESK_WORK/screenshots/face.png" p expected got
  mkdir -p "$VESK_WORK/screenshots"
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL face_pixels: the clock did not start"; return; }
  # Once the window exists the face must be fully shown (faded in) within
  # 2 s: poll the rim's left point until it has its own colour.
  local t_window t_face="" rim_expected
  t_window=$(vw_now_ms)
  rim_expected="$(skin_px clockface.png 10 75)"
  while [ $(( $(vw_now_ms) - t_window )) -lt 4000 ]; do
    vw_shot "$shot"
    if [ "$(vw_px $((WIN_X + 10)) $((WIN_Y + 75)) "$shot")" = "${rim_expected%,*}" ]; then
      t_face=$(vw_now_ms)
      break
    fi
    sleep 0.1
  done
  note "window to fully shown face: $([ -n "$t_face" ] && echo $((t_face - t_window)) ms || echo 'not within 4 s')"
  check "face_pixels: the face is fully shown within 2 s of the window" \
    test -n "$t_face" -a "$(( ${t_face:-0} - t_window ))" -le 2000
  sleep 0.3
  vw_shot "$shot"
  note "screenshot: $shot"
  # Rim points outside the reach of the hands and the text.
  for p in "10 75" "75 140" "140 75"; do
    set -- $p
    expected="$(skin_px clockface.png "$1" "$2")"
    if [ "${expected##*,}" != 255 ]; then
      echo "FAIL face_pixels: face pixel ($1,$2) is not opaque in the skin ($expected)"
      continue
    fi
    got="$(vw_px $((WIN_X + $1)) $((WIN_Y + $2)) "$shot")"
    check "face_pixels: face pixel ($1,$2) is ${expected%,*} on the screen (got $got)" test "$got" = "${expected%,*}"
  done
  check "face_pixels: the transparent corner shows the black root" test "$(vw_px $((WIN_X + 1)) $((WIN_Y + 1)) "$shot")" = "0,0,0"
  vw_stop_clock
}

# Number of differing pixels of a region (W H X Y in window coordinates) of
# two screenshots.
region_diff() {
  local geometry="${3}x${4}+$((WIN_X + $5))+$((WIN_Y + $6))"
  timeout 20 convert "$1" -crop "$geometry" +repage "$VESK_WORK/region1.png"
  timeout 20 convert "$2" -crop "$geometry" +repage "$VESK_WORK/region2.png"
  timeout 20 compare -metric AE "$VESK_WORK/region1.png" "$VESK_WORK/region2.png" null: 2>&1 | cut -d' ' -f1
}

# A new face every second: the read-out and the second hand change, the
# rim does not.
scenario_ticking() {
  local a="$VESK_WORK/screenshots/tick1.png" b="$VESK_WORK/screenshots/tick2.png" readout rim
  mkdir -p "$VESK_WORK/screenshots"
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL ticking: the clock did not start"; return; }
  sleep 1.5
  vw_shot "$a"
  sleep 1.2
  vw_shot "$b"
  readout="$(region_diff "$a" "$b" 110 22 41 86)"
  rim="$(region_diff "$a" "$b" 12 40 0 55)"
  note "pixels changed in 1.2 s: read-out $readout, rim $rim"
  check "ticking: the read-out changes from one second to the next" test "${readout:-0}" -gt 0
  check "ticking: the rim stays as it was" test "${rim:-1}" = 0
  vw_stop_clock
}

# Moving the mouse over the clock does not grab it; a left-button drag moves
# it (the move loop trails the drag by its first step, so allow 10 px).
scenario_drag() {
  local rect l t
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL drag: the clock did not start"; return; }
  sleep 1
  timeout 5 xdotool mousemove $((WIN_X + 10)) $((WIN_Y + 75)); sleep 0.1
  for i in 1 2 3 4 5 6; do timeout 5 xdotool mousemove $((WIN_X + 10 + 6 * i)) $((WIN_Y + 75 + 4 * i)); sleep 0.03; done
  sleep 0.3
  rect="$(vw_winmsg rect TfrmMain)"
  check "drag: hovering without a button leaves the clock in place ($rect)"     test "${rect#rect }" != "${rect#rect $WIN_X $WIN_Y }" -a "$(cut -d' ' -f2,3 <<<"$rect")" = "$WIN_X $WIN_Y"
  timeout 5 xdotool mousemove 900 700; sleep 0.2
  vw_drag $((WIN_X + 10)) $((WIN_Y + 75)) $((WIN_X + 90)) $((WIN_Y + 115))
  sleep 0.3
  rect="$(vw_winmsg rect TfrmMain)"
  note "after a drag by (80,40): $rect"
  l="$(cut -d' ' -f2 <<<"$rect")"
  t="$(cut -d' ' -f3 <<<"$rect")"
  check "drag: the clock follows a left-button drag"     test $((l - WIN_X)) -ge 70 -a $((l - WIN_X)) -le 90 -a $((t - WIN_Y)) -ge 30 -a $((t - WIN_Y)) -le 50
  vw_stop_clock
}

# One WM_CLOSE: refused at first, the fade-out runs (17 steps of at least
# 10 ms), then the window closes by itself and the process ends.
scenario_close() {
  local out gone alive t0
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL close: the clock did not start"; return; }
  sleep 1  # past the fade-in
  t0=$(vw_now_ms)
  out="$(vw_winmsg close-timed TfrmMain 1)"
  note "$out"
  alive="$(sed -n 's/.*alive_after_50ms=\([0-9]*\).*/\1/p' <<<"$out")"
  gone="$(sed -n 's/.*gone_ms=\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$out")"
  check "close: the window fades out instead of closing at once" test "${alive:-0}" = 1
  check "close: the window is gone 170..1000 ms after WM_CLOSE" test "${gone:--1}" -ge 170 -a "${gone:--1}" -le 1000
  check "close: the process ends" vw_wait_exit "$CLOCK_PID" 3
  note "WM_CLOSE to process gone (including the helper's start): $(( $(vw_now_ms) - t0 )) ms"
  CLOCK_PID=""
}

# Two WM_CLOSE back to back: the second, made during the fade-out, is allowed
# at once.
scenario_double_close() {
  local out gone
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL double_close: the clock did not start"; return; }
  sleep 1
  out="$(vw_winmsg close-timed TfrmMain 2)"
  note "$out"
  gone="$(sed -n 's/.*gone_ms=\(-\{0,1\}[0-9]*\).*/\1/p' <<<"$out")"
  check "double_close: the window is gone before a fade-out could end" \
    test "${gone:--1}" -ge 0 -a "${gone:--1}" -lt 150
  check "double_close: the process ends" vw_wait_exit "$CLOCK_PID" 3
  CLOCK_PID=""
}

# The end of the session is refused the first time; the fade-out starts and
# the clock then closes by itself.
scenario_end_session() {
  local rc t0
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL end_session: the clock did not start"; return; }
  sleep 1
  t0=$(vw_now_ms)
  timeout 30 wine wineboot --end-session >/dev/null 2>&1
  rc=$?
  note "wineboot --end-session exit $rc after $(( $(vw_now_ms) - t0 )) ms"
  check "end_session: the first end-of-session query is refused" test "$rc" = 1
  check "end_session: the clock then closes by itself" vw_wait_exit "$CLOCK_PID" 5
  note "query to process gone: $(( $(vw_now_ms) - t0 )) ms"
  CLOCK_PID=""
}

# Without face\pma.png creation stops with an error box; the program goes on
# and still closes.
scenario_missing_pma() {
  local dir="$VESK_WORK/app-nopma" text
  rm -rf "$dir"
  cp -r "$APP" "$dir"
  rm -f "$dir/face/pma.png"
  vw_start_clock "$dir"
  check "missing_pma: an error box captioned Vesk Clock appears" vw_wait_box "Vesk Clock" 40 || return
  text="$(vw_winmsg dialog "Vesk Clock")"
  note "$text"
  check "missing_pma: it says Cannot open file ... pma.png" grep -q '^text=Cannot open file ".*pma\.png"\. ' <<<"$text"
  check "missing_pma: the text ends with one full stop" grep -q '[^.]\.$' <<<"$text"
  check "missing_pma: the program is still running" vw_alive "$CLOCK_PID"
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  sleep 0.5
  check "missing_pma: the box closes with OK" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
  vw_winmsg close TfrmMain >/dev/null
  check "missing_pma: WM_CLOSE still ends the program" vw_wait_exit "$CLOCK_PID" 5
  CLOCK_PID=""
}

# More scenarios live in scenarios_*.sh beside this file; each defines its
# scenario_<name> functions and appends the names to ALL_SCENARIOS.
# VESK_EXTRA_SCENARIOS names one more such file (a measurement, run by name
# only).
for extra in "$here"/scenarios_*.sh ${VESK_EXTRA_SCENARIOS:-}; do
  [ -f "$extra" ] || continue
  # shellcheck disable=SC1090
  source "$extra"
done

# ---- one scenario (child) ---------------------------------------------------

if [ "${1:-}" = "--scenario" ]; then
  trap 'if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi' EXIT
  vw_wine_env >/dev/null || { echo "FAIL $2: wine prefix"; exit 1; }
  # Every scenario starts without stored settings (the clock saves its
  # position and check marks at every close).
  timeout 20 wine reg delete 'HKCU\Software\VeskClock' /f >/dev/null 2>&1
  "scenario_$2"
  exit 0
fi

# ---- driver -----------------------------------------------------------------

scenarios=("$@")
[ "${#scenarios[@]}" -eq 0 ] && scenarios=("${ALL_SCENARIOS[@]}")
passed=0
failed=0
skipped=0

finish() {
  echo "$passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
  exit
}

skip_all() {
  local s
  for s in "${scenarios[@]}"; do skip "$s: $1"; skipped=$((skipped + 1)); done
  finish
}

# The program and the helper; build them when the Windows build exists.
if [ ! -f "$VESK_BUILD_DIR/src/VeskClock.exe" ] || [ ! -f "$WINMSG" ]; then
  if [ -f "$VESK_BUILD_DIR/build.ninja" ]; then
    timeout 1200 cmake --build "$VESK_BUILD_DIR" --target VeskClock winmsg >"$VESK_WORK/build.log" 2>&1 ||
      { tail -20 "$VESK_WORK/build.log"; echo "FAIL building VeskClock.exe and winmsg.exe"; failed=1; finish; }
  else
    skip_all "no Windows build in $VESK_BUILD_DIR (cmake --preset windows first)"
  fi
fi

"$VESK_ROOT/scripts/assemble_app.sh" "$VESK_BUILD_DIR" "$APP" >/dev/null 2>"$VESK_WORK/assemble.log"
case $? in
  0) ;;
  2) skip_all "$(cat "$VESK_WORK/assemble.log")" ;;
  *) cat "$VESK_WORK/assemble.log"; echo "FAIL assembling the app folder"; failed=1; finish ;;
esac

# Names this run for the scenarios that make something once per run.
export VESK_RUN_ID="$$.$(vw_now_ms)"
vw_start_xvfb || { echo "FAIL Xvfb"; failed=1; finish; }
trap 'vw_kill_wine; vw_stop_xvfb' EXIT
vw_wine_env >/dev/null || { echo "FAIL wine prefix"; failed=1; finish; }
note "DISPLAY=$DISPLAY WINEPREFIX=$WINEPREFIX"

for s in "${scenarios[@]}"; do
  if ! declare -F "scenario_$s" >/dev/null; then
    echo "FAIL $s: no such scenario"
    failed=$((failed + 1))
    continue
  fi
  echo "== $s"
  t0=$(vw_now_ms)
  deadline="${SCENARIO_DEADLINES[$s]:-$SCENARIO_DEADLINE}"
  out="$(timeout -k 5 "$deadline" bash "$0" --scenario "$s" 2>&1)"
  rc=$?
  echo "$out"
  p=$(grep -c '^PASS ' <<<"$out")
  f=$(grep -c '^FAIL ' <<<"$out")
  passed=$((passed + p))
  failed=$((failed + f))
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "FAIL $s: did not finish within ${deadline}s"
    failed=$((failed + 1))
    vw_kill_wine
  elif [ $((p + f)) -eq 0 ]; then
    echo "FAIL $s: no result"
    failed=$((failed + 1))
  fi
  note "$s took $(( $(vw_now_ms) - t0 )) ms"
done
finish
