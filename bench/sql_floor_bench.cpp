// The database floor every till hot path is measured against: an empty
// write transaction, and the rows of one ten-line sale (header, ten lines,
// ten tax rows) inserted in one transaction with prepared statements. On
// SQLite with synchronous FULL (the till's setting) and NORMAL, and on the
// PostgreSQL server named by KVT_PG.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/floor.h"
#include "platform/sql/kvtsql.h"
#include "schema/schema.h"
#include "tools/tempdb/tempdb.h"

namespace {

enum class Target { SqliteFull, SqliteNormal, Postgres };

// One database per target for the whole run, made on first use.
std::map<Target, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<Target, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

kvt::test::TempDatabase* Open(Target target, std::string* why) {
  auto& db = Databases()[target];
  if (!db) {
    auto backend =
        target == Target::Postgres ? kvt::test::Backend::PostgreSQL : kvt::test::Backend::SQLite;
    db = kvt::test::TempDatabase::Create(backend, why, target != Target::SqliteNormal);
    if (!db) return nullptr;
    if (!kvt::schema::Create(why)) {
      db.reset();
      return nullptr;
    }
  } else if (!db->Reopen()) {
    *why = KVTLastSqlError();
    return nullptr;
  }
  return db.get();
}

void EmptyWriteTransaction(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  KVTConnection c(1);
  char stmt[] = "SELECT RECNO FROM KVTPOS1";
  for (auto _ : state) {
    if (!c.BeginTran(stmt) || !c.CommitTran(stmt)) {
      state.SkipWithError(c.LastError());
      return;
    }
  }
}

void TenLineSale(benchmark::State& state, Target target) {
  std::string why;
  if (!Open(target, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  static long sale = 0;
  static double recno = 1e6;
  kvt::bench::MeasureFloorSales(state, sale, recno);
  state.SetItemsProcessed(state.iterations() * 21);  // rows written
}

}  // namespace

BENCHMARK_CAPTURE(EmptyWriteTransaction, SqliteFull, Target::SqliteFull);
BENCHMARK_CAPTURE(EmptyWriteTransaction, SqliteNormal, Target::SqliteNormal);
BENCHMARK_CAPTURE(EmptyWriteTransaction, Postgres, Target::Postgres);
BENCHMARK_CAPTURE(TenLineSale, SqliteFull, Target::SqliteFull);
BENCHMARK_CAPTURE(TenLineSale, SqliteNormal, Target::SqliteNormal);
BENCHMARK_CAPTURE(TenLineSale, Postgres, Target::Postgres);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  Databases().clear();  // removes the temporary databases
  return 0;
}
