// Tender to totals at the till, in the demo store grown to 100,000 items:
//   TenderToTotals  on a 50-line sale in the payment tab (headless front
//                   end), the cashier has chosen cash and typed an amount;
//                   timed from the Enter on the amount until the tender is
//                   recorded, the totals panel redrawn and the form list
//                   rebuilt for the next tender. Choosing the form and typing
//                   are untimed. Every tender is 0.01, so the sale never ends.
// On SQLite (synchronous FULL) and on the PostgreSQL server named by KVT_PG.
// The median and the 99th percentile are reported; the goal is a median of
// at most 1 ms.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "bench/bigstore.h"
#include "bench/till.h"
#include "payment/pos2.h"
#include "platform/forms/headless/headless.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

using kvt::bench::Target;
using Clock = std::chrono::steady_clock;

void TenderToTotals(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  kvt::bench::Till till;
  if (!till.ok()) return state.SkipWithError("the sale window did not open");
  KVTSetSetting(CFG_ENTERDECIMALSONPAYMENT, "T");
  KVTHeadlessBackend& user = till.user;
  till.KeyLines(50);
  user.Key("F10");
  user.Run();
  PVpos2Dlg* pay = till.pay;
  if (till.sale->SaleGrid().GetRowCount() != 50 || !pay || till.tabs->GetSelectedTab() != 1)
    return state.SkipWithError("no 50-line sale on the payment tab");
  std::vector<double> us;
  for (auto _ : state) {
    user.Key("Enter").Type("0.01");  // cash, its default customer, the amount
    user.Run();
    const std::string remaining = pay->Data.AMTREMAIN;
    auto start = Clock::now();
    user.Key("Enter");
    user.Run();
    double t = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(t);
    us.push_back(t * 1e6);
    if (pay->Data.AMTREMAIN == remaining || pay->GetFocusField() != IDC_PYMTFORM ||
        !user.Messages().empty())
      return state.SkipWithError("the tender was not recorded");
  }
  kvt::bench::ReportPercentiles(state, us);
}

}  // namespace

BENCHMARK_CAPTURE(TenderToTotals, Sqlite, Target::Sqlite)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(TenderToTotals, Postgres, Target::Postgres)
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  kvt::bench::ForgetBigStores();  // removes the temporary databases
  return 0;
}
