// The transfer batch popup and its batch check.
#include "backoffice/trnbatch.h"

#include <string>

#include "backoffice/transfers.h"
#include "platform/base/textwidth.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
using B = PVtrnbatchDlg;

namespace {

template <std::size_t N>
void Put(char (&dest)[N], const char* text) {
  KVTCopyText(dest, text);
}

std::string Trim(std::string s) {
  s.erase(0, s.find_first_not_of(' '));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

bool UseBatches() {
  return CFG_USEBATCHES[0] == 'T';
}

}  // namespace

int TRNBATCHA::VerifyFields(int id) {
  if (id != B::IDC_BATCH || !screen_->LastMessageWasKey()) return 0;
  std::string batch = Trim(screen_->Data.BATCH);
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
  if (r.found() == sql::Found::No && screen_->SearchBatch()) return 0;
  if (!r.ok()) {
    std::string text = "The batches could not be read:\n\n" + r.error();
    screen_->MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
  screen_->KVTSetFieldFocus(id);
  return 1;
}

const KVTFormDecl& PVtrnbatchDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVtrnbatchDlg", "Point of Sale", 56, 13);
    DeclareGroup(f);
    f.Edit(IDC_BATCH, "Sales Ticket Batch : ", 25, 7, 15, KVT_BIND(PVtrnbatchData, BATCH));
    f.Button(IDC_BATCHSRCH, "...", 42, 7);
    f.Button(IDC_TRANSFER, "&Transfer", 14, 10);
    f.Button(IDCANCEL, "Cancel", 30, 10);
    return f;
  }();
  return form;
}

PVtrnbatchDlg::PVtrnbatchDlg(HWND parent)
    : KVTBatchPopup(parent, FormDecl(), Data.BATCH, sizeof Data.BATCH) {
  SetTransferBuffer(&Data);
}

PVtrnbatchDlg::~PVtrnbatchDlg() {
  SetFieldChecker(nullptr);
}

void PVtrnbatchDlg::SetupWindow() {
  SetFieldChecker(&VerifyBatchA);
  InitForm();
}

void PVtrnbatchDlg::InitForm() {
  ShowGroup(UseBatches());
  KVTSetFieldFocus(UseBatches() && !szBatch[0] ? int{IDC_BATCH} : int{IDC_TRANSFER});
}

void PVtrnbatchDlg::CmOk() {
  DoScrToApp();
  if (UseBatches() && !AcceptBatch()) return;
  bDoTransfer = true;
  CloseWindow(IDOK);
}

KVT_REGISTER_SCREEN(PVtrnbatchDlg);
