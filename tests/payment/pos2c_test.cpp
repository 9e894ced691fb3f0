// Changing the sale's taxes from the payment screen: the change-tax popup
// driven by the scripted user, removing every tax, and a database that fails
// on the work table or the tax codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "payment/pos2c.h"
#include "tests/sale/sale_fixture.h"
#include "tests/support/steps.h"

namespace {

using kvt::test::Line;

class ChangeTax : public kvt::test::SaleScreenTest {
 protected:
  void SetUp() override {
    SaleScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTSetSetting(CFG_PFTC, "PST");
    AddTaxCode("STATE", "GST", "5");
    AddTaxCode("STATE", "PST", "7");
    Add("KVTAR19", {{"TAXCODE", "HST"}, {"TAXRATE", "13"}, {"DESCRIPT", "Harmonized"}});
    taxes = std::make_unique<KVTPaymentTaxes>(*screen, *screen);
    taxes->RedisplayTotals = [this] { ++redisplays; };
  }
  void TearDown() override {
    taxes.reset();
    SaleScreenTest::TearDown();
  }

  // Two taxable lines and one that is not: GST 1.50 and PST 2.10.
  void NewSale() {
    screen->ClearTable();
    screen->ClearTaxTable();
    KVTsprintf(screen->szProvinceFarmSalesTaxRemoved, "0");
    AddTaxedLine({"ABCD", "10.00", "Y", "1"});
    AddTaxedLine({"EFGH", "20.00", "Y", "2"});
    AddTaxedLine({"IJKL", "5.00", "N", "3"});
    screen->TotalSaleItems(1);
    ASSERT_STREQ(screen->Data.TAXTOTAL, "3.60");
  }

  // Tax codes of each item link, in grid order: "1:GST 1:PST 2:GST ...".
  std::string CodesByLine() const {
    std::string out;
    for (const auto& row : TaxRows())
      out += (out.empty() ? "" : " ") + row[TAXCOL_ITEMLINK] + ":" + row[TAXCOL_CODE];
    return out;
  }

  // The messages, with an injected database message shown as "<reason>".
  std::vector<std::string> Said() const {
    std::vector<std::string> out = Messages();
    for (std::string& text : out)
      if (std::size_t at = text.find("\n\ninjected failure"); at != std::string::npos)
        text.replace(at, std::string::npos, "\n\n<reason>");
    return out;
  }

