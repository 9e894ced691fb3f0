// The tender totals: the payment form list, the steps of a tender and the
// arithmetic of a recorded tender.
#include "payment/tenders.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/base/kvtbase.h"

namespace kvt::payment {

namespace {

double Num(const std::string& s) {
  return std::atof(s.c_str());
}

std::string Format(const std::string& fmt, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, fmt.c_str(), KVTRound(v, 2));
  std::string out = buf;
  // A rounded zero is written without its sign.
  if (out.find("-0.00") != std::string::npos && KVTRound(v, 2) == 0)
    out.erase(out.find("-0.00"), 1);
  return out;
}

}  // namespace

std::string InsertDecimals(const std::string& typed) {
  if (typed.find('.') != std::string::npos) return typed;
  std::string t = typed;
  bool negative = !t.empty() && t[0] == '-';
  if (negative) t.erase(0, 1);
  if (t.size() == 1) t = "00" + t;
  if (t.size() == 2) t = "0" + t;
  if (t.empty()) return typed;
  t.insert(t.size() - 2, ".");
  return (negative ? "-" : "") + t;
}

std::string TenderTotals::Money(double v) const {
  return Format(config_.totalFormat, v);
}

std::string TenderTotals::Currency(double v) const {
  return Format(config_.currencyFormat, v);
}

std::string* TenderTotals::Column(char form) {
  const bool poa = sale_.payOnAcct;
  switch (form) {
    case '1':
    case 'C':
      if (!poa) return &c_.cashAmt;
      return sale_.farmPlanPayment ? &c_.fpCashPay : &c_.cashPay;
    case '2':
      if (!poa) return &c_.checkAmt;
      return sale_.farmPlanPayment ? &c_.fpCheckPay : &c_.checkPay;
    case '3':
      return poa ? &c_.creditPay : &c_.creditAmt;
    case '4':
      return &c_.cashRet;
    case '5':
      return &c_.chargeAmt;
    case '6':
      return &c_.chargeRet;
    case '7':
      return &c_.fsAmtRec;
    case '9':
      return &c_.creditRet;
    case 'A':
      return &c_.fpAmt;
    case 'B':
      return &c_.fpRet;
    case 'G':
      return poa ? &c_.gcPay : &c_.gcAmt;
    default:
      return nullptr;  // a void records nothing
  }
}

void TenderTotals::FoodStamps(double amount) {
  const double applied = Num(c_.fdStmpAmt), eligible = Num(sale_.fsTotal);
  if (eligible - applied > amount) {
    c_.fdStmpAmt = Money(applied + amount);
    c_.fsChange = Money(0);
    return;
  }
  // What is tendered beyond the eligible goods: the cents stay with the
  // sale, the whole dollars come back as food-stamp change.
  const double excess = KVTRound(amount + applied - eligible, 2);
  double dollars = 0, cents = excess;
  if (excess >= 1.0) {
    dollars = std::atoi(Money(excess).c_str());
    cents = excess - dollars;
  }
  c_.fdStmpAmt = Money(applied + amount - excess + cents);
  c_.fsChange = Money(dollars);
}

bool TenderTotals::MoveMixedPOA(double totalDue) {
  double part = KVTRound(Num(sale_.mixedPOA), 2);
  double eligible = KVTRound(Num(c_.cashAmt), 2) + KVTRound(Num(c_.checkAmt), 2);
  if (config_.allowPoaCC) eligible += KVTRound(Num(c_.creditAmt), 2);
  if (config_.allowPoaGC) eligible += KVTRound(Num(c_.gcAmt), 2);
  eligible = KVTRound(eligible, 2);
  const bool covered = part <= eligible || (totalDue < part && totalDue <= eligible);
  if (!covered) return false;
  struct Move {
    bool allowed;
    std::string* from;
    std::string* to;
  } moves[] = {{config_.allowPoaCC, &c_.creditAmt, &c_.creditPay},
               {config_.allowPoaGC, &c_.gcAmt, &c_.gcPay},
               {true, &c_.checkAmt, &c_.checkPay},
               {true, &c_.cashAmt, &c_.cashPay}};
  for (const Move& m : moves) {
    if (!m.allowed || part <= 0) continue;
    const double used = KVTRound(std::min(part, Num(*m.from)), 2);
    if (used <= 0) continue;
    *m.from = Money(Num(*m.from) - used);
    *m.to = Money(Num(*m.to) + used);
    part = KVTRound(part - used, 2);
  }
  return true;
}

