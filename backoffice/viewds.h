// The daily sales review (PVviewdsDlg, "View Daily Sales"): one saved sale
// at a time with its lines, taxes, tenders and totals; Next, Previous, New
// and Find move through the saved sales (never the suspended ones); F9 and
// F10 reprint its receipt and invoice; "&View Tax Detail" opens PVviewtdDlg.
// Only the sale's credit card data can be corrected. The screen's members
// forward to VIEWDSA (backoffice/viewdsa.h), which loads and checks, and to
// KVTDailySales (backoffice/dailysales.h), which reads and writes.
#pragma once

#include <string>

#include "backoffice/dailysales.h"
#include "platform/forms/forms.h"

struct PVviewdsData {
  char INVOICENUM[11];
  char INVDATE[21];
  char CUSTREF[11];
  char CCTYPE[21];
  char CCNUM[21];
  char CCDATE[21];
  char CCAUTHNUM[21];
  double RECNO;
  char LINK[81];
  char CCEXPDATE[5];
  char LOCATION[81];
  char FPACCNUM[81];
  char FPAUTHNUM[81];
};

class VIEWDSA;

class PVviewdsDlg : public PVMDIDialog {
 public:
  enum : int {
    IDC_INVDATE = 101,
    IDC_CCNUM = 103,
    IDC_CCDATE = 104,
    IDC_INVOICENUM = 107,
    IDC_CCEXPDATE = 145,
    IDC_CCTYPE = 146,
    IDC_CCAUTHNUM = 147,
    IDC_RECNO = 163,
    IDC_CUSTREF = 182,
    IDC_LINK = 183,
    IDC_LOCATION = 184,
    IDC_FPACCNUM = 185,
    IDC_FPAUTHNUM = 186,
    IDC_DATATBL1 = 190,  // the lines
    IDC_DATATBL2 = 191,  // the taxes
    IDC_CARDGROUP = 192,
    IDC_FARMPLANGROUP = 193,
    // Buttons.
    IDC_NEXT = 301,
    IDC_PREVIOUS = 302,
    IDC_NEW = 303,
    IDC_FIND = 304,
    IDC_ACCEPT = 305,
    IDC_TAXDETAIL = 306,
    IDC_CLOSE = IDCANCEL,
    // Shown texts of the sale (4xx): see the display table in viewds.cpp.
    IDC_TYPETEXT = 400,
    IDC_TRANSFERRED = 401,
    IDC_CREDITAMT = 420,
    IDC_CREDITPAY = 421,
    IDC_CANEXCHG = 440,
    IDC_CANAMT = 441,
  };

  explicit PVviewdsDlg(HWND parent);
  ~PVviewdsDlg() override;
  static const KVTFormDecl& FormDecl();

  void Cmidc_next();
  void Cmidc_previous();
  void Cmidc_new();
  void Cmidc_find();
  void Cmidc_accept();
  void Cmidc_taxdetail();
  void PrintCustomerReceipt(const char* link);
  void PrintInvoice(const char* link);
  // Reads the prompt switches from the payment configuration.
  void GetConfig();

  // Whether the shown sale may be left: asks "Changes have been made! Save
  // changes?" when its card data changed. False: stay.
  bool CanLeave();
  bool IsChanged() const { return bChanged; }
  void SetChanged(bool changed) { bChanged = changed; }

  PVviewdsData Data{};
  bool bPRMPTCCTYP = true, bPRMPTCCNUM = true, bPRMPTCCEXP = true, bPRMPTCCATH = true;
  bool bPOACCTYP = true, bPOACCNUM = true, bPOACCEXP = true, bPOACCATH = true;
  // Opened from the sale screen to look at a previous sale: no New, Find
  // or Accept; Find leaves out no-sales and voids.
  bool bRunningPOS = false;
  bool bCrestpayInstalled = false;
  VIEWDSA* support;

 protected:
  void SetupWindow() override;
  bool PreProcessMsg(MSG& msg) override;
  void CmCancel() override;

 private:
  bool bChanged = false;
  int lastField_ = 0;  // the last field entered
};
