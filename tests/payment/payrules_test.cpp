// The payment rules by tables: card expiry in June 2026, the credit limit,
// the past-due notes and the swiped customer card.
#include "payment/payrules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace kvt::payment;

TEST(PayRules, CardExpiryIsJudgedOnToday) {
  const std::string invalid = "Invalid date.\n\nChoose a different form of payment.";
  const std::string expired = "Card is expired.\n\nChoose a different form of payment.";
  // clang-format off
  struct Case { const char* mmyy; const char* date; std::string message; } cases[] = {  // date "" when refused
      {"1299", "", invalid},          // December 2099: more than ten years ahead
      {"0526", "", expired},          // last month
      {"0626", "06302026", ""},       // this month is still good
      {"1236", "12312036", ""},       // ten years ahead
      {"0137", "", invalid},          // eleven years ahead
      {"0228", "02292028", ""},       // leap year
      {"0227", "02282027", ""}, {"1325", "", invalid},  // month 13
      {"0025", "", invalid},    {"1225", "", expired},
  };
  // clang-format on
  for (const Case& c : cases) {
    ExpiryCheck e = CheckExpiry(c.mmyy, "06152026");
    EXPECT_EQ(e.ok, *c.date != '\0') << c.mmyy;
    EXPECT_EQ(e.date, c.date) << c.mmyy;
    EXPECT_EQ(e.message, c.message) << c.mmyy;
  }
}

TEST(PayRules, CreditLimitAllowsUpToTheLimit) {
  // clang-format off
  struct Case { const char* limit; double owed, amount; bool exceeded; } cases[] = {
      {"500.00", 450.00, 50.00, false}, {"500.00", 450.00, 50.01, true}, {"", 99999, 5000, false},
      {"   ", 10, 10, false},           {"0", 0, 0.01, true},            {"0.00", 0, 0, false},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(CreditLimitExceeded(c.limit, c.owed, c.amount), c.exceeded)
        << c.limit << " " << c.owed << " + " << c.amount;
}

TEST(PayRules, PastDueNotesNameEachAgeOwed) {
  AgedBalance b;
  b.age[0] = 40;    // current: not past due
  b.age[1] = 10;    // 30 days
  b.age[6] = 5;     // MONTH6 counts as 120 days and over
  b.age[13] = 2.5;  // over a year too
  EXPECT_EQ(BalanceNoteLines(b), (std::vector<std::string>{"Past Due Balance: 17.50",
                                                           "-------------------------------------",
                                                           "30 Days: 10.00", "120+ Days: 7.50"}));
  EXPECT_DOUBLE_EQ(b.Balance(), 57.50);
  AgedBalance current;
  current.age[0] = 12;
  EXPECT_TRUE(BalanceNoteLines(current).empty());
}

TEST(PayRules, ASwipedCardGivesTheLastSixDigits) {
  // clang-format off
  struct Case { const char *text, *ref; } cases[] = {
      {"%B4000001234123456^SMITH/JOHN^2612", "123456"}, {"%B12^X", "%B12"},
      {"%B4000001234123456", "%B4000001234123456"},     {"1001", "1001"}};
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(SwipedCustomerRef(c.text), c.ref) << c.text;
}

}  // namespace