TenderResult TenderTotals::Record(const std::string& amountText, char form) {
  TenderResult r;
  std::string text = amountText;
  if (!config_.enterDecimals) text = InsertDecimals(text);
  const double amount = KVTRound(Num(text), 2);
  r.amountShown = amount == 0 ? "" : Money(amount);
  c_.amtRec = text;
  if (!sale_.Plain()) sale_.total = Money(amount);
  c_.pymtMethod = std::string(1, form);

  if (form == '7') FoodStamps(amount);
  if (std::string* column = Column(form)) *column = Money(Num(*column) + amount);

  const double sum = Num(c_.cashAmt) + Num(c_.checkAmt) + Num(c_.creditAmt) + Num(c_.cashRet) +
                     Num(c_.chargeAmt) + Num(c_.chargeRet) + Num(c_.cashPay) + Num(c_.checkPay) +
                     Num(c_.creditPay) + Num(c_.fpAmt) + Num(c_.fpRet) + Num(c_.fpCashPay) +
                     Num(c_.fpCheckPay) + Num(c_.creditRet) + Num(c_.gcAmt) + Num(c_.gcPay);
  const double paid = KVTRound(sum + Num(c_.fdStmpAmt), 2);
  c_.totalPaid = Money(sum + Num(c_.fsAmtRec));
  const double due = KVTRound(sale_.total == "VOID" ? 0 : Num(sale_.total), 2);

  if (paid >= due && KVTRound(Num(sale_.mixedPOA), 2) != 0 && !MoveMixedPOA(due)) return r;

  double change = 0, remain = 0;
  if (paid < due) {
    remain = KVTRound(due - paid, 2);
  } else {
    change = KVTRound(paid - due, 2);
  }
  c_.changeDue = Money(change);
  c_.amtRemain = Money(remain);
  Panel(form, paid, due, remain, change, r);
  return r;
}

void TenderTotals::Panel(char form, double paid, double due, double remain, double change,
                         TenderResult& r) {
  auto row = [&r](int at, const std::string& label, const std::string& value) {
    r.panel[at] = {label, value};
  };
  auto canadianRowA = [&] {
    if (form == 'C') {
      row(kRowA, "Canadian Amount Received", Currency(Num(c_.canAmount)));
      row(kRowB, "Canadian Exchange Rate", c_.canExchg);
    } else {
      row(kRowA, "", "");
    }
  };
  if (form == '4') {
    row(kRowC, "", "");
    row(kRowB, "Amount Paid Out : ", Currency(paid));
    r.pole1 = "Paid Out";
    r.terminal = true;
    return;
  }
  if (form == '6' || form == '9' || form == 'B') {
    row(kRowB, "Account Credited : ", Currency(paid));
    r.pole1 = "Account Credited";
    r.terminal = true;
    return;
  }
  if (sale_.payOnAcct) {
    canadianRowA();
    row(kRowC, "Amount Tendered : ", Currency(Num(c_.tendered)));
    if (sale_.useDisc && sale_.discount != 0)
      row(kTax2, "Discount On Payments : ", Currency(sale_.discount));
    const double poaChange = std::max(0.0, KVTRound(Num(c_.tendered) - paid, 2));
    c_.changeDue = Money(poaChange);
    row(kRowD, "Payment on Account : ", Currency(paid));
    row(kRowE, "Change Due :", Currency(poaChange));
    r.pole1 = "Paid on Account";
    r.pole2 = Currency(paid);
    r.terminal = true;
    return;
  }
  if (sale_.cashCheck) {
    row(kRowB, "Check Amount: ", Currency(paid));
    r.pole1 = "Cashed Check";
    r.terminal = true;
    return;
  }
  const bool refund = due < 0;
  if (Num(c_.fdStmpAmt) == 0) {
    if (remain > 0) {
      row(kRowB, "Amount Remaining : ", Currency(remain));
      row(kRowC, "Amount Received : ", Currency(paid));
      r.pole1 = "Amount Remaining";
      r.pole2 = Currency(remain);
      return;
    }
    r.terminal = true;
    if (form == '1' && refund) {
      row(kRowB, "Amount Paid Out : ", Currency(paid));
      r.pole1 = "Paid Out";
      return;
    }
    if (form == '5' && refund) {
      row(kRowB, "Account Credited : ", Currency(paid));
      r.pole1 = "Account Credited";
      return;
    }
    canadianRowA();
    row(kRowC, "Amount Received : ", Currency(paid));
    if (config_.showAmountDue) row(kRowD, "Amount Due: ", Currency(due));
    row(kRowE, "Change Due :", Currency(change));
    r.pole1 = "Change Due";
    r.pole2 = Currency(change);
    return;
  }
  row(kRowA, "Food Stamps Received : ", Currency(Num(c_.fsAmtRec)));
  row(kRowB, "Food Stamps Change : ", Currency(Num(c_.fsChange)));
  r.pole1 = "Food Stamps Change";
  r.pole2 = Currency(Num(c_.fsChange));
  if (remain > 0) {
    row(kRowD, "Amount Remaining : ", Currency(remain));
    r.pole1 = "Amount Remaining";
    r.pole2 = Currency(remain);
    return;
  }
  row(kRowD, "Amount Received : ", Currency(paid));
  row(kRowE, "Change Due :", Currency(change));
  r.pole1 = "Change Due";
  r.pole2 = Currency(change);
  r.terminal = true;
}

