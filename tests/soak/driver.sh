# The soak's driver, sourced by tests/soak/soak.sh (which sets the tolerances,
# the phases and the paths, and sources the Wine helpers first).
# shellcheck shell=bash

FAKETIME_LIB=/usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1
SOAK_TS_FILE="$VESK_WORK/faketime.timestamp"
SOAK_CHIMES_FILE="$VESK_WORK/chimes.count"
SOAK_T0_MS=0           # real start of the clock process
SOAK_BASE_EPOCH=0      # clock time (epoch seconds) at SOAK_T0_MS
SOAK_CHIME_PID=""
SOAK_PULSE_PID=""
SOAK_STORE_KEY='HKCU\Software\VeskClock'

# Settings the driver set last: 1 checked, 0 not. All checked on a first run.
declare -A SOAK_SET=([1]=1 [2]=1 [3]=1)
SOAK_NAMES=([1]="OnTop1_Checked" [2]="LoadatStartup1_Checked" [3]="Chimes1_Checked")
SOAK_ACTIONS=0
SOAK_ACTION_FAILURES=0
SOAK_BOXES=0
SOAK_DRAG_SIGN=1

soak_cleanup() {
  [ -n "$SOAK_CHIME_PID" ] && kill "$SOAK_CHIME_PID" 2>/dev/null
  [ -n "$SOAK_PULSE_PID" ] && kill "$SOAK_PULSE_PID" 2>/dev/null
  timeout 20 wine reg delete "$TRAY_APP_X11_KEY" /f >/dev/null 2>&1
  if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi
  vw_kill_wine
  vw_stop_xvfb
}

# Epoch seconds of the local time $1 in the soak's time zone.
soak_epoch() { TZ="$SOAK_TZ" date -d "$1" +%s; }
# The local time of epoch seconds $1 in the soak's time zone.
soak_local() { TZ="$SOAK_TZ" date -d "@$1" '+%Y-%m-%d %H:%M:%S %Z'; }

# The clock's time now (epoch seconds), from the timestamp file's line in force.
soak_clock_epoch() {
  echo $(( SOAK_BASE_EPOCH + ( $(vw_now_ms) - SOAK_T0_MS ) * SPEED / 1000 ))
}

# Sets the running clock to the local time $1: libfaketime re-reads its
# timestamp file (at most once a second) and counts its "@" start from the
# process's own start, so the start written is the wanted time less the real
# time run since then, sped up.
soak_set_clock() {
  local want elapsed_ms
  want="$(soak_epoch "$1")"
  if [ "$SOAK_T0_MS" = 0 ]; then elapsed_ms=0; else elapsed_ms=$(( $(vw_now_ms) - SOAK_T0_MS )); fi
  SOAK_BASE_EPOCH=$(( want - elapsed_ms * SPEED / 1000 ))
  echo "@$(TZ="$SOAK_TZ" date -d "@$SOAK_BASE_EPOCH" '+%Y-%m-%d %H:%M:%S') x$SPEED" >"$SOAK_TS_FILE.tmp"
  mv "$SOAK_TS_FILE.tmp" "$SOAK_TS_FILE"
}

