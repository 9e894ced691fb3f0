// The employee number popup (PVempidDlg): who is making the sale. Enter
// accepts a code of KVTCOM11; an unknown one is refused and cleared.
#pragma once

#include "platform/forms/forms.h"
#include "shell/screens.h"

struct PVempidData {
  char EMPLOYEE[7];
};

class PVempidDlg : public PVDialog, public KVTFieldChecker, public KVTKeyedScreen {
 public:
  enum : int { IDC_EMPLOYEE = 178 };

  explicit PVempidDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  // The employee shown at the start when CFG_DEFAULTSALESREP is "T".
  void SetEmployee(const char* szEmp);
  // The sale screen presets its login employee this way.
  void KVTSetReference(const char* key) override { SetEmployee(key); }

  // After the popup closes: the accepted code (empty when none) and whether
  // one was accepted.
  char szEmployee[50] = "";
  bool HasPassed = false;
  PVempidData Data{};

  int VerifyFields(int fieldId) override;

 protected:
  void SetupWindow() override;

 private:
  char szDefault_[50] = "";
};
