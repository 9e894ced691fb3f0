#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each in turn.
#   scripts/fuzz.sh [SECONDS]   each target for SECONDS (default 300)
#   scripts/fuzz.sh --short     each target for 5 s (./test.sh)
#   scripts/fuzz.sh --clean ... builds from nothing first
# The corpus grows in build-fuzz/corpus/TARGET between runs. An input that
# breaks a target is kept as build-fuzz/crash-TARGET-*; the script then says
# which and exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=300
while [ $# -gt 0 ]; do
  case "$1" in
    --short) seconds=5 ;;
    --clean) rm -rf build-fuzz ;;
    *[!0-9]* | "") echo "usage: $0 [--clean] [--short | SECONDS]" >&2; exit 2 ;;
    *) seconds=$1 ;;
  esac
  shift
done

targets=(${KVT_FUZZ_TARGETS:-dates_fuzz amounts_fuzz stripdatezeros_fuzz eventtext_fuzz settings_fuzz script_fuzz})

if [ ! -f build-fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKVT_FUZZ=ON -DKVT_SANITIZE=ON -DKVT_TESTS=OFF -DKVT_BENCH=OFF >/dev/null
fi
if ! out=$(cmake --build build-fuzz --target kvt_fuzz_targets 2>&1); then
  echo "$out" >&2
  exit 1
fi

# A few well-formed inputs to start from.
seed() {  # seed TARGET NAME TEXT
  local dir=build-fuzz/corpus/$1
  mkdir -p "$dir"
  [ -e "$dir/seed-$2" ] || printf '%b' "$3" >"$dir/seed-$2"
}
seed dates_fuzz slashes '12/05/2026'
seed dates_fuzz short '1/5/26'
seed dates_fuzz iso '2026-12-05'
seed amounts_fuzz cents '1234'
seed amounts_fuzz number ' -12.50e+2 '
seed stripdatezeros_fuzz day '120500'
seed stripdatezeros_fuzz year '12052000'
seed eventtext_fuzz request '01=MAIN\t02=3\t05=B7\t'
seed settings_fuzz file '[KVTSQL Connection One]\nTranslate=PGSQL\nDataPath=.\\\\pos.db\n\n[Other]\nA=1\n'
mkdir -p build-fuzz/corpus/script_fuzz
cp -n schema/demo/till.kvts build-fuzz/corpus/script_fuzz/seed-demo 2>/dev/null || true

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
failed=()
for t in "${targets[@]}"; do
  log=build-fuzz/$t.log
  if build-fuzz/bin/$t -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -max_len=4096 -artifact_prefix="build-fuzz/crash-$t-" "build-fuzz/corpus/$t" >"$log" 2>&1; then
    runs=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "fuzz $t: $runs runs in ${seconds} s, nothing found"
  else
    failed+=("$t")
    echo "fuzz $t: FAILED (see $log)"
    grep -m3 -E 'ERROR|property does not hold|runtime error|Test unit written' "$log" || true
  fi
done
[ ${#failed[@]} -eq 0 ]
