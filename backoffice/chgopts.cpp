// The re-transfer options popup and its batch check.
#include "backoffice/chgopts.h"

#include <cstring>
#include <string>

#include "backoffice/transfers.h"
#include "platform/base/textwidth.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
using C = PVchgoptsDlg;

namespace {

template <std::size_t N>
void Put(char (&dest)[N], const char* text) {
  KVTCopyText(dest, text);
}

bool On(const char* flag) {
  return flag[0] == 'T';
}

}  // namespace

int CHGOPTSA::VerifyFields(int id) {
  if (id != C::IDC_BATCH || !screen_->LastMessageWasKey()) return 0;
  PVchgoptsData& d = screen_->Data;
  std::string batch = d.BATCH;
  batch.erase(0, batch.find_first_not_of(' '));
  batch.erase(batch.find_last_not_of(' ') + 1);
  if (batch.empty()) {
    screen_->MessageBox("Batch is required.", "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(id);
    return 1;
  }
  sql::Result r = KVTTransfers::FindBatch(batch);
  if (r.found() == sql::Found::Yes) {
    Put(screen_->szBatch, batch.c_str());
    return 0;
  }
  if (r.found() == sql::Found::Failed) {
    std::string text = "The batches could not be read:\n\n" + r.error();
    screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    screen_->KVTSetFieldFocus(id);
    return 1;
  }
  if (screen_->SearchBatch()) return 0;
  d.BATCH[0] = '\0';
  screen_->DoAppToScr(id);
  screen_->KVTSetFieldFocus(id);
  return 1;
}

const KVTFormDecl& PVchgoptsDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVchgoptsDlg", "Re-Export Options", 56, 17);
    DeclareGroup(f);
    f.Check(IDC_TRNST, "Transfer to Sales Tickets", 4, 7);
    f.Check(IDC_TRNCST, "Transfer to C-Store", 4, 8);
    f.Check(IDC_TRNPB, "Transfer to Inventory", 4, 9);
    f.Edit(IDC_BATCH, "Sales Ticket Batch : ", 25, 11, 15, KVT_BIND(PVchgoptsData, BATCH));
    f.Button(IDC_BATCHSRCH, "...", 42, 11);
    f.Button(IDOK, "OK", 14, 14);
    f.Button(IDCANCEL, "Cancel", 28, 14);
    return f;
  }();
  return form;
}

PVchgoptsDlg::PVchgoptsDlg(HWND parent)
    : KVTBatchPopup(parent, FormDecl(), Data.BATCH, sizeof Data.BATCH) {
  SetTransferBuffer(&Data);
  OnChange(IDC_TRNST, [this] { SalesTicketToggled(); });
}

PVchgoptsDlg::~PVchgoptsDlg() {
  SetFieldChecker(nullptr);
}

void PVchgoptsDlg::SetTranST(const char* s) {
  Put(szTRNST, s);
}
void PVchgoptsDlg::SetTranPB(const char* s) {
  Put(szTRNPB, s);
}
void PVchgoptsDlg::SetTranCST(const char* s) {
  Put(szTRNCST, s);
}

bool PVchgoptsDlg::BatchShown() const {
  return On(CFG_USEBATCHES) && bUseBatch;
}

void PVchgoptsDlg::SetupWindow() {
  SetFieldChecker(&VerifyBatchA);
  InitForm();
}

void PVchgoptsDlg::InitForm() {
  bUseBatch = std::strcmp(szTranSalesCount, "Import") != 0;
  ShowGroup(BatchShown());
  SetCheck(IDC_TRNST, On(szTRNST));
  SetCheck(IDC_TRNCST, On(szTRNCST));
  SetCheck(IDC_TRNPB, On(szTRNPB));
  SalesTicketToggled();
  KVTSetFieldFocus(IDC_TRNST);
}

void PVchgoptsDlg::SalesTicketToggled() {
  if (!BatchShown()) return;
  bool st = GetCheck(IDC_TRNST);
  for (int id : {IDC_BATCH, IDC_BATCHSRCH}) st ? UnprotectField(id) : ProtectField(id);
  EnableField(IDC_BATCHSRCH, st);
}

void PVchgoptsDlg::CmOk() {
  DoScrToApp();
  bool st = GetCheck(IDC_TRNST), cst = GetCheck(IDC_TRNCST), pb = GetCheck(IDC_TRNPB);
  if (!st && !cst && !pb) {
    MessageBox("At least one transfer check box must be checked.", "Error", MB_OK | MB_ICONSTOP);
    KVTSetFieldFocus(IDC_TRNST);
    return;
  }
  if (st && BatchShown() && !AcceptBatch()) return;
  // The flags change only with a popup that goes on; Cancel keeps them as preset.
  Put(szTRNST, st ? "T" : "F");
  Put(szTRNCST, cst ? "T" : "F");
  Put(szTRNPB, pb ? "T" : "F");
  bDoTransfer = true;
  CloseWindow(IDOK);
}

KVT_REGISTER_SCREEN(PVchgoptsDlg);
