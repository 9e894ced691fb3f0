// The employee number popup.
#include "backoffice/empid.h"

#include <cstring>
#include <string>

#include "backoffice/login.h"
#include "platform/base/kvtbase.h"
#include "shell/globals.h"
#include "shell/screens.h"

const KVTFormDecl& PVempidDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVempidDlg", "Employee", 32, 3);
    f.Edit(IDC_EMPLOYEE, "Employee Number : ", 20, 1, 7, KVT_BIND(PVempidData, EMPLOYEE));
    return f;
  }();
  return form;
}

PVempidDlg::PVempidDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

void PVempidDlg::SetEmployee(const char* szEmp) {
  KVTSetSetting(szDefault_, szEmp ? szEmp : "");
}

void PVempidDlg::SetupWindow() {
  bool useDefault = std::strcmp(CFG_DEFAULTSALESREP, "T") == 0;
  KVTSetSetting(Data.EMPLOYEE, useDefault ? szDefault_ : "");
  DoAppToScr(IDC_EMPLOYEE);
  KVTSetFieldFocus(IDC_EMPLOYEE);
}

int PVempidDlg::VerifyFields(int fieldId) {
  if (fieldId != IDC_EMPLOYEE) return 0;
  TRIM(Data.EMPLOYEE);
  kvt::sql::Result found = KVTPOSLIA::VerifyEmployee(Data.EMPLOYEE);
  if (found.found() == kvt::sql::Found::Yes) {
    HasPassed = true;
    KVTSetSetting(szEmployee, Data.EMPLOYEE);
    CloseWindow(IDOK);
    return 1;
  }
  HasPassed = false;
  szEmployee[0] = '\0';
  if (!found.ok()) {  // the code stays for another try
    std::string message = "The employees could not be read:\n\n" + found.error();
    MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
    return 1;
  }
  MessageBox("Invalid Employee.", "Error", MB_OK | MB_ICONSTOP);
  Data.EMPLOYEE[0] = '\0';
  DoAppToScr(IDC_EMPLOYEE);
  return 1;
}

KVT_REGISTER_SCREEN(PVempidDlg);
