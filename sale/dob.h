// The date-of-birth dialog (PVdobDlg) run when a sale first meets an alcohol
// or tobacco item: it asks for the customer's date of birth and says whether
// the customer is of legal age. The caller reads bLegal and szDOB.
#pragma once

#include "platform/forms/forms.h"

struct PVdobData {
  char DATEOB[21];
};

class PVdobDlg : public PVDialog, public KVTFieldChecker {
 public:
  enum : int { IDC_DATEOB = 101, IDC_DOBPROMPT = 102 };
  // Typed instead of a date, it accepts the customer at once (identification
  // seen by a supervisor).
  static constexpr const char* kOverrideCode = "ID";

  explicit PVdobDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  void SetTypeFlag(const char* type);         // "A" alcohol, "T" tobacco
  void SetLegalAge(const char* years);        // as text
  void SetDateOfBirth(const char* mmddyyyy);  // may be empty

  bool bLegal = false;
  char szDOB[50] = "";
  char szType[50] = "";
  char szLegalAge[50] = "";
  char szProduct[50] = "";
  char szLegalDateToPurchase[50] = "";
  PVdobData Data{};

  int VerifyFields(int fieldId) override;

 protected:
  void SetupWindow() override;

 private:
  int Retry(bool clear);
};
