// The transfer batch popup and its batch check.
#include "backoffice/trnbatch.h"

#include <string>

#include "backoffice/transfers.h"
#include "shell/globals.h"
#include "shell/screens.h"

namespace sql = kvt::sql;
using B = PVtrnbatchDlg;

namespace {

template <std::size_t N>
void Put(char (&dest)[N], const char* text) {
  std::snprintf(dest, N, "%s", text ? text : "");
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
    f.Label(IDC_HEADING, "", 2, 1, 50);
    f.Label(IDC_STORE, "", 4, 2, 40);
    f.Label(IDC_DATE, "", 4, 3, 40);
    f.Label(IDC_TILLREF, "", 4, 4, 40);
    f.Label(IDC_SHIFT, "", 4, 5, 40);
    f.Edit(IDC_BATCH, "Sales Ticket Batch : ", 25, 7, 15, KVT_BIND(PVtrnbatchData, BATCH));
    f.Button(IDC_BATCHSRCH, "...", 42, 7);
    f.Button(IDC_TRANSFER, "&Transfer", 14, 10);
    f.Button(IDCANCEL, "Cancel", 30, 10);
    return f;
  }();
  return form;
}

PVtrnbatchDlg::PVtrnbatchDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_BATCHSRCH, [this] { SearchBatch(); });
}

PVtrnbatchDlg::~PVtrnbatchDlg() {
  SetFieldChecker(nullptr);
}

void PVtrnbatchDlg::SetTranSalesCount(const char* s) {
  Put(szTranSalesCount, s);
}
void PVtrnbatchDlg::SetTranStore(const char* s) {
  Put(szTranStore, s);
}
void PVtrnbatchDlg::SetTranDate(const char* s) {
  Put(szTranDate, s);
}
void PVtrnbatchDlg::SetTranTillRef(const char* s) {
  Put(szTranTillRef, s);
}
void PVtrnbatchDlg::SetTranShift(const char* s) {
  Put(szTranShift, s);
}

void PVtrnbatchDlg::SetupWindow() {
  SetFieldChecker(&VerifyBatchA);
  InitForm();
}

void PVtrnbatchDlg::InitForm() {
  bDoTransfer = false;
  szBatch[0] = '\0';
  for (int id : {IDC_BATCH, IDC_BATCHSRCH}) ShowField(id, UseBatches());
  if (UseBatches()) {
    std::string batch, error;
    if (!KVTTransfers::DefaultBatch(&batch, &error)) {
      std::string text = "The batches could not be read:\n\n" + error;
      MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    }
    Put(szBatch, batch.c_str());
    SetFieldVar(IDC_BATCH, szBatch);
  }
  SetFieldText(IDC_HEADING, KVTTransfers::Heading(szTranSalesCount));
  SetFieldText(IDC_STORE, std::string("store : ") + szTranStore);
  SetFieldText(IDC_DATE, std::string("date : ") + szTranDate);
  SetFieldText(IDC_TILLREF, std::string("till reference : ") + szTranTillRef);
  SetFieldText(IDC_SHIFT, "shift : " + KVTTransfers::ShiftText(szTranShift));
  KVTSetFieldFocus(UseBatches() && !szBatch[0] ? IDC_BATCH : IDC_TRANSFER);
}

bool PVtrnbatchDlg::SearchBatch() {
  KVTSearchResult chosen;
  if (!KVTSimpleSearch(Handle(), "ARBATCHSRCH", "ARBATCHFMT", &chosen)) return false;
  Put(Data.BATCH, chosen.Value(0).c_str());
  Put(szBatch, Data.BATCH);
  DoAppToScr(IDC_BATCH);
  return true;
}

void PVtrnbatchDlg::CmOk() {
  DoScrToApp();
  if (UseBatches()) {
    std::string batch = Trim(Data.BATCH);
    sql::Result r = KVTTransfers::FindBatch(batch);
    if (batch.empty() || r.found() != sql::Found::Yes) {
      std::string text = r.ok() || batch.empty() ? std::string("Invalid Batch.")
                                                 : "The batches could not be read:\n\n" + r.error();
      MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
      KVTSetFieldFocus(IDC_BATCH);
      return;
    }
    Put(szBatch, batch.c_str());
  }
  bDoTransfer = true;
  CloseWindow(IDOK);
}

KVT_REGISTER_SCREEN(PVtrnbatchDlg);
