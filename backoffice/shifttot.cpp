// The shift total verification screen and the shift totals text.
#include "backoffice/shifttot.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/base/kvtbase.h"
#include "shell/crestpay.h"
#include "shell/globals.h"
#include "shell/posmisc.h"
#include "shell/screens.h"
#include "shell/windll.h"

namespace {

// One kind of tender of the shift: how many sales carried it and how much.
struct Tally {
  double count = 0;
  double amount = 0;
  // A zero amount is no tender; a negative one counts like a positive one.
  void Add(double value) {
    if (value != 0) {
      count += 1;
      amount += value;
    }
  }
  // The screen has always carried these figures as "%.2f" texts, so they
  // enter the subtotals rounded to cents.
  void ToCents() {
    char text[64];
    KVTsprintf(text, "%.2f", count);
    count = std::atof(text);
    KVTsprintf(text, "%.2f", amount);
    amount = std::atof(text);
  }
};

struct ShiftTotals {
  Tally cashSales, cashReturns, cashROA, checkSales, checkROA, cashedChecks, foodStamps;
  Tally chargeSales, chargeReturns, cardSales, cardROA, cardReturns;
  Tally fpSales, fpReturns, fpCashPay, fpCheckPay, giftSales, giftROA;
  double voidedItems = 0;
  double noSales = 0;
};

std::string Pad(const std::string& text, int width, int leading) {
  char buf[256];
  KVTSetSetting(buf, text.c_str());
  KVTPOSSR::PadWithBlanks(buf, width, leading);
  return buf;
}

std::string Count(double n) {
  char text[64];
  KVTsprintf(text, "%.0f", n);
  return text;
}

std::string Money(double amount) {
  return "$" + KVTSRound(amount, 2);  // "%.2f" without a "-0.00"
}

std::string Line(const char* label, const Tally& t, int labelWidth = 20, int countWidth = 15) {
  return Pad(label, labelWidth, 1) + Pad(Count(t.count), countWidth, 0) +
         Pad(Money(t.amount), 20, 0) + "\n";
}

std::string SubtotalLine(const char* label, double amount) {
  return Pad(label, 20, 1) + std::string(15, ' ') + Pad(Money(amount), 20, 0) + "\n";
}

const std::string kUnderline = std::string(55, '-') + "\n";

// "MMDDYYYY" as "MM/DD/YYYY"; any other text as it is.
std::string SlashedDate(const char* date) {
  std::string digits;
  for (const char* p = date; *p; ++p)
    if (*p >= '0' && *p <= '9') digits += *p;
  if (digits.size() != 8) return date;
  return digits.substr(0, 2) + "/" + digits.substr(2, 2) + "/" + digits.substr(4);
}

double Number(const char* text) {
  return std::atof(text ? text : "");
}

}  // namespace

void KVTPOSSR::PadWithBlanks(char* szString, int iLenthOfString, int leading) {
  TRIM(szString);
  int len = static_cast<int>(std::strlen(szString));
  if (len >= iLenthOfString) return;
  int blanks = iLenthOfString - len;
  if (leading == 0) {
    std::memmove(szString + blanks, szString, static_cast<std::size_t>(len) + 1);
    std::memset(szString, ' ', static_cast<std::size_t>(blanks));
  } else {
    std::memset(szString + len, ' ', static_cast<std::size_t>(blanks));
    szString[iLenthOfString] = '\0';
  }
}

