// The daily sales review screen: its form, keys, buttons and the change question.
#include "backoffice/viewds.h"

#include "backoffice/reprint.h"
#include "backoffice/viewdsa.h"
#include "backoffice/viewtd.h"
#include "platform/base/kvtbase.h"
#include "shell/crestpay.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"

namespace {

const int kFarmPlanLines[] = {430, 431, 432, 433};

}  // namespace

const KVTFormDecl& PVviewdsDlg::FormDecl() {
  static const KVTFormDecl form = [] {
    using D = PVviewdsData;
    KVTFormDecl f("PVviewdsDlg", "View Daily Sales", 112, 46);
    f.Edit(IDC_INVOICENUM, "Sale Number:", 14, 1, 10, KVT_BIND(D, INVOICENUM));
    f.Edit(IDC_INVDATE, "Shift Date:", 38, 1, 10, KVT_BIND(D, INVDATE));
    f.Edit(IDC_CUSTREF, "Customer:", 60, 1, 10, KVT_BIND(D, CUSTREF));
    f.Edit(IDC_TYPETEXT, "", 74, 1, 16).Protected().NoTabStop();
    f.Edit(IDC_TRANSFERRED, "", 92, 1, 16).Protected().NoTabStop();
    f.Edit(IDC_LINK, "Link:", 14, 2, 20, KVT_BIND(D, LINK)).Protected().Hidden().NoTabStop();
    f.Edit(IDC_RECNO, "Record:", 44, 2, 10, KVT_BIND(D, RECNO)).Protected().Hidden().NoTabStop();
    f.Edit(IDC_LOCATION, "Location:", 64, 2, 10, KVT_BIND(D, LOCATION))
        .Protected()
        .Hidden()
        .NoTabStop();
    KVTFieldDecl& lines = f.Grid(IDC_DATATBL1, 1, 4, 8);
    for (auto [title, width] : {std::pair{"Inv Ref", 12},
                                {"Till Code", 6},
                                {"Category", 8},
                                {"Loc", 4},
                                {"Description", 24},
                                {"Serial", 8},
                                {"Quantity", 8},
                                {"Cost", 8},
                                {"Price", 8},
                                {"Discount", 8},
                                {"Amount", 9},
                                {"FS", 2},
                                {"Tax", 3}})
      lines.Column(title, width, 81);
    for (const char* hidden : {"NUMCHANGE", "RECNO", "Invoice Num", "Invoice Link"})
      lines.Column(hidden, 10, 81).Hidden();
    KVTFieldDecl& taxes = f.Grid(IDC_DATATBL2, 1, 14, 4);
    for (auto [title, width] : {std::pair{"Tax Code", 10}, {"Tax Rate", 10}, {"Tax Amount", 10}})
      taxes.Column(title, width, 81);
    for (const char* hidden : {"Invoice Link", "Invoice Number", "NUMCHANGE", "RECNO"})
      taxes.Column(hidden, 10, 81).Hidden();
    // The sale's texts and amounts in three columns.
    int n = 0;
    for (const KVTShownColumn& c : ViewdsShownColumns()) {
      int column = n / 13, row = n % 13;
      f.Edit(c.id, c.label, 18 + column * 30, 20 + row, 11).Protected().NoTabStop();
      ++n;
    }
    f.Group(IDC_CARDGROUP, "Cr&edit Card Information", 2, 34, 40, 7);
    f.Edit(IDC_CCTYPE, "Type:", 20, 35, 10, KVT_BIND(D, CCTYPE));
    f.Edit(IDC_CCNUM, "Number:", 20, 36, 20, KVT_BIND(D, CCNUM));
    f.Edit(IDC_CCEXPDATE, "Expires (MMYY):", 20, 37, 4, KVT_BIND(D, CCEXPDATE));
    f.Edit(IDC_CCAUTHNUM, "Authorization:", 20, 38, 20, KVT_BIND(D, CCAUTHNUM));
    f.Edit(IDC_CCDATE, "Expiry Date:", 20, 39, 10, KVT_BIND(D, CCDATE)).Protected().Hidden();
    f.Group(IDC_FARMPLANGROUP, "Farm Plan Information", 46, 34, 36, 4);
    f.Edit(IDC_FPACCNUM, "Account:", 62, 35, 18, KVT_BIND(D, FPACCNUM)).Protected().NoTabStop();
    f.Edit(IDC_FPAUTHNUM, "Authorization:", 62, 36, 18, KVT_BIND(D, FPAUTHNUM))
        .Protected()
        .NoTabStop();
    f.Button(IDC_NEXT, "Ne&xt", 2, 43);
    f.Button(IDC_PREVIOUS, "&Previous", 14, 43);
    f.Button(IDC_NEW, "&New", 28, 43);
    f.Button(IDC_FIND, "&Find", 38, 43);
    f.Button(IDC_ACCEPT, "&Accept", 48, 43);
    f.Button(IDC_TAXDETAIL, "&View Tax Detail", 60, 43);
    f.Button(IDC_CLOSE, "&Close", 80, 43);
    f.Help(0, "F9 Reprint Receipt   F10 Reprint Invoice", 2, 45, 60);
    return f;
  }();
  return form;
}

