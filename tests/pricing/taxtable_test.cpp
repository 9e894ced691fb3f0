// The tax table: one line's tax per code, the rows a line keeps, the sale's
// tax rounded once per code and the amounts saved; the tax tables' reads.
#include "pricing/taxtable.h"

#include <gtest/gtest.h>

#include "platform/sql/kvtsqladmin.h"
#include "tests/pricing/pricing_fixture.h"

namespace kvt::pricing {
namespace {

constexpr double kNone = -999;  // no tax: the rate rounds to nothing

// "CODE AMOUNT LINK, ..." ("-" a row not taxed yet) with code ST at 7.5%
// and CO at 1% capped at 0.10.
TaxTable Table(const std::string& spec) {
  TaxTable t;
  std::istringstream all(spec);
  for (std::string one; std::getline(all, one, ',');) {
    TaxRow r;
    std::string amount;
    std::istringstream(one) >> r.code >> amount >> r.link;
    if (amount != "-") r.amount = std::stod(amount);
    r.rate = r.code == "ST" ? "7.5" : "1";
    r.cap = r.code == "ST" ? "" : "0.10";
    t.rows().push_back(r);
  }
  return t;
}

std::string Texts(const std::vector<double>& amounts) {
  std::string out;
  char buf[32];
  for (double a : amounts) out += (std::snprintf(buf, sizeof buf, " %.2f", a), buf);
  return out;
}

TEST(CalculateTax, UnroundedCappedPerLineNoneWhenTheRateRoundsToNothing) {
  // clang-format off
  struct Case { double amount, percent, cap, want; } cases[] = {
      {10.01, 7.5, 0, 0.75075},     // not rounded to cents
      {10.00, 7.5, 0.50, 0.50},     // capped
      {10.00, 7.5, 0.004, 0.75},    // a cap that rounds to no cents is none
      {10.00, 7.5, 0.75, 0.75},     // a cap reached exactly
      {-10.00, 7.5, 0.50, -0.75},   // a return is never capped
      {0, 7.5, 0.50, 0}, {0, 0, 0, 0},  // no amount, no tax, whatever the rate
      {10.00, 0.04, 0, kNone},      // the rate rounds to 0
      {10.00, 0.05, 0, 0.005},      // ... but not this one
      {10.00, -5, 0, kNone},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_NEAR(CalculateTax(c.amount, c.percent, c.cap).value_or(kNone), c.want, 1e-9)
        << c.amount << " at " << c.percent << " capped " << c.cap;
}

TEST(TaxTable, SaleTaxIsRoundedOncePerCodeAndSavedRowsAddUpToIt) {
  // clang-format off
  struct Case { const char* rows; double sum; const char* saved; } cases[] = {
      {"ST 0.333333 1, ST 0.333333 2, ST 0.333333 3", 1.00, " 0.33 0.33 0.34"},
      {"ST 0.333333 1, CO 0.004999 1, ST 0.333333 2, CO 0.004999 2, ST 0.333333 3", 1.01, " 0.33 0.00 0.33 0.00 0.35"},
      {"ST 0.004 1, CO 0.004 1", 0, " 0.00 0.00"},  // each code rounded, not the sum
      {"ST 0.750750 1, ST 0.250000 2", 1.00, " 0.75 0.25"},
      {"ST - 1, ST 0.5 2", 0.50, " 0.00 0.50"},
      {"ST -0.333333 1, ST -0.333333 2", -0.67, " -0.33 -0.34"},
      {"ST 92.592 1, ST 925.92525 2", 1018.52, " 92.59 925.93"},
      {"", 0, ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    TaxTable t = Table(c.rows);
    EXPECT_DOUBLE_EQ(t.Total(), c.sum) << c.rows;
    EXPECT_EQ(Texts(t.SaveAmounts(t.Total())), c.saved) << c.rows;
  }
}

TEST(TaxTable, ALineKeepsItsRowsRecomputedOrLosesThem) {
  // clang-format off
  struct Case { double amount; bool taxed; const char* want; } cases[] = {
      {10.00, true, " 0.75 0.10 9.00"},  // CO capped; line 2 untouched
      {2.00, true, " 0.15 0.02 9.00"},
      {10.00, false, " 9.00"},           // voided or not taxable: gone for good
  };
  // clang-format on
  for (const Case& c : cases) {
    TaxTable t = Table("ST - 1, CO - 1, ST 9 2");
    t.AdjustLine("1", c.amount, c.taxed);
    std::vector<double> amounts;
    for (const TaxRow& r : t.rows()) amounts.push_back(r.amount.value_or(kNone));
    EXPECT_EQ(Texts(amounts), c.want) << c.amount << (c.taxed ? " taxed" : " untaxed");
  }
}

class TaxTablesRead : public kvt::test::DatabaseTest {};

TEST_P(TaxTablesRead, AuthoritiesAndTheirCodesWithRatesAFailedReadIsNoNoTax) {
  ASSERT_TRUE(AddRows(db(),
                      "KVTAR16A TAXAUTH=CNTY TAXCODE=CO; KVTAR19 TAXCODE=CO TAXRATE=1.5 "
                      "AMOUNT=2.00; KVTAR16A TAXAUTH=CNTY TAXCODE=GONE"));
  ASSERT_TRUE(
      db().Add("KVTCOM12", {{"REFERENCE", "FEED"}, {"LOCATION", "MAIN"}, {"TAXAUTH", " CNTY "}}));
  TaxTables tables;
  EXPECT_EQ(tables.CategoryAuthority("FEED", "MAIN").value, "CNTY");
  EXPECT_EQ(tables.CategoryAuthority("FEED", "WEST").found, Found::No);
  Looked<std::vector<TaxRow>> rows = tables.RowsOf("CNTY", "4711");
  ASSERT_EQ(rows.value.size(), 1u);  // a code without a rate taxes nothing
  const TaxRow& r = rows.value[0];
  EXPECT_EQ(r.code + " " + r.rate + " " + r.cap + " " + r.link + (r.amount ? " taxed" : ""),
            "CO 1.5 2.00 4711");
  EXPECT_EQ(tables.RowsOf("NONE", "1").found, Found::No);

  // Answers are kept until Forget: a rate changed meanwhile counts after it.
  ASSERT_TRUE(kvt::sql::Run("UPDATE KVTAR19 SET TAXRATE = '2.5'").ok());
  EXPECT_EQ(tables.RowsOf("CNTY", "1").value.at(0).rate, "1.5");
  tables.Forget();
  EXPECT_EQ(tables.RowsOf("CNTY", "1").value.at(0).rate, "2.5");

  tables.Forget();
  KVTSqlFailStatements("KVTAR19");
  EXPECT_NE(
      tables.RowsOf("CNTY", "4711").error.find("tax codes of authority CNTY could not be read"),
      std::string::npos);
  KVTSqlFailStatements("KVTCOM12");
  EXPECT_TRUE(tables.CategoryAuthority("FEED", "MAIN").failed());
  KVTSqlClearFaults();
}

KVT_ON_BOTH_BACKENDS(TaxTablesRead);

}  // namespace
}  // namespace kvt::pricing
