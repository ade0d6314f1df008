# Scenarios of the hourly chime, sourced by run_all.sh. The clock is started
# under faketime just before (or after) a full hour; the sound goes to an
# ALSA file sink (48 kHz, stereo, 32-bit float; Wine pads it with silence, so
# only "non-silent" can be asserted, not timing or length). Whether the
# device is open is seen from outside as the chime file being open in one of
# the prefix's processes (the clock or the wineserver).
# shellcheck shell=bash

ALL_SCENARIOS+=(chime_hour chime_hidden chime_next_hour chime_late_start chime_unchecked chime_missing chime_corrupt)

CHIME_DAY="2026-12-07"

# ---- helpers ------------------------------------------------------------------

# Sends the sound of the programs started from now on to the file $1 (raw),
# until the scenario ends.
chime_sink() {
  rm -f "$1"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$1" format "raw" }
pcm.null { type null }
ASOUND
  trap 'if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi; rm -f "$HOME/.asoundrc"' EXIT
}

# Starts the clock of app folder $1 under faketime at the local instant $2
# (running on from it; $3 a speed factor such as x200). Wine's timers keep
# the real monotonic clock, so only the time of day runs faster. Sets
# CLOCK_PID.
chime_start_clock() {
  local dir="$1" when="@$2${3:+ $3}"
  (cd "$dir" && exec env FAKETIME_DONT_FAKE_MONOTONIC=1 timeout -k 5 120 faketime -f "$when" wine ./VeskClock.exe \
    >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
}

# "max rms" of the raw capture $1 from byte $2 on (default: all of it);
# "0 0" when there is nothing.
chime_levels() {
  local file="$1" from="${2:-0}" out
  [ -s "$file" ] && [ "$(stat -c %s "$file")" -gt "$from" ] || { echo "0 0"; return; }
  out="$(tail -c +$((from + 1)) "$file" |
    timeout 30 sox -t raw -r 48000 -c 2 -e floating-point -b 32 -L - -n stat 2>&1)"
  echo "$(sed -n 's/^Maximum amplitude: *//p' <<<"$out") $(sed -n 's/^RMS *amplitude: *//p' <<<"$out")"
}

# True when the levels "max rms" ($1) are those of a sound, not of silence.
chime_audible() {
  awk -v l="$1" 'BEGIN { split(l, v, " "); exit !(v[1] > 0.1 && v[2] > 0.01) }'
}

# True while some process has the chime file of app folder $1 open.
chime_file_open() {
  [ -n "$(find /proc/[0-9]*/fd -lname "$1/sound/chime.mp3" 2>/dev/null | head -1)" ]
}

# Waits until the chime file of $1 is open ($2 "open") or closed ($2
# "closed"), at most $3 seconds; prints the milliseconds since the epoch.
chime_wait_file() {
  local dir="$1" want="$2" max="$3" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    if chime_file_open "$dir"; then
      [ "$want" = open ] && { vw_now_ms; return 0; }
    else
      [ "$want" = closed ] && { vw_now_ms; return 0; }
    fi
    sleep 0.05
  done
  return 1
}

# The number of message boxes captioned "Vesk Clock" on the screen (X windows
# of that name besides the clock's own).
chime_boxes() {
  local n
  n="$(timeout 5 xdotool search --onlyvisible --name '^Vesk Clock$' 2>/dev/null | wc -l)"
  echo $(( n > 0 ? n - 1 : 0 ))
}

# ---- scenarios ------------------------------------------------------------------

# Started at hh:59:58: the chime sounds after hh:00:00 and the device is
# closed when it has ended.
scenario_chime_hour() {
  local capture="$VESK_WORK/chime_hour.raw" t0 t_open t_closed levels
  chime_sink "$capture"
  t0=$(vw_now_ms)
  chime_start_clock "$APP" "$CHIME_DAY 12:59:58"
  vw_wait_window TfrmMain 40 || { echo "FAIL chime_hour: the clock did not start"; return; }
  note "window after $(( $(vw_now_ms) - t0 )) ms (13:00:00 is at 2000 ms)"
  t_open="$(chime_wait_file "$APP" open 15)"
  check "chime_hour: the chime file is opened at the full hour" test -n "$t_open" || return
  note "chime file open $(( t_open - t0 - 2000 )) ms after 13:00:00 (polled every ~50 ms)"
  t_closed="$(chime_wait_file "$APP" closed 15)"
  check "chime_hour: the device is closed when the sound has ended" test -n "$t_closed"
  [ -n "$t_closed" ] && note "open for $(( t_closed - t_open )) ms (the chime lasts 3.66 s)"
  levels="$(chime_levels "$capture")"
  note "capture: $(stat -c %s "$capture" 2>/dev/null || echo 0) bytes, max/rms $levels"
  check "chime_hour: the capture is not silent" chime_audible "$levels"
  check "chime_hour: no error box" test "$(chime_boxes)" = 0
  mkdir -p "$VESK_WORK/screenshots"
  if [ -s "$capture" ]; then
    timeout 60 sox -t raw -r 48000 -c 2 -e floating-point -b 32 -L "$capture" -n remix 1 \
      spectrogram -o "$VESK_WORK/screenshots/chime_spectrogram.png" -t "chime capture (Wine, ALSA file sink)" 2>/dev/null &&
      note "spectrogram: $VESK_WORK/screenshots/chime_spectrogram.png"
  fi
  vw_stop_clock
}

