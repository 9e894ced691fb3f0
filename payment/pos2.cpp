// The payment screen: its form, its keys, the steps of a tender, the
// totals panel and the completion of a paid sale.
#include "payment/pos2.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "payment/addcust.h"
#include "payment/complete.h"
#include "payment/fieldtext.h"
#include "payment/pos1e.h"
#include "payment/pos2a.h"
#include "platform/base/kvtbase.h"
#include "platform/sql/query.h"
#include "sale/pos1.h"
#include "shell/dbutil.h"
#include "shell/globals.h"
#include "shell/hostreq.h"
#include "shell/screens.h"

namespace pay = kvt::payment;

namespace {

using kvt::payment::Is;
using kvt::payment::Put;

double Num(const char* s) {
  return std::atof(s);
}

std::string Fmt(const char* format, double v) {
  char buf[64];
  KVTsprintf(buf, sizeof buf, format, KVTRound(v, 2));
  return buf;
}

constexpr char kSignaturePadTitle[] = "Kovatel Point of Sale Signature Pad";

// Commands the screen posts to itself.
enum : int {
  CM_SELECTTAB = 6000,
  CM_DISPLAYTOTALS = 7000,
  CM_SALEPAID = 8000,
  CM_PRINTINVOICE = 9001,
  CM_PRINTRECEIPT = 9002,
  CM_SELECTPYMTFORM = 9003,
  CM_SELECTVOIDFORM = 9004,
};

const int kEntryFields[] = {IDC_CUSTREF, IDC_CUSTNAME,    IDC_PI1,    IDC_PI2,     IDC_PI3,
                            IDC_PI4,     IDC_POADISCOUNT, IDC_AMOUNT, IDC_TENDERED};

KVTFormDecl MakeForm() {
  KVTFormDecl f("PVpos2Dlg", "Sale Total", 100, 34);
  f.Label(IDC_PAY_TITLE, "", 2, 0, 40);
  f.List(IDC_PYMTFORM, "Payment Form : ", 18, 2, 28, 12, KVT_BIND(PVpos2Data, szPYMTFORMSelection));
  f.Edit(IDC_CUSTREF, "Customer : ", 70, 2, 12, KVT_BIND(PVpos2Data, CUSTREF));
  f.Edit(IDC_CUSTNAME, "Name : ", 70, 3, 28, KVT_BIND(PVpos2Data, CUSTNAME));
  f.Edit(IDC_PI1, "", 70, 5, 15, KVT_BIND(PVpos2Data, PI1));
  f.Edit(IDC_PI2, "", 70, 6, 20, KVT_BIND(PVpos2Data, PI2));
  f.Edit(IDC_PI3, "", 70, 7, 8, KVT_BIND(PVpos2Data, PI3));
  f.Edit(IDC_PI4, "", 70, 8, 15, KVT_BIND(PVpos2Data, PI4));
  f.Edit(IDC_POADISCOUNT, "Discount : ", 70, 9, 10, KVT_BIND(PVpos2Data, DISCOUNT));
  f.Edit(IDC_AMOUNT, "Amount : ", 70, 10, 10, KVT_BIND(PVpos2Data, AMOUNT));
  f.Edit(IDC_TENDERED, "Amount Tendered : ", 70, 11, 10, KVT_BIND(PVpos2Data, TENDERED));
  f.Label(IDC_COMMENTS, "", 2, 16, 44);
  f.Label(IDC_TAXNOTE, "", 2, 15, 50);
  f.Label(IDC_CUSTPANEL, "", 2, 18, 30).height = 5;
  f.Label(IDC_CUSTAMOUNTS, "", 32, 18, 14).height = 5;
  // Rows A to D, the tax rows 2 to 6 under the first tax row, then E.
  for (int r = 0; r < pay::kPanelRows; ++r) {
    const int y = 14 + (r <= pay::kRowD ? r : r == pay::kRowE ? 9 : r - 1);
    f.Label(IDC_PANEL_LABEL + r, "", 48, y, 36);
    f.Label(IDC_PANEL_VALUE + r, "", 85, y, 14);
  }
  for (int i = 0; i < 6; ++i) f.Help(IDC_PAY_HELP + i, "", 2, 26 + i, 45);
  f.Label(IDC_PAUSE, "", 2, 32, 40);
  return f;
}

}  // namespace

const KVTFormDecl& PVpos2Dlg::FormDecl() {
  static const KVTFormDecl form = MakeForm();
  return form;
}

PVpos2Dlg::PVpos2Dlg(HWND parent) : KVTPropertyPage(parent, FormDecl()) {
  SetTransferBuffer(&Data);
  checker_ = std::make_unique<POS2A>(this);
  VerifyPOS2 = checker_.get();
  SetFieldChecker(VerifyPOS2);
  OnCommand(CM_SELECTTAB, [this] { DoSelectTab(); });
  OnCommand(CM_DISPLAYTOTALS, [this] { DoDisplayTotals(); });
  OnCommand(CM_SALEPAID, [this] { DoSalePaid(); });
  OnCommand(CM_PRINTINVOICE, [this] { DoPrintInvoice(); });
  OnCommand(CM_PRINTRECEIPT, [this] { DoPrintCustomerReceipt(); });
  OnCommand(CM_SELECTPYMTFORM, [this] { DoSelectPaymentForm(); });
  OnCommand(CM_SELECTVOIDFORM, [this] { DoSelectVoidPaymentForm(); });
  const std::pair<int, const char*> helpByField[] = {
      {IDC_CUSTREF, "CUSTREF"}, {IDC_CUSTNAME, "CUSTNAME"}, {IDC_PI1, "PI1"},      {IDC_PI2, "PI2"},
      {IDC_PI3, "PI3"},         {IDC_PI4, "PI4"},           {IDC_AMOUNT, "AMOUNT"}};
  for (const auto& [id, name] : helpByField) {
    std::string field = name;
    OnSetFocus(id, [this, id, field] {
      OnCustRef = id == IDC_CUSTREF;
      if (EnteringPayment) DisplayAvailKeys(PaymentEntered, 1, field.c_str(), SaleComplete);
    });
  }
}

PVpos2Dlg::~PVpos2Dlg() = default;

PVpos1Dlg* PVpos2Dlg::Sale() const {
  Tbacktab* tabs = TabWindow();
  return tabs ? dynamic_cast<PVpos1Dlg*>(tabs->GetPage(0)) : nullptr;
}