// ---- The payment form list -------------------------------------------------

std::vector<std::string> PaymentForms(const FormListState& s) {
  std::vector<std::string> out;
  const bool positive = s.total >= 0;
  const bool noCredit = Num(s.creditAmt) == 0;
  if (!s.cashCheck) out.push_back("1 - Cash");
  if (positive) out.push_back("2 - Check");
  if (positive && (!s.payOnAcct || s.allowPoaCC) && !s.cashCheck && !s.farmPlanPayment &&
      s.fpAmt.empty() && noCredit)
    out.push_back("3 - Credit Card");
  if (!s.payOnAcct && !s.cashCheck) {
    if (positive && s.mixedPOA.empty() && !s.paymentEntered) out.push_back("4 - Cash Return");
    if (s.creditAmt.empty()) out.push_back("5 - Charge");
    if (positive) {
      if (!s.paymentEntered && s.mixedPOA.empty()) out.push_back("6 - Charge Return");
      out.push_back("7 - Food Stamps");
    }
    if (!s.crestpayInstalled || (s.fpAmt.empty() && s.creditAmt.empty()))
      out.push_back("8 - Void Sale");
  }
  if (positive && !s.payOnAcct && s.mixedPOA.empty() && !s.paymentEntered)
    out.push_back("9 - Credit Card Return");
  if (s.crestpayInstalled && s.farmPlanAccepted && !s.payOnAcct && !s.cashCheck && positive &&
      noCredit) {
    if (s.mixedPOA.empty() && s.fpAmt.empty()) out.push_back("A - Farm Plan");
    if (s.mixedPOA.empty() && !s.paymentEntered) out.push_back("B - Farm Plan Return");
  }
  if (positive && (!s.payOnAcct || s.allowPoaGC) && !s.cashCheck && !s.farmPlanPayment)
    out.push_back("G - Gift Card");
  if (s.canadian) out.push_back("C - Canadian");
  return out;
}

// ---- The steps of a tender ---------------------------------------------------

std::vector<DetailStep> DetailSteps(char form, bool payOnAcct, const PromptSwitches& s) {
  const int k = payOnAcct ? 1 : 0;
  std::vector<DetailStep> out;
  auto add = [&out](bool on, int field, const char* label, const char* help, bool prefill) {
    if (on) out.push_back({field, label, help, prefill});
  };
  switch (form) {
    case '2':
      add(s.checkAcct[k], kPI1, "Checking Account Number : ", "Enter the Account Number.", false);
      add(s.checkNum[k], kPI2, "Check Number : ", "Enter the Check Number.", false);
      break;
    case '3':
    case '9':
      add(s.ccType[k], kPI1, "Card Type : ", "Enter Credit Card Type.", true);
      add(s.ccNumber[k], kPI2, "Card Number : ", "Enter Credit Card Number.", false);
      add(s.ccExp[k], kPI3, "Exp Date : ", "Enter Expiration Date <MMYY>.", false);
      add(s.ccAuth[k], kPI4, "Authorization Number : ", "Enter Authorization Number.", false);
      break;
    case 'G':
      add(s.gcType[k], kPI1, "Card Type : ", "Enter Credit Card Type.", true);
      add(s.gcNumber[k], kPI2, "Card Number : ", "Enter Credit Card Number.", false);
      add(s.gcExp[k], kPI3, "Exp Date : ", "Enter Expiration Date <MMYY>.", false);
      add(s.gcAuth[k], kPI4, "Authorization Number : ", "Enter Authorization Number.", false);
      break;
    case '5':
      add(s.poNumber, kPI1, "PO Number : ", "Enter Purchase Order Number.", false);
      break;
    default:
      break;
  }
  return out;
}

std::string AmountLabel(char form, bool payOnAcct) {
  const char* poa = "Payment on Account : ";
  switch (form) {
    case '1':
      return payOnAcct ? poa : "Cash Received : ";
    case 'C':
      return payOnAcct ? "Canadian POA : " : "Canadian Cash Received : ";
    case '2':
      return payOnAcct ? poa : "Check Amount : ";
    case '3':
    case '9':
      return payOnAcct ? poa : "Credit Card Amount : ";
    case '5':
      return "Charged Amount : ";
    case '7':
      return "Food Stamps Received : ";
    case 'G':
      return payOnAcct ? poa : "Gift Card Amount : ";
    default:
      return "";
  }
}

std::string DefaultCustomer(char form, const DefaultCustomers& d) {
  switch (form) {
    case '1':
    case 'C':
    case '4':
      return d.cash;
    case '2':
      return d.check;
    case '3':
    case '9':
      return d.ccard;
    case '7':
      return d.fs;
    case 'G':
      return d.gcard;
    default:
      return "";
  }
}

}  // namespace kvt::payment
