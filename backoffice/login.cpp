// The login screen: till shift checks, new, continued and closed shifts.
#include "backoffice/login.h"

#include <cstring>
#include <string>

#include "backoffice/shifttot.h"
#include "platform/base/kvtbase.h"
#include "platform/win/folders.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"
#include "shell/windll.h"

namespace {

const int kFields[] = {PVloginDlg::IDC_STORE, PVloginDlg::IDC_SHIFTDATE, PVloginDlg::IDC_TILLREF,
                       PVloginDlg::IDC_EMPLOYEE, PVloginDlg::IDC_SHIFT};

// Runs a lookup on a short-lived handle of connection 1: true when a row
// comes back. Values are quoted into the text.
bool RowExists(const std::string& sql) {
  KVTWaitCursor wait;
  HVWCONN h = vwConnect(hApplication, 1, 0);
  if (!h) return false;
  bool found = KVTvwExecSQL(h, sql.c_str()) > 0 && KVTvwFetchNext(h) != 0;
  vwFreeStatement(h);
  vwDisconnect(h);
  return found;
}

std::string Trimmed(const char* s) {
  char buf[64];
  KVTSetSetting(buf, s ? s : "");
  return TRIM(buf);
}

template <std::size_t N>
void Set(char (&dest)[N], const char* text) {
  KVTSetSetting(dest, text ? text : "");
}

// "MMDDYYYY" as "MM/DD/YYYY".
std::string Slashed(const char* date) {
  std::string d = date;
  return d.size() == 8 ? d.substr(0, 2) + "/" + d.substr(2, 2) + "/" + d.substr(4) : d;
}

}  // namespace

// ---------------------------------------------------------------------------
// KVTPOSLIA

bool KVTPOSLIA::VerifyStore(const char* szRef) {
  return RowExists("SELECT RECNO FROM KVTCOM13 WHERE REFERENCE = '" +
                   KVTSqlQuote(Trimmed(szRef).c_str()) + "'");
}

bool KVTPOSLIA::VerifyTillRef(const char* szRef, const char* szStore) {
  return RowExists("SELECT RECNO FROM KVTCOM14 WHERE TILLNUM = '" +
                   KVTSqlQuote(Trimmed(szRef).c_str()) + "' AND STOREREF = '" +
                   KVTSqlQuote(Trimmed(szStore).c_str()) + "'");
}

bool KVTPOSLIA::VerifyEmployee(const char* szRef) {
  return RowExists("SELECT RECNO FROM KVTCOM11 WHERE EMPCODE = '" +
                   KVTSqlQuote(Trimmed(szRef).c_str()) + "'");
}

bool KVTPOSLIA::VerifyShift(const char* szRef) {
  return RowExists("SELECT RECNO FROM KVTCOM10 WHERE SHIFT = '" +
                   KVTSqlQuote(Trimmed(szRef).c_str()) + "'");
}

int KVTPOSLIA::Refuse(int field, const char* message) {
  screen_->bLoggedIn = false;
  screen_->MessageBox(message, "Error", MB_OK | MB_ICONSTOP);
  screen_->KVTSetFieldFocus(field);
  return 1;
}

bool KVTPOSLIA::CompleteDate() {
  PVloginData& d = screen_->Data;
  TRIM(d.SHIFTDATE);
  StripDateZeros(d.SHIFTDATE);
  bool valid = MakeDate(d.SHIFTDATE);
  screen_->DoAppToScr(PVloginDlg::IDC_SHIFTDATE);
  return valid;
}

