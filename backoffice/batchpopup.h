// What the two transfer popups (the batch popup and the re-transfer
// options) share: the group about to go, preset by the caller and shown as
// a heading with its store, date, till and shift, and the sales ticket
// batch with its default, its search and its check when the popup is
// accepted.
#pragma once

#include <cstddef>

#include "platform/forms/forms.h"
#include "shell/screens.h"

class KVTBatchPopup : public PVDialog, public KVTTransferGroupScreen {
 public:
  enum : int {
    IDC_BATCH = 101,
    IDC_BATCHSRCH = 102,
    IDC_HEADING = 110,
    IDC_STORE = 111,
    IDC_DATE = 112,
    IDC_TILLREF = 113,
    IDC_SHIFT = 114,
  };

  void SetTranSalesCount(const char* s) override;
  void SetTranStore(const char* s) override;
  void SetTranDate(const char* s) override;
  void SetTranTillRef(const char* s) override;
  void SetTranShift(const char* s) override;
  bool TransferChosen() const override { return bDoTransfer; }
  const char* ChosenBatch() const override { return szBatch; }
  // Opens the batch search; true with the batch chosen.
  bool SearchBatch();

  char szBatch[50] = "";
  char szTranSalesCount[50] = "";
  char szTranStore[50] = "";
  char szTranDate[50] = "";
  char szTranTillRef[50] = "";
  char szTranShift[50] = "";
  bool bDoTransfer = false;

 protected:
  // `batch` is the transfer buffer's batch field of `size` characters.
  KVTBatchPopup(HWND parent, const KVTFormDecl& decl, char* batch, std::size_t size);
  // The heading and the four lines of the group, from row 1.
  static void DeclareGroup(KVTFormDecl& f);
  // The group's texts; with `batchShown` the batch fields and the default batch.
  void ShowGroup(bool batchShown);
  // The batch keyed, checked when the popup is accepted: false, with its
  // message and the focus on the batch, when it is not a batch.
  bool AcceptBatch();

 private:
  char* batch_;
  std::size_t batchSize_;
};
