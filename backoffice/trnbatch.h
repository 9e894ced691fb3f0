// The transfer batch popup (PVtrnbatchDlg, "Point of Sale"): what is about
// to be transferred and, when batches are used, the sales ticket batch.
// The caller presets the five texts, runs it and reads bDoTransfer and szBatch.
#pragma once

#include "backoffice/batchpopup.h"

struct PVtrnbatchData {
  char BATCH[50];
};

class PVtrnbatchDlg;

class TRNBATCHA : public KVTFieldChecker {
 public:
  explicit TRNBATCHA(PVtrnbatchDlg* screen) : screen_(screen) {}
  int VerifyFields(int id) override;

 private:
  PVtrnbatchDlg* screen_;
};

class PVtrnbatchDlg : public KVTBatchPopup {
 public:
  enum : int { IDC_TRANSFER = IDOK };

  explicit PVtrnbatchDlg(HWND parent);
  ~PVtrnbatchDlg() override;
  static const KVTFormDecl& FormDecl();

  void InitForm();

  PVtrnbatchData Data{};
  TRNBATCHA VerifyBatchA{this};

 protected:
  void SetupWindow() override;
  void CmOk() override;
};
