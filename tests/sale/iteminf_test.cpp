// The price check window through the scripted user: till code or inventory
// item by the length of the reference, inactive till codes, the price
// before the discount, a promotion, a failed look-up.
#include "sale/iteminf.h"

#include <gtest/gtest.h>

#include "tests/pricing/pricing_fixture.h"
#include "tests/sale/sale_fixture.h"

namespace {

using Strings = std::vector<std::string>;

class PriceCheck : public kvt::test::SaleScreenTest {
 protected:
  void SetUp() override {
    SaleScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTSetSetting(LOGIN_STORE, "MAIN");
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    Add({"KVTCOM12 TILLCODE=ABC REFERENCE=FEED LOCATION=MAIN DESCRIPT='Layer feed' RETUNIT=5.00",
         "KVTCOM12 TILLCODE=OLD REFERENCE=OLDF LOCATION=MAIN DESCRIPT='Old feed' RETUNIT=2.00 "
         "INACTIVE=1"});
    AddItem("ABCD", "10.00", {}, {{"DESCRIPT", "Chick starter"}});
    AddItem("PROMO", "10.00",
            {{"BEGINDATE", "03/01/2024"}, {"ENDDATE", "03/15/2024"}, {"PPRICE1", "7.5"}},
            {{"DESCRIPT", "Promo mash"}});
    AddItem("LATER", "10.00",
            {{"BEGINDATE", "03/16/2024"}, {"ENDDATE", "03/31/2024"}, {"PPRICE1", "7.5"}},
            {{"DESCRIPT", "Later mash"}});
    // The customer buys at price type "R": a discount on ABCD.
    Add({"KVTAR50 REFERENCE=C1 PURCODES=R",
         "KVTINV19 PRICETYPE=R LOCATION=01 REFERENCE=ABCD DISCOUNT=1.00"});
  }
  // Each reference keyed in turn: what the window shows after it.
  Strings Check(const Strings& refs) {
    PViteminfDlg dlg(modules.Window());
    KVTsprintf(dlg.szCustRef, "C1");
    Strings shown;
    for (const std::string& ref : refs) {
      user.Type(ref).Key("Enter").Do([&] {
        shown.push_back(std::string(dlg.Data.DESCRIPTION) + "|" + dlg.Data.PRICE);
        EXPECT_EQ(dlg.GetFocusField(), PViteminfDlg::IDC_ITEMREF);
      });
    }
    user.Key("Esc");
    dlg.Execute();
    ExpectNoFailures();
    return shown;
  }
  // The sale screen reaches the inventory module through the same host.
  PVpos1Dlg* MakeScreen(HWND) override { return new PVpos1Dlg(modules.Window()); }
  ModuleHost modules;
};

TEST_P(PriceCheck, DescriptionAndPriceByKindOfReference) {
  const char* invalid = "Not a valid inventory reference|";
  // clang-format off
  struct Case { const char* maxDept; bool activeOnly; Strings shown; } cases[] = {
      {"3", false, {"Layer feed|5.00", "Old feed|2.00", "Chick starter|10.00", "Promo mash|7.50", "Later mash|10.00", invalid}},
      {"5", false, {"Layer feed|5.00", "Old feed|2.00", invalid,               invalid,           invalid,            invalid}},
      {"3", true,  {"Layer feed|5.00", invalid,         "Chick starter|10.00", "Promo mash|7.50", "Later mash|10.00", invalid}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("max ") + c.maxDept + (c.activeOnly ? ", active only" : ""));
    user.Reset();
    KVTSetSetting(CFG_MAXDEPTCHARACTERS, c.maxDept);
    if (c.activeOnly)
      Add(  // stays on for the cases after
          "KVTCOM20", {{"FEATURE", "20765"}});
    EXPECT_EQ(Check({"ABC", "OLD", "ABCD", "PROMO", "LATER", "NOPE1"}), c.shown);
  }
  // The sale line carries the price after the discount; the window does not.
  char price[50], discount[50], cost[50];
  screen->FindInventoryPriceAndCost("C1", "", "ABCD", "01", "1", true, price, discount, cost);
  EXPECT_STREQ(price, "9.00");
}

TEST_P(PriceCheck, AFailedLookUpIsTold) {
  KVTSqlFailStatements("FROM KVTINV2,KVTINV1");
  EXPECT_EQ(Check({"ABCD"}), Strings{"|"});
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("The inventory item could not be read.\n\ninjected failure", 0),
            0u);
}

KVT_ON_BOTH_BACKENDS(PriceCheck);

}  // namespace
