// The shift totals by tender and their text.
#include "backoffice/shifttotals.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/base/kvtbase.h"

namespace sql = kvt::sql;

namespace {

std::string_view Trim(std::string_view s) {
  std::size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// The screen has always carried these figures as "%.2f" texts, so they
// enter the subtotals rounded to cents.
void ToCents(KVTTally* t) {
  char text[64];
  std::snprintf(text, sizeof text, "%.2f", t->count);
  t->count = std::atof(text);
  std::snprintf(text, sizeof text, "%.2f", t->amount);
  t->amount = std::atof(text);
}

std::string Count(double n) {
  char text[64];
  std::snprintf(text, sizeof text, "%.0f", n);
  return text;
}

std::string Money(double amount) {
  return "$" + KVTSRound(amount, 2);  // "%.2f" without a "-0.00"
}

std::string Line(const char* label, const KVTTally& t, int labelWidth = 20, int countWidth = 15) {
  return KVTShiftTotals::Pad(label, labelWidth, 1) +
         KVTShiftTotals::Pad(Count(t.count), countWidth, 0) +
         KVTShiftTotals::Pad(Money(t.amount), 20, 0) + "\n";
}

std::string SubtotalLine(const char* label, double amount) {
  return KVTShiftTotals::Pad(label, 20, 1) + std::string(15, ' ') +
         KVTShiftTotals::Pad(Money(amount), 20, 0) + "\n";
}

const std::string kUnderline = std::string(55, '-') + "\n";

// "MMDDYYYY" as "MM/DD/YYYY"; any other text as it is.
std::string SlashedDate(std::string_view date) {
  std::string digits;
  for (char c : date)
    if (c >= '0' && c <= '9') digits += c;
  if (digits.size() != 8) return std::string(date);
  return digits.substr(0, 2) + "/" + digits.substr(2, 2) + "/" + digits.substr(4);
}

}  // namespace

void KVTTally::Add(double value) {
  if (value != 0) {
    count += 1;
    amount += value;
  }
}

std::string KVTShiftTotals::Pad(std::string_view text, int width, int leading) {
  std::string s(Trim(text));
  if (static_cast<int>(s.size()) >= width) return s;
  std::string fill(static_cast<std::size_t>(width) - s.size(), ' ');
  return leading == 0 ? fill + s : s + fill;
}

void KVTShiftTotals::AddSale(const sql::Row& sale) {
  cashSales.Add(sale.Num("CASHAMT"));
  (Trim(sale["TRANSTYPE"]) == "C" ? cashedChecks : checkSales).Add(sale.Num("CHECKAMT"));
  cardSales.Add(sale.Num("CREDITAMT"));
  cashReturns.Add(sale.Num("CASHRET"));
  chargeSales.Add(sale.Num("CHARGEAMT"));
  chargeReturns.Add(sale.Num("CHARGERET"));
  foodStamps.Add(sale.Num("FDSTMPAMT"));
  cashROA.Add(sale.Num("CASHPAY"));
  checkROA.Add(sale.Num("CHECKPAY"));
  cardROA.Add(sale.Num("CREDITPAY"));
  cashSales.amount -= sale.Num("CHANGE");     // change given
  foodStamps.amount -= sale.Num("FSCHANGE");  // food stamp change
  fpSales.Add(sale.Num("FPAMT"));
  fpReturns.Add(sale.Num("FPRET"));
  fpCashPay.Add(sale.Num("FPCASHPAY"));
  fpCheckPay.Add(sale.Num("FPCHECKPAY"));
  cardReturns.Add(sale.Num("CREDITRET"));
  giftSales.Add(sale.Num("GFTCRDAMT"));
  giftROA.Add(sale.Num("GFTCRDPAY"));
}

std::string KVTShiftTotals::Text(std::string_view date, std::string_view employee,
                                 std::string_view shift, std::string_view till,
                                 bool farmPlan) const {
  KVTShiftTotals t = *this;
  for (KVTTally* k :
       {&t.cashSales, &t.cashReturns, &t.cashROA, &t.checkSales, &t.checkROA, &t.cashedChecks,
        &t.foodStamps, &t.chargeSales, &t.chargeReturns, &t.cardSales, &t.cardROA})
    ToCents(k);

  std::string text = "Date: " + SlashedDate(date) + std::string(10, ' ') +
                     Pad("Empl: " + std::string(employee), 12, 1) + std::string(8, ' ') +
                     Pad("Shift: " + std::string(shift), 13, 1) + "\n";
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
  double total = cashAndChecks + t.foodStamps.amount + t.chargeSales.amount + t.cardSales.amount +
                 t.cardROA.amount + t.chargeReturns.amount + t.fpSales.amount + t.fpReturns.amount +
                 t.cardReturns.amount + t.giftSales.amount + t.giftROA.amount;
  text += Pad("Total for Till # " + std::string(till), 30, 1) + Pad(Money(total), 25, 0) + "\n";
  text += "\n";
  text += Line("Cashed Checks", t.cashedChecks);
  text += "\n";
  text += std::string(12, ' ') + "*** Voided Items *** Count: " + Count(t.voidedItems) + "\n";
  text += std::string(15, ' ') + "*** No Sales ***  Count: " + Count(t.noSales) + "\n";
  return text;
}

// ---------------------------------------------------------------------------

KVTShiftSales::KVTShiftSales()
    : sales_(
          "SELECT CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,FDSTMPAMT,CASHPAY,"
          "CHECKPAY,CREDITPAY,CHANGE,FSCHANGE,TRANSTYPE,FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,"
          "CREDITRET,GFTCRDAMT,GFTCRDPAY FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ? AND "
          "TILLREF = ? AND SHIFT = ? "),
      noSales_(
          "SELECT COUNT(1) AS N FROM KVTPOS1 WHERE STORE = ? AND INVDATE = ? AND TILLREF = ? AND "
          "SHIFT = ? AND TRANSTYPE = 'N'"),
      voided_(
          "SELECT COUNT(1) AS N FROM KVTPOS1, KVTPOS2 WHERE KVTPOS1.INVOICENUM = "
          "KVTPOS2.INVOICENUM AND STORE = ? AND INVDATE = ? AND TILLREF = ? AND SHIFT = ? AND "
          "KVTPOS2.ENTRYTOTAL='VOID'") {}

KVTShiftSales::~KVTShiftSales() = default;

bool KVTShiftSales::Read(std::string_view store, std::string_view date, std::string_view till,
                         std::string_view shift, KVTShiftTotals* totals) {
  *totals = {};
  const std::vector<sql::Value> key = {sql::Text(store), sql::Date(date), sql::Text(till),
                                       sql::Text(shift)};
  sql::Result sales = sales_.Run(key);
  error_ = sales.error();
  if (!sales.ok()) return false;
  sql::Result noSales = noSales_.Run(key);
  error_ = noSales.error();
  if (!noSales.ok()) return false;
  sql::Result voided = voided_.Run(key);
  error_ = voided.error();
  if (!voided.ok()) return false;
  for (const sql::Row& sale : sales.rows()) totals->AddSale(sale);
  totals->noSales = noSales.first().Num("N");
  totals->voidedItems = voided.first().Num("N");
  return true;
}
