// The payment screen's field checker (POS2A): each field of a tender as it
// is left, and the card, check and credit checks other screens share.
#pragma once

#include "platform/forms/forms.h"
#include "platform/sql/kvtsql.h"

class PVpos2Dlg;

class POS2A : public KVTFieldChecker {
 public:
  explicit POS2A(PVpos2Dlg* parent) : ParentDlg(parent) {}

  // A field left by a key: its check, then the tender's next step. Always
  // non-zero: the checker moves the focus itself.
  int VerifyFields(int fieldId) override;
  // The customer's reference and name are not empty.
  int VerifyRequiredFields() override;

  // The account is on the bad check list (said to the cashier).
  bool BadCheck(const char* account);
  // The charge of `amount` takes the customer over the credit limit and the
  // cashier did not override it (or the limit could not be read): the
  // tender ends.
  bool ExceededCreditLimit(const char* reference, const char* amount);
  // The card type picked from the types of this location into PI1; false
  // when none was chosen.
  bool SearchCCardType();
  // A card type of the location (or of every location). A failed look-up
  // is said and reads as not valid.
  bool ValidCCType(HWND parent, const char* type, const char* location);
  // Checks MMYY in `date` against today and rewrites it as the month's last
  // day (MMDDYYYY); false after saying why.
  bool ValidCCExpDate(HWND parent, char* date);

 private:
  PVpos2Dlg* ParentDlg;
  KVTConnection FConn{1};
  // A check of `id` that failed: the field cleared, the focus kept.
  void Refuse(int id);
  void EndTender();
  bool CardLocked();
  void PoaDiscount();
  bool CanadianAmount();
};
