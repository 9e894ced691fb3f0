// The login screen: till shift checks, new, continued and closed shifts.
#include "backoffice/login.h"

#include <cstring>
#include <string>
#include <utility>

#include "backoffice/shifttot.h"
#include "platform/base/kvtbase.h"
#include "platform/win/folders.h"
#include "sale/pos1.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

namespace {

const int kFields[] = {PVloginDlg::IDC_STORE, PVloginDlg::IDC_SHIFTDATE, PVloginDlg::IDC_TILLREF,
                       PVloginDlg::IDC_EMPLOYEE, PVloginDlg::IDC_SHIFT};

template <std::size_t N>
void Set(char (&dest)[N], const char* text) {
  KVTSetSetting(dest, text ? text : "");
}

const char* Text(const char* s) {
  return s ? s : "";
}

}  // namespace

// ---------------------------------------------------------------------------
// KVTPOSLIA

kvt::sql::Result KVTPOSLIA::VerifyStore(const char* szRef) {
  KVTWaitCursor wait;
  return KVTTillShift::FindStore(Text(szRef));
}

kvt::sql::Result KVTPOSLIA::VerifyTillRef(const char* szRef, const char* szStore) {
  KVTWaitCursor wait;
  return KVTTillShift::FindTill(Text(szRef), Text(szStore));
}

kvt::sql::Result KVTPOSLIA::VerifyEmployee(const char* szRef) {
  KVTWaitCursor wait;
  return KVTTillShift::FindEmployee(Text(szRef));
}

kvt::sql::Result KVTPOSLIA::VerifyShift(const char* szRef) {
  KVTWaitCursor wait;
  return KVTTillShift::FindShift(Text(szRef));
}

int KVTPOSLIA::Refuse(int field, const char* message) {
  screen_->bLoggedIn = false;
  screen_->MessageBox(message, "Error", MB_OK | MB_ICONSTOP);
  screen_->KVTSetFieldFocus(field);
  return 1;
}

