// Price determination on the sale screen: till code prices (markdown, sign,
// secret price, rounding), inventory prices (the inventory module, promotion,
// dated tables), quantity breaks and the quantity matrix over the sale grid.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/win/profile.h"
#include "tests/pricing/pricing_fixture.h"

namespace {

using kvt::schema::Row;

class TillCodePrice : public PricingScreenTest {};

TEST_P(TillCodePrice, PriceFromTheTillCodeRow) {
  struct Case {
    const char* name;
    Row row;                 // KVTCOM12 columns besides the till code and store
    const char* price;       // PRICE
    const char* entryTotal;  // ENTRYTOTAL (it starts as "7.77")
    bool zero;               // bTillCodePriceZero
    int secret;              // SecPriceAvail
  } cases[] = {
      {"markdown window ends today",
       {{"RETUNIT", "20.00"},
        {"MARKDOWN", "10%"},
        {"BEGINDATE", "03/01/2024"},
        {"ENDDATE", "03/15/2024"}},
       "18.00",
       "18.00",
       false,
       0},
      {"markdown window starts tomorrow",
       {{"RETUNIT", "20.00"},
        {"MARKDOWN", "10%"},
        {"BEGINDATE", "03/16/2024"},
        {"ENDDATE", "03/31/2024"}},
       "20.00",
       "20.00",
       false,
       0},
      {"markdown as an amount",
       {{"RETUNIT", "20.00"},
        {"MARKDOWN", "1.5"},
        {"BEGINDATE", "01/01/2024"},
        {"ENDDATE", "12/31/2024"}},
       "18.50",
       "18.50",
       false,
       0},
      {"markdown without an end date never applies",
       {{"RETUNIT", "20.00"}, {"MARKDOWN", "1.5"}, {"BEGINDATE", "01/01/2024"}},
       "20.00",
       "20.00",
       false,
       0},
      {"markdown across the new year",
       {{"RETUNIT", "20.00"},
        {"MARKDOWN", "50%"},
        {"BEGINDATE", "12/01/2023"},
        {"ENDDATE", "04/30/2024"}},
       "10.00",
       "10.00",
       false,
       0},
      {"negative sign", {{"RETUNIT", "5.00"}, {"PRICESIGN", "N"}}, "-5.00", "-5.00", false, 0},
      {"positive sign on a negative price",
       {{"RETUNIT", "-5.00"}, {"PRICESIGN", "P"}},
       "5.00",
       "5.00",
       false,
       0},
      {"0.00 is a zero-price code", {{"RETUNIT", "0.00"}}, "0.00", "7.77", true, 0},
      {"0 is not", {{"RETUNIT", "0"}}, "0.00", "7.77", false, 0},
      {"a secret price is announced",
       {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}},
       "5.00",
       "5.00",
       false,
       1},
      {"rule 1 below its limit",
       {{"RETUNIT", "1.23"},
        {"RND1LT", "5"},
        {"RND1MKLD", "9"},
        {"RND2LT", "9"},
        {"RND2MKLD", "5"}},
       "1.29",
       "1.29",
       false,
       0},
      {"rule 1 not reached, rule 2 applies",
       {{"RETUNIT", "1.27"},
        {"RND1LT", "5"},
        {"RND1MKLD", "9"},
        {"RND2LT", "8"},
        {"RND2MKLD", "5"}},
       "1.25",
       "1.25",
       false,
       0},
      {"rule 1 with limit 0 always, rule 2 ignored",
       {{"RETUNIT", "1.20"},
        {"RND1LT", "0"},
        {"RND1MKLD", "9"},
        {"RND2LT", "0"},
        {"RND2MKLD", "5"}},
       "1.29",
       "1.29",
       false,
       0},
      {"rule 1 replacing a 9 by 9 still stops rule 2",
       {{"RETUNIT", "1.29"},
        {"RND1LT", "0"},
        {"RND1MKLD", "9"},
        {"RND2LT", "0"},
        {"RND2MKLD", "5"}},
       "1.29",
       "1.29",
       false,
       0},
      {"half a rule does nothing",
       {{"RETUNIT", "1.23"}, {"RND1LT", "5"}},
       "1.23",
       "1.23",
       false,
       0},
      {"rounding after the markdown",
       {{"RETUNIT", "2.00"},
        {"MARKDOWN", "10%"},
        {"BEGINDATE", "03/15/2024"},
        {"ENDDATE", "03/15/2024"},
        {"RND1LT", "0"},
        {"RND1MKLD", "9"}},
       "1.89",
       "1.89",
       false,
       0},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string code = "T" + std::to_string(++n);
    Row row = c.row;
    row.push_back({"TILLCODE", code});
    row.push_back({"LOCATION", "MAIN"});
    row.push_back({"REFERENCE", "CAT" + std::to_string(n)});
    ASSERT_TRUE(db().Add("KVTCOM12", row)) << db().error();
    KVTSetSetting(dlg->Data.ENTRYTOTAL, "7.77");
    dlg->SecPriceAvail = 5;
    dlg->FindTillCodePrice(code.c_str(), "MAIN", false, "", nullptr);
    EXPECT_STREQ(dlg->Data.PRICE, c.price);
    EXPECT_STREQ(dlg->Data.ENTRYTOTAL, c.entryTotal);
    EXPECT_EQ(dlg->bTillCodePriceZero, c.zero);
    EXPECT_EQ(dlg->SecPriceAvail, c.secret);
  }
}

