// The tax table: one line's tax per code, the rows a line keeps, the sale's
// tax rounded once per code and the amounts saved; the tax tables' reads.
#include "pricing/taxtable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <tuple>

#include "platform/sql/kvtsqladmin.h"
#include "pricing/saletax.h"
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

// The sale and tax grids as the screen holds them.
struct Grids {
  std::vector<SaleTax::Line> lines;
  std::vector<SaleTax::Row> rows;
};

// Every line taxed again from scratch, as the screen did before it kept the
// sale's tax: the first line of a link taxes its rows, a voided or
// non-taxable one drops them, rows of no line stay.
void TaxEveryLine(Grids& g) {
  std::vector<SaleTax::Row> kept;
  for (SaleTax::Row r : g.rows) {
    auto l = std::find_if(g.lines.begin(), g.lines.end(),
                          [&](const SaleTax::Line& l) { return l.link == r.link; });
    if (l != g.lines.end() && (l->taxable != "Y" || l->amount == "VOID")) continue;
    if (l != g.lines.end()) {
      auto tax = CalculateTax(std::atof(l->amount.c_str()), std::atof(r.rate.c_str()),
                              std::atof(r.cap.c_str()));
      char buf[64];
      r.amount = tax ? (std::snprintf(buf, sizeof buf, "%f", *tax), buf) : "";
    }
    kept.push_back(r);
  }
  g.rows = kept;
}

double TotalOf(const Grids& g) {
  TaxTable t;
  for (const SaleTax::Row& r : g.rows)
    t.rows().push_back({r.code, r.rate, r.cap, std::atof(r.amount.c_str()), r.link});
  return t.Total();
}

// Edits, separated by spaces: "+A" a taxable line of amount A with its ST
// and CO rows ("+AxN" N of them), "~I=A" line I's amount, "vI" line I
// voided, "nI" not taxable, "lI=J" line I takes line J's link, "rT=A" tax
// row T's amount overwritten, "o" a row of no line.
TEST(SaleTax, KeptLineByLineItIsTheSaleTaxedAgainFromScratch) {
  // clang-format off
  const char* cases[] = {
      "+3.33x30",                         // 30 lines where rounding each line would make 7.50, not 7.49
      "+0.07x12 +10.01 +0.07x5",          // CO capped on one line only
      "+1.00 +2.00 +3.00 ~1=5.00 ~0=-4.00",  // lines before the last change
      "+1.00 +2.00 +3.00 v1 +4.00 n0 +5.00", // rows dropped from the middle
      "+1.00 +2.00 l1=0 +3.00 l1=1",      // a shared link: the first line taxes
      "+1.00 o +2.00 r1=9.000000 r2=",    // a row of no line stays; rows written over are taxed again
      "+0.00 +0.10 ~1=0.00",
  };
  // clang-format on
  for (const char* c : cases) {
    SCOPED_TRACE(c);
    Grids got;
    SaleTax tax;
    std::istringstream edits(c);
    for (std::string e; edits >> e;) {
      SCOPED_TRACE(e);
      std::size_t at = std::strtoul(e.c_str() + 1, nullptr, 10);
      std::string value = e.find('=') == std::string::npos ? "" : e.substr(e.find('=') + 1);
      std::vector<std::size_t> lines, rows;  // what the edit changed
      auto addLine = [&](const std::string& amount) {
        std::string link = std::to_string(100 + got.lines.size());
        lines.push_back(got.lines.size());
        got.lines.push_back({link, amount, "Y"});
        for (auto [code, rate, cap] : {std::tuple{"ST", "7.5", ""}, {"CO", "1", "0.10"}}) {
          rows.push_back(got.rows.size());
          got.rows.push_back({code, rate, cap, "", link});
        }
      };
      if (e[0] == '+') {
        int n = e.find('x') == std::string::npos ? 1 : std::stoi(e.substr(e.find('x') + 1));
        for (int i = 0; i < n; ++i) addLine(e.substr(1, e.find('x') - 1));
      } else if (e[0] == 'o') {
        rows.push_back(got.rows.size());
        got.rows.push_back({"ST", "7.5", "", "1.500000", "none"});
      } else if (e[0] == 'r') {
        got.rows[at].amount = value;
        rows.push_back(at);
      } else {
        SaleTax::Line& l = got.lines[at];
        if (e[0] == '~') l.amount = value;
        if (e[0] == 'v') l.amount = "VOID";
        if (e[0] == 'n') l.taxable = "N";
        if (e[0] == 'l') l.link = got.lines[std::stoul(value)].link;
        lines.push_back(at);
      }
      Grids want = got;  // as edited, not yet taxed
      TaxEveryLine(want);
      for (std::size_t i : lines) tax.SetLine(i, got.lines[i]);
      for (std::size_t t : rows) tax.SetRow(t, got.rows[t]);
      SaleTax::Changes changes = tax.Adjust();
      for (const auto& [t, text] : changes.amounts) got.rows[t].amount = text;
      for (std::size_t t : changes.dropped) got.rows.erase(got.rows.begin() + static_cast<long>(t));
      ASSERT_EQ(got.rows.size(), want.rows.size());
      ASSERT_EQ(tax.RowCount(), want.rows.size());
      for (std::size_t t = 0; t < want.rows.size(); ++t)
        EXPECT_EQ(got.rows[t].link + " " + got.rows[t].amount,
                  want.rows[t].link + " " + want.rows[t].amount);
      EXPECT_EQ(tax.Total(), TotalOf(want));  // to the bit
    }
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
