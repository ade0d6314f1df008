#!/usr/bin/env bash
# Accelerated soak of the real program under Wine and Xvfb.
#
#   scripts/soak.sh MINUTES [--publish]
#
# The clock runs MINUTES of real time with its time of day sped up 360 times
# (an hour of the clock in 10 s; 30 minutes are 7.5 days of the clock) in a
# time zone with daylight-saving changes (Europe/Berlin). The run is split
# into three phases of equal length; at the start of each the clock is set
# (through libfaketime's timestamp file, without restarting the program) to
# 90 clock minutes before one of the calendar's rough edges:
#
#   phase "year"    2026-12-31 22:30 CET   the change of day, month and year
#   phase "spring"  2027-03-28 00:30 CET   02:00 CET becomes 03:00 CEST
#   phase "autumn"  2027-10-31 01:30 CEST  03:00 CEST becomes 02:00 CET
#
# and then runs on through full hours (the chime sounds at each while
# "Chimes" is checked; the clock's once-a-second timer runs on real time, so
# the driver posts WM_TIMECHANGE every PULSE_MS for a tick in every clock
# minute). Meanwhile a driver hides and shows the clock from its
# icon, opens and closes its menu, toggles the three settings and drags the
# window. Every SAMPLE_S seconds it records the process's GDI objects, USER
# objects (Wine keeps no such count: the process's windows stand in), handles,
# working set and private memory, and the error boxes seen. At the end the
# clock is closed normally and the registry must hold the state the driver
# set last.
#
# Output: soak.csv, soak.png and soak.log in build/soak (or $VESK_SOAK_DIR);
# with --publish the plot also goes to docs/img/soak.png. The last line is
# "N passed, N failed". Exit 1 when a count grew beyond its tolerance (below),
# a box appeared, a value was lost or the clock did not run to the end.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
minutes="${1:-2}"
publish=0
[ "${2:-}" = "--publish" ] && publish=1
case "$minutes" in ''|*[!0-9.]*) echo "usage: scripts/soak.sh MINUTES [--publish]" >&2; exit 2 ;; esac

# ---- tolerances ------------------------------------------------------------------
# Growth allowed from the start (median of the first three samples after the
# warm-up) to the end (median of the last three). A face being drawn holds a
# few GDI objects for a moment, a drag or a menu a few windows, and Wine's
# heaps grow in steps of their own, so small rises are noise; a leak of one
# object per action (thousands of actions in 30 minutes) is far beyond them.
TOL_GDI=8            # GDI objects
TOL_USER=4           # USER objects (windows of the process under Wine)
TOL_HANDLES=24       # kernel handles, summed over the sample intervals without a chime:
                     # Wine's MCI keeps about 70 handles per open/play/close (a minimal
                     # program that only does that shows the same), so the intervals
                     # with a chime are reported, not held to this
TOL_WS_KIB=$((8 * 1024))       # working set
TOL_PRIVATE_KIB=$((8 * 1024))  # private memory
TOL_BOXES=0          # error boxes seen during the whole run
WARMUP_S=20          # samples before this are not used as the start
SAMPLE_S=5           # seconds between samples
SPEED=${SOAK_SPEED:-360}  # clock seconds per real second
PULSE_MS=100         # real ms between two time-change notices (36 clock seconds)
SOAK_TZ=Europe/Berlin
PHASES=(year spring autumn)
declare -A PHASE_START=(
  [year]="2026-12-31 22:30:00"
  [spring]="2027-03-28 00:30:00"
  [autumn]="2027-10-31 01:30:00"
)

# VESK_SOAK_DIR: where the run works and writes (default build/soak), so a
# long run and the test command's short one can run side by side.
out_dir="${VESK_SOAK_DIR:-$root/build/soak}"
export VESK_WORK="$out_dir/work"
mkdir -p "$out_dir" "$VESK_WORK"
csv="$out_dir/soak.csv"
plot="$out_dir/soak.png"
log="$out_dir/soak.log"

# The Wine scenarios' helpers: Xvfb, the prefix, the menu and the icon.
declare -A SCENARIO_DEADLINES=()
ALL_SCENARIOS=()
# shellcheck source=tests/wine/lib.sh
source "$root/tests/wine/lib.sh"
# shellcheck source=tests/wine/scenarios_menu.sh
source "$root/tests/wine/scenarios_menu.sh"
# shellcheck source=tests/wine/scenarios_tray.sh
source "$root/tests/wine/scenarios_tray.sh"
# shellcheck source=tests/soak/driver.sh
source "$root/tests/soak/driver.sh"

passed=0
failed=0
result() {  # result OK "description"
  if [ "$1" = 0 ]; then echo "PASS $2"; passed=$((passed + 1)); else echo "FAIL $2"; failed=$((failed + 1)); fi
}
finish() { echo "$passed passed, $failed failed"; [ "$failed" -eq 0 ]; exit; }

# The program and the helper.
build="$root/build/windows"
if [ ! -f "$build/src/VeskClock.exe" ] || [ ! -f "$build/tests/winmsg.exe" ]; then
  [ -f "$build/build.ninja" ] || cmake --preset windows >"$out_dir/configure.log" 2>&1 ||
    { cat "$out_dir/configure.log"; result 1 "soak: configure the Windows build"; finish; }
  timeout 1200 cmake --build "$build" --target VeskClock winmsg menu_probe >"$out_dir/build.log" 2>&1 ||
    { tail -20 "$out_dir/build.log"; result 1 "soak: build VeskClock.exe and winmsg.exe"; finish; }
fi
APP="$VESK_WORK/app"
"$root/scripts/assemble_app.sh" "$build" "$APP" >/dev/null 2>"$out_dir/assemble.log" ||
  { cat "$out_dir/assemble.log"; result 1 "soak: assemble the app folder"; finish; }

vw_start_xvfb || { result 1 "soak: Xvfb"; finish; }
trap 'soak_cleanup' EXIT
vw_wine_env >/dev/null || { result 1 "soak: wine prefix"; finish; }
# A HOME of the soak's own whose ALSA default device swallows the sound (the
# machine has no sound card; without a device every MCI open fails).
export HOME="$VESK_WORK/home"
mkdir -p "$HOME"
echo 'pcm.!default { type null }' >"$HOME/.asoundrc"

soak_run "$minutes" 2>&1 | tee "$log"
# soak_run prints the PASS/FAIL lines; count them.
passed=$(grep -c '^PASS ' "$log")
failed=$(grep -c '^FAIL ' "$log")
[ $((passed + failed)) -gt 0 ] || failed=1

if [ -s "$csv" ]; then
  if timeout 60 gnuplot -e "csv='$csv'; out='$plot'; minutes='$minutes'; speed='$SPEED'" \
      "$root/tests/soak/plot.gp" 2>"$out_dir/plot.log"; then
    echo "plot: $plot"
    [ "$publish" = 1 ] && cp "$plot" "$root/docs/img/soak.png" && echo "plot: docs/img/soak.png"
  else
    cat "$out_dir/plot.log"; echo "FAIL soak: the plot"; failed=$((failed + 1))
  fi
fi
finish