int KVTPOSLIA::VerifyFields(int ResourceID) {
  if (!screen_->LastMessageWasKey()) return 0;
  if (GetKeyState(VK_SHIFT) < 0) {
    screen_->SetFocusPrevField();
    return 1;
  }
  PVloginData& d = screen_->Data;
  switch (ResourceID) {
    case PVloginDlg::IDC_TILLREF:
      TRIM(d.TILLREF);
      if (!VerifyTillRef(d.TILLREF, d.STORE)) return Refuse(ResourceID, "Invalid Till Reference.");
      break;
    case PVloginDlg::IDC_SHIFT:
      TRIM(d.SHIFT);
      if (!VerifyShift(d.SHIFT)) return Refuse(ResourceID, "Invalid Shift.");
      screen_->bLoggedIn = true;
      screen_->Login();  // leaving the shift field is the login
      return 1;
    case PVloginDlg::IDC_EMPLOYEE:
      TRIM(d.EMPLOYEE);
      if (!VerifyEmployee(d.EMPLOYEE)) return Refuse(ResourceID, "Invalid Employee.");
      break;
    case PVloginDlg::IDC_STORE:
      TRIM(d.STORE);
      if (!VerifyStore(d.STORE)) return Refuse(ResourceID, "Invalid Store.");
      break;
    case PVloginDlg::IDC_SHIFTDATE: {
      if (!CompleteDate()) return Refuse(ResourceID, "Invalid Shift Date.");
      if (std::strcmp(d.SHIFTDATE, CurrentDate().c_str()) != 0 &&
          screen_->MessageBox("The shift date is not the current date, use anyway? ",
                              "Point Of Sale",
                              MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) != IDYES) {
        screen_->bLoggedIn = false;
        screen_->KVTSetFieldFocus(ResourceID);
        return 1;
      }
      break;
    }
    default:
      break;
  }
  return 0;
}

int KVTPOSLIA::VerifyRequiredFields() {
  screen_->DoScrToApp();
  PVloginData& d = screen_->Data;
  for (char* f : {d.STORE, d.SHIFTDATE, d.TILLREF, d.EMPLOYEE, d.SHIFT}) TRIM(f);
  screen_->DoAppToScr();
  int field = 0;
  const char* message = nullptr;
  if (!VerifyStore(d.STORE)) {
    field = PVloginDlg::IDC_STORE, message = "Invalid Store.";
  } else if (!d.SHIFTDATE[0]) {
    field = PVloginDlg::IDC_SHIFTDATE, message = "Shift Date is required.";
  } else if (!CompleteDate()) {  // a date left by the mouse is not completed yet
    field = PVloginDlg::IDC_SHIFTDATE, message = "Invalid Shift Date.";
  } else if (!VerifyTillRef(d.TILLREF, d.STORE)) {
    field = PVloginDlg::IDC_TILLREF, message = "Invalid Till Reference.";
  } else if (!VerifyEmployee(d.EMPLOYEE)) {
    field = PVloginDlg::IDC_EMPLOYEE, message = "Invalid Employee.";
  } else if (!VerifyShift(d.SHIFT)) {
    field = PVloginDlg::IDC_SHIFT, message = "Invalid Shift.";
  }
  if (!message) return 1;
  Refuse(field, message);
  return 0;
}

// ---------------------------------------------------------------------------
// PVloginDlg

const KVTFormDecl& PVloginDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVloginDlg", "Point Of Sale Login", 44, 10);
    f.Edit(IDC_STORE, "Store : ", 22, 1, 7, KVT_BIND(PVloginData, STORE));
    f.Edit(IDC_SHIFTDATE, "Shift Date : ", 22, 2, 10, KVT_BIND(PVloginData, SHIFTDATE));
    f.Edit(IDC_TILLREF, "Till Reference : ", 22, 3, 7, KVT_BIND(PVloginData, TILLREF));
    f.Edit(IDC_EMPLOYEE, "Employee Number : ", 22, 4, 7, KVT_BIND(PVloginData, EMPLOYEE));
    f.Edit(IDC_SHIFT, "Shift : ", 22, 5, 7, KVT_BIND(PVloginData, SHIFT));
    f.Label(0, "Press ESC to exit.", 13, 7);
    return f;
  }();
  return form;
}

