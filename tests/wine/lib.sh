# Helpers for the end-to-end tests of the Windows program under Wine and Xvfb.
# Source it from bash; every helper that waits has a deadline.
#
# Variables it sets or reads:
#   VESK_ROOT        the repository (set here)
#   VESK_BUILD_DIR   the Windows build to test (default build/windows)
#   VESK_WORK        scratch folder (default build/wine/e2e)
#   WINMSG           path of the console helper winmsg.exe (default: the build's)
#   CLOCK_PID        PID of the clock started by vw_start_clock
VESK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
VESK_BUILD_DIR="${VESK_BUILD_DIR:-$VESK_ROOT/build/windows}"
VESK_WORK="${VESK_WORK:-$VESK_ROOT/build/wine/e2e}"
WINMSG="${WINMSG:-$VESK_BUILD_DIR/tests/winmsg.exe}"
CLOCK_PID=""
mkdir -p "$VESK_WORK"

# Milliseconds since the epoch.
vw_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# ---- X server ---------------------------------------------------------------

# Starts a private Xvfb (1024x768x24) on a free display (-displayfd) and
# exports DISPLAY. Records the PID in $VESK_WORK/xvfb.pid.
vw_start_xvfb() {
  local fdfile="$VESK_WORK/display.txt" i
  rm -f "$fdfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" >"$VESK_WORK/xvfb.log" 2>&1 &
  echo $! >"$VESK_WORK/xvfb.pid"
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then
      export DISPLAY=":$(tr -d '\n' <"$fdfile")"
      timeout 5 xdpyinfo >/dev/null 2>&1 && return 0
    fi
    sleep 0.1
  done
  echo "Xvfb did not start" >&2
  return 1
}

vw_stop_xvfb() {
  if [ -f "$VESK_WORK/xvfb.pid" ]; then
    kill "$(cat "$VESK_WORK/xvfb.pid")" 2>/dev/null || true
    rm -f "$VESK_WORK/xvfb.pid"
  fi
}

# ---- Wine -------------------------------------------------------------------

# The environment of scripts/wine_env.sh with a prefix of the tests' own
# ($VESK_WORK/prefix, made once in about 15 s), so ending the tests' Wine
# processes never touches another program's. Keeps a wineserver alive for
# quick starts.
vw_wine_env() {
  # shellcheck source=/dev/null
  source "$VESK_ROOT/scripts/wine_env.sh"
  export WINEPREFIX="$VESK_WORK/prefix"
  export HOME="$VESK_WINE_HOME"
  wine_prefix_ready || return 1
  vw_unmanaged_tray
}

# Wine's own tray window (shown when the desktop has no tray) is made an
# unmanaged X window: the tests' X server has no window manager, and hiding
# a managed window waits 2 s for one, so removing the last icon (as every
# clock does at exit) would take 2 s. Explorer reads the setting when it
# starts, so the session is restarted once when it is first made.
vw_unmanaged_tray() {
  local stamp="$WINEPREFIX/vesk-tray-unmanaged"
  [ -f "$stamp" ] && return 0
  timeout 20 wine reg add 'HKCU\Software\Wine\AppDefaults\explorer.exe\X11 Driver' /v Managed /t REG_SZ /d N /f \
    >/dev/null 2>&1 || return 1
  wine_prefix_stop
  wine_prefix_ready || return 1
  touch "$stamp"
}

# Ends every process of the tests' prefix (scoped to $WINEPREFIX).
vw_kill_wine() {
  timeout 10 wineserver -k >/dev/null 2>&1 || true
  timeout 10 wineserver -w >/dev/null 2>&1 || true
}

# Runs the console helper; its output on stdout, bounded to 20 s.
vw_winmsg() { timeout 20 wine "$WINMSG" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }

# ---- the clock ----------------------------------------------------------------

# True while the process lives (a zombie counts as ended).
vw_alive() {
  local state
  state="$(ps -o stat= -p "$1" 2>/dev/null | tr -d ' ')"
  [ -n "$state" ] && [ "${state#Z}" = "$state" ]
}

# Starts the clock of the app folder $1 in the background (at most $2 s of
# life, default 120) and sets CLOCK_PID.
vw_start_clock() {
  local dir="$1" life="${2:-120}"
  (cd "$dir" && exec timeout -k 5 "$life" wine ./VeskClock.exe >"$VESK_WORK/clock.out" 2>&1) &
  CLOCK_PID=$!
}

