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

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/bigstore.h"
#include "payment/pos2.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"
#include "suite/host/host.h"

namespace {

using kvt::bench::Target;
using Clock = std::chrono::steady_clock;

void Report(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["p50_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

void TenderToTotals(benchmark::State& state, Target target) {
  std::string why;
  if (!kvt::bench::OpenBigStore(target, &why)) return state.SkipWithError(why.c_str());
  KVTResetModuleState();
  KVTSetToday("03/15/2024");
  KVTHeadlessBackend user;
  user.Install();
  KVTHost host;
  KVTSetSetting(LOGIN_STORE, "MAIN");
  KVTSetSetting(LOGIN_DATE, "03152024");
  KVTSetSetting(LOGIN_TILL, "1");
  KVTSetSetting(LOGIN_EMPLOYEE, "100");
  KVTSetSetting(LOGIN_SHIFT, "1");
  PVpos2Dlg::FormDecl();  // links the payment tab in
  auto* sale = new PVpos1Dlg(host.MainWindow());
  auto* tabs = new Tbacktab(host.MainWindow());
  tabs->AddTab("Sale Items", sale);
  tabs->AddTab("Sale Total", KVTNewPage("PVpos2Dlg", host.MainWindow(), "Sale Total"));
  auto* frame = new PVmdiwinDlg(host.MDIClient(), "Point Of Sale", tabs);
  if (!frame->Create()) {
    delete frame;
    return state.SkipWithError("the sale window did not open");
  }
  tabs->Show(SW_SHOW);
  frame->Show(SW_SHOW);
  frame->SetFocus();
  KVTForms::Instance().Idle();
  KVTSetSetting(CFG_ENTERDECIMALSONPAYMENT, "T");
  for (int i = 0; i < 50; ++i) {
    char ref[16];
    std::snprintf(ref, sizeof ref, "BX%06d", 5000 + (i * 7919) % 90000);
    user.Type(ref).Key("Enter");
  }
  user.Key("F10");
  user.Run();
  auto* pay = dynamic_cast<PVpos2Dlg*>(tabs->GetPage(1));
  if (sale->SaleGrid().GetRowCount() != 50 || !pay || tabs->GetSelectedTab() != 1)
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
  Report(state, us);
  KVTForms::Instance().CloseAll();
  KVTResetModuleState();
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