PVviewdsDlg::PVviewdsDlg(HWND parent)
    : PVMDIDialog(parent, FormDecl()), support(new VIEWDSA(this)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_NEXT, [this] { Cmidc_next(); });
  OnCommand(IDC_PREVIOUS, [this] { Cmidc_previous(); });
  OnCommand(IDC_NEW, [this] { Cmidc_new(); });
  OnCommand(IDC_FIND, [this] { Cmidc_find(); });
  OnCommand(IDC_ACCEPT, [this] { Cmidc_accept(); });
  OnCommand(IDC_TAXDETAIL, [this] { Cmidc_taxdetail(); });
  for (int id : {IDC_CCTYPE, IDC_CCNUM, IDC_CCEXPDATE, IDC_CCAUTHNUM})
    OnChange(id, [this] { bChanged = true; });
  // A button pressed takes the focus; Cancel on the change question gives
  // it back to the field it came from.
  for (int id : {IDC_INVOICENUM, IDC_INVDATE, IDC_CUSTREF, IDC_CCTYPE, IDC_CCNUM, IDC_CCEXPDATE,
                 IDC_CCAUTHNUM})
    OnSetFocus(id, [this, id] { lastField_ = id; });
}

PVviewdsDlg::~PVviewdsDlg() {
  SetFieldChecker(nullptr);
  delete support;
}

void PVviewdsDlg::GetConfig() {
  bPRMPTCCTYP = bPRMPTCCNUM = bPRMPTCCEXP = bPRMPTCCATH = true;
  bPOACCTYP = bPOACCNUM = bPOACCEXP = bPOACCATH = true;
  GetPaymentConfigInfo(DEFAULT_STORE, DEFAULT_TILLREF, "");
  auto off = [](const char* setting) { return setting[0] == 'F'; };
  if (off(CFG_PROMPTCCTYPE)) bPRMPTCCTYP = false;
  if (off(CFG_PROMPTCCNUMBER)) bPRMPTCCNUM = false;
  if (off(CFG_PROMPTCCEXPDATE)) bPRMPTCCEXP = false;
  if (off(CFG_PROMPTCCAUTHCODE)) bPRMPTCCATH = false;
  if (off(CFG_POAPROMPTCCTYPE)) bPOACCTYP = false;
  if (off(CFG_POAPROMPTCCNUMBER)) bPOACCNUM = false;
  if (off(CFG_POAPROMPTCCEXPDATE)) bPOACCEXP = false;
  if (off(CFG_POAPROMPTCCAUTHCODE)) bPOACCATH = false;
}

void PVviewdsDlg::SetupWindow() {
  SetFieldChecker(support);
  support->ConnectView();
  GetConfig();
  bCrestpayInstalled = IsProgramInstalled("KVTJD.DLL");
  ProtectField(IDC_FPACCNUM);
  ProtectField(IDC_FPAUTHNUM);
  if (!bCrestpayInstalled) {
    ShowField(IDC_FARMPLANGROUP, false);
    ShowField(IDC_FPACCNUM, false);
    ShowField(IDC_FPAUTHNUM, false);
    for (int id : kFarmPlanLines) ShowField(id, false);
  }
  if (DEBUGMODE) {
    for (int id : {IDC_LINK, IDC_RECNO, IDC_LOCATION, IDC_CCDATE}) ShowField(id, true);
  }
  support->InitForm();
  if (!bRunningPOS) {
    KVTSetFieldFocus(IDC_INVOICENUM);
    return;
  }
  for (int id : {IDC_NEW, IDC_FIND, IDC_ACCEPT}) ShowField(id, false);
  KVTSetFieldFocus(IDC_INVDATE);
  PostMessage(WM_COMMAND, IDC_FIND);
}

bool PVviewdsDlg::CanLeave() {
  if (!bChanged) return true;
  int focus = lastField_ ? lastField_ : GetFocusField();
  switch (MessageBox("Changes have been made! Save changes?", "Changed",
                     MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDCANCEL:
      KVTSetFieldFocus(focus);
      return false;
    case IDYES:
      return support->SaveInfo();
    default:
      bChanged = false;
      return true;
  }
}

void PVviewdsDlg::Cmidc_next() {
  if (CanLeave()) support->Step(true);
}

void PVviewdsDlg::Cmidc_previous() {
  if (CanLeave()) support->Step(false);
}

void PVviewdsDlg::Cmidc_new() {
  if (!CanLeave()) return;
  support->InitForm();
  KVTSetFieldFocus(IDC_INVOICENUM);
}

void PVviewdsDlg::Cmidc_find() {
  if (!CanLeave()) return;
  if (!support->Find()) {
    if (bRunningPOS) {
      CloseWindow(IDCANCEL);
      return;
    }
    Cmidc_new();
    return;
  }
  if (bRunningPOS) KVTSetFieldFocus(IDC_CLOSE);
}

void PVviewdsDlg::Cmidc_accept() {
  support->SaveInfo();
}

void PVviewdsDlg::Cmidc_taxdetail() {
  PVviewtdDlg detail(Handle());
  detail.SetInvoiceLnk(Data.LINK);
  detail.Execute();
}

void PVviewdsDlg::PrintCustomerReceipt(const char* link) {
  KVTReprintSale(Handle(), link, false);
}

void PVviewdsDlg::PrintInvoice(const char* link) {
  KVTReprintSale(Handle(), link, true);
}

bool PVviewdsDlg::PreProcessMsg(MSG& msg) {
  if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
    bool f9 = msg.wParam == VK_F9;
    bool f10 = msg.wParam == VK_F10 && GetKeyState(VK_MENU) >= 0;
    if (f9 || f10) {
      if (Data.LINK[0]) f9 ? PrintCustomerReceipt(Data.LINK) : PrintInvoice(Data.LINK);
      if (bRunningPOS) KVTSetFieldFocus(IDC_CLOSE);
      return true;
    }
  }
  return PVMDIDialog::PreProcessMsg(msg);
}

void PVviewdsDlg::CmCancel() {
  if (!bRunningPOS && !CanLeave()) return;
  PVMDIDialog::CmCancel();
}

KVT_REGISTER_SCREEN(PVviewdsDlg);