  std::unique_ptr<KVTPaymentTaxes> taxes;
  int redisplays = 0;
};

TEST_P(ChangeTax, PopupChangesTheSalesTaxes) {
  const std::string kAsBefore = "1:GST 1:PST 2:GST 2:PST", kHST = kAsBefore + " 1:HST 2:HST";
  // Steps as in steps.h ("answer BUTTON" before its question), and
  // "front CAPTION": the screen in front.
  // clang-format off
  struct Case { const char* name; std::vector<std::string> steps; std::string codes; const char* taxTotal; const char* pftcRemoved; std::vector<std::string> messages; const char* failing = ""; } cases[] = {
      {"deleting the remembered code, then Esc", {"key Down", "key Del", "key Esc"}, "1:GST 2:GST", "1.50", "1", {}},
      {"a code added with Ins goes to every taxable line", {"key Ins", "type HST", "key Enter"}, kHST, "7.50", "0", {}},
      {"a code typed over a row is added, the old one stays", {"key Down", "type HST", "key Enter"}, kHST, "7.50", "0", {}},
      {"a code picked from the list", {"key Ins", "type H", "key Enter", "key Enter"}, kHST, "7.50", "0", {}},
      {"a refused code never reaches the sale", {"key Down", "key Del", "key Ins", "type BOGUS", "key Enter", "key Esc", "key Esc"}, "1:GST 2:GST", "1.50", "1", {}},
      {"Esc without a change", {"key Esc"}, kAsBefore, "3.60", "0", {}},
      {"F4 answered Yes removes every tax", {"answer Yes", "key F4"}, "", "0.00", "0", {"All taxes will be removed - Are you sure?"}},
      {"F4 answered No", {"answer No", "key F4"}, kAsBefore, "3.60", "0", {"All taxes will be removed - Are you sure?"}},
      {"a code that cannot be written is not added", {"key Ins", "type HST", "key Enter"}, kAsBefore, "3.60", "0", {"Error occurred inserting TMPPOS3 record.\nThe taxes have not been changed!\n\n<reason>"}, "MAXTAXAMT,RECNO)"},
      {"a code that cannot be deleted stays, and is not remembered as removed", {"key Down", "key Del", "key Esc"}, kAsBefore, "3.60", "0", {"Error occurred deleting TMPPOS3 record.\nThe taxes have not been changed!\n\n<reason>"}, "AND TAXCODE = ?"},
      {"the run's codes cannot be read: an empty list, the sale as it was", {"key Esc"}, kAsBefore, "3.60", "0", {"The taxes of this sale could not be read:\n\n<reason>"}, "GROUP BY TAXCODE"},
      {"a tax code that cannot be read is no unknown code: no pick list", {"key Ins", "type HST", "key Enter", "front Change Tax", "key Enter"}, kHST, "7.50", "0", {"The tax codes could not be read:\n\n<reason>"}, "FROM KVTAR19"},
      {"a run that cannot be checked writes nothing", {"key Ins", "type HST", "key Enter"}, kAsBefore, "3.60", "0", {"The taxes of this sale could not be read:\n\n<reason>"}, "RUNID = ? AND TAXCODE = ?"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewSale();
    user.Reset();
    for (const std::string& step : c.steps)
      if (step.rfind("front ", 0) == 0)
        user.Do([arg = step.substr(6)] {
          EXPECT_EQ(KVTForms::Instance().ActiveScreen()->Caption(), arg);
        });
      else if (!kvt::test::QueueStep(user, step))
        ADD_FAILURE() << "unknown step " << step;
    if (*c.failing) KVTSqlFailStatements(c.failing);
    taxes->ChangeTax();
    KVTSqlClearFaults();
    ExpectNoFailures();

    EXPECT_EQ(CodesByLine(), c.codes);
    EXPECT_STREQ(screen->Data.TAXTOTAL, c.taxTotal);
    EXPECT_STREQ(screen->szProvinceFarmSalesTaxRemoved, c.pftcRemoved);
    EXPECT_EQ(Said(), c.messages);
    EXPECT_EQ(db().Count("TMPPOS3"), 0) << "the run is deleted when the popup closes";
  }
}

TEST_P(ChangeTax, RemoveAllTaxesIsLeftAloneOnlyWithCategoryAuthorities) {
  // A stale tax total "9.99" shows the sale was left alone.
  // clang-format off
  struct Case { const char* byCategory; std::vector<std::string> taxable; const char* taxTotal; int redisplays; } cases[] = {
      {"F", {"Y", "N"}, "0.00", 1}, {"F", {"N", "N"}, "0.00", 1}, {"T", {"N", "N"}, "9.99", 0}, {"T", {"N", "Y"}, "0.00", 1},
  };
  // clang-format on
  Add("KVTCOM12", {{"REFERENCE", "FARM"}, {"LOCATION", "MAIN"}, {"TAXAUTH", "STATE"}});
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.byCategory) + " " + c.taxable[0] + c.taxable[1]);
    KVTSetSetting(CFG_USESALESCATEGORYTAXAUTH, c.byCategory);
    screen->ClearTable();
    screen->ClearTaxTable();
    AddTaxedLine({"ABCD", "10.00", c.taxable[0], "1"});
    // Reloading from a non-taxable category must not bring taxes back.
    AddTaxedLine({"EFGH", "20.00", c.taxable[1], "2", "N", "1", "", "FARM"});
    screen->SetFieldVar(IDC_TAXTOTAL, "9.99");
    redisplays = 0;

