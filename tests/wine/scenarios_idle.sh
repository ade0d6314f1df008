# The clock between two seconds, sourced by run_all.sh: what the running
# program does while nothing happens, and when the time changes under it.
# fault_probe.dll's record mode (`winmsg record`) sees each presentation
# with the clock's own local time, each opening of a media device and every
# message the program's loop dispatches, from inside the process.
# shellcheck shell=bash

ALL_SCENARIOS+=(idle_wakeups time_change)

IDLE_FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1

# "presents within_20ms twice skipped H0 H1 H2 H3 H4 H5" of the full-alpha
# presentations in the record $1: H counts them late by 0-5, 6-10, 11-15,
# 16-20, 21-50 and more ms after their second's boundary.
idle_present_summary() {
  awk '$1 == "present" && $4 == 255 {
         split($3, t, /[:.]/); s = (t[1] * 60 + t[2]) * 60 + t[3]; ms = t[4] + 0
         n++; h[ms <= 5 ? 0 : ms <= 10 ? 1 : ms <= 15 ? 2 : ms <= 20 ? 3 : ms <= 50 ? 4 : 5]++
         if (n > 1 && s == last) twice++
         if (n > 1 && s > last + 1) skipped += s - last - 1
         last = s
       }
       END { printf "%d %d %d %d %d %d %d %d %d %d\n", n, h[0] + h[1] + h[2] + h[3], twice, skipped,
                    h[0], h[1], h[2], h[3], h[4], h[5] }' "$1"
}

# Ten idle seconds after the fade-in: about one message a second (Timer1's
# tick), each second presented once, just after its boundary.
scenario_idle_wakeups() {
  local out="$VESK_WORK/idle_record.txt" summary messages timer1 ms presents within twice skipped
  vw_start_clock "$APP"
  vw_wait_window TfrmMain 40 || { echo "FAIL idle_wakeups: the clock did not start"; return; }
  sleep 2
  timeout 60 wine "$WINMSG" record TfrmMain 10 2>/dev/null | tr -d '\r' >"$out"
  check "idle_wakeups: the probe records inside the clock" grep -q '^patched=1' "$out" || { vw_stop_clock; return; }
  summary="$(grep '^messages=' "$out")"
  note "$summary"
  messages="$(sed -E 's/^messages=([0-9]+).*/\1/' <<<"$summary")"
  timer1="$(sed -E 's/.* timer1=([0-9]+).*/\1/' <<<"$summary")"
  ms="$(sed -E 's/.* ms=([0-9]+).*/\1/' <<<"$summary")"
  check "idle_wakeups: one message a second, Timer1's ($messages messages, $timer1 ticks in $ms ms)" \
    test "$timer1" -ge 9 -a "$timer1" -le 11 -a $(( messages * 1000 * 10 )) -le $(( ms * 13 ))
  read -r presents within twice skipped _ <<<"$(idle_present_summary "$out")"
  note "$presents seconds presented, $within within 20 ms of their boundary, $twice twice, $skipped skipped"
  check "idle_wakeups: every second presented once, none skipped" \
    test "$presents" -ge 9 -a "$twice" = 0 -a "$skipped" = 0
  check "idle_wakeups: all but at most one within 20 ms of the boundary" test "$within" -ge $(( presents - 1 ))
  vw_stop_clock
}

# The time set from 10:08:37 to 14:21:05 under a clock that stands still
# (libfaketime reading its timestamp file at every call, so the clock
# presents nothing until the time changes): on WM_TIMECHANGE, posted 300 ms
# after a tick of Timer1, the new time is presented within 50 ms, not at
# the next tick (about 700 ms later).
scenario_time_change() {
  local ts="$VESK_WORK/time_change.timestamp" out="$VESK_WORK/time_change_record.txt" posted first
  echo "2026-12-07 10:08:37" >"$ts"
  (cd "$APP" && exec timeout -k 5 120 env LD_PRELOAD="$IDLE_FAKETIME_LIB" FAKETIME_TIMESTAMP_FILE="$ts" \
    FAKETIME_NO_CACHE=1 FAKETIME_DONT_FAKE_MONOTONIC=1 wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
  vw_wait_window TfrmMain 40 || { echo "FAIL time_change: the clock did not start"; return; }
  sleep 2
  timeout 60 wine "$WINMSG" record TfrmMain 5 "$(winepath -w "$ts" 2>/dev/null)" "2026-12-07 14:21:05" 2>/dev/null |
    tr -d '\r' >"$out"
  posted="$(awk '$1 == "timechange" { print $2; exit }' "$out")"
  check "time_change: the time is set and WM_TIMECHANGE posted" test -n "$posted" || { vw_stop_clock; return; }
  first="$(awk -v p="$posted" '$1 == "present" && $2 >= p && $3 ~ /^14:21:05/ { print $2 - p; exit }' "$out")"
  note "14:21:05 presented ${first:-never} ms after the post"
  check "time_change: 14:21:05 presented within 50 ms" test -n "$first" && test "$first" -le 50
  vw_stop_clock
}