# Starts the clock of $APP under the sped-up, settable time. Only the wine
# process gets libfaketime (a sped-up `timeout` would fire early); Wine's
# timers keep the real monotonic clock, so only the time of day runs faster.
soak_start_clock() {
  local life="$1"
  (cd "$APP" && exec timeout -k 5 "$life" env TZ="$SOAK_TZ" LD_PRELOAD="$FAKETIME_LIB" \
    FAKETIME_TIMESTAMP_FILE="$SOAK_TS_FILE" FAKETIME_CACHE_DURATION=1 FAKETIME_DONT_FAKE_MONOTONIC=1 \
    wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
  SOAK_T0_MS=$(vw_now_ms)
}

# The Unix PID of the clock's wine process (the child of `timeout`).
soak_unix_pid() { ps -o pid= --ppid "$CLOCK_PID" 2>/dev/null | head -1 | tr -d ' '; }

# Counts the chimes: each time the chime file becomes open in one of the
# prefix's processes (the device is open from the chime to its end).
soak_watch_chimes() {
  local open=0 count=0 now
  echo 0 >"$SOAK_CHIMES_FILE"
  while :; do
    if [ -n "$(find /proc/[0-9]*/fd -lname "$APP/sound/chime.mp3" 2>/dev/null | head -1)" ]; then now=1; else now=0; fi
    if [ "$now" = 1 ] && [ "$open" = 0 ]; then count=$((count + 1)); echo "$count" >"$SOAK_CHIMES_FILE"; fi
    open=$now
    sleep 0.25
  done
}

# The window's place into WIN_X, WIN_Y (the menu and drag helpers use them).
soak_refresh_rect() {
  local r
  r="$(vw_winmsg rect TfrmMain)" || return 1
  WIN_X="$(cut -d' ' -f2 <<<"$r")"
  WIN_Y="$(cut -d' ' -f3 <<<"$r")"
}

# An open error box is counted, its text logged, and dismissed.
soak_check_box() {
  local text
  text="$(vw_winmsg dialog "Vesk Clock")" || return 0
  SOAK_BOXES=$((SOAK_BOXES + 1))
  echo "     box at $(soak_local "$(soak_clock_epoch)"): $text"
  vw_winmsg dismiss "Vesk Clock" >/dev/null
}

# One CSV row: real seconds, clock time, phase, the counts, boxes, chimes,
# actions.
soak_sample() {
  local phase="$1" line gdi user windows handles ws private rss upid t
  line="$(vw_winmsg resources TfrmMain)" || return 1
  gdi="$(sed -n 's/.* gdi=\([0-9]*\) .*/\1/p' <<<"$line")"
  user="$(sed -n 's/.* user=\([0-9]*\) .*/\1/p' <<<"$line")"
  handles="$(sed -n 's/.* handles=\([0-9]*\).*/\1/p' <<<"$line")"
  ws="$(sed -n 's/.* working_set=\([0-9]*\) .*/\1/p' <<<"$line")"
  private="$(sed -n 's/.* private=\([0-9]*\) .*/\1/p' <<<"$line")"
  windows="$(vw_winmsg windows TfrmMain | sed -n 's/^windows=\([0-9]*\)$/\1/p')"
  # Wine keeps no USER count (0): the process's windows stand in for it.
  [ "${user:-0}" = 0 ] && user="$windows"
  upid="$(soak_unix_pid)"
  rss="$(awk '/^VmRSS:/ {print $2}' "/proc/$upid/status" 2>/dev/null)"
  # Where the system keeps no handle count (0), the handle table's entries
  # of the process; where it reports no private bytes, the private pages of
  # the wine process (/proc).
  [ "${handles:-0}" = 0 ] && handles="$(vw_winmsg handles TfrmMain | sed -n 's/^handles=\([0-9]*\)$/\1/p')"
  if [ "${private:-0}" = 0 ]; then
    private=$(( $(awk '/^Private_(Clean|Dirty):/ {s += $2} END {print s + 0}' "/proc/$upid/smaps_rollup" 2>/dev/null) * 1024 ))
  fi
  t=$(( ( $(vw_now_ms) - SOAK_T0_MS ) / 1000 ))
  echo "$t,$(soak_local "$(soak_clock_epoch)"),$phase,$gdi,$user,$windows,$handles,$((ws / 1024)),$((private / 1024)),${rss:-0},$SOAK_BOXES,$(cat "$SOAK_CHIMES_FILE" 2>/dev/null || echo 0),$SOAK_ACTIONS" >>"$csv"
}

# ---- the driver's actions -----------------------------------------------------

# Hide and show from the icon: two clicks as the shell sends them, each
# checked to toggle the clock.
soak_act_tray() { grep -q 'clicks=2 toggled=2 ' <<<"$(vw_winmsg tray-clicks TTrayIconWindow TfrmMain 2)"; }

# A click on the empty screen (the black root) in the corner: it closes an
# open menu. (The clock's windows are unmanaged here, so the keyboard does not
# follow them: the driver uses the mouse only.)
soak_click_away() { timeout 5 xdotool mousemove 1010 750 click 1; }

# The menu opened on the clock's rim and closed by a click elsewhere.
soak_act_menu() {
  soak_refresh_rect || return 1
  menu_open_at $MENU_RIM_LEFT || { soak_click_away; return 1; }
  sleep 0.2
  soak_click_away
  menu_wait_closed 3
}

SOAK_CAPTIONS=([1]="On Top" [2]="Load at Startup" [3]="Chimes")

# Setting $1 (1 On Top, 2 Load at Startup, 3 Chimes) toggled in the menu
# with the mouse: the Settings submenu opened by pointing at it, the item
# clicked.
soak_act_toggle() {
  soak_refresh_rect || return 1
  if menu_open_at $MENU_RIM_LEFT && menu_point_at Settings && menu_wait_open 2 5 &&
     menu_point_at "${SOAK_CAPTIONS[$1]}" && sleep 0.2 && timeout 5 xdotool click 1 && menu_wait_closed 3; then
    SOAK_SET[$1]=$((1 - SOAK_SET[$1]))
    [ "$1" != 1 ] || menu_wait_topmost "${SOAK_SET[1]}"
  else
    soak_click_away; sleep 0.3; soak_click_away
    menu_wait_closed 3
    return 1
  fi
}

# The clock dragged by (40, 24) on its rim, back and forth.
soak_act_drag() {
  local x0 y0
  soak_refresh_rect || return 1
  x0=$WIN_X; y0=$WIN_Y
  set -- $MENU_RIM_LEFT
  vw_drag $((WIN_X + $1)) $((WIN_Y + $2)) $((WIN_X + $1 + 40 * SOAK_DRAG_SIGN)) $((WIN_Y + $2 + 24 * SOAK_DRAG_SIGN))
  timeout 5 xdotool mousemove 1010 750
  sleep 0.2
  soak_refresh_rect || return 1
  SOAK_DRAG_SIGN=$(( -SOAK_DRAG_SIGN ))
  [ "$WIN_X" != "$x0" ] || [ "$WIN_Y" != "$y0" ]
}

# Action number $1 of the cycle: icon, menu, a setting, icon, drag, ...
soak_action() {
  local k=$(( $1 % 6 )) ok=0
  case "$k" in
    0|3) soak_act_tray || ok=1 ;;
    1) soak_act_menu || ok=1 ;;
    2) soak_act_toggle $(( ($1 / 6) % 3 + 1 )) || ok=1 ;;
    4) soak_act_drag || ok=1 ;;
    5) soak_act_menu || ok=1 ;;
  esac
  SOAK_ACTIONS=$((SOAK_ACTIONS + 1))
  if [ "$ok" != 0 ]; then
    SOAK_ACTION_FAILURES=$((SOAK_ACTION_FAILURES + 1))
    echo "     action $1 (kind $k) did not complete at $(soak_local "$(soak_clock_epoch)")"
  fi
}

