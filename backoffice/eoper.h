// The period dialog (PVeoperDlg) of End of Day, Month and Year: all stores
// or one store, with its checks (EOPerA). SetMode before it runs, GetStore
// after it closed with OK.
#pragma once

#include <string>

#include "platform/forms/forms.h"
#include "platform/sql/query.h"

struct PVeoperData {
  char STORE[11];
};

class PVeoperDlg;

class EOPerA : public KVTFieldChecker {
 public:
  explicit EOPerA(PVeoperDlg* screen) : screen_(screen) {}
  // The store field left by a key: a store not on file opens the store
  // search; an empty one while "one store" is chosen is refused.
  int VerifyFields(int fieldId) override;
  // OK: with "one store", a store that is on file.
  int VerifyRequiredFields() override;

 private:
  int Refuse(const char* message, const char* caption);
  PVeoperDlg* screen_;
};

class PVeoperDlg : public PVDialog {
 public:
  enum : int {
    IDC_PROMPT = 101,
    IDC_ALLSTORES = 102,
    IDC_ONESTORE = 103,
    IDC_STORE = 104,
    IDC_SRCHSTORE = 105,
  };

  explicit PVeoperDlg(HWND parent);
  ~PVeoperDlg() override;
  static const KVTFormDecl& FormDecl();

  // 1 End of Day, 2 End of Month, 3 End of Year: title and prompt.
  void SetMode(int mode);
  // The store chosen ("" for all stores).
  std::string GetStore() const { return szStore; }
  // "ALL" or "ONE" once accepted.
  const char* GetOption() const { return szOption; }

  void Cmidc_allstores();
  void Cmidc_onestore();
  void Cmidc_srchstore();

  PVeoperData Data{};
  EOPerA* Checker;
  int iMode = 1;
  char szOption[8] = "";
  char szStore[50] = "";

 protected:
  void SetupWindow() override;
};