int KVTPOSLIA::Check(int field, const kvt::sql::Result& found, const char* invalid,
                     const char* what) {
  if (found.found() == kvt::sql::Found::Yes) return 0;
  if (found.ok()) return Refuse(field, invalid);
  std::string message = std::string(what) + " could not be read:\n\n" + found.error();
  return Refuse(field, message.c_str());
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
      return Check(ResourceID, VerifyTillRef(d.TILLREF, d.STORE), "Invalid Till Reference.",
                   "The tills");
    case PVloginDlg::IDC_SHIFT:
      TRIM(d.SHIFT);
      if (Check(ResourceID, VerifyShift(d.SHIFT), "Invalid Shift.", "The shifts")) return 1;
      screen_->bLoggedIn = true;
      screen_->Login();  // leaving the shift field is the login
      return 1;
    case PVloginDlg::IDC_EMPLOYEE:
      TRIM(d.EMPLOYEE);
      return Check(ResourceID, VerifyEmployee(d.EMPLOYEE), "Invalid Employee.", "The employees");
    case PVloginDlg::IDC_STORE:
      TRIM(d.STORE);
      return Check(ResourceID, VerifyStore(d.STORE), "Invalid Store.", "The stores");
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
  using Ids = PVloginDlg;
  if (Check(Ids::IDC_STORE, VerifyStore(d.STORE), "Invalid Store.", "The stores")) return 0;
  // A date left by the mouse is not completed yet.
  const char* badDate = !d.SHIFTDATE[0]   ? "Shift Date is required."
                        : !CompleteDate() ? "Invalid Shift Date."
                                          : nullptr;
  if (badDate) {
    Refuse(Ids::IDC_SHIFTDATE, badDate);
    return 0;
  }
  if (Check(Ids::IDC_TILLREF, VerifyTillRef(d.TILLREF, d.STORE), "Invalid Till Reference.",
            "The tills"))
    return 0;
  if (Check(Ids::IDC_EMPLOYEE, VerifyEmployee(d.EMPLOYEE), "Invalid Employee.", "The employees"))
    return 0;
  if (Check(Ids::IDC_SHIFT, VerifyShift(d.SHIFT), "Invalid Shift.", "The shifts")) return 0;
  return 1;
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

KVTShiftState PVloginDlg::ContinuedShift(const char* szStore, const char* szShiftDate,
                                         const char* szTillRef, const char* /*szEmployee*/,
                                         const char* szShift, std::string* error) {
  KVTWaitCursor wait;
  KVTTillShift shift(Text(szStore), Text(szShiftDate), Text(szTillRef), Text(szShift));
  KVTShiftState state = shift.State();
  if (error) *error = shift.error();
  return state;
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
  KVTTillShift shift(Text(szStore), Text(szShiftDate), Text(szTillRef), Text(szShift));
  if (shift.RecordOpen()) return;
  std::string message = "Error occurred inserting KVTPOS9 record.\n\n" + shift.error();
  MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
}

bool PVloginDlg::Login() {
  if (!Checker.VerifyRequiredFields()) {
    bLoggedIn = false;
    return false;
  }
  std::string error;
  switch (
      ContinuedShift(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT, &error)) {
    case KVTShiftState::Failed: {
      // Nothing is decided on sales that could not be read: the operator
      // stays on the shift to try again.
      std::string message = "The sales of this shift could not be read:\n\n" + error;
      MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
      bLoggedIn = false;
      KVTSetFieldFocus(IDC_SHIFT);
      return false;
    }
    case KVTShiftState::New:
      bLoggedIn = MessageBox("Is this a new shift?", "Point Of Sale",
                             MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION) == IDYES;
      break;
    case KVTShiftState::Closed:
      MessageBox("  This shift has been closed.\n\nYou must choose a different shift.",
                 "Point Of Sale", MB_OK | MB_ICONINFORMATION);
      bLoggedIn = false;
      break;
    case KVTShiftState::Continued:
      CloseOutReport(Data.STORE, Data.SHIFTDATE, Data.TILLREF, Data.EMPLOYEE, Data.SHIFT);
      bLoggedIn = std::strcmp(szContinue, "YES") == 0;
      break;
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
  KVTOpenSaleWindow(Parent());

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

void KVTOpenSaleWindow(HWND parent) {
  const std::pair<const char*, const char*> pages[] = {{"PVpos1Dlg", "Sale Items"},
                                                       {"PVpos2Dlg", "Sale Total"}};
  auto* tabs = new Tbacktab(parent);
  for (const auto& [screen, title] : pages) tabs->AddTab(title, KVTNewPage(screen, parent, title));
  auto* frame = new PVmdiwinDlg(KVTFindMDIClient(parent), PROGRAM_NAME, tabs);
  frame->SetFrameStyle({false, false, false});
  if (!frame->Create()) {
    delete frame;
    return;
  }
  tabs->Show(SW_SHOW);
  frame->SetCaption(PROGRAM_NAME);
  int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
  tabs->MoveWindow(0, 0, cx, cy);
  if (cx < 801 && cy < 601) {
    KVTRect r = frame->GetWindowRect();
    frame->MoveWindow(0, 0, r.w, r.h);
  }
  frame->Show(SW_SHOWMAXIMIZED);
  frame->SetFocus();
}

// ---------------------------------------------------------------------------
// The open-shift record ends with the till shift (close-out, transfer).

void PVpos1Dlg::RemoveLoginInfo(const char* szStore, const char* szShiftDate, const char* szTillRef,
                                const char* szShift) {
  KVTTillShift shift(Text(szStore), Text(szShiftDate), Text(szTillRef), Text(szShift));
  if (shift.EndOpen()) return;
  std::string message = "Error occurred deleting KVTPOS9 record.\n\n" + shift.error();
  MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
}