TEST_P(TillCodePrice, MissingRowOrPriceEachLeavesTheEntryTotal) {
  KVTSetSetting(dlg->Data.ENTRYTOTAL, "7.77");
  dlg->bTillCodePriceZero = true;
  dlg->FindTillCodePrice("NONE", "MAIN", false, "", nullptr);
  EXPECT_STREQ(dlg->Data.PRICE, "0.00");
  EXPECT_STREQ(dlg->Data.ENTRYTOTAL, "7.77");
  EXPECT_FALSE(dlg->bTillCodePriceZero);

  ASSERT_TRUE(db().Add("KVTCOM12", {{"TILLCODE", "10"}, {"LOCATION", "MAIN"}, {"RETUNIT", "4.25"}}))
      << db().error();
  KVTSetSetting(CFG_DISPLAYPRICEEACH, "T");
  dlg->FindTillCodePrice("10", "MAIN", false, "", nullptr);
  EXPECT_STREQ(dlg->Data.PRICE, "4.25");
  EXPECT_STREQ(dlg->Data.ENTRYTOTAL, "7.77");
  // The code is priced in its own store only.
  dlg->FindTillCodePrice("10", "WEST", false, "", nullptr);
  EXPECT_STREQ(dlg->Data.PRICE, "0.00");
}

TEST_P(TillCodePrice, ToggleSwitchesBetweenRegularAndSecretPrice) {
  struct Case {
    const char* name;
    Row row;
    const char* current;
    const char* result;
  } cases[] = {
      {"regular to secret", {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}}, "5.00", "3.00"},
      {"secret back to regular", {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}}, "3.00", "5.00"},
      {"any other price to regular", {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}}, "4.10", "5.00"},
      {"negative secret on a positive code",
       {{"RETUNIT", "5.00"}, {"SECRETUNIT", "-3.00"}, {"PRICESIGN", "P"}},
       "5.00",
       "3.00"},
      {"negative code",
       {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}, {"PRICESIGN", "N"}},
       "-5.00",
       "-3.00"},
      {"markdown on both",
       {{"RETUNIT", "20.00"},
        {"SECRETUNIT", "10.00"},
        {"MARKDOWN", "10%"},
        {"BEGINDATE", "03/01/2024"},
        {"ENDDATE", "03/31/2024"}},
       "18.00",
       "9.00"},
      {"regular compared after rounding",
       {{"RETUNIT", "5.00"}, {"SECRETUNIT", "3.00"}, {"RND1LT", "0"}, {"RND1MKLD", "9"}},
       "5.09",
       "3.09"},
      {"no secret price", {{"RETUNIT", "5.00"}}, "5.00", "5.00"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string code = "S" + std::to_string(++n);
    Row row = c.row;
    row.push_back({"TILLCODE", code});
    row.push_back({"LOCATION", "MAIN"});
    ASSERT_TRUE(db().Add("KVTCOM12", row)) << db().error();
    KVTSetSetting(dlg->Data.PRICE, "1.11");
    char newPrice[KVT_SETTING_LEN] = "";
    dlg->FindTillCodePrice(code.c_str(), "MAIN", true, c.current, newPrice);
    EXPECT_STREQ(newPrice, c.result);
    EXPECT_STREQ(dlg->Data.PRICE, "1.11");  // the toggle only answers
  }
}