std::string KVTPOSSR::SalesTotalText() {
  PVshifttotDlg& s = *screen_;
  KVTConnection& conn = *s.FConn;
  ShiftTotals t;

  static char sales[] =
      "SELECT CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,FDSTMPAMT,CASHPAY,CHECKPAY,"
      "CREDITPAY,CHANGE,FSCHANGE,TRANSTYPE,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,CREDITRET,GFTCRDAMT,"
      "GFTCRDPAY FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = ? ";
  auto bindShift = [&](const char* stmt) {
    conn.PrepareSQL(stmt);
    conn.BindParam(stmt, s.szStore, 0);
    conn.BindParam(stmt, s.szDate, 3);
    conn.BindParam(stmt, s.szTillRef, 0);
    conn.BindParam(stmt, s.szShift, 0);
    return conn.ExecuteSQL(stmt) > 0;
  };
  if (bindShift(sales)) {
    while (conn.FetchNext(sales)) {
      auto col = [&](int c) { return Number(conn.ColumnVar(sales, c)); };
      char type[16];
      KVTSetSetting(type, conn.ColumnVar(sales, 13));
      TRIM(type);
      t.cashSales.Add(col(1));
      (std::strcmp(type, "C") == 0 ? t.cashedChecks : t.checkSales).Add(col(2));
      t.cardSales.Add(col(3));
      t.cashReturns.Add(col(4));
      t.chargeSales.Add(col(5));
      t.chargeReturns.Add(col(6));
      t.foodStamps.Add(col(7));
      t.cashROA.Add(col(8));
      t.checkROA.Add(col(9));
      t.cardROA.Add(col(10));
      t.cashSales.amount -= col(11);   // change given
      t.foodStamps.amount -= col(12);  // food stamp change
      t.fpSales.Add(col(14));
      t.fpReturns.Add(col(15));
      t.fpCashPay.Add(col(16));
      t.fpCheckPay.Add(col(17));
      t.cardReturns.Add(col(18));
      t.giftSales.Add(col(19));
      t.giftROA.Add(col(20));
    }
  } else {
    error_ = conn.LastError();
  }
  conn.FreeStatement(sales);

  static char noSales[] =
      "SELECT COUNT(1) FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = ? "
      "AND TRANSTYPE = 'N'";
  if (bindShift(noSales) && conn.FetchNext(noSales)) t.noSales = Number(conn.ColumnVar(noSales, 1));
  conn.FreeStatement(noSales);

  static char voided[] =
      "SELECT COUNT(1) FROM KVTPOS1, KVTPOS2 WHERE KVTPOS1.INVOICENUM = KVTPOS2.INVOICENUM AND "
      "STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = ? AND KVTPOS2.ENTRYTOTAL='VOID'";
  if (bindShift(voided) && conn.FetchNext(voided))
    t.voidedItems = Number(conn.ColumnVar(voided, 1));
  conn.FreeStatement(voided);

  for (Tally* k :
       {&t.cashSales, &t.cashReturns, &t.cashROA, &t.checkSales, &t.checkROA, &t.cashedChecks,
        &t.foodStamps, &t.chargeSales, &t.chargeReturns, &t.cardSales, &t.cardROA})
    k->ToCents();

  bool farmPlan = s.bCrestpayInstalled && s.bFarmPlanAccepted;
  std::string text = "Date: " + SlashedDate(s.szDate) + std::string(10, ' ') +
                     Pad(std::string("Empl: ") + s.szEmployee, 12, 1) + std::string(8, ' ') +
                     Pad(std::string("Shift: ") + s.szShift, 13, 1) + "\n";
  text += Line("Cash Sales", t.cashSales);
  text += Line("Cash Returns", t.cashReturns);
  text += Line("Cash ROA's", t.cashROA);
  if (farmPlan) text += Line("Farm Plan Cash ROA's", t.fpCashPay);
  text += kUnderline;
  double cash = t.cashSales.amount + t.cashReturns.amount + t.cashROA.amount + t.fpCashPay.amount;
  text += SubtotalLine("Cash Subtotal", cash);
  text += "\n";
  text += Line("Check Sales", t.checkSales);
  text += Line("Check ROA's", t.checkROA);
  if (farmPlan) text += Line("Farm Plan Check ROA's", t.fpCheckPay, 21, 14);
  text += kUnderline;
  double cashAndChecks = cash + t.checkSales.amount + t.checkROA.amount + t.fpCheckPay.amount;
  text += SubtotalLine("Cash Sales Subtotal", cashAndChecks);
  text += "\n";
  text += Line("Food Stamp Sales", t.foodStamps);
  text += Line("Charge Sales", t.chargeSales);
  text += Line("Charge Returns", t.chargeReturns);
  text += Line("Credit Card Sales", t.cardSales);
  text += Line("Credit Card ROA's", t.cardROA);
  text += Line("Credit Card Returns", t.cardReturns);
  if (farmPlan) {
    text += Line("Farm Plan", t.fpSales);
    text += Line("Farm Plan Returns", t.fpReturns);
  }
  text += Line("Gift Card Sales", t.giftSales);
  text += Line("Gift Card ROA's", t.giftROA);
  text += kUnderline;
  // Cashed checks are money out and back in: not part of the till's total.
  double till = cashAndChecks + t.foodStamps.amount + t.chargeSales.amount + t.cardSales.amount +
                t.cardROA.amount + t.chargeReturns.amount + t.fpSales.amount + t.fpReturns.amount +
                t.cardReturns.amount + t.giftSales.amount + t.giftROA.amount;
  text +=
      Pad(std::string("Total for Till # ") + s.szTillRef, 30, 1) + Pad(Money(till), 25, 0) + "\n";
  text += "\n";
  text += Line("Cashed Checks", t.cashedChecks);
  text += "\n";
  text += std::string(12, ' ') + "*** Voided Items *** Count: " + Count(t.voidedItems) + "\n";
  text += std::string(15, ' ') + "*** No Sales ***  Count: " + Count(t.noSales) + "\n";
  return text;
}

void KVTPOSSR::DoSalesTotalList() {
  error_.clear();
  std::string text = SalesTotalText();
  screen_->SetFieldText(PVshifttotDlg::IDC_TOTALS, text);
  if (!error_.empty()) {
    std::string message = "The sales of this shift could not be read:\n\n" + error_;
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
    : PVDialog(parent, FormDecl()),
      FConn(new KVTConnection(1)),
      VerifyPOSShiftResume(new KVTPOSSR(this)) {
  SetTransferBuffer(&Data);
  OnCommand(IDC_YES, [this] { Cmidc_yes(); });
  OnCommand(IDC_NO, [this] { Cmidc_no(); });
}

PVshifttotDlg::~PVshifttotDlg() {
  SetFieldChecker(nullptr);
  delete VerifyPOSShiftResume;
  delete FConn;
}

void PVshifttotDlg::SetupWindow() {
  SetFieldChecker(VerifyPOSShiftResume);
  SetFieldFont(IDC_TOTALS, CourierFont ? CourierFont : KVTCreateFont("Courier", 10));
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
