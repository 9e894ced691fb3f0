// The transfer batch popup (PVtrnbatchDlg, "Point of Sale"): what is about
// to be transferred and, when batches are used, the sales ticket batch.
// The caller presets the five texts, runs it and reads bDoTransfer and szBatch.
#pragma once

#include "platform/forms/forms.h"

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

class PVtrnbatchDlg : public PVDialog {
 public:
  enum : int {
    IDC_BATCH = 101,
    IDC_BATCHSRCH = 102,
    IDC_TRANSFER = IDOK,
    IDC_HEADING = 110,
    IDC_STORE = 111,
    IDC_DATE = 112,
    IDC_TILLREF = 113,
    IDC_SHIFT = 114,
  };

  explicit PVtrnbatchDlg(HWND parent);
  ~PVtrnbatchDlg() override;
  static const KVTFormDecl& FormDecl();

  void SetTranSalesCount(const char* s);
  void SetTranStore(const char* s);
  void SetTranDate(const char* s);
  void SetTranTillRef(const char* s);
  void SetTranShift(const char* s);
  void InitForm();
  bool SearchBatch();

  char szBatch[50] = "";
  char szTranSalesCount[50] = "";
  char szTranStore[50] = "";
  char szTranDate[50] = "";
  char szTranTillRef[50] = "";
  char szTranShift[50] = "";
  bool bDoTransfer = false;
  PVtrnbatchData Data{};
  TRNBATCHA VerifyBatchA{this};

 protected:
  void SetupWindow() override;
  void CmOk() override;
};