TEST_P(TillCodePrice, RoundingRulesWorkOnTheTrimmedText) {
  struct Case {
    const char *lt1, *mk1, *lt2, *mk2, *in, *out;
  } cases[] = {
      {"5", "9", "", "", " 1.23 ", "1.29"}, {" 5 ", " 9", "", "", "1.27", "1.27"},
      {"5", "9", "8", "5", "1.27", "1.25"}, {"5", "9", "8", "5", "1.28", "1.28"},
      {"5", "9", "0", "5", "1.23", "1.29"}, {"", "", "0", "0", "1.27", "1.20"},
      {"0", "9", "0", "5", "", ""},         {"9", "5", "", "", "-3.12", "-3.15"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.in) + " " + c.lt1 + c.mk1 + "/" + c.lt2 + c.mk2);
    char price[KVT_SETTING_LEN];
    std::snprintf(price, sizeof price, "%s", c.in);
    dlg->ApplyRoundingRules(c.lt1, c.mk1, c.lt2, c.mk2, price);
    EXPECT_STREQ(price, c.out);
  }
}

// ---- inventory prices --------------------------------------------------------

class InventoryPrice : public PricingScreenTest {
 protected:
  void SetUp() override {
    PricingScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    AddItem("FD0001", "5.00", "3.00");
  }
  // Item entry's call, with the buffer's pricing kind and mix set first.
  void Price(const char* customer = "", const char* code = "") {
    KVTSetSetting(dlg->Data.QTYPRICING, "U");
    KVTSetSetting(dlg->Data.MIXNUM, "MIX1");
    KVTSetSetting(dlg->Data.ENTRYTOTAL, "7.77");
    dlg->FindInventoryPrice(customer, code, "FD0001", "01", "1", true, true);
  }
  void Expect(const char* price, const char* discount, const char* cost, bool cleared) {
    EXPECT_STREQ(dlg->Data.PRICE, price);
    EXPECT_STREQ(dlg->Data.DISCOUNT, discount);
    EXPECT_STREQ(dlg->Data.COST, cost);
    EXPECT_STREQ(dlg->Data.ENTRYTOTAL, price);
    EXPECT_STREQ(dlg->Data.QTYPRICING, cleared ? "" : "U");
    EXPECT_STREQ(dlg->Data.MIXNUM, cleared ? "" : "MIX1");
    EXPECT_EQ(dlg->GetFieldText(IDC_PRICE), price);  // the screen shows it
  }
};

