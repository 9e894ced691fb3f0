// Mix-and-match pricing over the sale grid: set shares, the last share,
// units beyond the sets, fractional and voided lines, the validity window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/pricing/pricing_fixture.h"

namespace {

class MixPricing : public PricingScreenTest {
 protected:
  void SetUp() override {
    PricingScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    AddItem("CANDYA", "2.00", "1.00");
    AddItem("CANDYB", "2.25", "1.10");
  }
};

TEST_P(MixPricing, LinesShareTheSetPrice) {
  struct Case {
    const char* name;
    kvt::schema::Row mix;  // KVTPRB31: QUANTITY, FORQTY, AFTERQTY, window
    std::vector<GridLine> lines;
    const char* kind;                   // the pricing kind of the line that changed
    std::vector<std::string> expected;  // "price amount" per line
  } cases[] = {
      {"3 for 1.00 on one line of 3; the window ends today",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}, {"ENDDATE", "03/15/2024"}},
       {{"CANDYA", "3", "2.00", "6.00", "", ""}},
       "",
       {"0.33 0.99"}},
      {"3 for 5.00 over lines of 2 and 2, one unit at AFTERQTY",
       {{"QUANTITY", "3"}, {"FORQTY", "5.00"}, {"AFTERQTY", "1.50"}},
       {{"CANDYA", "2", "2.00", "4.00", "", ""}, {"CANDYB", "2", "2.25", "4.50", "", ""}},
       "",
       {"1.67 3.34", "1.58 3.16"}},
      {"3 for 5.00 over lines of 2 and 2, one unit at the item's own price",
       {{"QUANTITY", "3"}, {"FORQTY", "5.00"}},
       {{"CANDYA", "2", "2.00", "4.00", "", ""}, {"CANDYB", "2", "2.25", "4.50", "", ""}},
       "",
       {"1.67 3.34", "1.96 3.92"}},
      {"two complete sets and one unit beyond",
       {{"QUANTITY", "2"}, {"FORQTY", "3.00"}, {"AFTERQTY", "1.69"}},
       {{"CANDYA", "3", "2.00", "6.00", "", ""}, {"CANDYB", "2", "2.25", "4.50", "", ""}},
       "",
       {"1.50 4.50", "1.60 3.20"}},
      {"2.5 units count 2 toward the sets and divide by 2.5",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}},
       {{"CANDYA", "2.5", "2.00", "5.00", "", ""}, {"CANDYB", "1", "2.25", "2.25", "", ""}},
       "",
       {"0.26 0.65", "0.34 0.34"}},
      {"voided lines neither count nor change",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}},
       {{"CANDYA", "2", "2.00", "4.00", "", ""},
        {"CANDYA", "5", "9.99", "VOID", "", ""},
        {"CANDYB", "1", "2.25", "2.25", "", ""}},
       "",
       {"0.33 0.66", "9.99 VOID", "0.34 0.34"}},
      {"a window that ended yesterday keeps earlier mix prices",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}, {"ENDDATE", "03/14/2024"}},
       {{"CANDYA", "1", "0.33", "0.33", "", ""}, {"CANDYB", "1", "0.33", "0.33", "", ""}},
       "",
       {"0.33 0.33", "0.33 0.33"}},
      {"a window not begun yet",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}, {"BEGINDATE", "03/16/2024"}},
       {{"CANDYA", "3", "2.00", "6.00", "", ""}},
       "",
       {"2.00 6.00"}},
      {"below one set the lines go back to their own prices",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}},
       {{"CANDYA", "1", "0.33", "0.33", "", ""}, {"CANDYB", "1", "0.34", "0.34", "", ""}},
       "",
       {"2.00 2.00", "2.25 2.25"}},
      {"below one set, unit pricing keeps its prices",
       {{"QUANTITY", "3"}, {"FORQTY", "1.00"}},
       {{"CANDYA", "1", "0.33", "0.33", "", "U"}, {"CANDYB", "1", "0.34", "0.34", "", ""}},
       "U",
       {"0.33 0.33", "0.34 0.34"}},
      {"a set below one unit changes nothing",
       {{"QUANTITY", "0.5"}, {"FORQTY", "1.00"}},
       {{"CANDYA", "3", "2.00", "6.00", "", ""}},
       "",
       {"2.00 6.00"}},
      {"a set without a quantity changes nothing",
       {{"QUANTITY", ""}, {"FORQTY", "1.00"}},
       {{"CANDYA", "3", "2.00", "6.00", "", ""}},
       "",
       {"2.00 6.00"}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string mixNum = "MIX" + std::to_string(++n);
    kvt::schema::Row mix = {
        {"REFERENCE", mixNum}, {"BEGINDATE", "01/01/2024"}, {"ENDDATE", "12/31/2024"}};
    for (const auto& [col, value] : c.mix) {
      bool replaced = false;
      for (auto& kv : mix)
        if (kv.first == col) kv.second = value, replaced = true;
      if (!replaced) mix.push_back({col, value});
    }
    ASSERT_TRUE(db().Add("KVTPRB31", mix)) << db().error();
    dlg->SaleGrid().ResetData();
    std::vector<GridLine> lines = c.lines;
    for (GridLine& l : lines) l.mix = mixNum;
    AddLines(lines);
    dlg->AdjustPricing(lines.back().ref.c_str(), c.kind, mixNum.c_str());
    EXPECT_EQ(PricesAndAmounts(), c.expected);
    EXPECT_TRUE(dlg->SaleGrid().IsRedrawOn());
  }
}

