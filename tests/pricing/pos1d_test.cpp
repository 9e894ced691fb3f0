// Tax of the sale screen: one row's tax, the authority of a line, the rows a
// line keeps as it changes, the sale's tax total and the amounts saved.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/sale/sale_fixture.h"

namespace {

using kvt::test::Line;
using kvt::test::TaxRow;

TEST(CalculateTax, SixDecimalsCapsAndRatesThatRoundToNothing) {
  struct Case {
    const char* amount;
    const char* percent;
    const char* max;
    const char* want;
  } cases[] = {
      {"10.01", "7.5", "", "0.750750"},        // not rounded to cents
      {"10.00", "7.5", "0.50", "0.500000"},    // capped
      {"10.00", "7.5", "0", "0.750000"},       // a cap of 0 is none
      {"10.00", "7.5", "0.004", "0.750000"},   // nor one that rounds to no cents
      {"10.00", "7.5", "0.75", "0.750000"},    // a cap reached exactly
      {"-10.00", "7.5", "0.50", "-0.750000"},  // a return is never capped
      {"0", "7.5", "0.50", "0.000000"},
      {"", "7.5", "", "0.000000"},
      {"10.00", "0.04", "", ""},          // the rate rounds to 0
      {"10.00", "0.05", "", "0.005000"},  // ... but not this one
      {"10.00", "-5", "", ""},
      {"10.00", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PVpos1Dlg::CalculateTax(c.amount, "ST", c.percent, c.max), c.want)
        << c.amount << " at " << c.percent << " capped " << c.max;
  }
}

class Tax : public kvt::test::SaleScreenTest {};

TEST_P(Tax, AuthorityOfTheCategoryOrTheStoreDefault) {
  AddTaxCode("STATE", "ST", "6", "");
  AddTaxCode("CNTY", "CO", "1.5", "2.00");
  AddTaxCode("CNTY", "CITY", "1");
  Add("KVTAR16A", {{"TAXAUTH", "CNTY"}, {"TAXCODE", "GONE"}});  // no rate: skipped
  Add("KVTCOM12", {{"REFERENCE", "FEED"}, {"LOCATION", "MAIN"}, {"TAXAUTH", "CNTY"}});
  Add("KVTCOM12", {{"REFERENCE", "FEED"}, {"LOCATION", "WEST"}, {"TAXAUTH", "STATE"}});
  Add("KVTCOM12", {{"REFERENCE", "SEED"}, {"LOCATION", "MAIN"}, {"TAXAUTH", " "}});

  struct Case {
    const char* byCategory;
    const char* category;
    std::vector<std::string> codes;
  } cases[] = {
      {"T", "FEED", {"CO", "CITY"}},  // the category's authority at this store
      {"T", "SEED", {"ST"}},          // a blank authority falls back to the store's
      {"T", "NONE", {"ST"}},          // no such category
      {"F", "FEED", {"ST"}},          // categories not consulted
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.byCategory) + " " + c.category);
    KVTSetSetting(CFG_USESALESCATEGORYTAXAUTH, c.byCategory);
    screen->ClearTaxTable();
    screen->FindTaxAuth(c.category, "4711");
    std::vector<std::string> codes = Column(screen->TaxGrid(), TAXCOL_CODE);
    std::sort(codes.begin(), codes.end());
    std::vector<std::string> want = c.codes;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(codes, want);
    for (const auto& row : TaxRows()) {
      EXPECT_EQ(row[TAXCOL_AMOUNT], "");
      EXPECT_EQ(row[TAXCOL_ITEMLINK], "4711");
      if (row[TAXCOL_CODE] == "CO") {
        EXPECT_EQ(row[TAXCOL_RATE], "1.5");
        EXPECT_EQ(row[TAXCOL_MAXAMT], "2.00");
      }
    }
  }
}