bool PVpos2Dlg::PayOnAcct() const {
  PVpos1Dlg* s = Sale();
  return s && Is(s->szPayOnAcct, "Y");
}

bool PVpos2Dlg::CashCheck() const {
  PVpos1Dlg* s = Sale();
  return s && Is(s->szCashCheck, "Y");
}

void PVpos2Dlg::SetupWindow() {
  HidePaymentInfoFields();
  ShowField(IDC_PAUSE, false);
}

void PVpos2Dlg::PageSelected() {
  if (Sale()) InitForm();
}

// ---- A sale on the tab ---------------------------------------------------------

void PVpos2Dlg::InitForm() {
  PVpos2Data& d = Data;
  for (char* f : {d.INVOICENUM, d.NUMCHANGE,  d.FSTOTAL,   d.REMAINTOTAL, d.TAXTOTAL,  d.TOTAL,
                  d.AMTREMAIN,  d.AMTREC,     d.CHANGEDUE, d.CASHAMT,     d.CHECKAMT,  d.CREDITAMT,
                  d.CASHRET,    d.CHARGEAMT,  d.CHARGERET, d.FDSTMPAMT,   d.TOTALPAID, d.CASHPAY,
                  d.CHECKPAY,   d.PYMTMETHOD, d.NONTAXAMT, d.CHECKNUM,    d.CHECKACCT, d.CCNUMBER,
                  d.CCEXPDATE,  d.CCTYPE,     d.CCAUTHNUM, d.PO,          d.CREDITPAY, d.FSCHANGE,
                  d.FSAMTREC,   d.INVOICELNK, d.CREDITRET, d.CANEXCHG,    d.CANAMOUNT})
    f[0] = '\0';
  d.DISCOUNT[0] = d.TENDERED[0] = '\0';
  d.RECNO = 0;
  PaymentEntered = EnteringPayment = SaleComplete = ReturnSale = 0;
  features_.clear();
  knownCustomerRef_.clear();
  bSignature = bEnteringMixedPOA = bMadeMixedPOA = false;
  szSaveCustRef[0] = szCustName[0] = szExpDate[0] = '\0';
  PymtFormIndex = '1';
  if (PVpos1Dlg* s = Sale()) {
    s->bUseDisc = false;
    s->dDiscount = 0;
    s->szUseDiscCat[0] = '\0';
  }
  ClearPanel();
  SetFieldText(IDC_TAXNOTE, "");
  ShowComments(false);
  DisplayTotals();
  NewPayment();
  SetFieldText(IDC_PAY_TITLE, PayOnAcct()   ? "Payment on Account"
                              : CashCheck() ? "Cashing Check"
                                            : "");
  SetFieldText(IDC_PAUSE, "Press <ENTER> to continue....");
  ShowField(IDC_PAUSE, false);
  PVpos1Dlg* s = Sale();
  if (CashCheck())
    PostMessage(WM_COMMAND, CM_SELECTPYMTFORM);
  else if (s && Is(s->szVoidTheSale, "Y"))
    PostMessage(WM_COMMAND, CM_SELECTVOIDFORM);
  else
    FocusFormList();
}

void PVpos2Dlg::FocusFormList() {
  KVTSetFieldFocus(IDC_PYMTFORM);
}

void PVpos2Dlg::NewPayment() {
  PVpos1Dlg* s = Sale();
  pay::FormListState st;
  st.total = Num(s ? s->Data.TOTAL : Data.TOTAL);
  st.payOnAcct = PayOnAcct();
  st.cashCheck = CashCheck();
  st.paymentEntered = PaymentEntered != 0;
  if (s) {
    st.farmPlanPayment = s->bFarmPlanPayment;
    st.crestpayInstalled = s->bCrestpayInstalled;
    st.farmPlanAccepted = s->bFarmPlanAccepted;
    st.mixedPOA = s->sMixedPOAAmt;
  }
  st.allowPoaCC = Is(CFG_ALLOWPOACC, "T");
  st.allowPoaGC = Is(CFG_ALLOWPOAGC, "T");
  st.canadian = CFG_POCANADIANEXCHANGE[0] != '\0';
  st.creditAmt = Data.CREDITAMT;
  st.fpAmt = sFPAmt;
  ClearList(IDC_PYMTFORM);
  for (const std::string& line : pay::PaymentForms(st)) AddListItem(IDC_PYMTFORM, line);
  SetListSelection(IDC_PYMTFORM, 0);
  HidePaymentInfoFields();
  PVpos2Data& d = Data;
  for (char* f : {d.CUSTREF, d.CUSTNAME, d.PI1, d.PI2, d.PI3, d.PI4, d.AMOUNT}) f[0] = '\0';
  szExpDate[0] = '\0';
  for (int id : {IDC_CUSTREF, IDC_CUSTNAME, IDC_PI1, IDC_PI2, IDC_PI3, IDC_PI4, IDC_AMOUNT})
    DoAppToScr(id);
  UnprotectField(IDC_PYMTFORM);
  EnteringPayment = OnCustRef = 0;
  discountAsked_ = false;
  if (ReturnSale && s) {
    s->CheckItemQtys("S");
    s->TotalSaleItems(0);
    DisplayTotals();
    ReturnSale = 0;
  }
  if (s && !PayOnAcct() && !CashCheck()) {
    if (PaymentEntered)
      Pole("Amount Remaining", Fmt(CURRENCY_FORMAT, Num(Data.AMTREMAIN)));
    else
      Pole("Total", Fmt(CURRENCY_FORMAT, Num(Data.TOTAL)));
  }
  DisplayAvailKeys(PaymentEntered, 0, "", SaleComplete);
  ShowCustomerInformation(false, "");
}

void PVpos2Dlg::HidePaymentInfoFields() {
  for (int id : kEntryFields) {
    ShowField(id, false);
    UnprotectField(id);
  }
}

void PVpos2Dlg::ClearForm() {
  HidePaymentInfoFields();
  DisplayAvailKeys(PaymentEntered, 0, "", SaleComplete);
}

void PVpos2Dlg::ShowTenderField(int id, const std::string& label) {
  if (!label.empty()) SetFieldLabel(id, label);
  ShowField(id, true);
  UnprotectField(id);
}

// ---- Keys ------------------------------------------------------------------------

