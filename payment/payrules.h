// The rules a tender is checked by, on values: card expiry dates, the
// customer's credit limit and balance by age, the reference on a swiped
// customer card. The payment screen's checker (POS2A) and the customer
// look-ups (payment/customers.h) read the database and ask these.
#pragma once

#include <string>
#include <vector>

namespace kvt::payment {

// A card expiry keyed as MMYY, judged on `today` ("MMDDYYYY").
struct ExpiryCheck {
  bool ok = false;
  std::string message;  // why it was refused
  std::string date;     // when accepted: the month's last day as MMDDYYYY
};
ExpiryCheck CheckExpiry(const std::string& mmyy, const std::string& today);

// The customer's balance by age: CURRENT, MONTH1..MONTH12, OVERYEAR.
struct AgedBalance {
  double age[14] = {};
  double Balance() const;  // all fourteen, rounded to cents
  double PastDue() const;  // MONTH1..OVERYEAR
  double Current() const { return age[0]; }
};
// The column names of the ages, in that order.
extern const char* const kAgeColumns[14];

// Over the limit when what is owed plus `amount` is above it (equal is
// allowed). An empty limit is no limit; a limit of 0 allows no charge.
bool CreditLimitExceeded(const std::string& limitText, double balance, double amount);

// The past-due lines written as notes for the cashier: "Past Due Balance: ",
// a rule, then 30, 60, 90 and 120+ days, each only when not 0. None when
// nothing is past due.
std::vector<std::string> BalanceNoteLines(const AgedBalance& b);

// A swiped customer card ("%" first): the last six characters of the
// account number before the first "^". `text` unchanged when it is not a
// swipe or has no "^".
std::string SwipedCustomerRef(const std::string& text);

}  // namespace kvt::payment
