// The re-transfer options popup (PVchgoptsDlg, "Re-Export Options"): what
// is about to be transferred (or imported) again, the targets (sales
// tickets, C-Store, inventory) and, for a transfer, the sales ticket batch.
// The caller presets it, runs it and reads bDoTransfer, szBatch and the
// three flags.
#pragma once

#include "backoffice/batchpopup.h"

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

class PVchgoptsDlg : public KVTBatchPopup {
 public:
  enum : int {
    IDC_TRNST = 103,
    IDC_TRNCST = 104,
    IDC_TRNPB = 105,
  };

  explicit PVchgoptsDlg(HWND parent);
  ~PVchgoptsDlg() override;
  static const KVTFormDecl& FormDecl();

  void SetTranST(const char* s);
  void SetTranPB(const char* s);
  void SetTranCST(const char* s);

  void InitForm();

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