TEST_P(InventoryPrice, ModulePriceThenPromotionThenDatedTables) {
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, Row>> rows;
    const char *price, *discount, *cost;
    bool cleared;
  } cases[] = {
      {"the module's list price and cost", {}, "5.00", "", "3.00", false},
      {"a current promotion",
       {{"KVTPRB1", {{"BEGINDATE", "03/01/2024"}, {"ENDDATE", "03/15/2024"}, {"PPRICE1", "4.25"}}}},
       "4.25",
       "",
       "3.00",
       true},
      {"a promotion that ended yesterday",
       {{"KVTPRB1", {{"BEGINDATE", "03/01/2024"}, {"ENDDATE", "03/14/2024"}, {"PPRICE1", "4.25"}}}},
       "5.00",
       "",
       "3.00",
       false},
      {"a dated retail row overrides the module and the promotion",
       {{"KVTPRB1", {{"BEGINDATE", "03/01/2024"}, {"ENDDATE", "03/31/2024"}, {"PPRICE1", "4.25"}}},
        {"KVTINVRB", {{"STARTDATE", "03/15/2024"}, {"ENDDATE", "03/15/2024"}, {"RETAIL", "3.99"}}}},
       "3.99",
       "",
       "3.00",
       true},
      {"a dated retail row of other days",
       {{"KVTINVRB", {{"STARTDATE", "03/16/2024"}, {"ENDDATE", "03/31/2024"}, {"RETAIL", "3.99"}}},
        {"KVTINVCB", {{"STARTDATE", "01/01/2024"}, {"ENDDATE", "03/14/2024"}, {"COST", "2.10"}}}},
       "5.00",
       "",
       "3.00",
       false},
      {"a dated cost",
       {{"KVTINVCB", {{"STARTDATE", "01/01/2024"}, {"ENDDATE", "12/31/2024"}, {"COST", "2.75"}}}},
       "5.00",
       "",
       "2.75",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char* t : {"KVTPRB1", "KVTINVRB", "KVTINVCB"}) Exec(std::string("DELETE FROM ") + t);
    for (const auto& [table, values] : c.rows) {
      Row row = values;
      row.push_back({"REFERENCE", "FD0001"});
      row.push_back({"LOCATION", "01"});
      ASSERT_TRUE(db().Add(table, row)) << db().error();
    }
    Price();
    Expect(c.price, c.discount, c.cost, c.cleared);
  }
}

TEST_P(InventoryPrice, PricingTypeDiscountGivesTheNetUnitPrice) {
  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "1004"}, {"PURCODES", "FARM"}})) << db().error();
  ASSERT_TRUE(db().Add(
      "KVTINV19",
      {{"PRICETYPE", "FARM"}, {"LOCATION", "01"}, {"REFERENCE", ""}, {"DISCOUNT", "3.333%"}}))
      << db().error();
  Price("1004");
  Expect("4.83", "3.333%", "3.00", false);  // 5.00 less 0.16665, at two decimals
  KVTSetSetting(CFG_DECIMALSFORPRICE, "3");
  KVTSetSetting(PRICE_FORMAT, "%.3f");
  Price("", "FARM");
  EXPECT_STREQ(dlg->Data.PRICE, "4.833");
  EXPECT_STREQ(dlg->Data.ENTRYTOTAL, "4.83");
}

TEST_P(InventoryPrice, DirectTillOnAnMssqlOfficeUsesTheDirectTables) {
  ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "1"}, {"CONTYPE", "D"}}))
      << db().error();
  ASSERT_TRUE(db().Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "2"}, {"CONTYPE", "F"}}))
      << db().error();
  for (const auto& [table, value] : std::vector<std::pair<std::string, std::string>>{
           {"KVTINVRB", "3.99"}, {"KVTINVRBD", "3.49"}})
    ASSERT_TRUE(db().Add(table, {{"REFERENCE", "FD0001"},
                                 {"LOCATION", "01"},
                                 {"STARTDATE", "03/01/2024"},
                                 {"ENDDATE", "03/31/2024"},
                                 {"RETAIL", value}}))
        << db().error();
  struct Case {
    const char* translate;
    const char* till;
    const char* price;
  } cases[] = {{"MSSQL", "1", "3.49"},
               {"MSSQL", "2", "3.99"},
               {"PGSQL", "1", "3.99"},
               {nullptr, "1", "3.99"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.translate ? c.translate : "no settings") + " till " + c.till);
    WritePrivateProfileString("KVTSQL Connection One", "Translate", c.translate, ".\\KVTSQL.INI");
    KVTSetSetting(dlg->Data.TILLREF, c.till);
    Price();
    EXPECT_STREQ(dlg->Data.PRICE, c.price);
  }
  std::remove("KVTSQL.INI");
}

TEST_P(InventoryPrice, PriceEachLeavesTheEntryTotal) {
  KVTSetSetting(CFG_DISPLAYPRICEEACH, "T");
  Price();
  EXPECT_STREQ(dlg->Data.PRICE, "5.00");
  EXPECT_STREQ(dlg->Data.ENTRYTOTAL, "7.77");
}

