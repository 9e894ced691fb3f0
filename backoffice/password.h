// The password popup (PVpasswordDlg): the till password, or the transfer
// password while a shift is closed by a transfer. Enter closes it in every
// case; HasPassed tells whether the password matched (case counts).
#pragma once

#include "platform/forms/forms.h"
#include "shell/screens.h"

struct PVpasswordData {
  char PASSWD[21];
};

class PVpasswordDlg : public PVDialog, public KVTFieldChecker, public KVTPasswordScreen {
 public:
  enum : int { IDC_PASSWD = 101 };

  explicit PVpasswordDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  // "1": the transfer password (CFG_TRANSFERPASSWORD); anything else the till
  // password (CFG_PASSWORD).
  void SetTransferFlag(const char* szTransferring) override;

  bool HasPassed = false;
  PVpasswordData Data{};

  int VerifyFields(int fieldId) override;

 protected:
  void SetupWindow() override;

 private:
  char szTransferFlag_[2] = "";
};
