// Adding a customer at the till: the add-customer window (PVaddcustDlg) and
// the writer of the new customer's rows (every customer table, all or
// none), with the next automatic customer number.
#pragma once

#include <string>

#include "platform/forms/forms.h"

struct PVaddcustData {
  char REF[11];
  char ADDR1[31];
  char ADDR2[31];
  char CITY[31];
  char STATE[4];
  char ZIP[11];
  char NAME[36];
  char PHONE[31];
};

namespace kvt::payment {

// The next free automatic customer number from KVTAR10.NEXTCNUM, moved on
// only where it still holds what was read (two tills never get the same
// one), skipping numbers a customer already has. "" with *error when none
// could be had within a bounded number of tries.
std::string GetNextCustRef(std::string* error);

// Writes the customer's rows (KVTAR50, 51, 52, 53, 54, 56, 57) in one
// transaction; "Auto" takes the next automatic number. The reference saved
// is put back in `data.REF`. False with the message for the cashier
// ("Error occurred inserting KVTAR5x record.\nThis customer has not been
// saved!" and the database's reason), nothing written.
bool SaveCustomer(PVaddcustData& data, bool balanceForward, std::string* message);

}  // namespace kvt::payment

class PVaddcustDlg : public PVDialog, public KVTFieldChecker {
 public:
  enum : int {
    IDC_REF = 101,
    IDC_NAME = 102,
    IDC_ADDR1 = 103,
    IDC_ADDR2 = 104,
    IDC_CITY = 105,
    IDC_STATE = 106,
    IDC_ZIP = 107,
    IDC_PHONE = 108
  };

  explicit PVaddcustDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  int VerifyFields(int /*fieldId*/) override { return 0; }
  // Every field in order; the reference not in use ("Auto" excepted).
  int VerifyRequiredFields() override;

  PVaddcustData Data{};

 protected:
  // Checked, then saved; closes with IDOK only when the customer was saved.
  void CmOk() override;
};
