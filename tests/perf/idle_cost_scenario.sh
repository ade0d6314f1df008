# The idle cost of one build, as a scenario of tests/wine/run_all.sh (sourced
# through VESK_EXTRA_SCENARIOS by tests/perf/idle_cost.sh, never part of the
# test command). After the fade-in the clock is left alone for
# IDLE_COST_MINUTES; measured from outside (/proc) and inside (winmsg
# record, summed by scenarios_idle.sh's idle_present_summary). Then a
# second start under faketime just before a full hour gives the memory
# after the first chime and the moment its device is opened.
# Writes key=value lines to $VESK_WORK/idle_cost.txt.
# shellcheck shell=bash

SCENARIO_DEADLINES[idle_cost]=$(( ${IDLE_COST_MINUTES:-10} * 60 + 400 ))

# "utime+stime" clock ticks of process $1.
idle_cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
idle_ctx() { sed -n 's/^voluntary_ctxt_switches:\s*//p' "/proc/$1/task/$2/status" 2>/dev/null || echo 0; }
# "private working_set" in KiB of the clock, process $1: Wine reports no
# private bytes, so they are the private pages of the process from /proc.
idle_memory() {
  local ws
  ws="$(vw_winmsg resources TfrmMain | sed -E 's/.* working_set=([0-9]+).*/\1/')"
  echo "$(awk '/^Private_(Clean|Dirty):/ { s += $2 } END { print s + 0 }' "/proc/$1/smaps_rollup" 2>/dev/null) $((${ws:-0} / 1024))"
}

scenario_idle_cost() {
  local minutes="${IDLE_COST_MINUTES:-10}" out="$VESK_WORK/idle_cost.txt" record="$VESK_WORK/idle_cost_record.txt"
  local hz server pid t0 t1 c0 c1 s0 s1 x0 x1 recorder mem1 mem_end base0 base1 seconds
  local n within twice skipped h0 h1 h2 h3 h4 h5
  hz="$(getconf CLK_TCK)"
  : >"$out"
  # The newest wineserver: this run's prefix (its binary is wineserver64).
  server="$(pgrep -n -x wineserver64 || pgrep -n -x wineserver)"
  # wineserver alone for 30 s, before the clock.
  base0="$(idle_cpu_ticks "$server")"; sleep 30; base1="$(idle_cpu_ticks "$server")"
  echo "wineserver_before_pct=$(awk -v d=$((base1 - base0)) -v hz="$hz" 'BEGIN { printf "%.2f", 100 * d / hz / 30 }')" >>"$out"
  vw_start_clock "$APP" $(( minutes * 60 + 200 ))
  vw_wait_window TfrmMain 40 || { echo "FAIL idle_cost: the clock did not start"; return; }
  sleep 3
  pid="$(pgrep -x VeskClock.exe | head -1)"
  check "idle_cost: the clock's process is found" test -n "$pid" || return
  timeout $(( minutes * 60 + 60 )) wine "$WINMSG" record TfrmMain $(( minutes * 60 )) 2>/dev/null | tr -d '\r' >"$record" &
  recorder=$!
  sleep 2
  t0=$(vw_now_ms); c0="$(idle_cpu_ticks "$pid")"; s0="$(idle_cpu_ticks "$server")"; x0="$(idle_ctx "$pid" "$pid")"
  sleep 58
  mem1="$(idle_memory "$pid")"
  wait "$recorder"
  t1=$(vw_now_ms); c1="$(idle_cpu_ticks "$pid")"; s1="$(idle_cpu_ticks "$server")"; x1="$(idle_ctx "$pid" "$pid")"
  mem_end="$(idle_memory "$pid")"
  vw_stop_clock
  seconds="$(awk -v ms=$((t1 - t0)) 'BEGIN { print ms / 1000 }')"
  {
    echo "seconds=$seconds"
    awk -v d=$((c1 - c0)) -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v hz="$hz" -v t="$seconds" 'BEGIN {
      printf "clock_cpu_pct=%.2f\nwineserver_cpu_pct=%.2f\nctx_per_s=%.1f\n", 100 * d / hz / t, 100 * s / hz / t, x / t }'
    sed -nE 's/^messages=([0-9]+) timer1=([0-9]+) fade=([0-9]+) other_timers=([0-9]+) ms=([0-9]+)/messages=\1\ntimer1=\2\nrecord_ms=\5/p' "$record"
    read -r n within twice skipped h0 h1 h2 h3 h4 h5 <<<"$(idle_present_summary "$record")"
    echo "presents=$n"
    echo "within20_pct=$(awk -v w="$within" -v n="$n" 'BEGIN { printf "%.1f", n ? 100 * w / n : 0 }')"
    echo "histogram=$h0/$h1/$h2/$h3/$h4/$h5"
    echo "twice=$twice"
    echo "skipped=$skipped"
    echo "private_1min_kib=${mem1% *}"
    echo "ws_1min_kib=${mem1#* }"
    echo "private_end_kib=${mem_end% *}"
    echo "ws_end_kib=${mem_end#* }"
  } >>"$out"
  sed -n 's/^messages=\(.*\)/&/p; s/^timer1=.*/&/p' "$out" | tr '\n' ' '; echo
  check "idle_cost: $minutes idle minutes measured" test -s "$record"

  # The first chime: started at 10:59:57, recorded across the hour; the
  # memory once the device has been closed again.
  echo 'pcm.!default { type null }' >"$HOME/.asoundrc"
  (cd "$APP" && exec env FAKETIME_DONT_FAKE_MONOTONIC=1 timeout -k 5 60 faketime -f "@2026-12-07 10:59:55" \
    wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
  vw_wait_window TfrmMain 40 || { echo "FAIL idle_cost: the clock did not start for the chime"; return; }
  timeout 60 wine "$WINMSG" record TfrmMain 12 2>/dev/null | tr -d '\r' >"$VESK_WORK/idle_cost_chime.txt"
  mem1="$(idle_memory "$(pgrep -n -x VeskClock.exe)")"
  vw_stop_clock
  rm -f "$HOME/.asoundrc"
  {
    awk '$1 == "present" && $3 ~ /^11:00:00/ && !p { p = $2 } $1 == "open" && !o { o = $2; at = $3 }
         END { printf "chime_open_at=%s\nchime_open_after_present_ms=%s\n", at, o && p ? o - p : "" }' \
      "$VESK_WORK/idle_cost_chime.txt"
    echo "private_chime_kib=${mem1% *}"
    echo "ws_chime_kib=${mem1#* }"
  } >>"$out"
  check "idle_cost: the first chime measured" grep -q '^chime_open_at=11:00:00' "$out"
  cat "$out"
}
