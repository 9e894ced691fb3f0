// The shift total verification screen and the shift totals text.
#include "backoffice/shifttot.h"

#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "shell/crestpay.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

void KVTPOSSR::PadWithBlanks(char* szString, int iLenthOfString, int leading) {
  std::string padded = KVTShiftTotals::Pad(szString, iLenthOfString, leading);
  std::memcpy(szString, padded.c_str(), padded.size() + 1);
}

std::string KVTPOSSR::SalesTotalText() {
  const PVshifttotDlg& s = *screen_;
  KVTShiftTotals totals;
  if (!sales_.Read(s.szStore, s.szDate, s.szTillRef, s.szShift, &totals)) return "";
  return totals.Text(s.szDate, s.szEmployee, s.szShift, s.szTillRef,
                     s.bCrestpayInstalled && s.bFarmPlanAccepted);
}

void KVTPOSSR::DoSalesTotalList() {
  std::string text = SalesTotalText();
  screen_->SetFieldText(PVshifttotDlg::IDC_TOTALS, text);
  if (!LastError().empty()) {
    std::string message = "The sales of this shift could not be read:\n\n" + LastError();
    screen_->MessageBox(message.c_str(), "Error", MB_OK | MB_ICONSTOP);
  }
}

// ---------------------------------------------------------------------------

const KVTFormDecl& PVshifttotDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    KVTFormDecl f("PVshifttotDlg", "Shift total verification", 60, 36);
    f.Label(IDC_TOTALS, "", 2, 1, 56).height = 30;
    f.Label(IDC_QUESTION, "Is this a continuation of the above shift?", 9, 32, 42);
    f.Button(IDC_YES, "&Yes", 18, 34);
    f.Button(IDC_NO, "&No", 34, 34);
    return f;
  }();
  return form;
}

PVshifttotDlg::PVshifttotDlg(HWND parent)
    : PVDialog(parent, FormDecl()), VerifyPOSShiftResume(new KVTPOSSR(this)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_YES, [this] { Cmidc_yes(); });
  OnCommand(IDC_NO, [this] { Cmidc_no(); });
}

PVshifttotDlg::~PVshifttotDlg() {
  SetFieldChecker(nullptr);
  delete VerifyPOSShiftResume;
}

void PVshifttotDlg::SetupWindow() {
  SetFieldChecker(VerifyPOSShiftResume);
  SetFieldFont(IDC_TOTALS, KVTCreateFont("Courier", 10));  // the module's fixed-pitch font
  if (IsProgramInstalled("KVTJD.DLL")) {
    bCrestpayInstalled = true;
    FindInvLoc(szStore);
    if (bIsFarmPlanOfffered(Handle(), INVENTORY_LOCATION, "")) bFarmPlanAccepted = true;
  }
  KVTSetSetting(szContinue, "NO");
  VerifyPOSShiftResume->DoSalesTotalList();
  KVTSetFieldFocus(IDC_NO);
}

void PVshifttotDlg::Cmidc_yes() {
  KVTSetSetting(szContinue, "YES");
  CloseWindow(IDOK);
}

void PVshifttotDlg::Cmidc_no() {
  KVTSetSetting(szContinue, "NO");
  CloseWindow(IDCANCEL);
}

KVT_REGISTER_SCREEN(PVshifttotDlg);
