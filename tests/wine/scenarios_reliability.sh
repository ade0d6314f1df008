# The real program under a system clock that jumps, sourced by run_all.sh
# (after scenarios_visual.sh, whose helpers it uses). The clock stands still
# at one instant after another (libfaketime's timestamp file, re-read once a
# second, in a time zone with daylight-saving changes): forward and back by
# seconds, an hour and a day, across both daylight-saving changes and the
# year. After each jump the face on the screen must equal the frame tool's
# composition of the new instant (hands and dial; the text is drawn by
# another renderer), no box may appear, and setting the clock back to a
# full hour chimes again.
# shellcheck shell=bash

ALL_SCENARIOS+=(jump_time)
SCENARIO_DEADLINES[jump_time]=240

JUMP_SPEC="$VESK_WORK/jump_time.spec"

# Stands the running clock still at local instant $1 and waits until
# libfaketime can have read it.
jump_to() {
  echo "$1" >"$JUMP_SPEC.tmp" && mv "$JUMP_SPEC.tmp" "$JUMP_SPEC"
  sleep 1.2
}

# Compares the screen with the composition of instant $1 in the disc of the
# hands (text left out); $2 a name for the files. The timestamp file is read
# at most once a second and the machine is shared, so the screen is given up
# to about 4 s to show the new instant.
jump_compare() {
  local instant="$1" name="$2" dir="$VESK_WORK/jump" frame shot mask n geometry size i
  frame="$dir/frame_$name.png"
  "$VISUAL_FRAME" --skin "$APP/face" --fonts "$APP/fonts" --time "$instant" --premultiplied --out "$frame" ||
    return 1
  timeout 20 convert "$frame" -alpha off "$dir/frame_${name}_rgb.png"
  for i in 1 2 3 4 5; do
    geometry="$(visual_window_geometry)" || return 1
    shot="$dir/screen_$name.png"
    visual_window_shot "$shot" "$geometry" || return 1
    set -- $geometry
    size="${3}x$4"
    mask="$dir/mask.png"
    [ -f "$mask" ] || visual_mask "$mask" "$size" disc 64 text
    n="$(visual_diff_count "$shot" "$dir/frame_${name}_rgb.png" "$mask")"
    [ "${n:-1}" = 0 ] && break
    sleep 0.7
  done
  note "$instant: $n pixels of the hands' disc differ from the composition (screenshot $i)"
  test "${n:-1}" = 0
}

scenario_jump_time() {
  local why step instant name
  JUMP_HOME="$HOME"
  mkdir -p "$VESK_WORK/jump"
  if ! why="$(visual_frame_tool)"; then
    echo "FAIL jump_time: the frame tool is not available: $why"
    return
  fi
  # The chime's sound goes nowhere (the machine has no sound card).
  echo 'pcm.!default { type null }' >"$JUMP_HOME/.asoundrc"
  trap 'rm -f "$JUMP_HOME/.asoundrc"; if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi' EXIT
  echo "2026-12-07 10:08:37" >"$JUMP_SPEC"
  (cd "$APP" && exec timeout -k 5 200 env TZ=Europe/Berlin LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    FAKETIME_TIMESTAMP_FILE="$JUMP_SPEC" FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
  vw_wait_window TfrmMain 40 || { echo "FAIL jump_time: the clock did not start"; return; }
  sleep 1.5
  check "jump_time: the face of the start instant" jump_compare "2026-12-07 10:08:37" start
  for step in "forward 5 s|2026-12-07 10:08:42" "back 5 s|2026-12-07 10:08:37" \
              "back an hour|2026-12-07 09:08:37" "forward a day|2026-12-08 09:08:37" \
              "resume 7 hours later|2026-12-08 16:23:51" "the year change|2027-01-01 00:00:03" \
              "spring DST (03:00 CEST)|2027-03-28 03:00:04" "autumn DST (02:xx CET)|2027-10-31 02:15:09"; do
    name="${step%%|*}"; instant="${step#*|}"
    jump_to "$instant"
    check "jump_time: $name: the face follows ($instant)" jump_compare "$instant" "$(tr -c 'a-z0-9\n' _ <<<"$name")"
  done
  check "jump_time: no box after the jumps" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
  # Set back from hh:05 to hh:00:00: the minute changed and is 0, so it chimes.
  jump_to "2026-12-07 10:05:00"
  check "jump_time: no chime at 10:05" test -z "$(find /proc/[0-9]*/fd -lname "$APP/sound/chime.mp3" 2>/dev/null | head -1)"
  jump_to "2026-12-07 10:00:00"
  jump_chimed() { chime_wait_file "$APP" open 5 >/dev/null; }
  check "jump_time: set back to 10:00:00 the chime sounds again" jump_chimed
  check "jump_time: still no box" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
  vw_stop_clock
}
