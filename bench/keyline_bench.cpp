// Key to line at the till, in the demo store grown to 100,000 items:
//   KeyToLine  the cashier keys an inventory reference and presses Enter in
//              the sale window (headless front end); timed until the priced,
//              taxed line is in the grid and the cursor is back on the
//              reference. Every 100 lines a new sale starts, untimed.
//   KeyLookup  the floor: one look-up of an item by its indexed reference.
// On SQLite (synchronous FULL, the till's setting) and on the PostgreSQL
// server named by KVT_PG. Each sample is timed on its own; the median and
// the 99th percentile are reported, and after the run the ratio of the
// medians to the floor of the same database.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "bench/bigstore.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsql.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"
#include "suite/host/host.h"

namespace {

using kvt::bench::Target;
using Clock = std::chrono::steady_clock;

std::string BulkRef(long i) {
  char ref[16];
  std::snprintf(ref, sizeof ref, "BX%06ld", 5000 + (i * 7919) % 90000);
  return ref;
}

// Median and 99th percentile of the samples, in microseconds, as counters.
void Report(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["p50_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

// A logged-in till on store MAIN with its sale window open.
struct Till {
  Till() {
    KVTResetModuleState();
    KVTSetToday("03/15/2024");
    user.Install();
    KVTSetSetting(LOGIN_STORE, "MAIN");
    KVTSetSetting(LOGIN_DATE, "03152024");
    KVTSetSetting(LOGIN_TILL, "1");
    KVTSetSetting(LOGIN_EMPLOYEE, "100");
    KVTSetSetting(LOGIN_SHIFT, "1");
    sale = new PVpos1Dlg(host.MainWindow());
    auto* tabs = new Tbacktab(host.MainWindow());
    tabs->AddTab("Sale Items", sale);
    tabs->AddTab("Sale Total", KVTNewPage("PVpos2Dlg", host.MainWindow(), "Sale Total"));
    auto* frame = new PVmdiwinDlg(host.MDIClient(), "Point Of Sale", tabs);
    if (!frame->Create()) {
      delete frame;
      sale = nullptr;
      return;
    }
    tabs->Show(SW_SHOW);
    frame->Show(SW_SHOW);
    frame->SetFocus();
    KVTForms::Instance().Idle();
  }
  ~Till() {
    KVTForms::Instance().CloseAll();
    KVTResetModuleState();
  }
  KVTHeadlessBackend user;
  KVTHost host;
  PVpos1Dlg* sale = nullptr;
};

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
  Report(state, us);
}

void KeyToLine(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  Till till;
  if (!till.sale) return state.SkipWithError("the sale window did not open");
  PVpos1Dlg& sale = *till.sale;
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
  Report(state, us);
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
  }
  std::map<std::string, double> medians;
};

}  // namespace

BENCHMARK_CAPTURE(KeyLookup, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyToLine, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyLookup, Postgres, Target::Postgres)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(KeyToLine, Postgres, Target::Postgres)
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
