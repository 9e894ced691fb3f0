#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test, on SQLite and on a throwaway PostgreSQL server.
# Exits non-zero when anything fails. "./test.sh --clean" builds from nothing.
set -euo pipefail
cd "$(dirname "$0")"
export TZ=${TZ:-America/Chicago}

scripts/deps.sh
[ "${1:-}" = "--clean" ] && rm -rf build

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKVT_SANITIZE=ON -DKVT_BENCH=ON >/dev/null
cmake --build build

pgdir=/tmp/kvtpos-test-pg-$$
trap 'scripts/pg.sh stop "$pgdir"' EXIT
KVT_PG=$(scripts/pg.sh start "$pgdir")
export KVT_PG
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

ctest --test-dir build --output-on-failure -j "$(nproc)"
# The fuzz targets, a few seconds each, in a clang build of their own (build-fuzz/).
[ "${1:-}" = "--clean" ] && rm -rf build-fuzz
scripts/fuzz.sh --short
tests/package/package_test.sh