PVloginDlg::PVloginDlg(HWND parent) : PVDialog(parent, FormDecl()) {
  SetTransferBuffer(&Data);
}

void PVloginDlg::SetupWindow() {
  SetFieldChecker(&Checker);
  GetConfigInfo("", "", "");
  InitForm();
}

void PVloginDlg::ShowFields(bool protect) {
  for (int id : kFields) {
    if (protect) {
      ProtectField(id);
      SetFieldColors(id, KVT_PROTECTED_FG, KVT_PROTECTED_BG);
    } else {
      UnprotectField(id);
      SetFieldColors(id, KVT_NORMAL_FG, KVT_NORMAL_BG);
    }
  }
}

void PVloginDlg::InitForm() {
  Set(Data.STORE, DEFAULT_STORE);
  Set(Data.SHIFTDATE, CurrentDate().c_str());
  Set(Data.TILLREF, DEFAULT_TILLREF);
  Data.EMPLOYEE[0] = Data.SHIFT[0] = '\0';

  bLoggedIn = false;
  for (char* saved : {szSaveStore, szSaveShiftDate, szSaveTillRef, szSaveEmployee, szSaveShift})
    saved[0] = '\0';
  Set(szLoggedIn, "FALSE");
  for (char* value : {LOGIN_STORE, LOGIN_DATE, LOGIN_TILL, LOGIN_EMPLOYEE, LOGIN_SHIFT})
    value[0] = '\0';

  ShowFields(false);
  bool changeDate = std::strcmp(CFG_CHANGEDATE, "T") == 0;
  if (!changeDate) {
    ProtectField(IDC_SHIFTDATE);
    SetFieldColors(IDC_SHIFTDATE, KVT_PROTECTED_FG, KVT_PROTECTED_BG);
  }
  DoAppToScr();

  if (!Data.STORE[0])
    KVTSetFieldFocus(IDC_STORE);
  else if (changeDate)
    KVTSetFieldFocus(IDC_SHIFTDATE);
  else if (Data.TILLREF[0])
    KVTSetFieldFocus(IDC_EMPLOYEE);
  else
    KVTSetFieldFocus(IDC_TILLREF);
}

bool PVloginDlg::ContinuedShift(const char* szStore, const char* szShiftDate, const char* szTillRef,
                                const char* szEmployee, const char* szShift, char* szShiftClosed) {
  std::strcpy(szShiftClosed, "0");
  std::string date = Slashed(szShiftDate);
  static char sql[] =
      "SELECT TRANSNUM FROM KVTPOS1 WHERE (STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = "
      "?) ORDER BY TRANSNUM DESC";
  FConn.PrepareSQL(sql);
  FConn.BindParam(sql, szStore, 0);
  FConn.BindParam(sql, date.c_str(), 3);
  FConn.BindParam(sql, szTillRef, 0);
  FConn.BindParam(sql, szShift, 0);
  bool found = FConn.ExecuteSQL(sql) > 0 && FConn.FetchNext(sql);
  if (found && Trimmed(FConn.ColumnVar(sql, 1)) != "") std::strcpy(szShiftClosed, "1");
  FConn.FreeStatement(sql);
  return found;
}

void PVloginDlg::CloseOutReport(const char* szStore, const char* szShiftDate, const char* szTillRef,
                                const char* szEmployee, const char* szShift) {
  PVshifttotDlg totals(Handle());
  Set(totals.szStore, szStore);
  Set(totals.szDate, szShiftDate);
  Set(totals.szTillRef, szTillRef);
  Set(totals.szEmployee, szEmployee);
  Set(totals.szShift, szShift);
  totals.Execute();
  Set(szContinue, totals.szContinue);
}

