#!/usr/bin/env bash
# The clock's idle cost under Wine, two builds one after the other in one
# run: wakeups (messages reaching the clock window, and voluntary
# context switches of its main thread), CPU of the clock and of wineserver,
# how late each presented second is, and memory after a minute, at the end
# and after the first chime. The helper programs (winmsg.exe and
# fault_probe.dll) come from the second build for both.
#
#   tests/perf/idle_cost.sh [MINUTES [BEFORE_BUILD AFTER_BUILD]]
#
# Defaults: 10 minutes, and build/windows alone. Prints a Markdown table and
# writes it to build/perf/idle_cost.md.
set -uo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
minutes="${1:-10}"
builds=("${@:2}")
[ "${#builds[@]}" -eq 0 ] && builds=("$root/build/windows")
helpers="${builds[-1]}/tests/winmsg.exe"
out="$root/build/perf"
mkdir -p "$out"

labels=()
for build in "${builds[@]}"; do
  label="$(basename "$(cd "$build/../.." && pwd)")"
  [ "${#builds[@]}" -eq 1 ] && label=build
  labels+=("$label")
  work="$out/idle_$label"
  rm -rf "$work"
  echo "== $label: $build, $minutes idle minutes"
  VESK_BUILD_DIR="$build" VESK_WORK="$work" WINMSG="$helpers" IDLE_COST_MINUTES="$minutes" \
    VESK_EXTRA_SCENARIOS="$root/tests/perf/idle_cost_scenario.sh" \
    "$root/tests/wine/run_all.sh" idle_cost | tee "$work.log"
done

value() { sed -n "s/^$2=//p" "$out/idle_$1/idle_cost.txt" 2>/dev/null | tail -1; }
{
  printf '| |'; for l in "${labels[@]}"; do printf ' %s |' "$l"; done; echo
  printf '|---|'; for _ in "${labels[@]}"; do printf -- '---|'; done; echo
  row() {
    printf '| %s |' "$1"
    for l in "${labels[@]}"; do printf ' %s |' "$(eval "echo \"$2\"")"; done
    echo
  }
  row "messages to the clock window a second" '$(awk -v d="$(value $l messages)" -v ms="$(value $l record_ms)" "BEGIN { printf \"%.2f\", d * 1000 / ms }")'
  row "Timer1 ticks" '$(value $l timer1)'
  row "voluntary context switches a second, main thread" '$(value $l ctx_per_s)'
  row "clock CPU %" '$(value $l clock_cpu_pct)'
  row "wineserver CPU %" '$(value $l wineserver_cpu_pct)'
  row "wineserver CPU % before the clock started" '$(value $l wineserver_before_pct)'
  row "seconds presented" '$(value $l presents)'
  row "within 20 ms of the boundary %" '$(value $l within20_pct)'
  row "late by 0-5/6-10/11-15/16-20/21-50/>50 ms" '$(value $l histogram)'
  row "presented twice / skipped" '$(value $l twice) / $(value $l skipped)'
  row "private / working set KiB after 1 min" '$(value $l private_1min_kib) / $(value $l ws_1min_kib)'
  row "private / working set KiB at the end" '$(value $l private_end_kib) / $(value $l ws_end_kib)'
  row "private / working set KiB after the first chime" '$(value $l private_chime_kib) / $(value $l ws_chime_kib)'
  row "chime device opened at (ms after the 11:00:00 present)" '$(value $l chime_open_at) ($(value $l chime_open_after_present_ms))'
} | tee "$out/idle_cost.md"
