// Key to line at the till, in the demo store grown to 100,000 items:
//   KeyToLine  the cashier keys an inventory reference and presses Enter in
//              the sale window (headless front end); timed until the priced,
//              taxed line is in the grid and the cursor is back on the
//              reference. Every 100 lines a new sale starts, untimed.
//   KeyLookup  the floor: one look-up of an item by its indexed reference.
// On SQLite (synchronous FULL, the till's setting) and on the PostgreSQL
// server named by KVT_PG. Each sample is timed on its own; the median and
// the 99th percentile are reported, and after the run the ratio of the
// medians to the floor of the same database, with the statements one line
// sent (all of them printed with KVT_BENCH_TRACE set).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "bench/bigstore.h"
#include "bench/till.h"
#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"

namespace {

using kvt::bench::BulkRef;
using kvt::bench::Target;
using Clock = std::chrono::steady_clock;

// The statements of one line keyed into a sale under way, per database.
std::map<std::string, std::vector<std::string>>& Traces() {
  static std::map<std::string, std::vector<std::string>> traces;
  return traces;
}

void KeyLookup(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  const char sql[] = "SELECT DESCRIPT FROM KVTINV1 WHERE REFERENCE = ?";
  KVTConnection c(1);
  std::vector<double> us;
  long i = 0;
  for (auto _ : state) {
    std::string ref = BulkRef(i++);
    auto start = Clock::now();
    if (c.BindParam(sql, ref.c_str(), 0) <= 0 || c.ExecuteSQL(sql) <= 0 || !c.FetchNext(sql))
      return state.SkipWithError("the item is missing");
    double t = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(t);
    us.push_back(t * 1e6);
  }
  kvt::bench::ReportPercentiles(state, us);
}

void KeyToLine(benchmark::State& state, Target target, const char* name) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  kvt::bench::Till till;
  if (!till.ok()) return state.SkipWithError("the sale window did not open");
  PVpos1Dlg& sale = *till.sale;
  // Untimed: a sale under way, then one line with its statements recorded.
  till.KeyLines(3);
  till.user.Run();
  std::vector<std::string>& trace = Traces()[name];
  trace.clear();
  KVTSqlTraceStatements(&trace);
  till.KeyLines(1);
  till.user.Run();
  KVTSqlTraceStatements(nullptr);
  sale.NewOrder();
  std::vector<double> us;
  long i = 0;
  for (auto _ : state) {
    if (sale.SaleGrid().GetRowCount() >= 100) sale.NewOrder();  // untimed: manual time
    const std::string ref = BulkRef(i++);
    const int rows = sale.SaleGrid().GetRowCount();
    till.user.Type(ref);
    till.user.Run();
    auto start = Clock::now();
    till.user.Key("Enter");
    till.user.Run();
    double t = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(t);
    us.push_back(t * 1e6);
    TDataTbl& g = sale.SaleGrid();
    if (g.GetRowCount() != rows + 1 || g.GetCell(COL_REF, rows) != ref ||
        g.GetCell(COL_PRICE, rows).empty() || sale.TaxGrid().GetRowCount() == 0 ||
        sale.GetFocusField() != IDC_IREF || !till.user.Messages().empty())
      return state.SkipWithError(("no priced, taxed line for " + ref).c_str());
  }
  kvt::bench::ReportPercentiles(state, us);
}

// Keeps each benchmark's median to report the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      auto p50 = r.counters.find("p50_us");
      if (!r.error_occurred && p50 != r.counters.end()) medians[r.run_name.str()] = p50->second;
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    std::printf("\nMedian key-to-line time over the median indexed look-up, same database:\n");
    for (const char* target : {"Sqlite", "Postgres"}) {
      auto floor = medians.find(std::string("KeyLookup/") + target + "/manual_time");
      auto line = medians.find(std::string("KeyToLine/") + target + "/manual_time");
      if (floor == medians.end() || line == medians.end() || floor->second <= 0) continue;
      std::printf("  %-9s %8.1f x  (%.1f us vs %.1f us)\n", target, line->second / floor->second,
                  line->second, floor->second);
    }
    for (const auto& [name, log] : Traces()) {
      std::printf("\n%s: %zu statements for one line of a sale under way\n", name.c_str(),
                  log.size());
      if (std::getenv("KVT_BENCH_TRACE"))
        for (const std::string& sql : log) std::printf("    %.150s\n", sql.c_str());
    }
  }
  std::map<std::string, double> medians;
};

}  // namespace

BENCHMARK_CAPTURE(KeyLookup, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyToLine, Sqlite, Target::Sqlite, "Sqlite")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyLookup, Postgres, Target::Postgres)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyToLine, Postgres, Target::Postgres, "Postgres")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  kvt::bench::ForgetBigStores();  // removes the temporary databases
  return 0;
}
