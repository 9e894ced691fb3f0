// The shift total verification screen (PVshifttotDlg): the totals of one
// till shift by tender, as fixed-width text, and the question whether the
// operator is continuing that shift. KVTPOSSR shows the text that
// KVTShiftTotals (backoffice/shifttotals.h) makes.
#pragma once

#include <string>

#include "backoffice/shifttotals.h"
#include "platform/forms/forms.h"

class PVshifttotDlg;

// The screen has no fields of its own.
struct PVshifttotData {
  char unused[1];
};

class KVTPOSSR : public KVTFieldChecker {
 public:
  explicit KVTPOSSR(PVshifttotDlg* screen) : screen_(screen) {}
  int VerifyFields(int) override { return 0; }

  // Trims szString, then adds blanks up to iLenthOfString characters: in
  // front when `leading` is 0 (right-aligned), behind otherwise
  // (left-aligned). A text already that long or longer stays as trimmed.
  // szString must hold iLenthOfString + 1 bytes.
  static void PadWithBlanks(char* szString, int iLenthOfString, int leading);

  // The totals of the screen's till shift (store, date, till, shift) from
  // every sale of it, whatever its status, into control 101. Sales that
  // cannot be read leave the text empty and are reported.
  void DoSalesTotalList();
  // The same text ("" when the sales could not be read).
  std::string SalesTotalText();
  // Why the sales could not be read by the last SalesTotalText ("" when
  // they were); DoSalesTotalList shows it.
  const std::string& LastError() const { return sales_.error(); }

 private:
  PVshifttotDlg* screen_;
  KVTShiftSales sales_;
};

class PVshifttotDlg : public PVDialog {
 public:
  enum : int {
    IDC_TOTALS = 101,  // the totals text, in the fixed-pitch font
    IDC_YES = 102,
    IDC_NO = 103,
    IDC_QUESTION = 104,
  };

  explicit PVshifttotDlg(HWND parent);
  ~PVshifttotDlg() override;
  static const KVTFormDecl& FormDecl();

  // Filled by the caller before the screen runs.
  char szTillRef[50] = "";
  char szStore[50] = "";
  char szShift[50] = "";
  char szDate[50] = "";  // MMDDYYYY, as the login screen holds it
  char szEmployee[50] = "";
  // The answer: "YES" when the operator pressed Yes, else "NO".
  char szContinue[50] = "NO";
  // Set when the screen starts: the financing module is installed and the
  // store's inventory location accepts Farm Plan. Both show its lines.
  bool bCrestpayInstalled = false;
  bool bFarmPlanAccepted = false;
  KVTPOSSR* VerifyPOSShiftResume;
  PVshifttotData Data{};

  void Cmidc_yes();
  void Cmidc_no();

 protected:
  void SetupWindow() override;
};
