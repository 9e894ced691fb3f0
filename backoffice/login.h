// The login screen (PVloginDlg) and its checks (KVTPOSLIA): an operator opens
// a till shift (store, shift date, till, employee, shift). A shift without
// sales starts after "Is this a new shift?"; a shift with untransferred sales
// is continued after its totals are confirmed; a shift with a transferred
// sale is refused. A successful login records the open shift in KVTPOS9,
// sets the login values and opens the sale window.
#pragma once

#include <string>

#include "backoffice/tillshift.h"
#include "platform/forms/forms.h"
#include "platform/sql/query.h"

// Text fields, each terminated; SHIFTDATE holds MMDDYYYY digits.
struct PVloginData {
  char STORE[7];
  char SHIFTDATE[21];
  char TILLREF[7];
  char EMPLOYEE[7];
  char SHIFT[7];
};

class PVloginDlg;

class KVTPOSLIA : public KVTFieldChecker {
 public:
  explicit KVTPOSLIA(PVloginDlg* screen) : screen_(screen) {}

  // Whether the master table has the (trimmed) code: KVTCOM13 stores,
  // KVTCOM14 tills of a store, KVTCOM11 employees, KVTCOM10 shifts; Failed
  // with the database's message when it could not be read.
  static kvt::sql::Result VerifyStore(const char* szRef);
  static kvt::sql::Result VerifyTillRef(const char* szRef, const char* szStore);
  static kvt::sql::Result VerifyEmployee(const char* szRef);
  static kvt::sql::Result VerifyShift(const char* szRef);

  // The operator left a field by a key. Leaving the shift field with a valid
  // shift is the login itself. A refused field keeps the focus ("Invalid
  // Store." ... with caption "Error") and clears the logged-in flag; so does
  // a look-up that failed, with a box saying what could not be read.
  int VerifyFields(int ResourceID) override;
  // Every field in screen order; the first failure is shown and gets the
  // focus. Non-zero when all are good.
  int VerifyRequiredFields() override;

 private:
  int Refuse(int field, const char* message);
  // 0 when the look-up found the code; otherwise refuses the field with
  // `invalid`, or with "<what> could not be read" and the database's message.
  int Check(int field, const kvt::sql::Result& found, const char* invalid, const char* what);
  // Completes a keyed date in the buffer (trailing zeros stripped, MakeDate);
  // false when it is not a calendar day.
  bool CompleteDate();

  PVloginDlg* screen_;
};

class PVloginDlg : public PVDialog {
 public:
  enum : int {
    IDC_TILLREF = 176,
    IDC_SHIFT = 177,
    IDC_EMPLOYEE = 178,
    IDC_STORE = 179,
    IDC_SHIFTDATE = 180,
  };

  explicit PVloginDlg(HWND parent);
  static const KVTFormDecl& FormDecl();

  // Runs the whole check and, when it passes, decides new, continued or
  // closed shift; true when the operator is logged in (the screen has then
  // closed and the sale window is open). Sales that cannot be read are
  // reported and leave the screen as it was.
  bool Login();
  // What the till shift's sales say about it (KVTTillShift::State); the
  // database's message into *error when they could not be read.
  KVTShiftState ContinuedShift(const char* szStore, const char* szShiftDate, const char* szTillRef,
                               const char* szEmployee, const char* szShift, std::string* error);
  // Shows the shift's totals and asks whether it is being continued; the
  // answer ("YES" or "NO") into szContinue.
  void CloseOutReport(const char* szStore, const char* szShiftDate, const char* szTillRef,
                      const char* szEmployee, const char* szShift);
  // Records the open till shift in KVTPOS9; a failure is reported (with the
  // database's message) and does not stop the login.
  void InsertLoginInfo(const char* szStore, const char* szShiftDate, const char* szTillRef,
                       const char* szShift);
  // Fresh screen: defaults, today, login values empty, focus by the rules.
  void InitForm();

  PVloginData Data{};
  KVTPOSLIA Checker{this};
  bool bLoggedIn = false;
  char szSaveStore[50] = "";
  char szSaveShiftDate[50] = "";
  char szSaveTillRef[50] = "";
  char szSaveEmployee[50] = "";
  char szSaveShift[50] = "";
  char szLoggedIn[50] = "FALSE";
  char szContinue[50] = "";

 protected:
  void SetupWindow() override;
  // Esc: on a dedicated till with nobody logged in the application ends too.
  void CmCancel() override;

 private:
  void ShowFields(bool protect);
};

// The sale window: the "Sale Items" and "Sale Total" tabs, maximised in an
// MDI frame of the host. A successful login opens it; so does DoPOSSales.
void KVTOpenSaleWindow(HWND parent);