TEST_P(InventoryPrice, WithoutTheInventoryModuleThePriceIsEmpty) {
  host->modules.clear();
  Price();
  EXPECT_STREQ(dlg->Data.PRICE, "");
  EXPECT_STREQ(dlg->Data.DISCOUNT, "");
  EXPECT_STREQ(dlg->Data.COST, "");
  EXPECT_STREQ(dlg->Data.ENTRYTOTAL, "7.77");
  EXPECT_EQ(host->requested.front(), "KVTINV.DLL");

  // Re-pricing the sale's lines without the module: no price, amounts 0.
  AddLines({{"FD0001", "2", "5.00", "10.00", "", "M"}});
  dlg->ApplyMatrixPricing("FD0001", "01");
  EXPECT_EQ(PricesAndAmounts(), std::vector<std::string>{" 0.00"});
}

TEST_P(InventoryPrice, SalesCategoryCost) {
  ASSERT_TRUE(
      db().Add("KVTCOM12", {{"REFERENCE", "FEED"}, {"LOCATION", "MAIN"}, {"COSTUNIT", "12.40"}}))
      << db().error();
  KVTSetSetting(dlg->Data.COST, "0");
  dlg->FindSalesCatCost("FEED", "WEST");
  EXPECT_STREQ(dlg->Data.COST, "0");
  dlg->FindSalesCatCost("FEED", "MAIN");
  EXPECT_STREQ(dlg->Data.COST, "12.40");
}

// ---- quantity breaks and matrix ------------------------------------------------

class QuantityPricing : public PricingScreenTest {
 protected:
  void SetUp() override {
    PricingScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    AddItem("BOLT", "5.00", "2.00");
    AddItem("NUT", "0.25", "0.05");
    // Breaks in the order 10 -> 4.00, 5 -> 4.50.
    ASSERT_TRUE(db().Add("KVTPRB1", {{"REFERENCE", "BOLT"},
                                     {"LOCATION", "01"},
                                     {"PQTY1", "10"},
                                     {"PUPRICE1", "4.00"},
                                     {"PQTY2", "5"},
                                     {"PUPRICE2", "4.50"}}))
        << db().error();
  }
};

TEST_P(QuantityPricing, TheLastQualifyingBreakWins) {
  struct Case {
    double total;
    const char *q1, *p1, *q2, *p2, *q3, *p3;
    double price;
  } cases[] = {
      {12, "10", "4.00", "5", "4.50", "", "", 4.50},
      {7, "10", "4.00", "5", "4.50", "", "", 4.50},  // the break itself qualifies
      {4, "10", "4.00", "5", "4.50", "", "", 5.00},
      {12, "5", "4.50", "10", "4.00", "", "", 4.00},
      {40, "5", "4.50", "10", "4.00", "40", "3.50", 3.50},
      {40, "5", "4.50", "", "1.00", "10", "4.00", 4.00},  // an empty quantity never applies
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.total << " units, breaks " << c.q1 << "/" << c.q2 << "/" << c.q3);
    EXPECT_DOUBLE_EQ(dlg->FindUnitPrice(5.00, c.total, c.q1, c.p1, c.q2, c.p2, c.q3, c.p3),
                     c.price);
  }
}

