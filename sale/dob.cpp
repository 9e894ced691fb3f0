// The date-of-birth dialog.
#include "sale/dob.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/kvtbase.h"
#include "sale/age.h"
#include "shell/globals.h"
#include "shell/screens.h"

const KVTFormDecl& PVdobDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVdobDlg", "Date of Birth", 60, 4);
    f.Label(IDC_DOBPROMPT, "", 2, 1, 56);
    f.Edit(IDC_DATEOB, "Date of Birth (MMDDYYYY) : ", 2, 3, 10, KVT_BIND(PVdobData, DATEOB));
    return f;
  }();
  return form;
}

PVdobDlg::PVdobDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  SetFieldChecker(this);
}

void PVdobDlg::SetTypeFlag(const char* type) {
  KVTSetSetting(szType, type ? type : "");
  KVTSetSetting(szProduct, std::strcmp(szType, "A") == 0   ? "alcohol"
                           : std::strcmp(szType, "T") == 0 ? "tobacco"
                                                           : "");
}

void PVdobDlg::SetLegalAge(const char* years) {
  KVTSetSetting(szLegalAge, years ? years : "");
}

void PVdobDlg::SetDateOfBirth(const char* mmddyyyy) {
  KVTSetSetting(szDOB, mmddyyyy ? mmddyyyy : "");
  KVTSetSetting(Data.DATEOB, szDOB);
}

void PVdobDlg::SetupWindow() {
  const char* prompt =
      std::strcmp(szType, "A") == 0   ? "Proper Identification is required to purchase Alcohol."
      : std::strcmp(szType, "T") == 0 ? "Proper Identification is required to purchase Tobacco."
                                      : "Proper Identification is required.";
  SetFieldText(IDC_DOBPROMPT, prompt);
  KVTSetFieldFocus(IDC_DATEOB);
}

int PVdobDlg::Retry(bool clear) {
  if (clear) SetFieldVar(IDC_DATEOB, "");
  KVTSetFieldFocus(IDC_DATEOB);
  return 1;
}

int PVdobDlg::VerifyFields(int fieldId) {
  if (fieldId != IDC_DATEOB) return 0;
  TRIM(Data.DATEOB);
  KVTSetSetting(szDOB, Data.DATEOB);
  if (std::strcmp(szDOB, kOverrideCode) == 0) {
    bLegal = true;
    CloseWindow(IDOK);
    return 1;
  }
  char text[400];
  if (!szDOB[0]) {
    KVTsprintf(text, sizeof text,
               "Identification is required to purchase %s.\n\nWould you like to enter the "
               "customers date of birth?",
               szProduct);
    if (MessageBox(text, "Identification Required", MB_YESNO | MB_ICONQUESTION) == IDYES)
      return Retry(false);
    bLegal = false;
    CloseWindow(IDCANCEL);
    return 1;
  }
  kvt::sale::AgeDecision age = kvt::sale::DecideAge(szDOB, std::atoi(szLegalAge), CurrentDate());
  // A text of eight characters that is no calendar day is refused like a
  // short one, rather than read as a birth date of year 0.
  if (!age.validDate) {
    MessageBox("Date of Birth must be entered as MM/DD/YYYY.", "Invalid Date", MB_OK);
    return Retry(true);
  }
  if (age.ofAge) {
    bLegal = true;
    CloseWindow(IDOK);
    return 1;
  }
  bLegal = false;
  KVTSetSetting(szLegalDateToPurchase, age.legalDateToPurchase.c_str());
  std::string dob = std::string(szDOB, 2) + "/" + std::string(szDOB + 2, 2) + "/" + (szDOB + 4);
  KVTsprintf(text, sizeof text,
             "You must be %s to purchase %s, the customer is not %s.\n\nIs %s the correct date "
             "of birth?",
             szLegalAge, szProduct, szLegalAge, dob.c_str());
  if (MessageBox(text, "Not of Legal Age", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
    CloseWindow(IDCANCEL);
    return 1;
  }
  return Retry(true);
}

KVT_REGISTER_SCREEN(PVdobDlg);