TEST_P(MixPricing, OwnPricesBringTheirDiscountAndCost) {
  ASSERT_TRUE(db().Add("KVTPRB31", {{"REFERENCE", "M"},
                                    {"BEGINDATE", "03/15/2024"},
                                    {"ENDDATE", "03/15/2024"},
                                    {"QUANTITY", "3"},
                                    {"FORQTY", "5.00"}}))
      << db().error();
  AddLines({{"CANDYA", "2", "2.00", "4.00", "M", ""},
            {"NOTMIX", "1", "7.00", "7.00", "", ""},
            {"CANDYB", "2", "2.25", "4.50", "M", ""}});
  dlg->ApplyMixPricing("M", "");
  // Only the unit beyond the set took the item's own price, cost with it.
  EXPECT_EQ(Cell(COL_COST, 0), "");
  EXPECT_EQ(Cell(COL_COST, 2), "1.10");
  EXPECT_EQ(PricesAndAmounts(), (std::vector<std::string>{"1.67 3.34", "7.00 7.00", "1.96 3.92"}));

  // Below one set every line takes its own price, discount and cost.
  dlg->SaleGrid().SetCell(COL_AMOUNT, 2, "VOID");
  dlg->ApplyMixPricing("M", "");
  EXPECT_EQ(PricesAndAmounts(), (std::vector<std::string>{"2.00 4.00", "7.00 7.00", "1.96 VOID"}));
  EXPECT_EQ(Cell(COL_COST, 0), "1.00");
}

TEST_P(MixPricing, TaxesFollowTheNewAmounts) {
  ASSERT_TRUE(db().Add("KVTPRB31", {{"REFERENCE", "M"},
                                    {"BEGINDATE", "03/01/2024"},
                                    {"ENDDATE", "03/31/2024"},
                                    {"QUANTITY", "3"},
                                    {"FORQTY", "1.00"}}))
      << db().error();
  AddLines({{"CANDYA", "3", "2.00", "6.00", "M", ""}});
  TDataTbl& sale = dlg->SaleGrid();
  sale.SetCell(COL_TAXABLE, 0, "Y");
  sale.SetCell(COL_RECNO, 0, "1000");
  TDataTbl& tax = dlg->TaxGrid();
  int t = tax.InsertRow();
  tax.SetCell(TAXCOL_CODE, t, "ST");
  tax.SetCell(TAXCOL_RATE, t, "10.000");
  tax.SetCell(TAXCOL_AMOUNT, t, "0.600000");
  tax.SetCell(TAXCOL_ITEMLINK, t, "1000");
  dlg->ApplyMixPricing("M", "");
  EXPECT_EQ(PricesAndAmounts(), std::vector<std::string>{"0.33 0.99"});
  EXPECT_EQ(tax.GetCell(TAXCOL_AMOUNT, t), "0.099000");
  EXPECT_STREQ(dlg->Data.TAXTOTAL, "0.10");
  EXPECT_STREQ(dlg->Data.TOTAL, "1.09");
}

KVT_ON_BOTH_BACKENDS(MixPricing);

}  // namespace