# ---- checks -------------------------------------------------------------------

# The median of column $1 of the CSV rows from real second $2 on, first or
# last three ($3 head|tail).
soak_median() {
  awk -F, -v c="$1" -v from="$2" 'NR > 1 && $1 >= from { print $c }' "$csv" | "$3" -3 | sort -n | sed -n 2p
}

# Checks the registry against the settings the driver set last.
soak_check_registry() {
  local i got run_value want_text out
  run_value="$(menu_run_value VeskClock)" || run_value=""
  if [ "${SOAK_SET[2]}" = 1 ]; then
    result "$( [ -n "$run_value" ]; echo $?)" "soak: Load at Startup checked last, the Run value is there ($run_value)"
  else
    result "$( [ -z "$run_value" ]; echo $?)" "soak: Load at Startup unchecked last, no Run value"
  fi
  out="$(timeout 20 wine reg query "$SOAK_STORE_KEY" 2>/dev/null | tr -d '\r')" || out=""
  if [ -z "$out" ] && [ ! -f "$VESK_ROOT/src/desktop/form_storage.h" ]; then
    echo "SKIP soak: this build keeps no settings (no settings storage)"
    return
  fi
  echo "     stored: $(sed -n 's/^    \([^ ]*\)    REG_SZ    \(.*\)$/\1=\2/p' <<<"$out" | tr '\n' ' ')"
  for i in 1 2 3; do
    if [ "${SOAK_SET[$i]}" = 1 ]; then want_text=True; else want_text=False; fi
    got="$(sed -n "s/^    ${SOAK_NAMES[$i]}    REG_SZ    \(.*\)\$/\1/p" <<<"$out")"
    result "$( [ "$got" = "$want_text" ]; echo $?)" "soak: ${SOAK_NAMES[$i]} is the last state set ($want_text, stored '$got')"
  done
  got="$(sed -n 's/^    NormPos    REG_SZ    \([-0-9]*,[-0-9]*\),.*$/\1/p' <<<"$out")"
  result "$( [ "$got" = "$SOAK_LAST_X,$SOAK_LAST_Y" ]; echo $?)" \
    "soak: NormPos holds the last place dragged to ($SOAK_LAST_X,$SOAK_LAST_Y; stored '$got')"
}

