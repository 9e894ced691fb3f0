// The sale screen's pricing and tax members as the cashier meets them: the
// entry fields a price fills, re-pricing and tax as lines change, and a
// failed look-up shown with nothing changed. The arithmetic is the core's
// (prices_test, taxtable_test).
#include <gtest/gtest.h>

#include <functional>

#include "tests/pricing/pricing_fixture.h"
#include "tests/sale/sale_fixture.h"

namespace {

// The sale screen in a host that hands out the inventory module.
class PricingScreen : public kvt::test::SaleScreenTest {
 protected:
  void SetUp() override {
    SaleScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    for (auto [ref, price] :
         {std::pair{"FD0001", "5.00"}, {"BOLT", "5.00"}, {"NUT", "0.25"}, {"CANDYA", "2.00"}})
      ASSERT_TRUE(AddRows(
          db(), std::string("KVTINV1 INACTIVE=F; KVTINV2 LOCATION=01 COST=3.00 LISTPRICE=") + price,
          {{"REFERENCE", ref}}));
  }
  PVpos1Dlg* MakeScreen(HWND) override { return new PVpos1Dlg(inventory.Window()); }
  // A line at its price; `kind` and `mix` as item entry leaves them.
  int AddPricedLine(const char* ref, const char* qty, const char* price, const char* kind,
                    const char* mix = "") {
    int row = AddLine({ref, "", "Y", "", "N", qty, price});
    char amount[32];
    std::snprintf(amount, sizeof amount, "%.2f", std::atof(qty) * std::atof(price));
    for (auto [col, text] : {std::pair<int, const char*>{COL_AMOUNT, amount},
                             {COL_QTYPRICING, kind},
                             {COL_MIXNUM, mix}})
      screen->SaleGrid().SetCell(col, row, text);
    return row;
  }
  std::string Sale() const {
    std::string out;
    for (int r = 0; r < screen->SaleGrid().GetRowCount(); ++r)
      out += screen->SaleGrid().GetCell(COL_PRICE, r) + " " +
             screen->SaleGrid().GetCell(COL_AMOUNT, r) + ", ";
    return out + "tax " + screen->Data.TAXTOTAL;
  }
  ModuleHost inventory;
};

TEST_P(PricingScreen, PricesFillTheEntryFields) {
  ASSERT_TRUE(AddRows(
      db(),
      "KVTCOM12 TILLCODE=10 LOCATION=MAIN RETUNIT=0.00 SECRETUNIT=3.00; KVTCOM12 TILLCODE=11 "
      "LOCATION=MAIN RETUNIT=4.25; "
      "KVTPRB1 REFERENCE=FD0001 LOCATION=01 BEGINDATE=03/01/2024 ENDDATE=03/31/2024 PPRICE1=3.99"));
  // clang-format off
  struct Case { const char *code, *priceEach, *price, *entryTotal; int secret; bool zero; } cases[] = {
      {"11", "F", "4.25", "4.25", 0, false},
      {"11", "T", "4.25", "7.77", 0, false},   // prices each: the amount is keyed
      {"10", "F", "0.00", "7.77", 1, true},    // a zero price leaves the amount
      {"", "F", "3.99", "3.99", 0, false},     // the inventory item, on promotion
      {"", "T", "3.99", "7.77", 0, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.code) + " " + c.priceEach);
    KVTSetSetting(CFG_DISPLAYPRICEEACH, c.priceEach);
    KVTSetSetting(screen->Data.ENTRYTOTAL, "7.77");
    KVTSetSetting(screen->Data.QTYPRICING, "U");
    screen->SecPriceAvail = 5;
    screen->bTillCodePriceZero = !c.zero;
    if (*c.code)
      screen->FindTillCodePrice(c.code, "MAIN", false, "", nullptr);
    else
      screen->FindInventoryPrice("", "", "FD0001", "01", "1", true, false);
    EXPECT_EQ(std::string(screen->Data.PRICE) + " " + screen->Data.ENTRYTOTAL + " " +
                  std::to_string(screen->SecPriceAvail),
              std::string(c.price) + " " + c.entryTotal + " " + std::to_string(c.secret));
    if (*c.code) {
      EXPECT_EQ(screen->bTillCodePriceZero, c.zero);
      continue;
    }
    EXPECT_EQ(std::string(screen->Data.COST) + " " + screen->Data.QTYPRICING,
              "3.00 ");  // a promotion is never re-priced
    EXPECT_EQ(screen->GetFieldText(IDC_PRICE), c.price);
  }
  char toggled[50];
  screen->FindTillCodePrice("10", "MAIN", true, "0.00", toggled);
  EXPECT_STREQ(toggled, "3.00");
  EXPECT_STREQ(screen->Data.PRICE, "3.99");  // the price key only answers
}

TEST_P(PricingScreen, ChangingTheQuantityRepricesTheSaleAndItsTax) {
  AddTaxCode("STATE", "ST", "10");
  ASSERT_TRUE(AddRows(
      db(),
      "KVTPRB1 REFERENCE=BOLT LOCATION=01 PQTY1=10 PUPRICE1=4.00 PQTY2=5 PUPRICE2=4.50; "
      "KVTPRB31 REFERENCE=M BEGINDATE=03/01/2024 ENDDATE=03/31/2024 QUANTITY=3 FORQTY=1.00"));
  for (int row : {AddPricedLine("NUT", "4", "0.25", ""), AddPricedLine("BOLT", "5", "4.50", "U")})
    screen->FindTaxAuth("", screen->SaleGrid().GetCell(COL_RECNO, row).c_str());
  screen->ChangeQty("12");
  EXPECT_EQ(Sale(), "0.25 1.00, 4.50 54.00, tax 5.50");
  screen->ChangeQty("3");
  EXPECT_EQ(Sale(), "0.25 1.00, 5.00 15.00, tax 1.60");
  int candy = AddPricedLine("CANDYA", "3", "2.00", "", "M");
  screen->FindTaxAuth("", screen->SaleGrid().GetCell(COL_RECNO, candy).c_str());
  screen->AdjustPricing("CANDYA", "", "M");
  EXPECT_EQ(Sale(), "0.25 1.00, 5.00 15.00, 0.33 0.99, tax 1.70");
  EXPECT_EQ(screen->TaxGrid().GetCell(TAXCOL_AMOUNT, 2), "0.099000");
  EXPECT_TRUE(screen->SaleGrid().IsRedrawOn());
}

