#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang with ASan and UBSan) and
# runs each one briefly over its seed corpus. Exits non-zero when a target
# crashes, reports a sanitizer error or cannot be built.
#
#   scripts/fuzz_smoke.sh            every target, 10 s each
#   FUZZ_SECONDS=60 scripts/fuzz_smoke.sh
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$root/build/fuzz"
seconds="${FUZZ_SECONDS:-10}"
mkdir -p build/logs

# libpng with the same instrumentation as the targets; without it they link
# the system's libpng, which the fuzzer cannot see into.
"$root/scripts/build_fuzz_libpng.sh" >build/logs/libpng-fuzz.log 2>&1 \
  || echo "fuzz: instrumented libpng not built (see build/logs/libpng-fuzz.log); using the system's"

echo "== fuzz: configure and build"
if ! cmake --preset fuzz -B "$build" >build/logs/configure-fuzz.log 2>&1; then
  cat build/logs/configure-fuzz.log; exit 1
fi
if ! cmake --build "$build" -j "$(nproc)" >build/logs/build-fuzz.log 2>&1; then
  tail -60 build/logs/build-fuzz.log; exit 1
fi

# The seed folder of a target (read only; new inputs go to build/fuzz/corpus).
seeds_of() {
  case "$1" in
    skin_loader_fuzz) echo "$root/tests/data/png" ;;
    form_storage_fuzz) echo "$root/tests/data/form_storage" ;;
    *) echo "" ;;
  esac
}

mapfile -t targets < <(find "$build/fuzz" -maxdepth 1 -type f -name '*_fuzz' -perm -u+x | sort)
if [ "${#targets[@]}" -eq 0 ]; then
  echo "fuzz: no targets built"; exit 1
fi

failed=0
for target in "${targets[@]}"; do
  name="$(basename "$target")"
  corpus="$build/corpus/$name"
  artifacts="$build/artifacts/$name/"
  mkdir -p "$corpus" "$artifacts"
  seeds="$(seeds_of "$name")"
  log="build/logs/fuzz-$name.log"
  echo "== fuzz: $name for ${seconds}s"
  # -rss_limit_mb bounds memory, -timeout flags a single input that hangs.
  if timeout $((seconds + 120)) "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
      -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" ${seeds:+"$seeds"} >"$log" 2>&1; then
    grep -E '^stat::number_of_executed_units|^stat::new_units_added' "$log" | sed 's/^/   /'
  else
    echo "fuzz: $name FAILED (artifacts in $artifacts)"
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal|Test unit written' "$log" | head -20
    failed=1
  fi
done
exit "$failed"
