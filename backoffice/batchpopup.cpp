// The group and the batch of the transfer popups.
#include "backoffice/batchpopup.h"

#include <cstdio>
#include <string>

#include "backoffice/transfers.h"
#include "platform/base/textwidth.h"

namespace sql = kvt::sql;

namespace {

template <std::size_t N>
void Put(char (&dest)[N], const char* text) {
  KVTCopyText(dest, text);
}

}  // namespace

KVTBatchPopup::KVTBatchPopup(HWND parent, const KVTFormDecl& decl, char* batch, std::size_t size)
    : PVDialog(parent, decl), batch_(batch), batchSize_(size) {
  OnCommand(IDC_BATCHSRCH, [this] { SearchBatch(); });
}

void KVTBatchPopup::DeclareGroup(KVTFormDecl& f) {
  f.Label(IDC_HEADING, "", 2, 1, 50);
  f.Label(IDC_STORE, "", 4, 2, 40);
  f.Label(IDC_DATE, "", 4, 3, 40);
  f.Label(IDC_TILLREF, "", 4, 4, 40);
  f.Label(IDC_SHIFT, "", 4, 5, 40);
}

void KVTBatchPopup::SetTranSalesCount(const char* s) {
  Put(szTranSalesCount, s);
}
void KVTBatchPopup::SetTranStore(const char* s) {
  Put(szTranStore, s);
}
void KVTBatchPopup::SetTranDate(const char* s) {
  Put(szTranDate, s);
}
void KVTBatchPopup::SetTranTillRef(const char* s) {
  Put(szTranTillRef, s);
}
void KVTBatchPopup::SetTranShift(const char* s) {
  Put(szTranShift, s);
}

void KVTBatchPopup::ShowGroup(bool batchShown) {
  bDoTransfer = false;
  szBatch[0] = '\0';
  for (int id : {IDC_BATCH, IDC_BATCHSRCH}) ShowField(id, batchShown);
  if (batchShown) {
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
}

bool KVTBatchPopup::SearchBatch() {
  KVTSearchResult chosen;
  if (!KVTSimpleSearch(Handle(), "ARBATCHSRCH", "ARBATCHFMT", &chosen)) return false;
  KVTCopyText(batch_, batchSize_, chosen.Value(0));
  Put(szBatch, batch_);
  DoAppToScr(IDC_BATCH);
  return true;
}

bool KVTBatchPopup::AcceptBatch() {
  std::string batch = batch_;
  batch.erase(0, batch.find_first_not_of(' '));
  batch.erase(batch.find_last_not_of(' ') + 1);
  sql::Result r = KVTTransfers::FindBatch(batch);
  if (batch.empty() || r.found() != sql::Found::Yes) {
    std::string text = r.ok() || batch.empty() ? std::string("Invalid Batch.")
                                               : "The batches could not be read:\n\n" + r.error();
    MessageBox(text.c_str(), "Error", MB_OK | MB_ICONSTOP);
    KVTSetFieldFocus(IDC_BATCH);
    return false;
  }
  Put(szBatch, batch.c_str());
  return true;
}