# Compares the end of column $1 (named $2) with its start; $3 the tolerance.
soak_check_growth() {
  local start end
  start="$(soak_median "$1" "$WARMUP_S" head)"
  end="$(soak_median "$1" "$WARMUP_S" tail)"
  if [ -z "$start" ] || [ -z "$end" ]; then result 1 "soak: $2 sampled"; return; fi
  result "$( [ "$end" -le $((start + $3)) ]; echo $?)" "soak: $2 $start -> $end (at most +$3)"
}

# Handles: the growth summed over the intervals between samples in which no
# chime started, against the tolerance; the growth in intervals with a chime
# is reported per chime.
soak_check_handles() {
  local line quiet chimed n
  line="$(awk -F, -v from="$WARMUP_S" 'NR > 1 && $1 >= from {
      if (seen) { d = $7 - h; if ($12 == c) q += d; else { w += d; n += $12 - c } }
      h = $7; c = $12; seen = 1 }
    END { printf "%d %d %d", q, w, n }' "$csv")"
  read -r quiet chimed n <<<"$line"
  echo "     handles: +$chimed over $n chimes ($(( n > 0 ? chimed / n : 0 )) a chime, Wine's MCI), +$quiet elsewhere"
  result "$( [ "$quiet" -le "$TOL_HANDLES" ]; echo $?)" "soak: handles outside the chimes grow $quiet (at most +$TOL_HANDLES)"
}

# ---- the run ------------------------------------------------------------------