void PVloginDlg::InsertLoginInfo(const char* szStore, const char* szShiftDate,
                                 const char* szTillRef, const char* szShift) {
  char recno[32];
  KVTsprintf(recno, "%.0f", NextNum(hApplication, 1, "KVTPOS9", 100, 0, 1));
  static char sql[] = "INSERT INTO KVTPOS9 (STORE,INVDATE,TILLREF,SHIFT,RECNO) VALUES (?,?,?,?,?)";
  FConn.PrepareSQL(sql);
  FConn.BindParam(sql, szStore, 0);
  FConn.BindParam(sql, szShiftDate, 3);
  FConn.BindParam(sql, szTillRef, 0);
  FConn.BindParam(sql, szShift, 0);
  FConn.BindParam(sql, recno, 2);
  bool inserted = FConn.ExecuteSQL(sql) > 0 && FConn.RowsAffected(sql) > 0;
  FConn.FreeStatement(sql);
  if (!inserted)
    MessageBox("Error occurred inserting KVTPOS9 record.", "Error", MB_OK | MB_ICONSTOP);
}

bool PVloginDlg::Login() {
  if (!Checker.VerifyRequiredFields()) {
    bLoggedIn = false;
    return false;
  }
  char closed[2];
  if (!ContinuedShift(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT,
                      closed)) {
    bLoggedIn = MessageBox("Is this a new shift?", "Point Of Sale",
                           MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
  } else if (std::strcmp(closed, "1") == 0) {
    MessageBox("  This shift has been closed.\n\nYou must choose a different shift.",
               "Point Of Sale", MB_OK | MB_ICONINFORMATION);
    bLoggedIn = false;
  } else {
    CloseOutReport(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT);
    bLoggedIn = std::strcmp(szContinue, "YES") == 0;
  }
  if (!bLoggedIn) {
    InitForm();
    return false;
  }

  ShowFields(true);
  Set(szSaveStore, Data.STORE);
  Set(szSaveShiftDate, Data.SHIFTDATE);
  Set(szSaveTillRef, Data.TILLREF);
  Set(szSaveEmployee, Data.EMPLOYEE);
  Set(szSaveShift, Data.SHIFT);
  Set(szLoggedIn, "TRUE");
  KVTSetSetting(LOGIN_STORE, Data.STORE);
  KVTSetSetting(LOGIN_DATE, Data.SHIFTDATE);
  KVTSetSetting(LOGIN_TILL, Data.TILLREF);
  KVTSetSetting(LOGIN_EMPLOYEE, Data.EMPLOYEE);
  KVTSetSetting(LOGIN_SHIFT, Data.SHIFT);
  InsertLoginInfo(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.SHIFT);

  SendMessage(WM_COMMAND, IDCANCEL);
  DoPOSSales(Parent());

  // Signatures captured at the till are kept beside it.
  if (!FolderExists(".\\POSSign") && !CreateFolder(".\\POSSign"))
    MessageBox("Error Creating Directory POSSign", "Point Of Sale", MB_OK | MB_ICONEXCLAMATION);
  return true;
}

void PVloginDlg::CmCancel() {
  if (!bLoggedIn && POSTILL != 0) PostQuitMessage(0);
  PVDialog::CmCancel();
}

KVT_REGISTER_SCREEN(PVloginDlg);

// ---------------------------------------------------------------------------
// The open-shift record ends with the till shift (close-out, transfer).

void PVpos1Dlg::RemoveLoginInfo(const char* szStore, const char* szShiftDate, const char* szTillRef,
                                const char* szShift) {
  static char sql[] = "DELETE FROM KVTPOS9 WHERE STORE=? AND INVDATE=? AND TILLREF=? AND SHIFT=? ";
  FConn.PrepareSQL(sql);
  FConn.BindParam(sql, szStore, 0);
  FConn.BindParam(sql, szShiftDate, 3);
  FConn.BindParam(sql, szTillRef, 0);
  FConn.BindParam(sql, szShift, 0);
  FConn.ExecuteSQL(sql);  // a row already gone is no failure
  FConn.FreeStatement(sql);
}