bool PVpos2Dlg::PreProcessMsg(MSG& msg) {
  if (msg.message != WM_KEYDOWN) return KVTPropertyPage::PreProcessMsg(msg);
  const UINT vk = static_cast<UINT>(msg.wParam);
  const bool ctrlShift = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_SHIFT) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  if (vk >= VK_F1 && vk <= VK_F12 && (ctrlShift || (alt && vk == VK_F10))) return true;
  const bool plain = !PayOnAcct() && !CashCheck();
  switch (vk) {
    case VK_ESCAPE:
      if (SaleComplete) return true;
      if (EnteringPayment) {
        AbandonTender();
      } else if (!plain) {
        NewSale();
      } else if (!PaymentEntered) {
        VoidSale(Data.INVOICELNK);
      }
      return true;
    case VK_F1:
      if (!EnteringPayment && !PayOnAcct() && !PaymentEntered)
        PostMessage(WM_COMMAND, CM_SELECTTAB);
      else if (EnteringPayment && Is(CFG_ALLOWADDINGCUSTOMERS, "T") &&
               GetFocusField() == IDC_CUSTREF)
        NewCustomer();
      return true;
    case VK_F4:
      return true;
    case VK_F6:
      if (Is(CFG_ALLOWCHANGINGTAX, "T") && CFG_SALESTAXAUTH[0] && !EnteringPayment &&
          !PaymentEntered)
        ChangeTax();
      return true;
    case VK_F7:
      if (Is(CFG_ALLOWVIEWCUSTOMERBALANCE, "T") && !EnteringPayment && !PaymentEntered)
        ViewCustomerBalance();
      return true;
    case VK_F8:
      if (!EnteringPayment && !bEnteringMixedPOA) EnterMixedPOA();
      return true;
    case VK_F9:
      if (Is(CFG_ALLOWADDLRECEIPT, "T") && SaleComplete) PostMessage(WM_COMMAND, CM_PRINTRECEIPT);
      return true;
    case VK_F10:
      if (Is(CFG_ALLOWPRINTINVOICE, "T") && SaleComplete) PostMessage(WM_COMMAND, CM_PRINTINVOICE);
      return true;
    case VK_F11:
      ViewPriceCheck();
      return true;
    case VK_RETURN:
      if (!SaleComplete) break;
      PymtFormIndex = '1';
      NewSale();
      FocusFormList();
      return true;
    default:
      break;
  }
  return KVTPropertyPage::PreProcessMsg(msg);
}

void PVpos2Dlg::DisplayAvailKeys(int paymentEntered, int enteringPayment, const char* field,
                                 int saleComplete) {
  std::vector<std::string> lines;
  const std::string f = field ? field : "";
  const bool plain = !PayOnAcct() && !CashCheck();
  if (saleComplete) {
    if (Is(CFG_ALLOWADDLRECEIPT, "T")) lines.push_back("F9 - Print Additional Receipt");
    if (Is(CFG_ALLOWPRINTINVOICE, "T")) lines.push_back("F10 - Print Invoice");
  } else if (enteringPayment) {
    if (f == "CUSTREF") {
      if (Is(CFG_ALLOWCUSTSEARCH, "T")) {
        lines.push_back("/ - Search by Reference");
        lines.push_back("? - Search by Phone");
        lines.push_back("> - Search by Name");
      }
      if (Is(CFG_ALLOWADDINGCUSTOMERS, "T")) lines.push_back("F1 - Add Customer");
    } else if (f == "PI1" || f == "PI2" || f == "PI3" || f == "PI4") {
      const int id = f == "PI1" ? IDC_PI1 : f == "PI2" ? IDC_PI2 : f == "PI3" ? IDC_PI3 : IDC_PI4;
      PVpos1Dlg* s = Sale();
      pay::PromptSwitches all;
      for (bool* b : {all.checkAcct, all.checkNum, all.ccType, all.ccNumber, all.ccExp, all.ccAuth,
                      all.gcType, all.gcNumber, all.gcExp, all.gcAuth})
        b[0] = b[1] = true;
      all.poNumber = true;
      for (const pay::DetailStep& step : pay::DetailSteps(Form(), s && PayOnAcct(), all))
        if (step.field == id) {
          lines.push_back(step.help);
          if (step.prefillType) lines.push_back("/ - Search for Type");
        }
    }
    lines.push_back("ESC - Different Form of Payment");
  } else if (paymentEntered) {
    if (sFPAmt.empty()) lines.push_back("F8 - Payment on Account");
  } else if (plain) {
    lines.push_back("F1 - Add/Edit Items");
    if (Is(CFG_ALLOWCHANGINGTAX, "T") && CFG_SALESTAXAUTH[0]) lines.push_back("F6 - Change Tax");
    if (Is(CFG_ALLOWVIEWCUSTOMERBALANCE, "T")) lines.push_back("F7 - View Customer Balance");
    if (sFPAmt.empty()) lines.push_back("F8 - Payment on Account");
    lines.push_back("ESC - Void Sale");
  } else {
    if (Is(CFG_ALLOWVIEWCUSTOMERBALANCE, "T")) lines.push_back("F7 - View Customer Balance");
    lines.push_back("ESC - Exit");
  }
  for (int i = 0; i < 6; ++i)
    SetFieldText(IDC_PAY_HELP + i, i < static_cast<int>(lines.size()) ? lines[i] : "");
}

// ---- The steps of a tender -------------------------------------------------------

std::string PVpos2Dlg::TenderDefaultCustomer(char form) const {
  pay::DefaultCustomers d{CFG_DEFAULTCASHCUST, CFG_DEFAULTCHECKCUST, CFG_DEFAULTCCARDCUST,
                          CFG_DEFAULTFSCUST, CFG_DEFAULTGCARDCUST};
  return pay::DefaultCustomer(form, d);
}

