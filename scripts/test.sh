#!/usr/bin/env bash
# Runs every test: native unit tests, the same under ASan+UBSan, the raster and
# imaging tests cross-built for Windows and run under Wine, a short fuzzing
# run of each parser, the Windows program's end-to-end tests under Wine
# and Xvfb, and the release made twice and checked. Installs what it needs
# first (scripts/setup.sh).
#
#   scripts/test.sh            everything
#   scripts/test.sh native     only some stages: native asan windows fuzz wine release soak
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

"$root/scripts/setup.sh" || { echo "setup failed"; echo "0 passed, 1 failed"; exit 1; }

stages=("$@")
[ "${#stages[@]}" -eq 0 ] && stages=(native asan windows fuzz wine release soak)
jobs="$(nproc)"
mkdir -p build/logs

total_pass=0
total_fail=0
failed_stages=()

# Adds the "N passed, N failed" of a log to the totals; a log without that
# line counts as one failure. $2 names the stage.
count_summary() {
  local out p f
  out="$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$1" | tail -1)"
  if [ -n "$out" ]; then
    p="${out%% passed*}"; f="$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$out")"
    total_pass=$((total_pass + p)); total_fail=$((total_fail + f))
    [ "$f" -eq 0 ] || failed_stages+=("$2")
  else
    total_fail=$((total_fail + 1)); failed_stages+=("$2")
  fi
}

# Adds the counts of a ctest log to the totals.
count_ctest() {
  local log="$1" line passed failed all
  line="$(grep -E '[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)"
  if [ -z "$line" ]; then
    total_fail=$((total_fail + 1))
    return
  fi
  failed="$(sed -E 's/.* ([0-9]+) tests? failed out of.*/\1/' <<<"$line")"
  all="$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")"
  passed=$((all - failed))
  total_pass=$((total_pass + passed))
  total_fail=$((total_fail + failed))
}

run_preset() {
  local preset="$1" log="build/logs/ctest-$1.log"
  echo "== $preset: configure and build"
  if ! cmake --preset "$preset" >"build/logs/configure-$preset.log" 2>&1; then
    cat "build/logs/configure-$preset.log"; failed_stages+=("$preset"); total_fail=$((total_fail + 1)); return
  fi
  if ! cmake --build --preset "$preset" -j "$jobs" >"build/logs/build-$preset.log" 2>&1; then
    tail -60 "build/logs/build-$preset.log"; failed_stages+=("$preset"); total_fail=$((total_fail + 1)); return
  fi
  echo "== $preset: tests"
  ctest --preset "$preset" -j "$jobs" --timeout 600 2>&1 | tee "$log" | grep -vE '^ +Start|Test +#[0-9]+: .* Passed' || true
  count_ctest "$log"
  grep -qE ' 0 tests failed out of' "$log" || failed_stages+=("$preset")
}

for stage in "${stages[@]}"; do
  case "$stage" in
    native|asan) run_preset "$stage" ;;
    windows)
      # Console test programs under Wine (no display needed for DIB and GDI
      # text). The session is ended afterwards so none of its processes
      # outlive the stage.
      source "$root/scripts/wine_env.sh"
      wine_prefix_ready || { failed_stages+=(windows); total_fail=$((total_fail + 1)); continue; }
      run_preset windows
      wine_prefix_stop
      ;;
    fuzz)
      if [ -x "$root/scripts/fuzz_smoke.sh" ]; then
        if "$root/scripts/fuzz_smoke.sh"; then total_pass=$((total_pass + 1)); else total_fail=$((total_fail + 1)); failed_stages+=(fuzz); fi
      fi
      ;;
    wine)
      if [ -x "$root/tests/wine/run_all.sh" ]; then
        # The scenarios build the program in the Windows build; configure it
        # when this stage runs alone.
        if [ ! -f build/windows/build.ninja ] && ! cmake --preset windows >build/logs/configure-windows.log 2>&1; then
          cat build/logs/configure-windows.log; failed_stages+=(wine); total_fail=$((total_fail + 1)); continue
        fi
        "$root/tests/wine/run_all.sh" </dev/null 2>&1 | tee build/logs/wine.log
        out="$(grep -E '^[0-9]+ passed, [0-9]+ failed' build/logs/wine.log | tail -1)"
        if [ -n "$out" ]; then
          p="${out%% passed*}"; f="$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$out")"
          total_pass=$((total_pass + p)); total_fail=$((total_fail + f))
          [ "$f" -eq 0 ] || failed_stages+=(wine)
        else
          total_fail=$((total_fail + 1)); failed_stages+=(wine)
        fi
      fi
      ;;
    release)
      # The release made twice and compared, its contents, versions and
      # signing; then, unless the wine stage runs them too, the Wine
      # scenarios of that very release (portable folder, installer, both at
      # display scales, the installer's pages).
      if [ ! -f build/windows/build.ninja ] && ! cmake --preset windows >build/logs/configure-windows.log 2>&1; then
        cat build/logs/configure-windows.log; failed_stages+=(release); total_fail=$((total_fail + 1)); continue
      fi
      "$root/scripts/release/check_release.sh" </dev/null 2>&1 | tee build/logs/release.log
      count_summary build/logs/release.log release
      if [[ " ${stages[*]} " != *" wine "* ]]; then
        VESK_RELEASE_DIR="$root/build/release" "$root/tests/wine/run_all.sh" \
          release_portable release_install release_upgrade release_uninstall release_scale_installed \
          release_scale_portable release_pages </dev/null 2>&1 | tee build/logs/wine-release.log
        count_summary build/logs/wine-release.log release
      fi
      ;;
    soak)
      # Two minutes of the real program under Wine with its clock sped up
      # (scripts/soak.sh; a long run is `scripts/soak.sh 30 --publish`).
      if [ ! -f build/windows/build.ninja ] && ! cmake --preset windows >build/logs/configure-windows.log 2>&1; then
        cat build/logs/configure-windows.log; failed_stages+=(soak); total_fail=$((total_fail + 1)); continue
      fi
      timeout -k 10 600 "$root/scripts/soak.sh" 2 </dev/null 2>&1 | tee build/logs/soak.log
      count_summary build/logs/soak.log soak
      ;;
    *) echo "unknown stage: $stage"; exit 2 ;;
  esac
done

if [ "${#failed_stages[@]}" -gt 0 ]; then
  echo "failed stages: ${failed_stages[*]}"
fi
echo "$total_pass passed, $total_fail failed"
[ "$total_fail" -eq 0 ] && [ "${#failed_stages[@]}" -eq 0 ]
