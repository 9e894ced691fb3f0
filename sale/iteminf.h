// The price check window (PViteminfDlg): the cashier keys a reference and
// sees its description and price, without adding it to the sale. Esc closes
// it.
#pragma once

#include "platform/forms/forms.h"

struct PViteminfData {
  char ITEMREF[81];
  char DESCRIPTION[81];
  char PRICE[81];
  char RECNO[81];
};

class PViteminfDlg : public PVDialog, public KVTFieldChecker {
 public:
  enum : int { IDC_PRICE = 104, IDC_ITEMREF = 182, IDC_DESCRIPTION = 183, IDC_KEYHELP = 111 };

  explicit PViteminfDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  char szCustRef[50] = "";
  PViteminfData Data{};

  int VerifyFields(int fieldId) override;

 protected:
  void SetupWindow() override;

 private:
  // The description and price of `ref`; false when it is not valid or a
  // look-up failed (the cashier was told).
  bool LookUp(const std::string& ref);
};
