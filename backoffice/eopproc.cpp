// The End of Day, Month and Year run.
#include "backoffice/eopproc.h"

#include <cstdio>
#include <cstring>

#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace {

// "Day", "Month", "Year" as the run's captions write them.
std::string Period(int mode) {
  switch (mode) {
    case KVT_END_OF_MONTH:
      return "End Of Month";
    case KVT_END_OF_YEAR:
      return "End Of Year";
  }
  return "End Of Day";
}

}  // namespace

EOPProcessing::EOPProcessing(HWND parent) : PVpbarDlg(parent) {
  CloseWhenDone = false;  // the operator reads the result, then closes it
}

EOPProcessing::~EOPProcessing() = default;

void EOPProcessing::SetStore(const char* store) {
  KVTSetSetting(szEOPStore, store ? store : "");
}

bool EOPProcessing::Start() {
  EOPOption = 1;
  bCancelProcess = false;
  SetTitle("Running " + Period(EOPMode));
  run_ = std::make_unique<KVTPeriodClear>(EOPMode, szEOPStore);
  if (!run_->Start()) {
    std::string text = "The sales categories could not be read:\n\n" + run_->error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  SetStatus("Processing " + Period(EOPMode) + "...");
  return true;
}

void EOPProcessing::DoAction() {
  if (bCancelProcess || !run_) return;
  KVTPeriodClear::Step step = run_->Next();
  if (step != KVTPeriodClear::Step::Finished) {
    const KVTCategoryRef& c = run_->Current();
    KVTSetSetting(szReference, c.reference.c_str());
    KVTSetSetting(szLocation, c.location.c_str());
    dRecno = c.recno;
    std::snprintf(szRecno, sizeof szRecno, "%.0f", dRecno);
    std::snprintf(szMessage, sizeof szMessage, "%s : %s - %s", "Updating Record ", szLocation,
                  szReference);
    SetStatus(szMessage);
    if (step == KVTPeriodClear::Step::Cleared) {
      ++iCleared;
    } else {
      ++iNotUpdated;
      std::snprintf(szMessage, sizeof szMessage, "Error occurred when updating %s at store %s.",
                    szReference, szLocation);
      std::string text = szMessage;
      if (step == KVTPeriodClear::Step::Failed) text += "\n\n" + run_->error();
      MessageBox(text.c_str(), "Kovatel Software", MB_OK | MB_ICONSTOP);
    }
  }
  PVpbarDlg::DoAction();
}

void EOPProcessing::Finish() {
  std::snprintf(szMessage, sizeof szMessage, "%s complete: %d cleared, %d not updated.",
                Period(EOPMode).c_str(), iCleared, iNotUpdated);
  SetStatus(szMessage);
  SetTitle(Period(EOPMode) + " Complete");
  EnableField(IDC_PAUSE, false);
  SetFieldLabel(IDCANCEL, "&Close");
}

bool StartEOPProcessing(HWND parent, int mode, const char* store) {
  KVTPeriodClear counting(mode, store ? store : "");
  long count = 0;
  if (!counting.Count(&count)) {
    std::string text = "The sales categories could not be counted:\n\n" + counting.error();
    MessageBox(parent, text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return false;
  }
  if (count == 0) {
    MessageBox(parent, "No Sales Categories found.", PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
    return false;
  }
  auto* window = new EOPProcessing(parent);
  window->SetMode(mode);
  window->SetStore(store);
  if (!window->Create()) {  // opens its frame in the host's MDI client
    delete window;
    return false;
  }
  window->SetLimit(static_cast<int>(count));
  if (!window->Start()) {
    window->CloseWindow(IDCANCEL);
    return false;
  }
  window->PostMessage(WM_COMMAND, PVpbarDlg::CM_DONEXTGROUP);
  return true;
}
