// Changing the sale's taxes from the payment screen: the change-tax popup
// driven by the scripted user, removing every tax, and failed writes of the
// work table.
#include <gtest/gtest.h>

#include <map>

#include "payment/pos2c.h"
#include "tests/sale/sale_fixture.h"

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

  std::unique_ptr<KVTPaymentTaxes> taxes;
  int redisplays = 0;
};

TEST_P(ChangeTax, PopupChangesTheSalesTaxes) {
  const std::string kAsBefore = "1:GST 1:PST 2:GST 2:PST";
  struct Case {
    const char* name;
    std::vector<std::string> steps;  // key NAME, type TEXT, answer BUTTON (before its question)
    std::string codes;               // the tax rows afterwards
    const char* taxTotal;
    const char* pftcRemoved;
    std::vector<std::string> messages;
    const char* failing = "";  // statements made to fail
  } cases[] = {
      {"deleting the remembered code, then Esc",
       {"key Down", "key Del", "key Esc"},
       "1:GST 2:GST",
       "1.50",
       "1",
       {}},
      {"a code added with Ins goes to every taxable line",
       {"key Ins", "type HST", "key Enter"},
       kAsBefore + " 1:HST 2:HST",
       "7.50",
       "0",
       {}},
      {"a code typed over a row is added, the old one stays",
       {"key Down", "type HST", "key Enter"},
       kAsBefore + " 1:HST 2:HST",
       "7.50",
       "0",
       {}},
      {"a code picked from the list",
       {"key Ins", "type H", "key Enter", "key Enter"},
       kAsBefore + " 1:HST 2:HST",
       "7.50",
       "0",
       {}},
      {"a refused code never reaches the sale",
       {"key Down", "key Del", "key Ins", "type BOGUS", "key Enter", "key Esc", "key Esc"},
       "1:GST 2:GST",
       "1.50",
       "1",
       {}},
      {"Esc without a change", {"key Esc"}, kAsBefore, "3.60", "0", {}},
      {"F4 answered Yes removes every tax",
       {"answer Yes", "key F4"},
       "",
       "0.00",
       "0",
       {"All taxes will be removed - Are you sure?"}},
      {"F4 answered No",
       {"answer No", "key F4"},
       kAsBefore,
       "3.60",
       "0",
       {"All taxes will be removed - Are you sure?"}},
      {"a code that cannot be written is not added",
       {"key Ins", "type HST", "key Enter"},
       kAsBefore,
       "3.60",
       "0",
       {"Error occurred inserting TMPPOS3 record.\nThe taxes have not been changed!"},
       "MAXTAXAMT,RECNO)"},
      {"a code that cannot be deleted stays, and is not remembered as removed",
       {"key Down", "key Del", "key Esc"},
       kAsBefore,
       "3.60",
       "0",
       {"Error occurred deleting TMPPOS3 record.\nThe taxes have not been changed!"},
       "AND TAXCODE = ?"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NewSale();
    user.Reset();
    for (const std::string& step : c.steps) {
      std::string verb = step.substr(0, step.find(' ')), arg = step.substr(step.find(' ') + 1);
      if (verb == "key") user.Key(arg);
      if (verb == "type") user.Type(arg);
      if (verb == "answer") user.Answer(ButtonFromName(arg));
    }
    if (*c.failing) KVTSqlFailStatements(c.failing);
    taxes->ChangeTax();
    KVTSqlClearFaults();
    ExpectNoFailures();

    EXPECT_EQ(CodesByLine(), c.codes);
    EXPECT_STREQ(screen->Data.TAXTOTAL, c.taxTotal);
    EXPECT_STREQ(screen->szProvinceFarmSalesTaxRemoved, c.pftcRemoved);
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(db().Count("TMPPOS3"), 0) << "the run is deleted when the popup closes";
  }
}

TEST_P(ChangeTax, RemoveAllTaxesIsLeftAloneOnlyWithCategoryAuthorities) {
  struct Case {
    const char* byCategory;
    std::vector<std::string> taxable;
    std::vector<std::string> taxableAfter;
    const char* taxTotal;  // a stale "9.99" shows the sale was left alone
    int redisplays;
  } cases[] = {
      {"F", {"Y", "N"}, {"N", "N"}, "0.00", 1},
      {"F", {"N", "N"}, {"N", "N"}, "0.00", 1},
      {"T", {"N", "N"}, {"N", "N"}, "9.99", 0},
      {"T", {"N", "Y"}, {"N", "N"}, "0.00", 1},
  };
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
    EXPECT_EQ(Column(screen->SaleGrid(), COL_TAXABLE), c.taxableAfter);
    EXPECT_STREQ(screen->Data.TAXTOTAL, c.taxTotal);
    EXPECT_EQ(redisplays, c.redisplays);
    if (c.redisplays) {
      EXPECT_EQ(screen->TaxGrid().GetRowCount(), 0);
    }
  }
  EXPECT_TRUE(Messages().empty()) << "removing all taxes never asks";
}