soak_run() {
  local minutes="$1" total_ms phase_ms start_ms now next_sample=0 i=0 p=0 phase upid t_end
  trap '[ -n "$SOAK_CHIME_PID" ] && kill "$SOAK_CHIME_PID" 2>/dev/null
        [ -n "$SOAK_PULSE_PID" ] && kill "$SOAK_PULSE_PID" 2>/dev/null
        if [ -n "$CLOCK_PID" ] && vw_alive "$CLOCK_PID"; then vw_stop_clock; fi' EXIT
  total_ms=$(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60000 }')
  phase_ms=$(( total_ms / ${#PHASES[@]} ))
  echo "soak: $minutes min real at x$SPEED in $SOAK_TZ, phases ${PHASES[*]} of $((phase_ms / 1000)) s"
  echo "t_real_s,clock,phase,gdi,user,windows,handles,working_set_kib,private_kib,rss_kib,boxes,chimes,actions" >"$csv"

  # A first run: no stored settings, a writable Run key without the value,
  # and the clock's windows unmanaged (no window manager answers a hide).
  timeout 20 wine reg delete "$SOAK_STORE_KEY" /f >/dev/null 2>&1
  menu_clean_run VeskClock
  timeout 20 wine reg add "$TRAY_APP_X11_KEY" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1

  SOAK_T0_MS=0
  soak_set_clock "${PHASE_START[${PHASES[0]}]}"
  soak_start_clock $(( total_ms / 1000 + 120 ))
  vw_wait_window TfrmMain 60 && tray_wait_icons 1 20 || { echo "FAIL soak: the clock did not start"; return; }
  soak_watch_chimes &
  SOAK_CHIME_PID=$!
  # The clock's timer runs on real time, once a second, while its time of
  # day runs SPEED times as fast: left alone it would read the clock every
  # SPEED clock seconds and miss the minute of most full hours. The driver
  # therefore announces a change of the time (WM_TIMECHANGE, as the system
  # does when the time is set) every PULSE_MS, which the clock answers with
  # a tick at once, so every clock minute gets a tick.
  timeout -k 5 $(( total_ms / 1000 + 60 )) wine "$WINMSG" pulse TfrmMain 0x1E "$PULSE_MS" >/dev/null 2>&1 &
  SOAK_PULSE_PID=$!
  sleep 2
  start_ms=$(vw_now_ms)
  phase="${PHASES[0]}"
  echo "     phase $phase from $(soak_local "$(soak_clock_epoch)")"

  while :; do
    now=$(( $(vw_now_ms) - start_ms ))
    [ "$now" -lt "$total_ms" ] || break
    if [ $(( now / phase_ms )) -gt "$p" ] && [ $((p + 1)) -lt ${#PHASES[@]} ]; then
      p=$((p + 1)); phase="${PHASES[$p]}"
      soak_set_clock "${PHASE_START[$phase]}"
      sleep 1.2  # the timestamp file is re-read at most once a second
      echo "     phase $phase from $(soak_local "$(soak_clock_epoch)")"
    fi
    vw_alive "$CLOCK_PID" || { echo "FAIL soak: the clock ended by itself after $((now / 1000)) s"; return; }
    soak_check_box
    if [ "$now" -ge "$next_sample" ]; then
      soak_sample "$phase" || echo "     no sample at $((now / 1000)) s"
      next_sample=$(( now + SAMPLE_S * 1000 ))
    fi
    [ -n "${SOAK_IDLE:-}" ] || soak_action "$i"
    i=$((i + 1))
    sleep 0.3
  done

  soak_check_box
  soak_sample "$phase"
  soak_refresh_rect
  SOAK_LAST_X=$WIN_X; SOAK_LAST_Y=$WIN_Y
  t_end="$(soak_local "$(soak_clock_epoch)")"
  echo "     end: $t_end after $(( ( $(vw_now_ms) - start_ms ) / 1000 )) s, $SOAK_ACTIONS actions" \
       "($SOAK_ACTION_FAILURES not completed), chimes $(cat "$SOAK_CHIMES_FILE"), boxes $SOAK_BOXES"
  echo "     first sample: $(sed -n 2p "$csv")"
  echo "     last sample:  $(tail -1 "$csv")"
  upid="$(soak_unix_pid)"

  kill "$SOAK_PULSE_PID" 2>/dev/null; SOAK_PULSE_PID=""
  # Closed normally: WM_CLOSE, the fade-out, the save.
  vw_winmsg close TfrmMain >/dev/null
  result "$(vw_wait_exit "$CLOCK_PID" 10; echo $?)" "soak: the clock closes normally at the end"
  CLOCK_PID=""
  kill "$SOAK_CHIME_PID" 2>/dev/null; SOAK_CHIME_PID=""

  result "$( [ "$SOAK_BOXES" -le "$TOL_BOXES" ]; echo $?)" "soak: no error box appeared ($SOAK_BOXES)"
  result "$( [ "$SOAK_ACTION_FAILURES" -le $(( SOAK_ACTIONS / 50 + 2 )) ]; echo $?)" \
    "soak: the driver's actions completed ($SOAK_ACTION_FAILURES of $SOAK_ACTIONS did not; at most 2%+2)"
  result "$( [ "$(cat "$SOAK_CHIMES_FILE")" -gt 0 ]; echo $?)" "soak: the chime sounded ($(cat "$SOAK_CHIMES_FILE") times)"
  soak_check_growth 4 "GDI objects" "$TOL_GDI"
  soak_check_growth 5 "USER objects" "$TOL_USER"
  soak_check_handles
  soak_check_growth 8 "working set KiB" "$TOL_WS_KIB"
  soak_check_growth 9 "private memory KiB" "$TOL_PRIVATE_KIB"
  soak_check_registry
}
