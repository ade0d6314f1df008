#!/usr/bin/env bash
# Runs the clock under Wine on Linux (on Windows, VeskClock.exe runs by itself
# from a folder that holds face\, sound\ and fonts\ beside it). This script:
#   1. installs what is needed (scripts/setup.sh, idempotent),
#   2. cross-builds the Windows program (cmake preset "windows"),
#   3. assembles build/wine/app: VeskClock.exe with face\, sound\, fonts\,
#   4. runs it under Wine on the current $DISPLAY until it is closed (right-
#      click menu "Exit" once that exists, or close it from outside).
# Without a display it starts a private Xvfb, lets the clock run for a few
# seconds, saves a screenshot of the screen and prints its path.
#
#   scripts/run.sh [SECONDS]   SECONDS: how long to run without a display (default 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-5}"

"$root/scripts/setup.sh"
cmake --preset windows >build/run-configure.log 2>&1 || { cat build/run-configure.log; exit 1; }
cmake --build --preset windows --target VeskClock >build/run-build.log 2>&1 || { tail -40 build/run-build.log; exit 1; }
app="$root/build/wine/app"
"$root/scripts/assemble_app.sh" "$root/build/windows" "$app" >/dev/null

# shellcheck source=scripts/wine_env.sh
source "$root/scripts/wine_env.sh"
export HOME="$VESK_WINE_HOME"
wine_prefix_ready

if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  echo "run: starting the clock on display $DISPLAY (close it to end this script)"
  cd "$app"
  exec wine ./VeskClock.exe
fi

echo "run: no display found; running the clock for ${seconds}s on a private Xvfb and taking a screenshot"
work="$root/build/wine/run"
mkdir -p "$work"
rm -f "$work/display.txt"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display.txt" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
clock_pid=""
cleanup() {
  # Ends only the clock started here (timeout passes the signal on to it).
  if [ -n "$clock_pid" ]; then
    kill "$clock_pid" 2>/dev/null || true
    for _ in $(seq 1 50); do kill -0 "$clock_pid" 2>/dev/null || break; sleep 0.1; done
  fi
  kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display.txt" ] && break
  sleep 0.1
done
[ -s "$work/display.txt" ] || { echo "run: Xvfb did not start"; exit 1; }
export DISPLAY=":$(tr -d '\n' <"$work/display.txt")"

(cd "$app" && exec timeout -k 5 $((seconds + 60)) wine ./VeskClock.exe >"$work/clock.log" 2>&1) &
clock_pid=$!
sleep "$seconds"
shot="$work/screenshot.png"
timeout 30 import -window root "$shot"
echo "run: screenshot saved to $shot"
