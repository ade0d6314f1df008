# The real program under a system clock that jumps, and with one of its
# user32 calls made to fail (fault_probe.dll, loaded by `winmsg fault`),
# sourced by run_all.sh
# (after scenarios_visual.sh, whose helpers it uses). The clock stands still
# at one instant after another (libfaketime's timestamp file, re-read once a
# second, in a time zone with daylight-saving changes): forward and back by
# seconds, an hour and a day, across both daylight-saving changes and the
# year. After each jump the face on the screen must equal the frame tool's
# composition of the new instant (hands and dial; the text is drawn by
# another renderer), no box may appear, and setting the clock back to a
# full hour chimes again.
# shellcheck shell=bash

ALL_SCENARIOS+=(jump_time fault_present fault_timer fault_start)
SCENARIO_DEADLINES[fault_start]=150
SCENARIO_DEADLINES[jump_time]=240

JUMP_TIMESTAMP="$VESK_WORK/jump_time.timestamp"

# Stands the running clock still at local instant $1 and waits until
# libfaketime can have read it.
jump_to() {
  echo "$1" >"$JUMP_TIMESTAMP.tmp" && mv "$JUMP_TIMESTAMP.tmp" "$JUMP_TIMESTAMP"
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
  echo "2026-12-07 10:08:37" >"$JUMP_TIMESTAMP"
  (cd "$APP" && exec timeout -k 5 200 env TZ=Europe/Berlin LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    FAKETIME_TIMESTAMP_FILE="$JUMP_TIMESTAMP" FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
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

# ---- failing system calls -------------------------------------------------------

# Makes the clock's next $2 calls (-1: all) of $1 fail with error $3 in the
# background; the helper reports the failures made into FAULT_OUT.
fault_inject() {
  FAULT_OUT="$VESK_WORK/fault_${1%%#*}.out"
  timeout 120 wine "$WINMSG" fault TfrmMain "$1" "$2" "${3:-5}" >"$FAULT_OUT" 2>/dev/null &
  local end=$(( $(vw_now_ms) + 10000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    grep -q '^patched=1' "$FAULT_OUT" 2>/dev/null && return 0
    grep -q '^patched=0' "$FAULT_OUT" 2>/dev/null && return 1
    sleep 0.1
  done
  return 1
}
fault_failed() { tr -d '\r' <"$FAULT_OUT" | sed -n 's/^failed=//p' | tail -1; }
fault_boxes() { vw_winmsg boxes "Vesk Clock" | sed -n 's/^boxes=//p'; }
# How many pixels of the face differ between two screenshots 1.2 s apart
# ($1 names the files).
fault_face_moved() {
  visual_window_shot "$VESK_WORK/$1_a.png" "$WIN_X $WIN_Y 150 150"
  sleep 1.2
  visual_window_shot "$VESK_WORK/$1_b.png" "$WIN_X $WIN_Y 150 150"
  timeout 20 compare -metric AE "$VESK_WORK/$1_a.png" "$VESK_WORK/$1_b.png" null: 2>&1 | cut -d' ' -f1
}

# UpdateLayeredWindow failing once, then from now on (it is called every
# second and every 10 ms of a fade): one plain box with the system's text, no
# second one while it is open nor within the minute after its dismissal; after
# a single failure the face is presented again at the next second; the clock
# goes on and closes normally.
scenario_fault_present() {
  local text failed_open count how moved
  for count in 1 -1; do
    how=$([ "$count" = 1 ] && echo once || echo lasting)
    vw_start_clock "$APP"
    vw_wait_window TfrmMain 40 || { echo "FAIL fault_present: the clock did not start"; return; }
    sleep 1.5
    check "fault_present: UpdateLayeredWindow made to fail (access denied, $how)" \
      fault_inject UpdateLayeredWindow "$count" 5 || return
    check "fault_present: $how: a box captioned Vesk Clock appears" vw_wait_box "Vesk Clock" 10 || return
    text="$(vw_winmsg dialog "Vesk Clock")"
    note "$text"
    check "fault_present: $how: it holds the system's text for the error" test -n "${text#text=}"
    sleep 3
    failed_open="$(fault_failed)"
    if [ "$count" = 1 ]; then
      check "fault_present: once: one box, one call failed ($failed_open)" \
        test "$(fault_boxes)" = 1 -a "${failed_open:-0}" = 1
    else
      check "fault_present: lasting: one box while the calls go on failing ($failed_open failed)" \
        test "$(fault_boxes)" = 1 -a "${failed_open:-0}" -ge 3
    fi
    vw_winmsg dismiss "Vesk Clock" >/dev/null
    sleep 4
    if [ "$count" = 1 ]; then
      # Presented again: the second hand moves between two screenshots.
      moved="$(fault_face_moved fault_present)"
      check "fault_present: once: after its dismissal no box, and the face is presented again ($moved pixels moved)" \
        test "$(fault_boxes)" = 0 -a "${moved:-0}" -gt 0
    else
      check "fault_present: lasting: after its dismissal no box within the minute ($(fault_failed) failed)" \
        test "$(fault_boxes)" = 0 -a "$(fault_failed)" -gt "${failed_open:-0}"
    fi
    check "fault_present: $how: the clock runs on" vw_alive "$CLOCK_PID"
    vw_winmsg close TfrmMain >/dev/null
    check "fault_present: $how: and closes normally" vw_wait_exit "$CLOCK_PID" 8
    CLOCK_PID=""
  done
}

# The fade timer's creation failing once, then from now on: the close
# request that starts the fade-out cannot start the fade timer; that is
# reported (error icon, "Not enough timers available.") once, the clock goes
# on, and the next close request (allowed once a close has begun) ends it.
# Then Timer1's re-arming failing from now on: reported once, and the clock
# still ticks (the timer runs on at its last period).
scenario_fault_timer() {
  local text count how moved
  for count in 1 -1; do
    how=$([ "$count" = 1 ] && echo once || echo lasting)
    vw_start_clock "$APP"
    vw_wait_window TfrmMain 40 || { echo "FAIL fault_timer: the clock did not start"; return; }
    sleep 1.5
    check "fault_timer: SetTimer of the fade timer made to fail ($how)" fault_inject "SetTimer#2" "$count" 8 || return
    vw_winmsg close TfrmMain >/dev/null
    check "fault_timer: $how: a box captioned Vesk Clock appears" vw_wait_box "Vesk Clock" 10 || return
    text="$(vw_winmsg dialog "Vesk Clock")"
    note "$text"
    check "fault_timer: $how: it says Not enough timers available." test "$text" = "text=Not enough timers available."
    sleep 2
    check "fault_timer: $how: one box, the clock still runs" \
      test "$(fault_boxes)" = 1 -a "$(vw_alive "$CLOCK_PID"; echo $?)" = 0
    vw_winmsg dismiss "Vesk Clock" >/dev/null
    sleep 0.5
    vw_winmsg close TfrmMain >/dev/null
    check "fault_timer: $how: the next close request ends the program" vw_wait_exit "$CLOCK_PID" 8
    CLOCK_PID=""
  done
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL fault_timer: the clock did not start"; return; }
  sleep 1.5
  check "fault_timer: SetTimer of Timer1 made to fail (lasting)" fault_inject "SetTimer#1" -1 8 || return
  check "fault_timer: Timer1: a box captioned Vesk Clock appears" vw_wait_box "Vesk Clock" 10 || return
  check "fault_timer: Timer1: it says Not enough timers available." \
    test "$(vw_winmsg dialog "Vesk Clock")" = "text=Not enough timers available."
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  sleep 1
  moved="$(fault_face_moved fault_timer)"
  check "fault_timer: Timer1: the face still changes every second ($moved pixels moved, $(fault_failed) calls failed)" \
    test "${moved:-0}" -gt 0 -a "$(fault_failed)" -ge 1
  vw_stop_clock
}

# Calls of the start made to fail from the first one on, through the
# stand-in msimg32.dll in a copy of the app folder (tests/fault_start): the
# layered style (reported in a plain box with the system's text, one box at
# a time; the window then cannot be presented, which is a further failure of
# its own), the screen's device context (GetDC; the update needs none, so
# nothing to report and the face is shown) and the private fonts (the
# substitutes draw; nothing reported). The clock runs on and closes each
# time.
scenario_fault_start() {
  local dir="$VESK_WORK/app-fault" fault what rect x y seen text i expected got
  rm -rf "$dir"
  cp -r "$APP" "$dir"
  cp "$VESK_BUILD_DIR/tests/fault_start/msimg32.dll" "$dir/" || { echo "FAIL fault_start: no stand-in msimg32.dll"; return; }
  for fault in "SetWindowLongPtrW:-1:5|the layered style" "GetDC:-1:8|the screen's device context" \
              "AddFontResourceExW:-1:2|the private fonts"; do
    what="${fault#*|}"; fault="${fault%%|*}"
    rm -f "$dir/fault.log"
    (cd "$dir" && exec timeout -k 5 60 env VESK_FAULT="$fault" VESK_FAULT_LOG=fault.log WINEDLLOVERRIDES="$WINEDLLOVERRIDES;msimg32=n" \
      wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
    CLOCK_PID=$!
    vw_wait_window TfrmMain 40 || { echo "FAIL fault_start: $what: the clock did not start"; continue; }
    seen=0
    for i in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15; do
      [ "$(fault_boxes)" -le 1 ] || seen=2
      sleep 0.2
    done
    if [ "${fault%%:*}" = SetWindowLongPtrW ]; then
      text="$(vw_winmsg dialog "Vesk Clock")"
      note "$what: $text"
      check "fault_start: $what failing: a plain box with the system's text" test "$text" = "text=Access denied."
      check "fault_start: $what failing: one box at a time" test "$seen" = 0
      # Dismissed, the failure of the presentation that follows may show
      # once; it too is dismissed.
      for i in 1 2 3; do vw_winmsg dismiss "Vesk Clock" >/dev/null; sleep 1; done
    else
      check "fault_start: $what failing: nothing is reported" test "$(fault_boxes)" = 0
      rect="$(vw_winmsg rect TfrmMain)"
      x="$(cut -d' ' -f2 <<<"$rect")"; y="$(cut -d' ' -f3 <<<"$rect")"
      vw_shot "$VESK_WORK/fault_start.png"
      expected="$(skin_px clockface.png 10 75)"
      got="$(vw_px $((x + 10)) $((y + 75)) "$VESK_WORK/fault_start.png")"
      check "fault_start: $what failing: the face is shown ($got)" test "$got" = "${expected%,*}"
    fi
    check "fault_start: $what failing: the clock runs" vw_alive "$CLOCK_PID"
    vw_winmsg close TfrmMain >/dev/null
    check "fault_start: $what failing: and closes" vw_wait_exit "$CLOCK_PID" 8
    CLOCK_PID=""
    note "$what: $(tr -d '\r' <"$dir/fault.log" 2>/dev/null)"
    check "fault_start: $what: the calls did fail" grep -q '^patched=1 failed=[1-9]' "$dir/fault.log"
  done
}
