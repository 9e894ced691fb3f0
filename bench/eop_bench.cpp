// End of Year over 20,000 sales categories (ten stores of 2,000), as the
// periodic processing runs it: the categories read once, then each cleared
// in a transaction of its own. Reported in categories per second and as a
// ratio to the floor of the same run: one UPDATE clearing the same counters
// of every row at once. On SQLite (synchronous FULL) and on the PostgreSQL
// server named by KVT_PG.
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/eopclear.h"
#include "bench/ratio.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/query.h"
#include "schema/schema.h"
#include "tools/tempdb/tempdb.h"

namespace {

using kvt::test::Backend;

constexpr int kStores = 10;
constexpr int kPerStore = 2000;
constexpr int kCategories = kStores * kPerStore;

std::map<Backend, std::unique_ptr<kvt::test::TempDatabase>>& Databases() {
  static std::map<Backend, std::unique_ptr<kvt::test::TempDatabase>> dbs;
  return dbs;
}

bool Fill(std::string* why) {
  namespace sql = kvt::sql;
  if (!kvt::schema::Create(why)) return false;
  sql::Transaction unit;
  if (!unit.ok()) return *why = unit.error(), false;
  sql::Query add(
      "INSERT INTO KVTCOM12 (REFERENCE,LOCATION,TILLCODE,DESCRIPT,CURQTY3,CURDOL3,MTDQTY3,MTDDOL3,"
      "YTDQTY3,YTDDOL3,RECNO) VALUES (?,?,?,?,?,?,?,?,?,?,?)");
  for (int i = 0; i < kCategories; ++i) {
    std::string store = "S" + std::to_string(i / kPerStore);
    std::string ref = "CAT" + std::to_string(i % kPerStore);
    sql::Result r = add.Run({sql::Text(ref), sql::Text(store), sql::Text(std::to_string(i % 100)),
                             sql::Text("Category " + ref), sql::Text("2.000"), sql::Text("19.95"),
                             sql::Text("40.000"), sql::Text("398.00"), sql::Text("480.000"),
                             sql::Text("4776.00"), sql::Number(i + 1)});
    if (!r.ok()) return *why = r.error(), false;
  }
  if (!unit.Commit()) return *why = unit.error(), false;
  return true;
}

bool Open(Backend backend, std::string* why) {
  auto& db = Databases()[backend];
  if (!db) {
    db = kvt::test::TempDatabase::Create(backend, why);
    if (!db) return false;
    if (!Fill(why)) {
      db.reset();
      return false;
    }
    return true;
  }
  if (!db->Reopen()) return *why = KVTLastSqlError(), false;
  return true;
}

void Rate(benchmark::State& state) {
  state.counters["categories_per_s"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kCategories, benchmark::Counter::kIsRate);
}

// The floor: every category's counters cleared by one statement.
void OneUpdate(benchmark::State& state, Backend backend) {
  std::string why;
  if (!Open(backend, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  std::string text = KVTPeriodClear::UpdateSql(KVT_END_OF_YEAR);
  text = text.substr(0, text.find(" WHERE"));
  for (auto _ : state) {
    kvt::sql::Result r = kvt::sql::Run(text);
    if (!r.ok() || r.changed() != kCategories) {
      state.SkipWithError(r.ok() ? "not every category was cleared" : r.error().c_str());
      return;
    }
  }
  Rate(state);
}

void EndOfYear(benchmark::State& state, Backend backend) {
  std::string why;
  if (!Open(backend, &why)) {
    state.SkipWithError(why.c_str());
    return;
  }
  for (auto _ : state) {
    KVTPeriodClear run(KVT_END_OF_YEAR, "");
    if (!run.Start()) {
      state.SkipWithError(run.error().c_str());
      return;
    }
    for (auto step = run.Next(); step != KVTPeriodClear::Step::Finished; step = run.Next())
      if (step != KVTPeriodClear::Step::Cleared) {
        state.SkipWithError(("category not cleared: " + run.error()).c_str());
        return;
      }
  }
  Rate(state);
}

}  // namespace

BENCHMARK_CAPTURE(OneUpdate, SQLite, Backend::SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(EndOfYear, SQLite, Backend::SQLite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(OneUpdate, PostgreSQL, Backend::PostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(EndOfYear, PostgreSQL, Backend::PostgreSQL)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  kvt::bench::FloorRatioReporter reporter("End of Year over " + std::to_string(kCategories) +
                                              " categories against one UPDATE of them all",
                                          "EndOfYear", "OneUpdate", kCategories, "categories",
                                          "one UPDATE");
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  Databases().clear();
  return 0;
}