TEST_P(ChangeTax, NothingTaxableSaysSoAndWritesNothing) {
  AddLine({"ABCD", "10.00", "N"});
  taxes->ChangeTax();
  ExpectNoFailures();
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text, "No taxable items on this sale.");
  EXPECT_EQ(user.Messages()[0].caption, "Point of Sale");
  EXPECT_EQ(user.Messages()[0].icon, "information");
  EXPECT_EQ(db().Count("TMPPOS3"), 0);
}

TEST_P(ChangeTax, CopyThatCannotBeWrittenLeavesTheSaleAndTheTableAlone) {
  NewSale();
  KVTSqlFailStatements("TAXAMT,ITEMLNK,RECNO)");
  taxes->ChangeTax();  // the popup must not open: no steps are queued for it
  ExpectNoFailures();
  EXPECT_EQ(Messages(),
            std::vector<std::string>{
                "Error occurred inserting TMPPOS3 record.\nThe taxes can not be changed!"});
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].icon, "stop");
  EXPECT_EQ(CodesByLine(), "1:GST 1:PST 2:GST 2:PST");
  EXPECT_EQ(db().Count("TMPPOS3"), 0);
}

TEST_P(ChangeTax, CopiedRowsKeepTheirAmountsAndLinks) {
  NewSale();
  ASSERT_TRUE(taxes->SaveTmpTaxes());
  std::string run = taxes->szChgTaxRunId;
  ASSERT_FALSE(run.empty());
  auto rows = db().Rows("SELECT TAXCODE,TAXRATE,TAXAMT,ITEMLNK FROM TMPPOS3 WHERE RUNID = '" + run +
                        "' ORDER BY RECNO");
  EXPECT_EQ(rows, (std::vector<std::vector<std::string>>{{"GST", "5", "0.500000", "1"},
                                                         {"PST", "7", "0.700000", "1"},
                                                         {"GST", "5", "1.000000", "2"},
                                                         {"PST", "7", "1.400000", "2"}}));
  // A second run of another till does not disturb this one.
  KVTPaymentTaxes other(*screen, *screen);
  ASSERT_TRUE(other.SaveTmpTaxes());
  EXPECT_NE(std::string(other.szChgTaxRunId), run);
  EXPECT_EQ(db().Count("TMPPOS3", "RUNID = '" + run + "'"), 4);

  screen->ClearTaxTable();
  taxes->LoadTaxTable(run.c_str());
  EXPECT_EQ(CodesByLine(), "1:GST 1:PST 2:GST 2:PST");
  EXPECT_STREQ(screen->Data.TAXTOTAL, "3.60");
  EXPECT_EQ(redisplays, 1);
}

KVT_ON_BOTH_BACKENDS(ChangeTax);

}  // namespace