# Hidden from its notification-area icon before the hour, the clock still
# chimes: hiding changes nothing but the window's visibility.
scenario_chime_hidden() {
  local capture="$VESK_WORK/chime_hidden.raw" t0 t_open levels
  chime_sink "$capture"
  t0=$(vw_now_ms)
  chime_start_clock "$APP" "$CHIME_DAY 12:59:48"
  vw_wait_window TfrmMain 40 || { echo "FAIL chime_hidden: the clock did not start"; return; }
  tray_wait_icons 1 10 || { echo "FAIL chime_hidden: no icon"; return; }
  tray_click 1
  check "chime_hidden: a left click on the icon hides the clock" tray_wait_visible 0 6 || return
  check "chime_hidden: the clock was hidden before 13:00:00" test $(( $(vw_now_ms) - t0 )) -lt 12000
  t_open="$(chime_wait_file "$APP" open 20)"
  check "chime_hidden: the chime file is opened at the full hour while hidden" test -n "$t_open" || return
  check "chime_hidden: the clock is still hidden when it chimes" test "$(tray_visible)" = 0
  check "chime_hidden: the device is closed when the sound has ended" test -n "$(chime_wait_file "$APP" closed 15)"
  levels="$(chime_levels "$capture")"
  note "capture max/rms $levels"
  check "chime_hidden: the capture is not silent" chime_audible "$levels"
  check "chime_hidden: no error box" test "$(chime_boxes)" = 0
  vw_stop_clock
}

