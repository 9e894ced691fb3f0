// The tender totals of the payment screen: which payment forms are offered,
// the steps of a tender, and the running totals a recorded tender moves
// (change, remaining, food stamps with whole-dollar change, the payment on
// account inside a sale). Works on values and knows no screen: the payment
// screen copies its buffer in, records a tender, and copies the result out.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kvt::payment {

// "5" -> 0.05, "1234" -> 12.34: the last two digits typed are cents when the
// till is set to key amounts without decimals. Text with a "." is kept.
std::string InsertDecimals(const std::string& typed);

// The settings the totals read.
struct TenderConfig {
  bool enterDecimals = true;   // CFG_ENTERDECIMALSONPAYMENT is not "F"
  bool allowPoaCC = false;     // CFG_ALLOWPOACC
  bool allowPoaGC = false;     // CFG_ALLOWPOAGC
  bool showAmountDue = false;  // custom feature "9333"
  std::string totalFormat = "%.2f";
  std::string currencyFormat = "$%.2f";
};

// The sale being paid, as the sale screen hands it over.
struct SaleDue {
  bool payOnAcct = false;  // szPayOnAcct "Y"
  bool cashCheck = false;  // szCashCheck "Y"
  bool farmPlanPayment = false;
  bool useDisc = false;  // discount on payments in use
  double discount = 0;
  std::string total;     // TOTAL; "VOID" reads as 0
  std::string fsTotal;   // FSTOTAL
  std::string mixedPOA;  // sMixedPOAAmt; empty when none
  bool Plain() const { return !payOnAcct && !cashCheck; }
};

// The running totals as the screen keeps them: decimal text, "" before any
// tender of that kind.
struct TenderColumns {
  std::string cashAmt, checkAmt, creditAmt, cashRet, chargeAmt, chargeRet, fdStmpAmt, cashPay,
      checkPay, creditPay, fsAmtRec, creditRet, fsChange;
  std::string fpAmt, fpRet, fpCashPay, fpCheckPay, gcAmt, gcPay;
  std::string totalPaid, changeDue, amtRemain, amtRec, pymtMethod;
  std::string canAmount, canExchg, tendered;
};

// The rows of the totals panel.
enum PanelRow { kRowA, kRowB, kRowC, kRowD, kRowE, kTax2, kTax3, kTax4, kTax5, kTax6, kPanelRows };
struct PanelLine {
  std::string label, value;
  bool operator==(const PanelLine&) const = default;
};

struct TenderResult {
  // The tender ends the sale: change shown, paid out, account credited, a
  // payment on account, a cashed check.
  bool terminal = false;
  // The amount field as shown afterwards ("" when it rounds to 0).
  std::string amountShown;
  // The panel rows to write; rows not named keep what they show.
  std::map<int, PanelLine> panel;
  std::string pole1, pole2;
};

class TenderTotals {
 public:
  TenderTotals(TenderConfig config, SaleDue sale, TenderColumns columns)
      : config_(std::move(config)), sale_(std::move(sale)), c_(std::move(columns)) {}

  // Records one tender of form `form` ("1" cash ... "G" gift card) for the
  // amount typed, and recomputes every total.
  TenderResult Record(const std::string& amountText, char form);

  const TenderColumns& columns() const { return c_; }
  const SaleDue& sale() const { return sale_; }

 private:
  std::string Money(double v) const;     // total format
  std::string Currency(double v) const;  // currency format
  void FoodStamps(double amount);
  std::string* Column(char form);
  // The payment on account inside a sale moved from sale tenders to account
  // tenders; false when the tenders eligible do not cover it.
  bool MoveMixedPOA(double totalDue);
  void Panel(char form, double paid, double due, double remain, double change, TenderResult& r);

  TenderConfig config_;
  SaleDue sale_;
  TenderColumns c_;
};

// ---- The payment form list -------------------------------------------------

struct FormListState {
  double total = 0;  // the sale's TOTAL
  bool payOnAcct = false, cashCheck = false;
  bool paymentEntered = false;
  bool farmPlanPayment = false;
  bool crestpayInstalled = false, farmPlanAccepted = false;
  bool allowPoaCC = false, allowPoaGC = false;
  bool canadian = false;  // CFG_POCANADIANEXCHANGE set
  std::string creditAmt, fpAmt, mixedPOA;
};
// The lines of the list, in order, each offered only when its conditions
// hold ("1 - Cash", ...).
std::vector<std::string> PaymentForms(const FormListState& s);

// ---- The steps of a tender ---------------------------------------------------

// The payment information fields and the prompt switches that show them.
enum DetailField { kPI1 = 110, kPI2 = 112, kPI3 = 115, kPI4 = 117 };
struct PromptSwitches {
  // Indexed [0] sale, [1] payment on account.
  bool checkAcct[2] = {}, checkNum[2] = {};
  bool ccType[2] = {}, ccNumber[2] = {}, ccExp[2] = {}, ccAuth[2] = {};
  bool gcType[2] = {}, gcNumber[2] = {}, gcExp[2] = {}, gcAuth[2] = {};
  bool poNumber = false;
};
struct DetailStep {
  int field;
  std::string label;
  std::string help;  // the key-help line while it is keyed
  bool prefillType;  // starts with the default card type
};
// The detail fields a tender asks, in order.
std::vector<DetailStep> DetailSteps(char form, bool payOnAcct, const PromptSwitches& s);
// The amount field's label; "" for forms recorded without one (returns).
std::string AmountLabel(char form, bool payOnAcct);

// The default customers of the tenders.
struct DefaultCustomers {
  std::string cash, check, ccard, fs, gcard;
};
// The tender's default customer; "" for charges (always asked).
std::string DefaultCustomer(char form, const DefaultCustomers& d);

}  // namespace kvt::payment
