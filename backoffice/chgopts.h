// The re-transfer options popup (PVchgoptsDlg, "Re-Export Options"): what
// is about to be transferred (or imported) again, the targets (sales
// tickets, C-Store, inventory) and, for a transfer, the sales ticket batch.
// The caller presets it, runs it and reads bDoTransfer, szBatch and the
// three flags.
#pragma once

#include "platform/forms/forms.h"

struct PVchgoptsData {
  char BATCH[81];
};

class PVchgoptsDlg;

class CHGOPTSA : public KVTFieldChecker {
 public:
  explicit CHGOPTSA(PVchgoptsDlg* screen) : screen_(screen) {}
  int VerifyFields(int id) override;

 private:
  PVchgoptsDlg* screen_;
};

class PVchgoptsDlg : public PVDialog {
 public:
  enum : int {
    IDC_BATCH = 101,
    IDC_BATCHSRCH = 102,
    IDC_TRNST = 103,
    IDC_TRNCST = 104,
    IDC_TRNPB = 105,
    IDC_HEADING = 110,
    IDC_STORE = 111,
    IDC_DATE = 112,
    IDC_TILLREF = 113,
    IDC_SHIFT = 114,
  };

  explicit PVchgoptsDlg(HWND parent);
  ~PVchgoptsDlg() override;
  static const KVTFormDecl& FormDecl();

  void SetTranSalesCount(const char* s);
  void SetTranStore(const char* s);
  void SetTranDate(const char* s);
  void SetTranTillRef(const char* s);
  void SetTranShift(const char* s);
  void SetTranST(const char* s);
  void SetTranPB(const char* s);
  void SetTranCST(const char* s);

  void InitForm();
  // Opens the batch search; true with the batch chosen.
  bool SearchBatch();

  char szBatch[50] = "";
  char szTranSalesCount[50] = "";
  char szTranStore[50] = "";
  char szTranDate[50] = "";
  char szTranTillRef[50] = "";
  char szTranShift[50] = "";
  bool bDoTransfer = false;
  bool bUseBatch = true;
  char szTRNST[50] = "F";
  char szTRNPB[50] = "F";
  char szTRNCST[50] = "F";
  PVchgoptsData Data{};
  CHGOPTSA VerifyBatchA{this};

  // Whether the batch field is in use (batches on and not a re-import).
  bool BatchShown() const;

 protected:
  void SetupWindow() override;
  void CmOk() override;

 private:
  void SalesTicketToggled();
};