# One chime at 13:00, none in the rest of that hour, and at 14:00 a second
# one: the chime file opened again after it had been closed shows that the
# first device was closed and a new one opened. The time of day comes from
# libfaketime's timestamp file (an offset from the real time, re-read once a
# second), set to 12:59:58, then 13:30:00, then 13:59:58. Only the first
# chime's sound is asserted: the process keeps its sound stream (and the
# sink its file) open after the first chime.
scenario_chime_next_hour() {
  local capture="$VESK_WORK/chime_next_hour.raw" ts="$VESK_WORK/chime_next_hour.timestamp" t0 t_open t_closed levels n
  chime_sink "$capture"
  chime_offset_to() {
    local offset=$(( $(date -d "$CHIME_DAY $1" +%s) - $(date +%s) ))
    [ "$offset" -ge 0 ] && offset="+$offset"
    echo "$offset" >"$ts.tmp" && mv "$ts.tmp" "$ts"
  }
  chime_offset_to 12:59:58
  t0=$(vw_now_ms)
  (cd "$APP" && exec timeout -k 5 120 env LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 FAKETIME_TIMESTAMP_FILE="$ts" \
    FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
  vw_wait_window TfrmMain 40 || { echo "FAIL chime_next_hour: the clock did not start"; return; }
  for n in 1 2; do
    t_open="$(chime_wait_file "$APP" open 15)"
    check "chime_next_hour: chime $n opens the chime file" test -n "$t_open" || return
    t_closed="$(chime_wait_file "$APP" closed 15)"
    check "chime_next_hour: chime $n is closed after its sound" test -n "$t_closed" || return
    note "chime $n: file open at $(( t_open - t0 )) ms, for $(( t_closed - t_open )) ms"
    if [ "$n" = 1 ]; then
      levels="$(chime_levels "$capture")"
      note "capture after chime 1: $(stat -c %s "$capture" 2>/dev/null || echo 0) bytes, max/rms $levels"
      check "chime_next_hour: chime 1 is heard" chime_audible "$levels"
      chime_offset_to 13:30:00
      check "chime_next_hour: nothing sounds in the rest of the hour" test -z "$(chime_wait_file "$APP" open 4)"
      chime_offset_to 13:59:58
    fi
  done
  vw_stop_clock
}

# Started at hh:00:30 and run as long as the chime of chime_hour: silence.
scenario_chime_late_start() {
  local capture="$VESK_WORK/chime_late.raw" levels
  chime_sink "$capture"
  chime_start_clock "$APP" "$CHIME_DAY 13:00:30"
  vw_wait_window TfrmMain 40 || { echo "FAIL chime_late_start: the clock did not start"; return; }
  check "chime_late_start: the chime file is not opened" test -z "$(chime_wait_file "$APP" open 7)"
  levels="$(chime_levels "$capture")"
  note "capture: $(stat -c %s "$capture" 2>/dev/null || echo 0) bytes, max/rms $levels"
  check "chime_late_start: the capture is silent" test "$(chime_audible "$levels"; echo $?)" = 1
  vw_stop_clock
}

# "Chimes" unchecked through the menu before the hour: silence at the hour.
scenario_chime_unchecked() {
  local capture="$VESK_WORK/chime_unchecked.raw" t0 levels
  chime_sink "$capture"
  t0=$(vw_now_ms)
  chime_start_clock "$APP" "$CHIME_DAY 12:59:52"
  vw_wait_window TfrmMain 40 || { echo "FAIL chime_unchecked: the clock did not start"; return; }
  sleep 1
  check "chime_unchecked: Settings, Chimes chosen with the keyboard" menu_pick_setting 3 || return
  note "unchecked $(( $(vw_now_ms) - t0 )) ms after the start (13:00:00 is at 8000 ms)"
  menu_open_at $MENU_RIM_LEFT && timeout 5 xdotool key Down Down Right && menu_wait_open 2 5
  check "chime_unchecked: Chimes shows no check mark" \
    test "$(menu_summary "On Top")" = "On Top+|Load at Startup+|Chimes"
  timeout 5 xdotool key Escape Escape
  menu_wait_closed 5
  check "chime_unchecked: unchecked before the hour" test $(( $(vw_now_ms) - t0 )) -lt 7500 || return
  check "chime_unchecked: the chime file is not opened at the hour" \
    test -z "$(chime_wait_file "$APP" open $(( (t0 + 13000 - $(vw_now_ms)) / 1000 )))"
  levels="$(chime_levels "$capture")"
  note "capture: $(stat -c %s "$capture" 2>/dev/null || echo 0) bytes, max/rms $levels"
  check "chime_unchecked: the capture is silent" test "$(chime_audible "$levels"; echo $?)" = 1
  vw_stop_clock
}

# An app folder whose chime cannot be opened ($2: "missing", or "corrupt":
# a fixed pattern without a single 0xFF byte, so no MP3 frame sync that a
# decoder could lock onto; random bytes now and then hold frames that decode
# to noise, and Wine's MCI then opens them): one error box with MCI's text
# at the hour, none again in that minute, silence, and the clock runs on and
# closes normally. The clock runs at 10 times the speed of the time of day,
# so minute 0 passes in 6 s.
chime_failing() {
  local name="$1" dir="$VESK_WORK/app-$1" capture="$VESK_WORK/$1.raw" t0 text first levels
  rm -rf "$dir"
  cp -r "$APP" "$dir"
  if [ "$2" = missing ]; then
    rm -f "$dir/sound/chime.mp3"
  else
    head -c 65536 /dev/zero | tr '\0' 'U' >"$dir/sound/chime.mp3"
  fi
  chime_sink "$capture"
  t0=$(vw_now_ms)
  chime_start_clock "$dir" "$CHIME_DAY 12:59:40" x10
  vw_wait_window TfrmMain 40 || { echo "FAIL $name: the clock did not start"; return; }
  check "$name: an error box captioned Vesk Clock appears at the hour" vw_wait_box "Vesk Clock" 20 || return
  note "box $(( $(vw_now_ms) - t0 )) ms after the start (13:00:00 is at 2000 ms)"
  text="$(vw_winmsg dialog "Vesk Clock")"
  note "$text"
  check "$name: it holds MCI's text, ending in one full stop" grep -q '^text=[A-Z].*[^.]\.$' <<<"$text"
  sleep 1
  check "$name: one box only, while it is open" test "$(chime_boxes)" = 1
  first="$(vw_now_ms)"
  vw_winmsg dismiss "Vesk Clock" >/dev/null
  # The rest of minute 0 and a little more (13:01:10 at 9 s).
  sleep "$(awk -v t=$(( 9000 - (first - t0) )) 'BEGIN { print (t > 1 ? t / 1000 : 1) }')"
  check "$name: no second box in that minute" test "$(vw_winmsg dialog "Vesk Clock" >/dev/null; echo $?)" = 2
  check "$name: the chime file is not held open" test "$(chime_file_open "$dir"; echo $?)" = 1
  levels="$(chime_levels "$capture")"
  note "capture: $(stat -c %s "$capture" 2>/dev/null || echo 0) bytes, max/rms $levels"
  check "$name: nothing audible" test "$(chime_audible "$levels"; echo $?)" = 1
  check "$name: the clock runs on" vw_alive "$CLOCK_PID"
  vw_winmsg close TfrmMain >/dev/null
  check "$name: WM_CLOSE still ends the program" vw_wait_exit "$CLOCK_PID" 5
  CLOCK_PID=""
}

scenario_chime_missing() { chime_failing chime_missing missing; }
scenario_chime_corrupt() { chime_failing chime_corrupt corrupt; }
