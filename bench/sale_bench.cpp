// A whole sale at the till, in the demo store grown to 100,000 items:
//   SaveOnly   the sale screen's SaveOrder of a ten-line sale rung up by the
//              keys (the keying untimed): the floor of a sale.
//   WholeSale  ten lines keyed, F10, a cash tender of 1.00 and a second one
//              for the rest, completion with its receipt to the preview
//              window and the save, until the next sale is on screen.
// On SQLite (synchronous FULL) and on the PostgreSQL server named by KVT_PG,
// the headless front end. WholeSale reports sales_per_s and x_save, its mean
// over SaveOnly's of the same run; the goal is x_save of at most 3.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/bigstore.h"
#include "bench/till.h"
#include "payment/pos2.h"
#include "platform/forms/preview.h"
#include "platform/sql/kvtsqladmin.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

using kvt::bench::Target;
using Clock = std::chrono::steady_clock;

std::map<Target, double>& SaveMeans() {
  static std::map<Target, double> means;
  return means;
}

// One untimed sale's statements by phase, in the order the phases ran:
// what each target sends outside SaveOrder (the save's own are in the
// completion phase between its BEGIN and COMMIT).
using Phases = std::vector<std::pair<std::string, std::vector<std::string>>>;
std::map<std::string, Phases>& Traces() {
  static std::map<std::string, Phases> traces;
  return traces;
}

// The sale bench's till: receipts to the preview window, no pause after a sale.
struct Till : kvt::bench::Till {
  Till() {
    KVTSetSetting(CFG_ENTERDECIMALSONPAYMENT, "T");
    KVTSetSetting(CFG_PAUSEWHENSALECOMPLETE, "F");
    KVTSetSetting(CFG_RECEIPTPRINTER, "View Window");
    KVTSetSetting(CFG_CASHCOPIES, "1");
  }
};

void SaveOnly(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  Till till;
  if (!till.ok()) return state.SkipWithError("the sale window did not open");
  double total = 0;
  for (auto _ : state) {
    till.KeyLines(10);
    till.user.Run();
    if (till.sale->SaleGrid().GetRowCount() != 10) return state.SkipWithError("no ten-line sale");
    PVpos1Dlg::SaleTexts texts;
    texts.total = till.sale->Data.TOTAL;
    texts.taxAmt = till.sale->Data.TAXTOTAL;
    auto start = Clock::now();
    const bool saved = till.sale->SaveOrder("S", "C", texts);
    double t = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(t);
    total += t;
    if (!saved) return state.SkipWithError("the sale was not saved");
    till.sale->NewOrder();
    till.user.Run();
  }
  if (state.iterations() > 0) SaveMeans()[target] = total / state.iterations();
}

void WholeSale(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  Till till;
  if (!till.ok()) return state.SkipWithError("the sale window did not open");
  PVpos2Dlg* pay = till.pay;
  auto rest = [pay] {
    std::string r = pay->Data.AMTREMAIN;
    std::erase_if(r, [](char c) { return c == '$' || c == ','; });
    return r;
  };
  // Untimed: one sale with its statements recorded phase by phase.
  Phases& phases = Traces()[target == Target::Sqlite ? "SQLite" : "PostgreSQL"];
  phases.clear();
  auto phase = [&phases](const char* name, auto&& keys) {
    phases.emplace_back(name, std::vector<std::string>{});
    KVTSqlTraceStatements(&phases.back().second);
    keys();
    KVTSqlTraceStatements(nullptr);
  };
  phase("ten keyed lines", [&] {
    till.KeyLines(10);
    till.user.Run();
  });
  phase("payment screen and first tender", [&] {
    till.user.Key("F10").Key("Enter").Type("1.00").Key("Enter");
    till.user.Run();
  });
  phase("second tender typed", [&] {
    till.user.Key("Enter").Type(rest());
    till.user.Run();
  });
  phase("completion and next sale's set-up", [&] {
    till.user.Key("Enter");
    till.user.Run();
  });
  KVTClearPreviewedDocuments();
  double total = 0, lines = 0, tenders = 0, completion = 0;
  for (auto _ : state) {
    KVTClearPreviewedDocuments();
    auto start = Clock::now();
    till.KeyLines(10);
    till.user.Run();
    auto keyed = Clock::now();
    till.user.Key("F10").Key("Enter").Type("1.00").Key("Enter");
    till.user.Run();
    till.user.Key("Enter").Type(rest());
    till.user.Run();
    auto tendered = Clock::now();
    till.user.Key("Enter");
    till.user.Run();
    auto done = Clock::now();
    double t = std::chrono::duration<double>(done - start).count();
    lines += std::chrono::duration<double>(keyed - start).count();
    tenders += std::chrono::duration<double>(tendered - keyed).count();
    completion += std::chrono::duration<double>(done - tendered).count();
    state.SetIterationTime(t);
    total += t;
    if (KVTPreviewedDocuments().size() != 1 || till.tabs->GetSelectedTab() != 0 ||
        till.sale->SaleGrid().GetRowCount() != 0 || !till.user.Messages().empty())
      return state.SkipWithError("the sale did not complete with its receipt");
  }
  if (state.iterations() == 0) return;
  const double mean = total / state.iterations();
  state.counters["sales_per_s"] = 1 / mean;
  // Where a sale's time goes (ms): the keyed lines, the payment tab with
  // the tenders up to the last Enter, and completion with the next sale.
  state.counters["lines_ms"] = lines * 1e3 / state.iterations();
  state.counters["tenders_ms"] = tenders * 1e3 / state.iterations();
  state.counters["completion_ms"] = completion * 1e3 / state.iterations();
  if (SaveMeans().count(target)) state.counters["x_save"] = mean / SaveMeans()[target];
  KVTClearPreviewedDocuments();
}

}  // namespace

BENCHMARK_CAPTURE(SaveOnly, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeSale, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveOnly, Postgres, Target::Postgres)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WholeSale, Postgres, Target::Postgres)
    ->UseManualTime()
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const auto& [name, phases] : Traces()) {
    std::printf("\n%s: round trips of one sale by phase\n", name.c_str());
    for (const auto& [phase, log] : phases) {
      std::size_t trips = 0;
      for (const std::string& sql : log) trips += sql.rfind("+ ", 0) != 0;
      std::printf("  %-36s %3zu round trips (%zu statements)\n", phase.c_str(), trips, log.size());
      if (std::getenv("KVT_BENCH_TRACE"))
        for (const std::string& sql : log) std::printf("      %.160s\n", sql.c_str());
    }
  }
  kvt::bench::ForgetBigStores();  // removes the temporary databases
  return 0;
}
