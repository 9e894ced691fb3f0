// The tender totals by tables: decimal insertion, change and remaining,
// food stamps with whole-dollar change, the payment on account inside a
// sale, the panel a tender leaves, and the payment form list.
#include "payment/tenders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The tables name only the parts of a sale that matter to the case.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using namespace kvt::payment;

TEST(Tenders, AmountsKeyedWithoutDecimalsEndInCents) {
  const std::pair<const char*, const char*> cases[] = {{"5", "0.05"},     {"12", "0.12"},
                                                       {"1234", "12.34"}, {"12.5", "12.5"},
                                                       {"-250", "-2.50"}, {"", ""}};
  for (auto [typed, recorded] : cases) EXPECT_EQ(InsertDecimals(typed), recorded) << typed;
}

// One tender on a fresh sale: the columns it moved and the result.
struct TenderCase {
  const char *name, *total, *fsTotal, *mixedPOA;
  bool enterDecimals;
  std::vector<std::pair<const char*, char>> tenders;  // amount typed, form
  // cash, check, cashPay, checkPay, fdStmpAmt, fsChange, change, remain
  const char* columns;
  bool terminal;
};

std::string Columns(const TenderColumns& c) {
  return c.cashAmt + "|" + c.checkAmt + "|" + c.cashPay + "|" + c.checkPay + "|" + c.fdStmpAmt +
         "|" + c.fsChange + "|" + c.changeDue + "|" + c.amtRemain;
}

TEST(Tenders, RecordedTendersMoveTheRunningTotals) {
  // clang-format off
  const TenderCase cases[] = {
      {"cash with change",              "42.17", "0", "", true, {{"50.00", '1'}}, "50.00||||||7.83|0.00", true},
      {"keyed cents",                   "42.17", "0", "", false, {{"5000", '1'}}, "50.00||||||7.83|0.00", true},
      {"a check leaves a remainder",    "608.75", "0", "", true, {{"500", '2'}}, "|500.00|||||0.00|108.75", false},
      {"check then cash with change",   "608.75", "0", "", true, {{"500", '2'}, {"120", '1'}}, "120.00|500.00|||||11.25|0.00", true},
      {"exact amount: no change",       "10.00", "0", "", true, {{"10", '1'}}, "10.00||||||0.00|0.00", true},
      {"food stamps: whole-dollar change", "20.00", "12.00", "", true, {{"13.50", '7'}}, "||||12.50|1.00|0.00|7.50", false},
      {"food stamps under a dollar over", "20.00", "12.00", "", true, {{"12.60", '7'}}, "||||12.60|0.00|0.00|7.40", false},
      {"food stamps below the eligible", "20.00", "12.00", "", true, {{"5", '7'}}, "||||5.00|0.00|0.00|15.00", false},
      {"mixed payment on account by cash", "130.00", "0", "30.00", true, {{"130", '1'}}, "100.00||30.00||||0.00|0.00", true},
      {"mixed: check first, then cash", "130.00", "0", "30.00", true, {{"20", '2'}, {"110", '1'}}, "100.00|0.00|10.00|20.00|||0.00|0.00", true},
      {"mixed: not covered by a charge", "130.00", "0", "30.00", true, {{"130", '5'}}, "|||||||", false},
  };
  // clang-format on
  for (const TenderCase& c : cases) {
    SCOPED_TRACE(c.name);
    const TenderConfig config{.enterDecimals = c.enterDecimals};
    const SaleDue sale{.total = c.total, .fsTotal = c.fsTotal, .mixedPOA = c.mixedPOA};
    TenderColumns columns;
    TenderResult r;
    for (const auto& [amount, form] : c.tenders) {
      TenderTotals totals(config, sale, columns);
      r = totals.Record(amount, form);
      columns = totals.columns();
    }
    EXPECT_EQ(Columns(columns), c.columns);
    EXPECT_EQ(r.terminal, c.terminal);
  }
}

