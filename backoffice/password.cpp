// The password popup.
#include "backoffice/password.h"

#include <cstring>

#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/screens.h"

const KVTFormDecl& PVpasswordDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVpasswordDlg", "Password", 36, 3);
    f.Edit(IDC_PASSWD, "Password : ", 13, 1, 20, KVT_BIND(PVpasswordData, PASSWD)).Password();
    return f;
  }();
  return form;
}

PVpasswordDlg::PVpasswordDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

void PVpasswordDlg::SetTransferFlag(const char* szTransferring) {
  KVTSetSetting(szTransferFlag_, szTransferring ? szTransferring : "");
}

void PVpasswordDlg::SetupWindow() {
  KVTSetFieldFocus(IDC_PASSWD);
}

int PVpasswordDlg::VerifyFields(int fieldId) {
  if (fieldId != IDC_PASSWD) return 0;
  TRIM(Data.PASSWD);
  HasPassed = false;
  if (Data.PASSWD[0]) {
    const char* wanted =
        std::strcmp(szTransferFlag_, "1") == 0 ? CFG_TRANSFERPASSWORD : CFG_PASSWORD;
    HasPassed = std::strcmp(Data.PASSWD, wanted) == 0;
    if (!HasPassed) MessageBox("Invalid Password.", "Error", MB_OK | MB_ICONSTOP);
  }
  CloseWindow(HasPassed ? IDOK : IDCANCEL);
  return 1;
}

KVT_REGISTER_SCREEN(PVpasswordDlg);
