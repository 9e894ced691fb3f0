// The customer balance window (PVcustinfDlg): one active customer at a time,
// found by reference, name or phone, with what is owed and the credit
// limit; PgUp and PgDn step through the customers in the order of the
// field being searched. Also the customer look-up the payment screen's
// customer panel shares.
#pragma once

#include <string>

#include "platform/forms/forms.h"
#include "platform/sql/query.h"
#include "shell/screens.h"

namespace kvt::payment {

// What the till shows of a customer: address, phone, and what is owed.
struct CustomerInformation {
  std::string name, phone, address1, address2, city, state, zip;
  double currentDue = 0, pastDue = 0, balanceDue = 0;
  std::string creditLimit, recno, phoneRecno;
};
// The customer with its terms; Failed with *error when it could not be read.
kvt::sql::Found GetCustomerInformation(const std::string& reference, CustomerInformation* info,
                                       std::string* error);

}  // namespace kvt::payment

struct PVcustinfData {
  char RECNO[81];
  char CUSTREF[81];
  char CUSTNAME[81];
  char CURRDUE[81];
  char PASTDUE[81];
  char CREDITLMT[81];
  char BALDUE[81];
  char CUSTPHONE[81];
};

class PVcustinfDlg : public PVDialog, public KVTFieldChecker, public KVTKeyedScreen {
 public:
  enum : int {
    IDC_CUSTREF = 101,
    IDC_CUSTNAME = 102,
    IDC_CUSTPHONE = 103,
    IDC_CURRDUE = 104,
    IDC_PASTDUE = 105,
    IDC_CREDITLMT = 106,
    IDC_BALDUE = 107,
    IDC_RECNO = 108,
  };
  // The end code when the cashier asked for a payment on account (F8).
  static constexpr int kPayOnAccount = 8;

  explicit PVcustinfDlg(HWND parent);
  static const KVTFormDecl& FormDecl();
  // Opens on this customer.
  void KVTSetReference(const char* key) override;

  // A typed reference, name or phone: exactly one active customer loads
  // it; none or several leave the window as it was. The focus goes on.
  int VerifyFields(int fieldId) override;
  // Shows the customer; false when it is not there (or could not be read).
  bool ShowCustomer(const std::string& reference);
  // The customer before or after the one shown, in the order of `field`.
  bool Step(int field, bool forward);

  PVcustinfData Data{};

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;

 private:
  std::string start_;
  std::string shown_;       // the reference shown
  std::string phoneRecno_;  // its phone's record number
};