TEST_P(QuantityPricing, BreaksRepriceEveryLineOfTheItem) {
  struct Case {
    const char* name;
    std::vector<GridLine> lines;
    std::vector<std::string> expected;  // "price amount" per line
    const char* total;
  } cases[] = {
      {"12 units reach the first break; the second qualifies last",
       {{"BOLT", "5", "5.00", "25.00", "", "U"},
        {"NUT", "4", "0.25", "1.00", "", ""},
        {"BOLT", "20", "5.00", "VOID", "", "U"},
        {"BOLT", "7", "5.00", "35.00", "", "U"}},
       {"4.50 22.50", "0.25 1.00", "5.00 VOID", "4.50 31.50"},
       "55.00"},
      {"7 units stay below the first break",
       {{"BOLT", "7", "9.99", "69.93", "", "U"}},
       {"5.00 35.00"},
       "35.00"},
      {"a voided line does not count toward the break",
       {{"BOLT", "4", "5.00", "20.00", "", "U"},
        {"BOLT", "20", "4.50", "VOID", "", "U"},
        {"BOLT", "4", "5.00", "20.00", "", "U"}},
       {"5.00 20.00", "4.50 VOID", "5.00 20.00"},
       "40.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    dlg->SaleGrid().ResetData();
    AddLines(c.lines);
    dlg->AdjustPricing("BOLT", "U", "");
    EXPECT_EQ(PricesAndAmounts(), c.expected);
    EXPECT_TRUE(dlg->SaleGrid().IsRedrawOn());
    EXPECT_STREQ(dlg->Data.TOTAL, c.total);  // the sale is totalled again
  }
}

TEST_P(QuantityPricing, ChangingTheQuantityOfTheLastLineReprices) {
  KVTSetSetting(CFG_USEINVENTORY, "T");
  KVTSetSetting(CFG_MAXDEPTCHARACTERS, "3");
  AddLines({{"NUT", "4", "0.25", "1.00", "", ""}, {"BOLT", "5", "4.50", "22.50", "", "U"}});
  dlg->ChangeQty("12");
  EXPECT_EQ(PricesAndAmounts(), (std::vector<std::string>{"0.25 1.00", "4.50 54.00"}));
  dlg->ChangeQty("3");
  EXPECT_EQ(PricesAndAmounts(), (std::vector<std::string>{"0.25 1.00", "5.00 15.00"}));
  EXPECT_STREQ(dlg->Data.TOTAL, "16.00");
}

TEST_P(QuantityPricing, MatrixLevelsFollowTheSummedQuantity) {
  AddItem("TWINE", "32.99", "24.15");
  ASSERT_TRUE(db().Add("KVTINV18", {{"REFERENCE", "TWINE"},
                                    {"LOCATION", "01"},
                                    {"Q1", "1"},
                                    {"P1", "32.99"},
                                    {"Q2", "10"},
                                    {"P2", "30.99"},
                                    {"Q3", "40"},
                                    {"P3", "28.99"}}))
      << db().error();
  ASSERT_TRUE(db().Add("KVTINV19", {{"PRICETYPE", ""}, {"LOCATION", "01"}, {"DISCOUNT", "9%"}}))
      << db().error();  // no pricing type: never used by the till's own re-pricing
  struct Case {
    std::vector<GridLine> lines;
    std::vector<std::string> expected;
  } cases[] = {
      {{{"TWINE", "6", "32.99", "197.94", "", "M"}, {"TWINE", "6", "32.99", "197.94", "", "M"}},
       {"30.99 185.94", "30.99 185.94"}},
      {{{"TWINE", "3", "30.99", "92.97", "", "M"}, {"TWINE", "40", "", "VOID", "", "M"}},
       {"32.99 98.97", " VOID"}},
      {{{"TWINE", "40", "", "", "", "M"}}, {"28.99 1159.60"}},
  };
  for (const Case& c : cases) {
    dlg->SaleGrid().ResetData();
    AddLines(c.lines);
    dlg->AdjustPricing("TWINE", "M", "");
    EXPECT_EQ(PricesAndAmounts(), c.expected);
    EXPECT_EQ(Cell(COL_DISCOUNT, 0), "");
  }
}

TEST_P(QuantityPricing, TotalQuantityByItemOrMix) {
  AddLines({{"BOLT", "5", "", "", "M1", "U"},
            {"NUT", "2.5", "", "", "M1", ""},
            {"BOLT", "3", "", "VOID", "M1", "U"},
            {"NUT", "1", "", "", "", ""}});
  EXPECT_DOUBLE_EQ(dlg->FindTotalQtySold("BOLT", ""), 5);
  EXPECT_DOUBLE_EQ(dlg->FindTotalQtySold("NUT", "M1"), 3.5);  // the item decides
  EXPECT_DOUBLE_EQ(dlg->FindTotalQtySold("", "M1"), 7.5);
  EXPECT_DOUBLE_EQ(dlg->FindTotalQtySold("", ""), 0);
}

KVT_ON_BOTH_BACKENDS(TillCodePrice);
KVT_ON_BOTH_BACKENDS(InventoryPrice);
KVT_ON_BOTH_BACKENDS(QuantityPricing);

}  // namespace