# Waits until a window of class $1 exists, at most $2 seconds.
vw_wait_window() {
  local class="$1" max="${2:-30}" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_winmsg exists "$class" >/dev/null && return 0
    sleep 0.2
  done
  echo "no window of class $class after ${max}s" >&2
  return 1
}

# Waits until a message box captioned $1 is open, at most $2 seconds.
vw_wait_box() {
  local caption="$1" max="${2:-30}" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_winmsg dialog "$caption" >/dev/null && return 0
    sleep 0.2
  done
  echo "no message box '$caption' after ${max}s" >&2
  return 1
}

# Waits until process $1 has ended, at most $2 seconds.
vw_wait_exit() {
  local pid="$1" max="${2:-5}" end
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    vw_alive "$pid" || return 0
    sleep 0.05
  done
  return 1
}

# Waits for an X window whose name matches $1 (xdotool regex), at most $2 s;
# prints its id.
vw_wait_xwin() {
  local name="$1" max="${2:-10}" end id
  end=$(( $(vw_now_ms) + max * 1000 ))
  while [ "$(vw_now_ms)" -lt "$end" ]; do
    id="$(timeout 5 xdotool search --name "$name" 2>/dev/null | head -1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Closes the clock with WM_CLOSE and waits for the process (5 s: a dragged
# window takes about 2 s more to hide). A clock still running then is noted
# with its windows and asked once more (a second close request ends it at
# once, as a second Exit does); the prefix is killed as the last resort. The
# close scenarios time the first request themselves.
vw_stop_clock() {
  [ -n "$CLOCK_PID" ] || return 0
  vw_winmsg close TfrmMain >/dev/null
  if ! vw_wait_exit "$CLOCK_PID" 5; then
    note "the clock still runs 5 s after WM_CLOSE: $(vw_winmsg info TfrmMain | head -1); windows: $(vw_winmsg windows TfrmMain | tr '\n' ';')"
    vw_winmsg close TfrmMain >/dev/null
  fi
  if ! vw_wait_exit "$CLOCK_PID" 5; then
    vw_kill_wine
    vw_wait_exit "$CLOCK_PID" 5 || kill "$CLOCK_PID" 2>/dev/null
  fi
  CLOCK_PID=""
}

# ---- screen -----------------------------------------------------------------

vw_shot() { timeout 20 import -window root "$1"; }

# "r,g,b" of pixel (x, y) of an image file.
vw_px() {
  timeout 20 convert "$3" -format "%[fx:int(255*p{$1,$2}.r+.5)],%[fx:int(255*p{$1,$2}.g+.5)],%[fx:int(255*p{$1,$2}.b+.5)]" info:
}

# Left-drag from (x1, y1) to (x2, y2) in steps of at most 8 px, 30 ms apart:
# larger jumps can leave the pointer outside the window while Wine remaps it.
vw_drag() {
  local x=$1 y=$2 x2=$3 y2=$4 n dx dy i
  dx=$(( x2 - x )); dy=$(( y2 - y ))
  n=$(( (dx < 0 ? -dx : dx) > (dy < 0 ? -dy : dy) ? (dx < 0 ? -dx : dx) : (dy < 0 ? -dy : dy) ))
  n=$(( (n + 7) / 8 ))
  [ "$n" -ge 1 ] || n=1
  timeout 5 xdotool mousemove "$x" "$y"; sleep 0.1
  timeout 5 xdotool mousedown 1; sleep 0.1
  for i in $(seq 1 "$n"); do
    timeout 5 xdotool mousemove $(( x + dx * i / n )) $(( y + dy * i / n ))
    sleep 0.03
  done
  sleep 0.1
  timeout 5 xdotool mouseup 1
}

# ---- results ----------------------------------------------------------------

# check "description" command...: one PASS or FAIL line.
# Returns the command's success, so a scenario can stop after a failed step.
check() {
  local description="$1"
  shift
  if "$@"; then
    echo "PASS $description"
    return 0
  fi
  echo "FAIL $description"
  return 1
}
note() { echo "     $*"; }
skip() { echo "SKIP $*"; }