bool PVpos2Dlg::ChoosePaymentForm() {
  const int sel = GetListSelection(IDC_PYMTFORM);
  if (sel == KVT_NONE) return false;
  const std::string line = GetListItem(IDC_PYMTFORM, sel);
  Put(Data.szPYMTFORMSelection, line);
  PymtFormIndex = static_cast<unsigned char>(line[0]);
  EnteringPayment = 1;
  PVpos1Dlg* s = Sale();
  auto confirm = [this](const char* question) {
    if (!Is(CFG_PROMPTONRETURN, "T")) return true;
    return MessageBox(question, PROGRAM_NAME, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
  };
  auto backToList = [this] {
    NewPayment();
    FocusFormList();
    return false;
  };
  switch (Form()) {
    case '4':
      if (!confirm("Cash Return - Are you sure?")) return backToList();
      ReturnSale = 1;
      if (s) s->CheckItemQtys("A");
      break;
    case '6':
      if (!confirm("Charge Return - Are you sure?")) return backToList();
      ReturnSale = 1;
      if (s) s->CheckItemQtys("H");
      break;
    case '9':
      if (!confirm("Credit Card Return - Are you sure?")) return backToList();
      ReturnSale = 1;
      if (s) s->CheckItemQtys(std::strcmp(Data.CUSTREF, CFG_DEFAULTCCARDCUST) == 0 ? "H" : "C");
      break;
    case 'B':
      if (!confirm("Farm Plan Return - Are you sure?")) return backToList();
      break;
    case '7':
      if (Num(Data.FSTOTAL) == 0 || Num(Data.FSTOTAL) <= Num(Data.FSAMTREC)) {
        MessageBox("Food Stamp Total is $0.00.\n\nChoose a different form of payment.",
                   PROGRAM_NAME, MB_OK | MB_ICONINFORMATION);
        return backToList();
      }
      Pole("Food Stamp Total", Fmt(CURRENCY_FORMAT, Num(Data.FSTOTAL)));
      break;
    case '8':
      if (!VoidSale(Data.INVOICELNK)) return backToList();
      return false;
    case 'C':
      DisplayTotals();
      break;
    default:
      break;
  }
  if (ReturnSale && s) {
    s->TotalSaleItems(0);
    DisplayTotals();
  }
  ProtectField(IDC_PYMTFORM);
  return true;
}

void PVpos2Dlg::DisplayPaymentInformation(char form, int fromField) {
  const bool poa = PayOnAcct();
  if (fromField == IDC_PYMTFORM && ModuleTender(form)) return;
  if (fromField == IDC_PYMTFORM) {
    if (szSaveCustRef[0]) {
      Put(Data.CUSTREF, szSaveCustRef);
      DoAppToScr(IDC_CUSTREF);
      ShowTenderField(IDC_CUSTREF, "");
      ShowTenderField(IDC_CUSTNAME, "");
      if (!CustomerEntered()) return;
      return DisplayPaymentInformation(form, IDC_CUSTNAME);
    }
    const std::string def = TenderDefaultCustomer(form);
    if (!poa && !Is(CFG_PROMPTFORCUSTOMER, "ALLSALES") && !def.empty() && !bMadeMixedPOA) {
      Put(Data.CUSTREF, def);
      LoadCustomer(def.c_str());
      Put(Data.CUSTREF, def);
      return DisplayPaymentInformation(form, IDC_CUSTNAME);
    }
    if (!poa)
      Put(Data.CUSTREF, def);
    else if (PVpos1Dlg* s = Sale())  // a payment on account asked for from the balance window
      Put(Data.CUSTREF, s->szCustRef);
    DoAppToScr(IDC_CUSTREF);
    ShowTenderField(IDC_CUSTREF, "");
    KVTSetFieldFocus(IDC_CUSTREF);
    return;
  }
  if (fromField == IDC_CUSTREF) {
    ShowTenderField(IDC_CUSTNAME, "");
    KVTSetFieldFocus(IDC_CUSTNAME);
    return;
  }
  pay::PromptSwitches sw;
  auto on = [](const char* s) { return std::strcmp(s, "T") == 0; };
  sw.checkAcct[0] = on(CFG_PROMPTCHECKACCTNUM), sw.checkAcct[1] = on(CFG_POAPROMPTCHECKACCTNUM);
  sw.checkNum[0] = on(CFG_PROMPTCHECKNUMBER), sw.checkNum[1] = on(CFG_POAPROMPTCHECKNUMBER);
  sw.ccType[0] = on(CFG_PROMPTCCTYPE), sw.ccType[1] = on(CFG_POAPROMPTCCTYPE);
  sw.ccNumber[0] = on(CFG_PROMPTCCNUMBER), sw.ccNumber[1] = on(CFG_POAPROMPTCCNUMBER);
  sw.ccExp[0] = on(CFG_PROMPTCCEXPDATE), sw.ccExp[1] = on(CFG_POAPROMPTCCEXPDATE);
  sw.ccAuth[0] = on(CFG_PROMPTCCAUTHCODE), sw.ccAuth[1] = on(CFG_POAPROMPTCCAUTHCODE);
  sw.gcType[0] = on(CFG_PROMPTGCTYPE), sw.gcType[1] = on(CFG_POAPROMPTGCTYPE);
  sw.gcNumber[0] = on(CFG_PROMPTGCNUMBER), sw.gcNumber[1] = on(CFG_POAPROMPTGCNUMBER);
  sw.gcExp[0] = on(CFG_PROMPTGCEXPDATE), sw.gcExp[1] = on(CFG_POAPROMPTGCEXPDATE);
  sw.gcAuth[0] = on(CFG_PROMPTGCAUTHCODE), sw.gcAuth[1] = on(CFG_POAPROMPTGCAUTHCODE);
  sw.poNumber = on(CFG_PROMPTPONUMBER);
  const std::vector<pay::DetailStep> steps = pay::DetailSteps(form, poa, sw);
  // The first detail after the field just left (the name: the first one).
  std::size_t next = 0;
  for (std::size_t i = 0; i < steps.size(); ++i)
    if (steps[i].field == fromField) next = i + 1;
  if (next < steps.size()) {
    const pay::DetailStep& step = steps[next];
    if (step.prefillType && step.field == IDC_PI1)
      SetFieldVar(IDC_PI1, form == 'G' ? CFG_DEFAULTGCTYPE : CFG_DEFAULTCCTYPE);
    ShowTenderField(step.field, step.label);
    KVTSetFieldFocus(step.field);
    return;
  }
  AmountStep(form);
}

void PVpos2Dlg::AmountStep(char form) {
  const bool poa = PayOnAcct();
  if (PVpos1Dlg* s = Sale(); poa && s->bUseDisc && !discountAsked_) {
    discountAsked_ = true;
    ShowTenderField(IDC_POADISCOUNT, "");
    KVTSetFieldFocus(IDC_POADISCOUNT);
    return;
  }
  const double total = Num(Data.TOTAL);
  const std::string label = pay::AmountLabel(form, poa);
  ShowTenderField(IDC_AMOUNT, label.empty() ? "Amount : " : label);
  auto protectAndRecord = [this, form] {
    ProtectField(IDC_AMOUNT);
    RecordAtOnce(form);
  };
  if (form == '1' && total < 0 && !poa) {
    SetFieldVar(IDC_AMOUNT, Data.AMTREMAIN);
    return protectAndRecord();
  }
  if (form == '3' && Is(CFG_DEFAULTCCAMTTOSALETOTAL, "T") && !poa) {
    SetFieldVar(IDC_AMOUNT, Data.AMTREMAIN);
    if (!Is(CFG_ALLOWCASHBACKONCC, "T")) return protectAndRecord();
  }
  if (form == '4' || form == '9' || form == '6') {
    SetFieldVar(IDC_AMOUNT, Data.AMTREMAIN);
    return protectAndRecord();
  }
  if (form == '5' && (Is(CFG_DEFAULTCHARGEAMTTOSALETOTAL, "T") || total < 0)) {
    PVpos1Dlg* s = Sale();
    const std::string mixed = s ? s->sMixedPOAAmt : "";
    const double eligible = KVTRound(total - Num(mixed.c_str()), 2);
    const double remain = KVTRound(Num(Data.AMTREMAIN), 2);
    SetFieldVar(IDC_AMOUNT, Fmt(TOTAL_FORMAT, eligible < remain ? eligible : remain).c_str());
    ProtectField(IDC_AMOUNT);
    if (mixed.empty()) return RecordAtOnce(form);
    AcceptAmount();
    return;
  }
  KVTSetFieldFocus(IDC_AMOUNT);
}

void PVpos2Dlg::RecordAtOnce(char form) {
  DoScrToApp(IDC_AMOUNT);
  CopyDetails(form);
  TotalPayments(Data.AMOUNT, form);
  HidePaymentInfoFields();
  PostMessage(WM_COMMAND, CM_SALEPAID);
}

void PVpos2Dlg::AcceptAmount() {
  DoScrToApp(IDC_AMOUNT);
  PVpos1Dlg* s = Sale();
  if (bEnteringMixedPOA) {
    std::string text = Data.AMOUNT;
    if (Is(CFG_ENTERDECIMALSONPAYMENT, "F")) text = pay::InsertDecimals(text);
    const double amount = KVTRound(Num(text.c_str()), 2);
    bEnteringMixedPOA = false;
    if (amount != 0 && s) {
      const std::string poa = Fmt(TOTAL_FORMAT, amount);
      s->sMixedPOAAmt = poa;
      const bool discount = s->bUseDisc && Num(Data.DISCOUNT) != 0;
      s->CreatePOAItem(poa.c_str(), discount ? Data.DISCOUNT : "");
      if (discount) s->CreatePOADiscountItem(Data.DISCOUNT);
      s->TotalSaleItems(0);
      bMadeMixedPOA = true;
      DisplayTotals();
      TotalPayments("0.00", Form());
    }
    ProtectField(IDC_AMOUNT);
    NewPayment();
    FocusFormList();
    return;
  }
  const bool poa = PayOnAcct();
  if (!Data.AMOUNT[0]) {
    if (poa) return;
    Put(Data.AMOUNT, Data.AMTREMAIN);
    DoAppToScr(IDC_AMOUNT);
  }
  if (poa && !(s && s->bFarmPlanPayment)) {
    SetFieldVar(IDC_TENDERED, Data.AMOUNT);
    ShowTenderField(IDC_TENDERED, "");
    KVTSetFieldFocus(IDC_TENDERED);
    return;
  }
  const char form = Form();
  CopyDetails(form);
  if (TotalPayments(Data.AMOUNT, form)) {
    HidePaymentInfoFields();
    PostMessage(WM_COMMAND, CM_SALEPAID);
    return;
  }
  NewPayment();
  FocusFormList();
}

void PVpos2Dlg::AcceptTendered() {
  DoScrToApp(IDC_AMOUNT);
  DoScrToApp(IDC_TENDERED);
  double amount = Num(Data.AMOUNT);
  const double tendered = Num(Data.TENDERED);
  if (KVTRound(tendered - amount, 2) < 0) amount = tendered;
  Put(Data.AMOUNT, Fmt("%.2f", amount));
  Put(Data.TENDERED, Fmt("%.2f", tendered));
  DoAppToScr(IDC_AMOUNT);
  DoAppToScr(IDC_TENDERED);
  const char form = Form();
  CopyDetails(form);
  TotalPayments(Data.AMOUNT, form);
  if (PVpos1Dlg* s = Sale()) {
    const bool discount = s->bUseDisc && Num(Data.DISCOUNT) != 0;
    s->CreatePOAItem(Data.AMOUNT, discount ? Data.DISCOUNT : "");
    if (discount) s->CreatePOADiscountItem(Data.DISCOUNT);
  }
  HidePaymentInfoFields();
  PostMessage(WM_COMMAND, CM_SALEPAID);
}

void PVpos2Dlg::AbandonTender() {
  const char abandoned = Form();
  if (bEnteringMixedPOA) bEnteringMixedPOA = false;
  PymtFormIndex = '1';
  NewPayment();
  FocusFormList();
  if (abandoned == 'C') DisplayTotals();
}

void PVpos2Dlg::CopyDetails(char form) {
  PVpos2Data& d = Data;
  switch (form) {
    case '2':
      Put(d.CHECKACCT, d.PI1);
      Put(d.CHECKNUM, d.PI2);
      if (PVpos1Dlg* s = Sale()) s->CheckPymt = 1;
      break;
    case '3':
    case '9':
      Put(d.CCTYPE, d.PI1[0] ? d.PI1 : CFG_DEFAULTCCTYPE);
      Put(d.CCNUMBER, d.PI2);
      Put(d.CCEXPDATE, szExpDate);
      Put(d.CCAUTHNUM, d.PI4);
      break;
    case '5':
      Put(d.PO, d.PI1);
      bSignature = true;
      break;
    case 'G':
      sGCType = d.PI1[0] ? d.PI1 : CFG_DEFAULTGCTYPE;
      sGCNumber = d.PI2;
      sGCExpDate = szExpDate;
      sGCAuthNum = d.PI4;
      break;
    default:
      break;
  }
}

// ---- Totals ------------------------------------------------------------------------

pay::TenderColumns PVpos2Dlg::Columns() const {
  const PVpos2Data& d = Data;
  pay::TenderColumns c;
  c.cashAmt = d.CASHAMT, c.checkAmt = d.CHECKAMT, c.creditAmt = d.CREDITAMT;
  c.cashRet = d.CASHRET, c.chargeAmt = d.CHARGEAMT, c.chargeRet = d.CHARGERET;
  c.fdStmpAmt = d.FDSTMPAMT, c.cashPay = d.CASHPAY, c.checkPay = d.CHECKPAY;
  c.creditPay = d.CREDITPAY, c.fsAmtRec = d.FSAMTREC, c.creditRet = d.CREDITRET;
  c.fsChange = d.FSCHANGE;
  c.fpAmt = sFPAmt, c.fpRet = sFPRet, c.fpCashPay = sFPCashPay, c.fpCheckPay = sFPCheckPay;
  c.gcAmt = sGCAmt, c.gcPay = sGCPay;
  c.totalPaid = d.TOTALPAID, c.changeDue = d.CHANGEDUE, c.amtRemain = d.AMTREMAIN;
  c.amtRec = d.AMTREC, c.pymtMethod = d.PYMTMETHOD;
  c.canAmount = d.CANAMOUNT, c.canExchg = d.CANEXCHG, c.tendered = d.TENDERED;
  return c;
}

void PVpos2Dlg::KeepColumns(const pay::TenderColumns& c) {
  PVpos2Data& d = Data;
  Put(d.CASHAMT, c.cashAmt), Put(d.CHECKAMT, c.checkAmt), Put(d.CREDITAMT, c.creditAmt);
  Put(d.CASHRET, c.cashRet), Put(d.CHARGEAMT, c.chargeAmt), Put(d.CHARGERET, c.chargeRet);
  Put(d.FDSTMPAMT, c.fdStmpAmt), Put(d.CASHPAY, c.cashPay), Put(d.CHECKPAY, c.checkPay);
  Put(d.CREDITPAY, c.creditPay), Put(d.FSAMTREC, c.fsAmtRec), Put(d.CREDITRET, c.creditRet);
  Put(d.FSCHANGE, c.fsChange);
  sFPAmt = c.fpAmt, sFPRet = c.fpRet, sFPCashPay = c.fpCashPay, sFPCheckPay = c.fpCheckPay;
  sGCAmt = c.gcAmt, sGCPay = c.gcPay;
  Put(d.TOTALPAID, c.totalPaid), Put(d.CHANGEDUE, c.changeDue), Put(d.AMTREMAIN, c.amtRemain);
  Put(d.AMTREC, c.amtRec), Put(d.PYMTMETHOD, c.pymtMethod);
}

pay::SaleDue PVpos2Dlg::Due() const {
  pay::SaleDue due;
  PVpos1Dlg* s = Sale();
  due.payOnAcct = PayOnAcct();
  due.cashCheck = CashCheck();
  due.total = Data.TOTAL;
  due.fsTotal = Data.FSTOTAL;
  if (s) {
    due.farmPlanPayment = s->bFarmPlanPayment;
    due.useDisc = s->bUseDisc;
    due.discount = s->dDiscount;
    due.mixedPOA = s->sMixedPOAAmt;
  }
  return due;
}

bool PVpos2Dlg::TotalPayments(const char* amount, char form) {
  pay::TenderConfig config;
  config.enterDecimals = !Is(CFG_ENTERDECIMALSONPAYMENT, "F");
  config.allowPoaCC = Is(CFG_ALLOWPOACC, "T");
  config.allowPoaGC = Is(CFG_ALLOWPOAGC, "T");
  config.showAmountDue = Feature("9333");
  config.totalFormat = TOTAL_FORMAT;
  config.currencyFormat = CURRENCY_FORMAT;
  pay::TenderTotals totals(config, Due(), Columns());
  const pay::TenderResult r = totals.Record(amount ? amount : "", form);
  KeepColumns(totals.columns());
  Put(Data.TOTAL, totals.sale().total);
  SetFieldVar(IDC_AMOUNT, r.amountShown.c_str());
  PaymentEntered = 1;
  for (const auto& [row, line] : r.panel) PanelRow(row, line.label, line.value);
  if (!r.pole1.empty()) Pole(r.pole1, r.pole2);
  const std::string ref = Data.CUSTREF;
  if (!ref.empty() && ref != TenderDefaultCustomer(form)) Put(szSaveCustRef, ref);
  return r.terminal;
}

bool PVpos2Dlg::Feature(const char* feature) {
  const std::string name = feature;
  if (auto known = features_.find(name); known != features_.end()) return known->second;
  kvt::sql::Result r =
      kvt::sql::Run("SELECT FEATURE FROM KVTCOM20 WHERE FEATURE = ?", {kvt::sql::Text(name)});
  if (r.found() == kvt::sql::Found::Failed) {
    KVTShowReadError(Handle(), "The feature switch " + name + " (KVTCOM20)", r.error());
    return false;
  }
  return features_[name] = r.found() == kvt::sql::Found::Yes;
}

void PVpos2Dlg::PanelRow(int row, const std::string& label, const std::string& value) {
  SetFieldText(IDC_PANEL_LABEL + row, label);
  SetFieldText(IDC_PANEL_VALUE + row, value);
}

void PVpos2Dlg::ClearPanel() {
  for (int r = 0; r < pay::kPanelRows; ++r) PanelRow(r, "", "");
}

void PVpos2Dlg::Pole(const std::string& line1, const std::string& line2) {
  if (PVpos1Dlg* s = Sale()) s->PoleDisplayPrint(-1, line1.c_str(), line2.c_str(), "", "");
}

void PVpos2Dlg::DisplayTotals() {
  PVpos1Dlg* s = Sale();
  if (!s) return;
  const PVpos1Data& sd = s->Data;
  PVpos2Data& d = Data;
  Put(d.INVOICENUM, sd.INVOICENUM), Put(d.INVOICELNK, sd.INVOICELNK);
  d.RECNO = sd.RECNO;
  Put(d.FSTOTAL, sd.FSTOTAL), Put(d.REMAINTOTAL, sd.REMAINTOTAL), Put(d.TAXTOTAL, sd.TAXTOTAL);
  Put(d.TOTAL, sd.TOTAL), Put(d.NONTAXAMT, sd.NONTAXAMT);
  // Before the first tender the whole sale remains to pay.
  if (!PaymentEntered) Put(d.AMTREMAIN, Fmt(TOTAL_FORMAT, Num(d.TOTAL)));
  if (PayOnAcct() || CashCheck()) {
    ClearPanel();
    return;
  }
  const bool canadian = Form() == 'C';
  const double rate = Num(CFG_POCANADIANEXCHANGE);
  if (canadian) {
    PanelRow(pay::kRowA, "Canadian Amount Due:", Fmt(CURRENCY_FORMAT, Num(d.TOTAL) * rate));
    char buf[64];
    KVTsprintf(buf, sizeof buf, CANADIAN_FORMAT, rate);
    PanelRow(pay::kRowB, "Canadian Exchange Rate", buf);
  } else {
    PanelRow(pay::kRowB, "Food Stamp Total : ", Fmt(CURRENCY_FORMAT, Num(d.FSTOTAL)));
  }
  PanelRow(pay::kRowC, "Remaining Total : ", Fmt(CURRENCY_FORMAT, Num(d.REMAINTOTAL)));
  for (int r = pay::kTax2; r <= pay::kTax6; ++r) PanelRow(r, "", "");
  bool detailed = false;
  if (Is(CFG_DISPLAYTAXDETAIL, "T")) {
    if (!taxes_) taxes_ = std::make_unique<KVTPaymentTaxes>(*s, *this);
    std::vector<kvt::payment::TaxDetailRow> rows;
    std::string error;
    if (!taxes_->Detail(&rows, &error)) KVTShowReadError(Handle(), "The taxes of this sale", error);
    const int shown[] = {pay::kRowD, pay::kTax2, pay::kTax3, pay::kTax4, pay::kTax5, pay::kTax6};
    int n = 0;
    for (const kvt::payment::TaxDetailRow& row : rows) {
      if (n == 6) break;
      PanelRow(shown[n++], row.label, row.amount);
    }
    detailed = n > 0;
  }
  if (!detailed) PanelRow(pay::kRowD, "Tax Total : ", Fmt(CURRENCY_FORMAT, Num(d.TAXTOTAL)));
  PanelRow(pay::kRowE, "Total : ", Fmt(CURRENCY_FORMAT, Num(d.TOTAL)));
  if (canadian)
    Pole("Canadian Total", Fmt(CURRENCY_FORMAT, Num(d.TOTAL) * rate));
  else
    Pole("Total", Fmt(CURRENCY_FORMAT, Num(d.TOTAL)));
}

// ---- Key actions -------------------------------------------------------------------

void PVpos2Dlg::EnterMixedPOA() {
  if (Num(sFPAmt.c_str()) != 0) return;
  bEnteringMixedPOA = true;
  ShowTenderField(IDC_AMOUNT, "Payment Amount : ");
  SetFieldVar(IDC_AMOUNT, "");
  KVTSetFieldFocus(IDC_AMOUNT);
}

void PVpos2Dlg::ViewCustomerBalance() {
  std::unique_ptr<PVDialog> window(KVTNewDialog("PVcustinfDlg", Handle(), "Customer Balance"));
  window->Execute();
}

void PVpos2Dlg::NewCustomer() {
  if (Is(CFG_PASSWORDADDINGCUSTOMERS, "T")) {
    std::unique_ptr<PVDialog> password(KVTNewDialog("PVpasswordDlg", Handle(), "Password"));
    if (password->Execute() != IDOK) return;
  }
  PVaddcustDlg add(Handle());
  if (add.Execute() != IDOK) {
    NewPayment();
    FocusFormList();
    return;
  }
  SetFieldVar(IDC_CUSTREF, add.Data.REF);
  if (CustomerEntered()) DisplayPaymentInformation(Form(), IDC_CUSTREF);
}

void PVpos2Dlg::ViewPriceCheck() {
  if (PVpos1Dlg* s = Sale()) s->ViewPriceCheck();
}

void PVpos2Dlg::ChangeTax() {
  PVpos1Dlg* s = Sale();
  if (!s) return;
  if (!taxes_) taxes_ = std::make_unique<KVTPaymentTaxes>(*s, *this);
  taxes_->RedisplayTotals = [this] { DisplayTotals(); };
  taxes_->ChangeTax();
}

bool PVpos2Dlg::VoidSale(const char* link) {
  if (Is(CFG_PROMPTONVOID, "T") && MessageBox("Void Sale - Are you sure?", PROGRAM_NAME,
                                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
    return false;
  PVpos1Dlg* s = Sale();
  if (s) {
    s->sMixedPOAAmt.clear();
    for (int row = 0; row < s->SaleGrid().GetRowCount(); ++row) s->VoidTotals(row);
    s->TotalSaleItems(1);
  }
  DisplayTotals();
  Put(Data.TOTAL, "VOID");
  TotalPayments("0.00", Form());
  SalePaid();
  return true;
}

void PVpos2Dlg::NewSale() {
  for (std::string* s :
       {&sFPAmt, &sFPRet, &sFPCashPay, &sFPCheckPay, &sFPDBC, &sFPDBCDesc, &sFPCPN, &sFPCPNDesc,
        &sFPAuthNum, &sFPCrestpayRef, &sFPRepayTrm, &sFPTandC, &sFPAccNum, &sGCAmt, &sGCPay,
        &sGCType, &sGCNumber, &sGCExpDate, &sGCAuthNum})
    s->clear();
  SaleComplete = 0;
  ShowField(IDC_PAUSE, false);
  if (PVpos1Dlg* s = Sale()) s->NewOrder();
  PostMessage(WM_COMMAND, CM_SELECTTAB);
}

void PVpos2Dlg::DoSelectTab() {
  Tbacktab* tabs = TabWindow();
  if (!tabs) return;
  tabs->EnableTab(0, true);
  tabs->SelectTab(0);
  // The sale screen disables this tab again when the next sale starts.
  if (PVpos1Dlg* s = Sale(); s && !s->OrderHasItems) tabs->EnableTab(1, false);
}

void PVpos2Dlg::DoSelectPaymentForm() {
  FocusFormList();
  if (ChoosePaymentForm()) DisplayPaymentInformation(Form(), IDC_PYMTFORM);
}

void PVpos2Dlg::DoSelectVoidPaymentForm() {
  for (int i = 0; i < GetListCount(IDC_PYMTFORM); ++i)
    if (GetListItem(IDC_PYMTFORM, i)[0] == '8') SetListSelection(IDC_PYMTFORM, i);
  DoSelectPaymentForm();
}

void PVpos2Dlg::DoPrintCustomerReceipt() {
  // Each copy is one receipt of the last completed sale; only the first
  // validates a check (PrintCustomerReceipt clears CheckPymt).
  if (PVpos1Dlg* s = Sale()) s->PrintCustomerReceipt(szLastInvoiceLink);
}

void PVpos2Dlg::DoPrintInvoice() {
  if (PVpos1Dlg* s = Sale()) s->PrintInvoice(szLastInvoiceLink);
}

// ---- Completion ----------------------------------------------------------------------

kvt::reports::SaleTenders PVpos2Dlg::Tenders(bool voided) const {
  const PVpos2Data& d = Data;
  kvt::reports::SaleTenders t;
  t.isVoid = voided;
  t.financing = Num(sFPAmt.c_str()) != 0 || Num(sFPRet.c_str()) != 0;
  t.cashAmt = d.CASHAMT;
  t.cashRet = d.CASHRET;
  t.checkAmt = d.CHECKAMT;
  t.creditAmt = d.CREDITAMT;
  t.creditRet = d.CREDITRET;
  t.giftCardAmt = sGCAmt;
  t.chargeAmt = d.CHARGEAMT;
  t.chargeRet = d.CHARGERET;
  t.foodStamps = d.FDSTMPAMT;
  t.onAccount = {d.CHECKPAY, d.CASHPAY, d.CREDITPAY, sFPCashPay, sFPCheckPay, sGCPay};
  return t;
}

void PVpos2Dlg::CaptureSignature() {
  bool wanted = false;
  std::string error;
  if (!pay::SignatureWanted(Data.CUSTREF, &wanted, &error)) {
    KVTShowReadError(Handle(), "Whether the customer signs", error);
    return;
  }
  if (!wanted) return;
  PVpos1Dlg* s = Sale();
  char data[400];
  KVTsprintf(data, sizeof data, "%s,%s,%s,%s", Data.INVOICELNK, Data.INVOICENUM,
             s ? s->Data.STORE : "", s ? s->Data.TILLREF : "");
  // As the module's Signature export does.
  KVTSignaturePad(Handle(), data);
  // A pad that opened a window of its own is waited for until it closes.
  while (FindWindow(nullptr, kSignaturePadTitle)) {
    PumpWaitingMessages();
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
}

void PVpos2Dlg::SalePaid() {
  PVpos1Dlg* s = Sale();
  if (!s) return;
  PVpos2Data& d = Data;
  ShowField(IDC_PAUSE, false);
  const std::string type =
      pay::CompletedSaleType(PayOnAcct(), d.DISCOUNT, CashCheck(), d.PYMTMETHOD);
  const bool voided = Is(d.TOTAL, "VOID");
  if (voided) Put(d.TOTAL, "0.00");
  const std::string net = Fmt(TOTAL_FORMAT, Num(d.TOTAL) - Num(d.TAXTOTAL));
  const bool saved = s->SaveOrder(
      type.c_str(), voided ? "V" : "C", d.CUSTREF, d.CUSTNAME, d.CASHAMT, d.CHECKAMT, d.CREDITAMT,
      d.CASHRET, d.CHARGEAMT, d.CHARGERET, d.FSAMTREC, d.CASHPAY, d.CHECKPAY, d.TOTAL, d.TOTALPAID,
      d.PYMTMETHOD, net.c_str(), d.NONTAXAMT, "", d.CHANGEDUE, d.CHECKNUM, d.CHECKACCT, d.CCNUMBER,
      d.CCEXPDATE, d.CCTYPE, d.CCAUTHNUM, d.PO, d.CREDITPAY, d.FSCHANGE, d.TAXTOTAL,
      s->Data.DTOFBRTH, sFPAmt.c_str(), sFPRet.c_str(), sFPCashPay.c_str(), sFPCheckPay.c_str(),
      sFPDBC.c_str(), sFPDBCDesc.c_str(), sFPCPN.c_str(), sFPCPNDesc.c_str(), sFPAuthNum.c_str(),
      sFPCrestpayRef.c_str(), sFPRepayTrm.c_str(), sFPTandC.c_str(), sFPAccNum.c_str(), d.CREDITRET,
      sGCAmt.c_str(), sGCPay.c_str(), sGCType.c_str(), sGCNumber.c_str(), sGCExpDate.c_str(),
      sGCAuthNum.c_str(), d.CANEXCHG, d.CANAMOUNT);
  Put(d.INVOICENUM, s->Data.INVOICENUM);
  Put(d.INVOICELNK, s->Data.INVOICELNK);
  // A failed save has been shown; the signature is skipped and the rest of
  // completion goes on as for a saved sale.
  if (saved) CaptureSignature();
  Put(szLastInvoiceLink, d.INVOICELNK);
  ClearForm();
  const int copies = kvt::reports::ReceiptCopies(Tenders(voided));
  if (pay::OpensDrawer(voided, Form(), CFG_OPENCASHDRAWERCHARGESALES,
                       CFG_OPENCASHDRAWERCREDITCARDSALES))
    s->OpenTillDrawer();
  if (pay::PrintsInvoice(CFG_RECTOINVPTR, d.CHARGEAMT, d.CHARGERET))
    s->PrintInvoice(szLastInvoiceLink);
  for (int i = 0; i < copies; ++i) PostMessage(WM_COMMAND, CM_PRINTRECEIPT);
  if (d.CCNUMBER[0]) {
    // The receipts print while the stored header still shows the last four
    // characters; only then is the whole number hidden.
    PumpWaitingMessages();
    Put(d.CCNUMBER, pay::HiddenCardNumber(d.CCNUMBER));
    const kvt::sql::Result r =
        kvt::sql::Run("UPDATE KVTPOS1 SET CCNUMBER=? WHERE INVOICELNK=?",
                      {kvt::sql::Text(d.CCNUMBER), kvt::sql::Text(d.INVOICELNK)});
    if (!r.ok())
      MessageBox("Error updating KVTPOS1. Update failed.", "Kovatel Software", MB_OK | MB_ICONSTOP);
  }
  if (Is(CFG_PAUSEWHENSALECOMPLETE, "T") && !voided) {
    SaleComplete = 1;
    SetFieldText(IDC_PAUSE, "Press <ENTER> to continue....");
    ShowField(IDC_PAUSE, true);
    DisplayAvailKeys(PaymentEntered, 0, "", SaleComplete);
    return;
  }
  NewSale();
}

KVT_REGISTER_SCREEN(PVpos2Dlg);
