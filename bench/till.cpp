// The benchmarks' till on the grown store.
#include "bench/till.h"

#include <algorithm>
#include <cstdio>

#include "payment/pos2.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/forms.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace kvt::bench {

Till::Fresh::Fresh() {
  KVTResetModuleState();
}

Till::Till() {
  user.Install();
  KVTSetToday("03/15/2024");
  KVTSetSetting(LOGIN_STORE, "MAIN");
  KVTSetSetting(LOGIN_DATE, "03152024");
  KVTSetSetting(LOGIN_TILL, "1");
  KVTSetSetting(LOGIN_EMPLOYEE, "100");
  KVTSetSetting(LOGIN_SHIFT, "1");
  PVpos2Dlg::FormDecl();  // links the payment tab in
  auto* window = new PVpos1Dlg(host.MainWindow());
  tabs = new Tbacktab(host.MainWindow());
  tabs->AddTab("Sale Items", window);
  tabs->AddTab("Sale Total", KVTNewPage("PVpos2Dlg", host.MainWindow(), "Sale Total"));
  auto* frame = new PVmdiwinDlg(host.MDIClient(), "Point Of Sale", tabs);
  if (!frame->Create()) {
    delete frame;
    tabs = nullptr;
    return;
  }
  tabs->Show(SW_SHOW);
  frame->Show(SW_SHOW);
  frame->SetFocus();
  KVTForms::Instance().Idle();
  sale = window;
  pay = dynamic_cast<PVpos2Dlg*>(tabs->GetPage(1));
}

Till::~Till() {
  KVTForms::Instance().CloseAll();
  KVTResetModuleState();
}

void Till::KeyLines(int n) {
  for (int i = 0; i < n; ++i) user.Type(BulkRef(next_++)).Key("Enter");
}

std::string BulkRef(long i) {
  char ref[16];
  std::snprintf(ref, sizeof ref, "BX%06ld", 5000 + (i * 7919) % 90000);
  return ref;
}

void ReportPercentiles(benchmark::State& state, std::vector<double>& us) {
  if (us.empty()) return;
  std::sort(us.begin(), us.end());
  state.counters["p50_us"] = us[us.size() / 2];
  state.counters["p99_us"] = us[std::min(us.size() - 1, us.size() * 99 / 100)];
}

}  // namespace kvt::bench
