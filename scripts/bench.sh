#!/usr/bin/env bash
# Builds the benchmarks optimised (build-bench/, no sanitizers) and runs them
# on SQLite and on a throwaway PostgreSQL server that syncs to disk as a real
# one does. Extra arguments go to every benchmark program, for example
#   scripts/bench.sh --benchmark_filter=TenLineSale
# BENCH names the programs to run (default: all of them), for example
#   BENCH=kvtpricing_bench scripts/bench.sh
# The SQLite databases go to TMPDIR (default /tmp): put it on the disk to measure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
# -Wno-restrict, -Wno-format-truncation: GCC 12 warns falsely at -O3 about std::string
# copies and about texts cut to their field on purpose.
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="-Wno-restrict -Wno-format-truncation" \
  -DKVT_TESTS=OFF -DKVT_BENCH=ON >/dev/null
programs=${BENCH:-kvtsql_bench kvtshift_bench kvtpricing_bench kvtkeyline_bench kvtsave_bench kvtsale_bench kvteop_bench kvttender_bench kvtcustimport_bench}
# shellcheck disable=SC2086
cmake --build build-bench --target $programs

pgdir=/tmp/kvtpos-bench-pg-$$
trap 'scripts/pg.sh stop "$pgdir"' EXIT
KVT_PG=$(KVT_PG_FSYNC=on scripts/pg.sh start "$pgdir")
export KVT_PG
for p in $programs; do
  echo "== $p"
  build-bench/bin/"$p" "$@"
done