TEST_P(PricingScreen, VoidedOrNonTaxableLinesLoseTheirTaxRowsForGood) {
  AddTaxCode("STATE", "ST", "7.5");
  AddTaxCode("STATE", "CO", "1", "0.05");
  int keep = AddTaxedLine({"ABCD", "10.01"});
  int voided = AddTaxedLine({"EFGH", "20.00"});
  int untaxed = AddTaxedLine({"IJKL", "4.00"});
  screen->TotalSaleItems(1);
  EXPECT_STREQ(screen->Data.TAXTOTAL, "2.69");  // ST 2.55075, CO 0.14 (0.05 capped twice)

  TDataTbl& g = screen->SaleGrid();
  g.SetCell(COL_AMOUNT, voided, "VOID");
  g.SetCell(COL_TAXABLE, untaxed, "N");
  screen->TotalSaleItems(1);
  g.SetCell(COL_AMOUNT, voided, "20.00");  // taxable again: the totals do not load rows back
  g.SetCell(COL_TAXABLE, untaxed, "Y");
  screen->TotalSaleItems(1);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK),
            std::vector<std::string>(2, g.GetCell(COL_RECNO, keep)));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.80");

  screen->RemoveTax();  // the last line only
  EXPECT_EQ(Column(g, COL_TAXABLE), (std::vector<std::string>{"Y", "Y", "N"}));
  EXPECT_STREQ(screen->Data.NONTAXAMT, "4.00");
  EXPECT_EQ(screen->TaxRowSaveAmounts("0.80"), (std::vector<std::string>{"0.75", "0.05"}));
}

TEST_P(PricingScreen, ANonTaxableCategoryReplacesTheLinesCodes) {
  KVTSetSetting(CFG_USESALESCATEGORYTAXAUTH, "T");
  AddTaxCode("STATE", "ST", "6");
  AddTaxCode("FARM", "FM", "2");
  Add("KVTCOM12", {{"REFERENCE", "FARMCAT"}, {"LOCATION", "MAIN"}, {"TAXAUTH", "FARM"}});
  AddTaxedLine({"ABCD", "10.00", "Y", "1", "N", "1", "", "FARMCAT"});
  AddTaxedLine({"EFGH", "10.00", "Y", "2"});  // no category: the store's authority
  screen->AdjustTaxCodes(1, false);           // no non-taxable category: left alone
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), (std::vector<std::string>{"ST", "ST"}));
  screen->AdjustTaxCodes(0, true);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), (std::vector<std::string>{"ST", "FM"}));
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK), (std::vector<std::string>{"2", "1"}));
  screen->TotalSaleItems(1);
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.80");
}

TEST_P(PricingScreen, AFailedLookUpIsShownAndChangesNothing) {
  AddTaxCode("STATE", "ST", "6");
  ASSERT_TRUE(AddRows(
      db(),
      "KVTAR50 REFERENCE=1004 PURCODES=FARM; KVTCOM12 TILLCODE=11 LOCATION=MAIN RETUNIT=4.25; "
      "KVTPRB31 REFERENCE=M BEGINDATE=03/01/2024 ENDDATE=03/31/2024 QUANTITY=3 FORQTY=1.00"));
  AddPricedLine("CANDYA", "3", "2.00", "", "M");
  AddTaxedLine({"NUT", "1.00", "Y", "", "N", "1", "", "FEED"});
  KVTSetSetting(screen->Data.PRICE, "7.77");
  // clang-format off
  struct Case { const char* table; std::function<void()> act; } cases[] = {
      {"KVTCOM12", [&] { screen->FindTillCodePrice("11", "MAIN", false, "", nullptr); }},
      {"KVTPRB1", [&] { screen->FindInventoryPrice("", "", "FD0001", "01", "1", true, false); }},
      {"KVTAR50", [&] { screen->FindInventoryPrice("1004", "", "FD0001", "01", "1", true, false); }},
      {"KVTPRB31", [&] { screen->ApplyMixPricing("M", ""); }},
      {"KVTAR16A", [&] { screen->FindTaxAuth("", "1000"); }},
      {"KVTAR19", [&] { screen->AdjustTaxCodes(1, false); }},  // the old codes stay
  };
  // clang-format on
  for (const Case& c : cases) {
    user.Reset();
    std::string before = Sale() + screen->Data.PRICE;
    std::vector<std::string> tax = Column(screen->TaxGrid(), TAXCOL_CODE);
    screen->ForgetSaleAnswers();  // read again, as on a new sale
    KVTSqlFailStatements(c.table);
    c.act();
    KVTSqlClearFaults();
    ASSERT_EQ(Messages().size(), 1u) << c.table;
    EXPECT_NE(Messages()[0].find("could not be read"), std::string::npos) << Messages()[0];
    EXPECT_EQ(Sale() + screen->Data.PRICE, before) << c.table;
    EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_CODE), tax) << c.table;
  }
}

KVT_ON_BOTH_BACKENDS(PricingScreen);

}  // namespace
