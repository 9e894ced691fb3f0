// Keying one item: the rules of a keyed code (entry.h) by tables, then the
// item looked up on the sale screen through the scripted user: what a code
// is, bar codes and inactive items, farm use, the age check once a sale,
// tag-along lines, a quantity change and a void that take the tag-along
// along, and failed look-ups.
#include "sale/entry.h"

#include <gtest/gtest.h>

#include "platform/sql/query.h"
#include "tests/sale/sale_fixture.h"

namespace {

using kvt::test::Line;
using Strings = std::vector<std::string>;

// ---- The rules -------------------------------------------------------------------

TEST(EntryRules, WhatAKeyedCodeIs) {
  // clang-format off
  struct Case { const char* code; const char* maxDept; const char* useInv; bool inventory; } cases[] = {
      {"ABC", "3", "T", false}, {"ABCD", "3", "T", true}, {"ABCD", "3", "F", false},
      {"ABCD", "4", "T", false}, {"A", "", "T", true}, {"", "0", "T", false},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(kvt::sale::IsInventoryReference(c.code, c.maxDept, c.useInv), c.inventory)
        << c.code << " max " << c.maxDept << " inventory " << c.useInv;
}

TEST(EntryRules, TagAlongPriceReturnedQuantityAndPromotion) {
  // clang-format off
  const std::tuple<const char*, double, double> prices[] = {  // rate, item price, tag-along price
      {"10%", 5.00, 0.50}, {"0.25", 5.00, 0.25}, {"50%", -4.00, -2.00}, {"", 5.00, 0}, {"%", 5.00, 0}};
  const std::pair<const char*, const char*> returned[] = {
      {"2", "-2"}, {"-2", "2"}, {"1.500", "-1.500"}, {"0", "0"}, {"", ""}};
  // clang-format on
  for (const auto& [rate, itemPrice, price] : prices)
    EXPECT_DOUBLE_EQ(kvt::sale::TagAlongPrice(rate, itemPrice), price) << rate;
  for (const auto& [qty, back] : returned) EXPECT_EQ(kvt::sale::ReturnedQuantity(qty), back);
  EXPECT_TRUE(kvt::sale::PromotionHolds(20241201, 20250131, 20241201));
  EXPECT_TRUE(kvt::sale::PromotionHolds(20241201, 20250131, 20250131));
  EXPECT_FALSE(kvt::sale::PromotionHolds(20241201, 20250131, 20250201));
}

TEST(EntryRules, PromptFlagsAndAgeChecks) {
  kvt::sale::PromptFlags f = kvt::sale::ReadPromptFlags("T", "1", "F", "0", "1", "T", "N", "T");
  EXPECT_TRUE(f.descriptionEditable && f.promptOnQty && f.allowZeroUnits &&
              f.allowOnlyZeroPriceChanges && f.negativePrice && f.tillCodeSold);
  EXPECT_FALSE(f.promptOnPrice || f.promptOnAmount);
  f = kvt::sale::ReadPromptFlags("Y", "", "", "", "", "", "P", "1");
  EXPECT_FALSE(f.descriptionEditable || f.negativePrice || f.tillCodeSold);
  // clang-format off
  const std::tuple<const char*, const char*, const char*, const char*> ages[] = {
      {"T", "T", "T", "T"}, {"F", "T", "T", "A"}, {"1", "1", "T", ""}, {"1", "0", "1", "T"}, {"0", "1", "1", "A"}};
  // clang-format on
  for (const auto& [tobacco, alcohol, on, kind] : ages)
    EXPECT_EQ(kvt::sale::AgePrompt(tobacco, alcohol, on), kind) << tobacco << alcohol << on;
}

// ---- On the sale screen ----------------------------------------------------------

class ItemEntry : public kvt::test::SaleScreenTest {
 protected:
  void SetUp() override {
    SaleScreenTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTSetSetting(CFG_PROMPTONQTY, "T");
  }
  // The till code "ABC" with its tag-along "BG" at `rate`, keyed twice.
  void KeyItemWithTagAlong(const char* rate) {
    AddTillCode("ABC", "FEED", {{"TAGALGCAT", "BAGS"}, {"TAGALGRATE", rate}});
    AddTillCode("BG", "BAGS", {{"RETUNIT", "9.99"}});
    Leave(IDC_IREF, "ABC");
    Leave(IDC_QTYORDERED, "2");
    Leave(IDC_ENTRYTOTAL, "10.00");
  }
  void Exec(const char* sql) {
    ASSERT_NE(kvt::sql::Run(sql).found(), kvt::sql::Found::Failed) << sql;
  }
  Strings Col(int col) const { return Column(screen->SaleGrid(), col); }
};

TEST_P(ItemEntry, TillCodeInventoryItemBarCodeAndInactiveItem) {
  AddTillCode("ABC", "FEED");
  AddItem("ABCD", "4.00", {}, {{"BARCODE", "0123456789"}});
  AddItem("OLDD", "4.00", {}, {{"INACTIVE", "T"}});
  // clang-format off
  struct Case { const char* typed; const char* barCodes; const char* ref; const char* tillCode; const char* descr; Strings messages; } cases[] = {
      {"ABC",        "T", "ABC",  "ABC", "Code ABC",  {}},
      {"ABCD",       "T", "ABCD", "",    "Item ABCD", {}},
      {"0123456789", "T", "ABCD", "",    "Item ABCD", {}},
      {"0123456789", "F", "",     "",    "",          {"Item not found."}},
      {"OLDD",       "T", "",     "",    "",          {"Item not found."}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    user.Reset();
    screen->NewItem();
    KVTSetSetting(CFG_SEARCHBARCODE, c.barCodes);
    Leave(IDC_IREF, c.typed);
    ExpectNoFailures();
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_STREQ(screen->Data.IREF, c.ref);
    EXPECT_STREQ(screen->Data.TILLCODE, c.tillCode);
    EXPECT_STREQ(screen->Data.IDESCR, c.descr);
    EXPECT_EQ(screen->EnteringItem, c.descr[0] ? 1 : 0);
  }
  // A till code is priced and asks as its code says.
  screen->NewItem();
  Leave(IDC_IREF, "ABC");
  EXPECT_STREQ(screen->Data.PRICE, "5.00");
  EXPECT_TRUE(screen->bTillCodeSold);
  EXPECT_FALSE(screen->bPromptOnQty);
}

TEST_P(ItemEntry, FarmUseIsNotTaxed) {
  AddItem("FARM1", "4.00", {{"TAX1APP", "T"}}, {{"FARMUSE", "T"}});
  AddTillCode("FRM", "FEED", {{"FARMUSE", "1"}, {"TAXABLE", "1"}});
  for (const char* ref : {"FARM1", "FRM"}) {
    for (int answer : {IDYES, IDNO}) {
      SCOPED_TRACE(std::string(ref) + (answer == IDYES ? " yes" : " no"));
      user.Reset();
      screen->NewItem();
      user.AddAnswer(answer);
      Leave(IDC_IREF, ref);
      ExpectNoFailures();
      EXPECT_EQ(Messages(), Strings{"Is this for farm use?"});
      EXPECT_STREQ(screen->Data.TAXABLE, answer == IDYES ? "N" : "Y");
    }
  }
}

TEST_P(ItemEntry, TheAgeIsCheckedOnceASale) {
  KVTSetSetting(CFG_TOBACCOAGE, "18");
  KVTSetSetting(CFG_ALCOHOLAGE, "21");
  AddItem("SMOK1", "4.00", {{"TABACCO", "T"}});
  AddItem("BEER1", "4.00", {{"CSTRCAT", "DRINK"}, {"ALCOHOL", "F"}});
  Add("KVTCOM12", {{"REFERENCE", "DRINK"}, {"LOCATION", "MAIN"}, {"ALCOHOL", "1"}});
  // clang-format off
  struct Case { const char* ref; const char* typed; const char* kind; bool asked; bool passed; } cases[] = {
      {"SMOK1", "ID", "T", true,  true},   // the override code passes
      {"SMOK1", "",   "T", false, true},   // once a sale
      {"BEER1", "ID", "A", true,  true},   // alcohol by its sales category
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ref);
    user.Reset();
    screen->NewItem();
    if (c.asked) user.Type(c.typed).Key("Enter");
    Leave(IDC_IREF, c.ref);
    ExpectNoFailures();
    EXPECT_STREQ(screen->Data.PROMPT, c.kind);
    EXPECT_EQ(c.kind[0] == 'T' ? screen->bPromptIDTobacco : screen->bPromptIDAlcohol, c.passed);
  }
  // Refused on a sale without lines: its date of birth goes.
  screen->bPromptIDTobacco = false;
  screen->SetFieldVar(IDC_DTOFBRTH, "01012000");
  user.Reset();
  user.Type("01012020")
      .ExpectMessage(
          "You must be 18 to purchase tobacco, the customer is not 18.\n\nIs 01/01/2020 the "
          "correct "
          "date of birth?");
  user.Answer(IDYES).Key("Enter");
  Leave(IDC_IREF, "SMOK1");
  ExpectNoFailures();
  EXPECT_FALSE(screen->bPromptIDTobacco);
  EXPECT_STREQ(screen->Data.DTOFBRTH, "");
}

// The tag-along is priced from its rate, follows a quantity keyed for its
// item and is voided with it; feature 9333 voids the quantities too.
TEST_P(ItemEntry, TheTagAlongIsPricedFromItsRateAndFollowsItsItem) {
  // clang-format off
  struct Case { const char* rate; bool voidQuantity; const char *price, *amount, *amountOfThree, *total; } cases[] = {
      {"10%",  false, "0.50", "1.00", "1.50", "16.50"},
      {"0.25", true,  "0.25", "0.50", "0.75", "15.75"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rate);
    Exec("DELETE FROM KVTCOM12");
    if (c.voidQuantity) Add("KVTCOM20", {{"FEATURE", "9333"}});
    screen->ClearTable();
    screen->NewItem();
    KeyItemWithTagAlong(c.rate);
    EXPECT_EQ(Col(COL_REF), (Strings{"ABC", "BG"}));
    EXPECT_EQ(Col(COL_QTY), (Strings{"2", "2"}));
    EXPECT_EQ(Col(COL_PRICE), (Strings{"5.00", c.price}));
    EXPECT_EQ(Col(COL_AMOUNT), (Strings{"10.00", c.amount}));
    EXPECT_EQ(Col(COL_TAGALONG), (Strings{"BG", "T"}));
    Leave(IDC_IREF, "3");
    EXPECT_EQ(Col(COL_QTY), (Strings{"3", "3"}));
    EXPECT_EQ(Col(COL_AMOUNT), (Strings{"15.00", c.amountOfThree}));
    EXPECT_STREQ(screen->Data.TOTAL, c.total);
    screen->SaleGrid().SelRow(0);
    screen->VoidItem();
    EXPECT_EQ(Col(COL_AMOUNT), (Strings{"VOID", "VOID"}));
    EXPECT_EQ(Col(COL_QTY), c.voidQuantity ? (Strings{"VOID", "VOID"}) : (Strings{"3", "3"}));
    EXPECT_STREQ(screen->Data.TOTAL, "0.00");
  }
}

TEST_P(ItemEntry, AFailedLookUpIsToldNeverNotFound) {
  AddItem("BEER1", "4.00", {{"CSTRCAT", "DRINK"}, {"ALCOHOL", "F"}});
  AddTillCode("ABC", "FEED");
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {  // failing statement, keyed
      {"SELECT TOBACCO, ALCOHOL FROM KVTCOM12", "BEER1"}, {"FROM KVTCOM20", "ABC"}, {"FROM KVTCOM12 WHERE TILLCODE", "ABC"},
      {"FROM KVTINV2,KVTINV1", "BEER1"}};  // the item itself
  // clang-format on
  for (const auto& [statement, ref] : cases) {
    SCOPED_TRACE(statement);
    user.Reset();
    screen->NewItem();
    KVTSqlFailStatements(statement);
    Leave(IDC_IREF, ref);
    KVTSqlClearFaults();
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("could not be read.\n\ninjected failure"), std::string::npos)
        << Messages()[0];
    EXPECT_STREQ(screen->Data.IREF, "");
    EXPECT_STREQ(screen->Data.IDESCR, "");
    EXPECT_EQ(screen->GetFocusField(), IDC_IREF);
  }
}

TEST_P(ItemEntry, ReturnAndPriceToggleOnTheLastLine) {
  AddTillCode("ABC", "FEED", {{"SECRETUNIT", "4.00"}});
  AddLine({"ABC", "10.00", "N", "", "N", "2", "5.00"});
  screen->TogglePrice();
  EXPECT_EQ(Col(COL_AMOUNT), Strings{"8.00"});
  screen->TogglePrice();
  EXPECT_EQ(Col(COL_PRICE), Strings{"5.00"});
  screen->ReturnPreviousItem();
  EXPECT_EQ(Col(COL_QTY), Strings{"-2"});
  EXPECT_STREQ(screen->Data.TOTAL, "-10.00");
  screen->SaleGrid().SetCell(COL_TAGALONG, 0, "T");  // a tag-along keeps its price
  screen->TogglePrice();
  EXPECT_EQ(Col(COL_PRICE), Strings{"5.00"});
}

// A sale keeps what it read of its sales categories; the item itself is
// read for every line.
TEST_P(ItemEntry, ACategoryChangedInTheOfficeCountsFromTheNextSale) {
  AddItem("FEED1", "4.00", {{"CSTRCAT", "FEED"}});
  Add("KVTCOM12", {{"REFERENCE", "FEED"}, {"LOCATION", "MAIN"}, {"NONTAXCAT", "OLD"}});
  // clang-format off
  struct Step { bool change, newSale; const char* nonTaxCat; const char* descr; } steps[] = {
      {false, false, "OLD", "Item FEED1"},
      {true,  false, "OLD", "Renamed"},
      {false, true,  "NEW", "Renamed"},
  };
  // clang-format on
  for (const Step& s : steps) {
    if (s.change) {
      Exec("UPDATE KVTCOM12 SET NONTAXCAT = 'NEW'");
      Exec("UPDATE KVTINV1 SET DESCRIPT = 'Renamed'");
    }
    if (s.newSale) screen->NewOrder();
    ASSERT_TRUE(screen->DisplayItem("FEED1"));
    EXPECT_STREQ(screen->Data.NONTAXCAT, s.nonTaxCat);
    EXPECT_STREQ(screen->Data.IDESCR, s.descr);
    screen->AcceptItem();
  }
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(ItemEntry);

}  // namespace
