# Scenarios of the hourly chime, sourced by run_all.sh. The clock is started
# under faketime just before (or after) a full hour; the sound goes to an
# ALSA file sink (48 kHz, stereo, 32-bit float; Wine pads it with silence, so
# only "non-silent" can be asserted, not timing or length). Whether the
# device is open is seen from outside as the chime file being open in one of
# the prefix's processes (the clock or the wineserver).
# shellcheck shell=bash

ALL_SCENARIOS+=(chime_hour chime_next_hour chime_late_start chime_unchecked chime_missing chime_corrupt)

CHIME_DAY="2026-12-07"

# ---- helpers ------------------------------------------------------------------

# Sends the sound of the programs started from now on to the file $1 (raw).
chime_sink() {
  rm -f "$1"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default { type file slave.pcm "null" file "$1" format "raw" }
pcm.null { type null }
ASOUND
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
