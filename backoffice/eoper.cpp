// The period dialog of End of Day, Month and Year.
#include "backoffice/eoper.h"

#include <cstring>

#include "backoffice/eopclear.h"
#include "backoffice/tillshift.h"
#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

int EOPerA::Refuse(const char* message, const char* caption) {
  screen_->MessageBox(message, caption, MB_OK | MB_ICONSTOP);
  screen_->KVTSetFieldFocus(PVeoperDlg::IDC_STORE);
  return 1;
}

int EOPerA::VerifyFields(int fieldId) {
  if (fieldId != PVeoperDlg::IDC_STORE || !screen_->LastMessageWasKey()) return 0;
  if (GetKeyState(VK_SHIFT) < 0) {
    screen_->SetFocusPrevField();
    return 1;
  }
  PVeoperData& d = screen_->Data;
  TRIM(d.STORE);
  screen_->DoAppToScr(PVeoperDlg::IDC_STORE);
  if (d.STORE[0] == '\0') {
    if (!screen_->GetCheck(PVeoperDlg::IDC_ONESTORE)) return 0;
    return Refuse("Store is required.", "Error");
  }
  kvt::sql::Result found = KVTTillShift::FindStore(d.STORE);
  if (found.found() == kvt::sql::Found::Failed)
    return Refuse(("The stores could not be read:\n\n" + found.error()).c_str(), "Error");
  if (found.found() == kvt::sql::Found::No) {
    screen_->Cmidc_srchstore();
    return 1;
  }
  return 0;
}

int EOPerA::VerifyRequiredFields() {
  PVeoperData& d = screen_->Data;
  TRIM(d.STORE);
  bool one = screen_->GetCheck(PVeoperDlg::IDC_ONESTORE);
  if (one) {
    if (d.STORE[0] == '\0') return Refuse("Store is required.", "Kovatel Software"), 0;
    kvt::sql::Result found = KVTTillShift::FindStore(d.STORE);
    if (found.found() == kvt::sql::Found::Failed)
      return Refuse(("The stores could not be read:\n\n" + found.error()).c_str(), "Error"), 0;
    if (found.found() == kvt::sql::Found::No)
      return Refuse("This Store reference is not valid.", "Kovatel Software"), 0;
  }
  KVTSetSetting(screen_->szOption, one ? "ONE" : "ALL");
  KVTSetSetting(screen_->szStore, one ? d.STORE : "");
  return 1;
}

// ---------------------------------------------------------------------------

const KVTFormDecl& PVeoperDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVeoperDlg", "End of Day", 44, 10);
    f.Label(IDC_PROMPT, "Perform End of Day processing.", 2, 1, 40);
    f.Radio(IDC_ALLSTORES, "store", "&All Stores", 4, 3);
    f.Radio(IDC_ONESTORE, "store", "O&ne Store", 4, 4);
    f.Edit(IDC_STORE, "Store: ", 12, 6, 10, KVT_BIND(PVeoperData, STORE));
    f.Button(IDC_SRCHSTORE, "...", 24, 6).NoTabStop();
    f.Button(IDOK, "&OK", 10, 8);
    f.Button(IDCANCEL, "Cancel", 24, 8);
    return f;
  }();
  return form;
}

PVeoperDlg::PVeoperDlg(HWND parent) : PVDialog(parent, FormDecl()), Checker(new EOPerA(this)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_SRCHSTORE, [this] { Cmidc_srchstore(); });
  OnChange(IDC_ALLSTORES, [this] { Cmidc_allstores(); });
  OnChange(IDC_ONESTORE, [this] { Cmidc_onestore(); });
}

PVeoperDlg::~PVeoperDlg() {
  SetFieldChecker(nullptr);
  delete Checker;
}

void PVeoperDlg::SetMode(int mode) {
  iMode = mode;
  std::string name = KVTPeriodName(mode);
  SetCaption(name);
  SetFieldText(IDC_PROMPT, "Perform " + name + " processing.");
}

void PVeoperDlg::SetupWindow() {
  SetFieldChecker(Checker);
  SetMode(iMode);
  KVTSetSetting(Data.STORE, DEFAULT_STORE);
  DoAppToScr(IDC_STORE);
  if (Data.STORE[0]) {
    SetCheck(IDC_ONESTORE, true);
    Cmidc_onestore();
  } else {
    SetCheck(IDC_ALLSTORES, true);
    Cmidc_allstores();
    KVTSetFieldFocus(IDC_ALLSTORES);
  }
}

void PVeoperDlg::Cmidc_allstores() {
  if (!GetCheck(IDC_ALLSTORES)) return;
  Data.STORE[0] = '\0';
  DoAppToScr(IDC_STORE);
  ProtectField(IDC_STORE);
  EnableField(IDC_SRCHSTORE, false);
}

void PVeoperDlg::Cmidc_onestore() {
  if (!GetCheck(IDC_ONESTORE)) return;
  UnprotectField(IDC_STORE);
  EnableField(IDC_SRCHSTORE, true);
  KVTSetFieldFocus(IDC_STORE);
}

void PVeoperDlg::Cmidc_srchstore() {
  if (!GetCheck(IDC_ONESTORE)) return;
  KVTSearchResult chosen;
  if (KVTSimpleSearch(Handle(), "STOREREFSRCH", "STOREREFFMT", &chosen)) {
    KVTSetSetting(Data.STORE, chosen.Value(0).c_str());
    DoAppToScr(IDC_STORE);
  }
  KVTSetFieldFocus(IDC_STORE);
}

KVT_REGISTER_SCREEN(PVeoperDlg);