TEST(Tenders, ThePanelSaysWhatTheTenderDid) {
  // clang-format off
  struct Case { const char *name, *total; bool poa, cashCheck; const char* amount; char form; int row; PanelLine line;
                const char* pole; } cases[] = {
      {"change due",           "42.17",  false, false, "50",     '1', kRowE, {"Change Due :", "$7.83"},               "Change Due"},
      {"amount remaining",     "42.17",  false, false, "40",     '1', kRowB, {"Amount Remaining : ", "$2.17"},        "Amount Remaining"},
      {"a refund paid out",    "-12.00", false, false, "-12.00", '1', kRowB, {"Amount Paid Out : ", "$-12.00"},       "Paid Out"},
      {"a cash return",        "12.00",  false, false, "12.00",  '4', kRowB, {"Amount Paid Out : ", "$12.00"},        "Paid Out"},
      {"a charge return",      "12.00",  false, false, "12.00",  '6', kRowB, {"Account Credited : ", "$12.00"},       "Account Credited"},
      {"a payment on account", "0",      true,  false, "25",     '1', kRowD, {"Payment on Account : ", "$25.00"},     "Paid on Account"},
      {"a cashed check",       "0",      false, true,  "80",     '2', kRowB, {"Check Amount: ", "$80.00"},            "Cashed Check"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const SaleDue sale{.payOnAcct = c.poa, .cashCheck = c.cashCheck, .total = c.total};
    TenderColumns columns;
    if (c.poa) columns.tendered = c.amount;
    TenderTotals totals({}, sale, columns);
    TenderResult r = totals.Record(c.amount, c.form);
    ASSERT_TRUE(r.panel.count(c.row));
    EXPECT_EQ(r.panel[c.row], c.line);
    EXPECT_EQ(r.pole1, c.pole);
  }
}

TEST(Tenders, TheFormListFollowsTheSale) {
  const std::vector<std::string> all = {
      "1 - Cash",        "2 - Check",     "3 - Credit Card",
      "4 - Cash Return", "5 - Charge",    "6 - Charge Return",
      "7 - Food Stamps", "8 - Void Sale", "9 - Credit Card Return",
      "G - Gift Card"};
  // clang-format off
  struct Case { const char* name; FormListState state; std::vector<std::string> forms; } cases[] = {
      {"a fresh sale", {.total = 10}, all},
      {"a refund: cash, charge, void", {.total = -5}, {"1 - Cash", "5 - Charge", "8 - Void Sale"}},
      {"a refund with a Canadian rate", {.total = -5, .canadian = true}, {"1 - Cash", "5 - Charge", "8 - Void Sale", "C - Canadian"}},
      {"after a first tender no returns", {.total = 10, .paymentEntered = true},
       {"1 - Cash", "2 - Check", "3 - Credit Card", "5 - Charge", "7 - Food Stamps", "8 - Void Sale", "G - Gift Card"}},
      {"after a card no second card nor charge", {.total = 10, .paymentEntered = true, .creditAmt = "5.00"},
       {"1 - Cash", "2 - Check", "7 - Food Stamps", "8 - Void Sale", "G - Gift Card"}},
      {"a payment on account", {.total = 10, .payOnAcct = true}, {"1 - Cash", "2 - Check"}},
      {"cashing a check", {.total = 10, .cashCheck = true}, {"2 - Check", "9 - Credit Card Return"}},
      {"the financing module without a plan sale",
       {.total = 10, .paymentEntered = true, .crestpayInstalled = true, .farmPlanAccepted = true, .fpAmt = "5.00"},
       {"1 - Cash", "2 - Check", "5 - Charge", "7 - Food Stamps", "G - Gift Card"}},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(PaymentForms(c.state), c.forms) << c.name;
}

TEST(Tenders, DetailFieldsFollowTheirSwitches) {
  PromptSwitches s;
  s.checkNum[0] = true;
  s.checkAcct[1] = true;
  s.ccExp[0] = s.ccType[0] = true;
  // clang-format off
  struct Case { char form; bool poa; std::vector<int> fields; } cases[] = {
      {'2', false, {kPI2}}, {'2', true, {kPI1}}, {'3', false, {kPI1, kPI3}}, {'3', true, {}}, {'1', false, {}}};
  // clang-format on
  for (const Case& c : cases) {
    std::vector<int> fields;
    for (const DetailStep& d : DetailSteps(c.form, c.poa, s)) fields.push_back(d.field);
    EXPECT_EQ(fields, c.fields) << c.form << c.poa;
  }
}

}  // namespace
