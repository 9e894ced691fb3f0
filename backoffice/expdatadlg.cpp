#include "backoffice/expdatadlg.h"

#include <string>

#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "shell/globals.h"
#include "shell/screens.h"

const KVTFormDecl& KVTExportDataForm::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVexpdataDlg", "Point Of Sale", 64, 12);
    f.Label(IDC_TITLE, "Export Data", 2, 1, 40);
    f.Label(IDC_TEXT,
            "This process will export data to be moved between the home office and the till or "
            "vise versa.",
            2, 2, 60);
    f.Edit(IDC_STORE, "Store : ", 4, 4, 6, KVT_BIND(PVexpdataData, STORE));
    f.Edit(IDC_TILLREF, "Till Reference : ", 4, 5, 6, KVT_BIND(PVexpdataData, TILLREF));
    f.Check(IDC_ALL, "Export &all stores and tills", 4, 7);
    f.Button(IDC_OK, "&Export", 20, 10);
    f.Button(IDCANCEL, "Cancel", 34, 10);
    return f;
  }();
  return form;
}

KVTExportDataForm::KVTExportDataForm(KVTScreen* screen) : screen_(screen) {
  screen->SetTransferBuffer(&Data);
  screen->OnChange(IDC_ALL, [this] { AllToggled(); });
  screen->OnCommand(IDC_OK, [this] { Cmidc_ok(); });
}

void KVTExportDataForm::InitForm() {
  screen_->SetFieldVar(IDC_STORE, DEFAULT_STORE);
  screen_->SetFieldVar(IDC_TILLREF, DEFAULT_TILLREF);
  screen_->UnprotectField(IDC_STORE);
  screen_->UnprotectField(IDC_TILLREF);
  screen_->KVTSetFieldFocus(!DEFAULT_STORE[0]     ? IDC_STORE
                            : !DEFAULT_TILLREF[0] ? IDC_TILLREF
                                                  : IDC_OK);
}

void KVTExportDataForm::AllToggled() {
  if (!screen_->GetCheck(IDC_ALL)) {
    InitForm();
    return;
  }
  screen_->SetFieldVar(IDC_STORE, "");
  screen_->SetFieldVar(IDC_TILLREF, "");
  screen_->ProtectField(IDC_STORE);
  screen_->ProtectField(IDC_TILLREF);
  screen_->KVTSetFieldFocus(IDC_OK);
}

void KVTExportDataForm::Cmidc_ok() {
  screen_->DoScrToApp();
  const bool all = screen_->GetCheck(IDC_ALL);
  std::string store = all ? "" : Data.STORE, till = all ? "" : Data.TILLREF;
  if (!all) {
    bool tillField = false;
    std::string problem = KVTExchange::CheckCriteria(store, till, &tillField);
    if (!problem.empty()) {
      screen_->MessageBox(problem.c_str(), PROGRAM_NAME, MB_OK | MB_ICONEXCLAMATION);
      screen_->KVTSetFieldFocus(tillField ? IDC_TILLREF : IDC_STORE);
      return;
    }
  }
  screen_->EnableWindow(false);
  std::string error;
  bool done = bDoKVTPOSExportUpdateInformation(screen_->Handle(), store, till, &error);
  screen_->EnableWindow(true);
  if (!done) screen_->MessageBox(error.c_str(), "Export Data Error", MB_OK | MB_ICONSTOP);
  screen_->CloseWindow(IDOK);
}

PVexpdataDlg::PVexpdataDlg(HWND parent) : PVMDIDialog(parent, KVTExportDataForm::FormDecl()) {}

KVT_REGISTER_SCREEN(PVexpdataDlg);