TEST_P(Tax, SaleTaxIsRoundedOncePerCodeAndSavedRowsAddUpToIt) {
  struct Case {
    const char* name;
    std::vector<TaxRow> rows;
    std::string sum;
    std::vector<std::string> saved;
  } cases[] = {
      {"three thirds of a cent-rounded dollar",
       {{"ST", "", "", "0.333333", "1"},
        {"ST", "", "", "0.333333", "2"},
        {"ST", "", "", "0.333333", "3"}},
       "1.00",
       {"0.33", "0.33", "0.34"}},
      {"two codes each rounded once",
       {{"ST", "", "", "0.333333", "1"},
        {"CO", "", "", "0.004999", "1"},
        {"ST", "", "", "0.333333", "2"},
        {"CO", "", "", "0.004999", "2"},
        {"ST", "", "", "0.333333", "3"}},
       "1.01",
       {"0.33", "0.00", "0.33", "0.00", "0.35"}},
      {"rows that already add up are kept",
       {{"ST", "", "", "0.750750", "1"}, {"ST", "", "", "0.250000", "2"}},
       "1.00",
       {"0.75", "0.25"}},
      {"an empty amount counts as none",
       {{"ST", "", "", "", "1"}, {"ST", "", "", "0.500000", "2"}},
       "0.50",
       {"0.00", "0.50"}},
      {"a return",
       {{"ST", "", "", "-0.333333", "1"}, {"ST", "", "", "-0.333333", "2"}},
       "-0.67",
       {"-0.33", "-0.34"}},
      {"no rows", {}, "0.00", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen->ClearTaxTable();
    for (const TaxRow& t : c.rows) AddTaxRow(t);
    std::string sum = screen->SumTax();
    EXPECT_EQ(sum, c.sum);
    EXPECT_EQ(screen->TaxRowSaveAmounts(sum.c_str()), c.saved);
  }
}

TEST_P(Tax, VoidedOrNonTaxableLineLosesItsRowsForGood) {
  AddTaxCode("STATE", "ST", "7.5");
  AddTaxCode("STATE", "CO", "1", "0.05");
  int keep = AddTaxedLine({"ABCD", "10.01"});
  int voided = AddTaxedLine({"EFGH", "20.00"});
  int untaxed = AddTaxedLine({"IJKL", "4.00"});
  screen->TotalSaleItems(1);
  ASSERT_EQ(screen->TaxGrid().GetRowCount(), 6);
  EXPECT_EQ(screen->TaxGrid().GetCell(TAXCOL_AMOUNT, 0), "0.750750");
  EXPECT_EQ(screen->TaxGrid().GetCell(TAXCOL_AMOUNT, 1), "0.050000");  // capped per line
  EXPECT_STREQ(screen->Data.TAXTOTAL, "2.69");  // ST 2.55075, CO 0.05 + 0.05 + 0.04

  TDataTbl& g = screen->SaleGrid();
  g.SetCell(COL_AMOUNT, voided, "VOID");
  g.SetCell(COL_TAXABLE, untaxed, "N");
  screen->TotalSaleItems(1);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK),
            std::vector<std::string>(2, g.GetCell(COL_RECNO, keep)));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.80");

  // Taxable again: the rows are not loaded back by the totals.
  g.SetCell(COL_AMOUNT, voided, "20.00");
  g.SetCell(COL_TAXABLE, untaxed, "Y");
  screen->TotalSaleItems(1);
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 2);
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.80");
}

TEST_P(Tax, RowsHoldSixDecimalsOnLargeLines) {
  AddTaxCode("STATE", "ST", "7.5");
  AddTaxedLine({"ABCD", "1234.56"});
  AddTaxedLine({"EFGH", "12345.67"});
  screen->TotalSaleItems(1);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_AMOUNT),
            (std::vector<std::string>{"92.592000", "925.925250"}));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "1018.52");
}

TEST_P(Tax, RemoveTaxUntaxesOnlyTheLastLine) {
  AddTaxCode("STATE", "ST", "10");
  AddTaxedLine({"ABCD", "10.00"});
  AddTaxedLine({"EFGH", "5.00"});
  screen->TotalSaleItems(1);
  ASSERT_STREQ(screen->Data.TAXTOTAL, "1.50");

  screen->RemoveTax();
  EXPECT_EQ(Column(screen->SaleGrid(), COL_TAXABLE), (std::vector<std::string>{"Y", "N"}));
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 1);
  EXPECT_STREQ(screen->Data.TAXTOTAL, "1.00");
  EXPECT_STREQ(screen->Data.TOTAL, "16.00");
  EXPECT_STREQ(screen->Data.NONTAXAMT, "5.00");
  EXPECT_EQ(screen->GetFieldText(IDC_TAXTOTAL_DISPLAY), "$1.00");
}

TEST_P(Tax, NonTaxableCategoryReplacesTheLinesCodes) {
  KVTSetSetting(CFG_USESALESCATEGORYTAXAUTH, "T");
  AddTaxCode("STATE", "ST", "6");
  AddTaxCode("FARM", "FM", "2");
  Add("KVTCOM12", {{"REFERENCE", "FARMCAT"}, {"LOCATION", "MAIN"}, {"TAXAUTH", "FARM"}});
  AddTaxedLine({"ABCD", "10.00", "Y", "1", "N", "1", "", "FARMCAT"});
  AddTaxedLine({"EFGH", "10.00", "Y", "2"});
  ASSERT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), (std::vector<std::string>{"ST", "ST"}));

  screen->AdjustTaxCodes(1, false);  // no non-taxable category: left alone
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), (std::vector<std::string>{"ST", "ST"}));
  screen->AdjustTaxCodes(0, true);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), (std::vector<std::string>{"ST", "FM"}));
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK), (std::vector<std::string>{"2", "1"}));
  screen->TotalSaleItems(1);
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.80");
}

KVT_ON_BOTH_BACKENDS(Tax);

}  // namespace