    taxes->RemoveAllTaxes();
    EXPECT_EQ(Column(screen->SaleGrid(), COL_TAXABLE), (std::vector<std::string>{"N", "N"}));
    EXPECT_STREQ(screen->Data.TAXTOTAL, c.taxTotal);
    EXPECT_EQ(redisplays, c.redisplays);
    EXPECT_EQ(screen->TaxGrid().GetRowCount(), 0);
  }
  EXPECT_TRUE(Messages().empty()) << "removing all taxes never asks";
}

// Nothing taxable, or a copy of the taxes that cannot be written: the popup
// never opens (no steps are queued for it), the sale and TMPPOS3 stay as they were.
TEST_P(ChangeTax, ThePopupOpensOnlyOnTaxesCopiedWhole) {
  // clang-format off
  struct Case { bool taxable; const char* failing; std::string said; const char* icon; } cases[] = {
      {false, "", "Point of Sale: No taxable items on this sale.", "information"},
      {true, "TAXAMT,ITEMLNK,RECNO)", "Error: Error occurred inserting TMPPOS3 record.\nThe taxes can not be changed!\n\n<reason>", "stop"},
  };
  // clang-format on
  for (const Case& c : cases) {
    user.Reset();
    c.taxable ? NewSale() : (void)AddLine({"ABCD", "10.00", "N"});
    std::string before = CodesByLine();
    if (*c.failing) KVTSqlFailStatements(c.failing);
    taxes->ChangeTax();
    ExpectNoFailures();
    ASSERT_EQ(Said().size(), 1u);
    EXPECT_EQ(user.Messages()[0].caption + ": " + Said()[0], c.said);
    EXPECT_EQ(user.Messages()[0].icon, c.icon);
    EXPECT_EQ(CodesByLine(), before);
    EXPECT_EQ(db().Count("TMPPOS3"), 0);
  }
}

TEST_P(ChangeTax, CopiedRowsKeepTheirAmountsAndLinks) {
  NewSale();
  ASSERT_TRUE(taxes->SaveTmpTaxes());
  std::string run = taxes->szChgTaxRunId;
  ASSERT_FALSE(run.empty());
  EXPECT_EQ(db().Rows("SELECT TAXCODE,TAXRATE,TAXAMT,ITEMLNK FROM TMPPOS3 WHERE RUNID = '" + run +
                      "' ORDER BY RECNO"),
            (std::vector<std::vector<std::string>>{{"GST", "5", "0.500000", "1"},
                                                   {"PST", "7", "0.700000", "1"},
                                                   {"GST", "5", "1.000000", "2"},
                                                   {"PST", "7", "1.400000", "2"}}));
  // A second run of another till does not disturb this one.
  KVTPaymentTaxes other(*screen, *screen);
  ASSERT_TRUE(other.SaveTmpTaxes());
  EXPECT_NE(std::string(other.szChgTaxRunId), run);
  EXPECT_EQ(db().Count("TMPPOS3", "RUNID = '" + run + "'"), 4);

  // Read back into the sale; a run that cannot be read leaves the sale's taxes alone.
  KVTSqlFailStatements("ITEMLNK,RECNO FROM TMPPOS3");
  taxes->LoadTaxTable(run.c_str());
  EXPECT_EQ(Said(),
            std::vector<std::string>{"The taxes of this sale could not be read:\n\n<reason>"});
  screen->ClearTaxTable();
  taxes->LoadTaxTable(run.c_str());
  EXPECT_EQ(CodesByLine(), "1:GST 1:PST 2:GST 2:PST");
  EXPECT_STREQ(screen->Data.TAXTOTAL, "3.60");
  EXPECT_EQ(redisplays, 1);
}

KVT_ON_BOTH_BACKENDS(ChangeTax);

}  // namespace
