// The sale line table: the entry fields as the cashier leaves them, lines
// added from them (record numbers, taxes, repricing, tag-alongs), the
// sale's totals, and a stored sale loaded back.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/sale/sale_fixture.h"

namespace {

using kvt::test::Line;

// Records what the line table asks of pricing.
class RecordingScreen : public PVpos1Dlg {
 public:
  using PVpos1Dlg::PVpos1Dlg;
  void AdjustLinePricing(const char* reference, const char* qtyPricing,
                         const char* mixNum) override {
    repriced.push_back(std::string(reference) + "|" + qtyPricing + "|" + mixNum);
  }
  std::vector<std::string> repriced;
};

class SaleLines : public kvt::test::SaleScreenTest {
 protected:
  PVpos1Dlg* MakeScreen(HWND parent) override { return new RecordingScreen(parent); }
  RecordingScreen& Recorder() { return static_cast<RecordingScreen&>(*screen); }

  // The cashier types `text` into `field` and presses Enter.
  void Leave(int field, const std::string& text) {
    screen->UnprotectField(field);
    screen->KVTSetFieldFocus(field);
    screen->SetFieldText(field, "");
    if (!text.empty()) screen->UserType(text);
    screen->UserKey(KVTKey{VK_RETURN});
  }
  void Set(int field, const std::string& text) { screen->SetFieldVar(field, text.c_str()); }

  void AddInventoryItem(const std::string& ref, const std::string& descr, const std::string& price,
                        const kvt::schema::Row& priceRecord = {}) {
    Add("KVTINV1", {{"REFERENCE", ref}, {"DESCRIPT", descr}, {"INACTIVE", "F"}});
    Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"LISTPRICE", price}});
    kvt::schema::Row prb = {{"REFERENCE", ref}, {"LOCATION", "01"}};
    prb.insert(prb.end(), priceRecord.begin(), priceRecord.end());
    Add("KVTPRB1", prb);
  }
  void AddTillCode(const std::string& code, const std::string& category,
                   const kvt::schema::Row& more = {}) {
    kvt::schema::Row row = {{"TILLCODE", code},
                            {"REFERENCE", category},
                            {"LOCATION", "MAIN"},
                            {"DESCRIPT", "Till code " + code}};
    row.insert(row.end(), more.begin(), more.end());
    Add("KVTCOM12", row);
  }
  std::vector<std::string> Row(int row) const {
    std::vector<std::string> out;
    for (int c = 0; c < SALE_GRID_COLUMNS; ++c) out.push_back(screen->SaleGrid().GetCell(c, row));
    return out;
  }
};

// ---- Entry fields ----------------------------------------------------------------

TEST_P(SaleLines, QuantityIsCheckedInOrder) {
  const char* kNegative = "Negative quantity is not allowed.";
  const char* kNotNumber = "Not a valid quantity.\n\nMust enter a number.";
  const char* kTooMany = "Quantity exceeds maximum quantity allowed.";
  const char* kZero = "Zero quantity is not allowed.";
  struct Case {
    const char* typed;
    const char* maxQty;
    bool allowZero;
    const char* message;  // "" when accepted
    const char* qtyAfter;
  } cases[] = {
      {"", "10", false, "", "1"},
      {" 2.5 ", "10", false, "", "2.5"},
      {"-2", "10", false, kNegative, "-2"},
      {"-1a", "10", false, kNegative, "-1a"},
      {"abc", "10", false, kNotNumber, "abc"},
      {"1.5.2", "10", false, kNotNumber, "1.5.2"},
      {"abc", "", false, kNotNumber, "abc"},
      {"10", "10", false, "", "10"},
      {"11", "10", false, kTooMany, "11"},
      {"1", "", false, kTooMany, "1"},  // no maximum set refuses every quantity
      {"0", "10", false, kZero, "0"},
      {"0", "10", true, "", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.typed + "\" max " + c.maxQty);
    user.Reset();
    KVTSetSetting(CFG_MAXQTY, c.maxQty);
    screen->bAllowZeroUnitsSold = c.allowZero;
    Leave(IDC_QTYORDERED, c.typed);
    EXPECT_STREQ(screen->Data.QTYORDERED, c.qtyAfter);
    if (*c.message) {
      ASSERT_EQ(Messages(), std::vector<std::string>{c.message});
      EXPECT_EQ(user.Messages()[0].caption, "Error");
      EXPECT_EQ(user.Messages()[0].icon, "stop");
      EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
    } else {
      EXPECT_TRUE(Messages().empty());
      EXPECT_EQ(screen->GetFocusField(), IDC_PRICE);
    }
  }
}

TEST_P(SaleLines, WithoutAPriceFieldThePriceIsSettledWithTheQuantity) {
  KVTSetSetting(CFG_DISPLAYPRICEEACH, "F");
  Set(IDC_PRICE, "2");
  Leave(IDC_QTYORDERED, "3");
  EXPECT_STREQ(screen->Data.PRICE, "2.00");
  EXPECT_STREQ(screen->Data.ENTRYTOTAL, "6.00");
}

TEST_P(SaleLines, PriceSignFollowsTheTillCode) {
  struct Case {
    bool tillCode;
    bool negativeCode;
    const char* typed;
    const char* price;
    const char* amount;
  } cases[] = {
      {true, true, "5", "-5.00", "-10.00"},    {true, true, "-5", "-5.00", "-10.00"},
      {true, false, "-5", "5.00", "10.00"},    {true, false, "5", "5.00", "10.00"},
      {false, true, "-5", "-5.00", "-10.00"},   // an item keeps the sign keyed
      {false, false, "1.004", "1.00", "2.00"},  // the amount is of the price shown
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    screen->bTillCodeSold = c.tillCode;
    screen->bNegativePrice = c.negativeCode;
    Set(IDC_QTYORDERED, "2");
    Leave(IDC_PRICE, c.typed);
    EXPECT_STREQ(screen->Data.PRICE, c.price);
    EXPECT_STREQ(screen->Data.ENTRYTOTAL, c.amount);
    EXPECT_EQ(screen->GetFocusField(), IDC_ENTRYTOTAL);
  }
}

TEST_P(SaleLines, AmountDecidesQuantityOrPriceAndAcceptsTheItem) {
  struct Case {
    const char* name;
    bool soldByAmount;
    const char* unitDec;
    bool promptOnAmount;
    bool negativeTillCode;
    const char* qty;
    const char* price;
    const char* amount;
    std::vector<std::string> line;  // quantity, price, amount of the line added
  } cases[] = {
      {"sold by amount", true, "", false, false, "1", "2.00", "5.00", {"2.500", "2.00", "5.00"}},
      {"sold by amount, two unit decimals",
       true,
       "2",
       false,
       false,
       "1",
       "2.00",
       "5",
       {"2.50", "2.00", "5.00"}},
      {"sold by amount, whole units",
       true,
       "0",
       false,
       false,
       "1",
       "2.00",
       "5",
       {"3", "2.00", "5.00"}},
      {"sold by amount at no price",
       true,
       "",
       false,
       false,
       "1",
       "0.00",
       "5",
       {"1", "0.00", "5.00"}},
      {"amount prompted", false, "", true, false, "4", "1.00", "5", {"4", "1.25", "5.00"}},
      {"no price", false, "", false, false, "2", "", "5", {"2", "2.50", "5.00"}},
      {"amount as priced", false, "", true, false, "2", "2.50", "5", {"2", "2.50", "5.00"}},
      {"amount not prompted", false, "", false, false, "4", "1.00", "5", {"4", "1.00", "5.00"}},
      {"negative till code", false, "", true, true, "1", "-3.00", "3", {"1", "-3.00", "-3.00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    screen->ClearTable();
    Set(IDC_IREF, "ABCD");
    Set(IDC_QTYORDERED, c.qty);
    Set(IDC_PRICE, c.price);
    screen->bTOTAMT = c.soldByAmount;
    KVTsprintf(screen->szUnitDec, "%s", c.unitDec);
    screen->bPromptOnAmount = c.promptOnAmount;
    screen->bTillCodeSold = screen->bNegativePrice = c.negativeTillCode;
    Leave(IDC_ENTRYTOTAL, c.amount);
    ASSERT_EQ(screen->SaleGrid().GetRowCount(), 1);
    EXPECT_EQ((std::vector<std::string>{screen->SaleGrid().GetCell(COL_QTY, 0),
                                        screen->SaleGrid().GetCell(COL_PRICE, 0),
                                        screen->SaleGrid().GetCell(COL_AMOUNT, 0)}),
              c.line);
    EXPECT_EQ(screen->GetFocusField(), IDC_IREF);
    EXPECT_STREQ(screen->Data.IREF, "") << "the next item starts";
  }
  EXPECT_TRUE(Messages().empty());
}

TEST_P(SaleLines, AmountAboveTheMaximumIsRefused) {
  for (const char* maxAmount : {"100", ""}) {
    SCOPED_TRACE(std::string("max ") + maxAmount);
    user.Reset();
    KVTSetSetting(CFG_MAXAMOUNT, maxAmount);
    screen->bPromptOnAmount = screen->bErrorInEntryTotal = false;
    Set(IDC_IREF, "ABCD");
    Set(IDC_QTYORDERED, "1");
    Set(IDC_PRICE, "150.00");
    Leave(IDC_ENTRYTOTAL, *maxAmount ? "150.00" : "0.01");
    EXPECT_EQ(Messages(), std::vector<std::string>{"Amount exceeds maximum amount allowed."});
    EXPECT_STREQ(screen->Data.ENTRYTOTAL, "");
    EXPECT_EQ(screen->GetFocusField(), IDC_ENTRYTOTAL);
    EXPECT_TRUE(screen->bPromptOnAmount);
    EXPECT_TRUE(screen->bErrorInEntryTotal);
    EXPECT_EQ(screen->SaleGrid().GetRowCount(), 0);
  }
}

TEST_P(SaleLines, ReferenceIsAQuantityASearchOrAnItem) {
  AddInventoryItem("ABCD1", "Chicken feed", "3.50", {{"TAX1APP", "T"}});
  AddTillCode("TC", "FEED", {{"TAXABLE", "1"}});
  struct Case {
    const char* name;
    bool saleHasLines;
    const char* useInventory;
    const char* showSearch;
    const char* typed;
    std::vector<std::string> inSearch;  // keys pressed in a pick list that opens
    std::vector<std::string> messages;
    const char* refAfter;
    int focusAfter;
    const char* lineQty;  // the sale's line afterwards ("" without one)
  } cases[] = {
      {"a number on a sale with lines", true, "T", "F", "3", {}, {}, "", IDC_IREF, "3"},
      {"a longer number is an item",
       true,
       "T",
       "F",
       "1234",
       {},
       {"Item not found."},
       "",
       IDC_IREF,
       "1"},
      {"a number on an empty sale", false, "T", "F", "3", {"Esc"}, {}, "", IDC_IREF, ""},
      {"a till code", false, "T", "F", "TC", {}, {}, "TC", IDC_IDESCR, ""},
      {"an item", false, "T", "F", "ABCD1", {}, {}, "ABCD1", IDC_IDESCR, ""},
      {"an unknown item", false, "T", "F", "NOPE1", {}, {"Item not found."}, "", IDC_IREF, ""},
      {"an unknown item with the pick list",
       false,
       "T",
       "T",
       "NOPE1",
       {"Esc"},
       {},
       "",
       IDC_IREF,
       ""},
      {"search by reference", false, "T", "F", "//ABC", {"Enter"}, {}, "ABCD1", IDC_IDESCR, ""},
      {"search by reference, other prefix",
       false,
       "T",
       "F",
       "/?ABC",
       {"Enter"},
       {},
       "ABCD1",
       IDC_IDESCR,
       ""},
      {"search by description", true, "T", "F", "/#Chick", {"Enter"}, {}, "ABCD1", IDC_IDESCR, "1"},
      {"without inventory every code is a till code",
       false,
       "F",
       "F",
       "ABCD1",
       {"Esc"},
       {},
       "",
       IDC_IREF,
       ""},
      {"without inventory no search prefixes",
       false,
       "F",
       "F",
       "//TC",
       {"Esc"},
       {},
       "",
       IDC_IREF,
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user.Reset();
    screen->ClearTable();
    screen->OrderHasItems = 0;
    if (c.saleHasLines) AddLine({"XYZ1", "2.00", "N", "", "N", "1", "2.00"});
    KVTSetSetting(CFG_USEINVENTORY, c.useInventory);
    KVTSetSetting(CFG_SHOWINVSRCHWIN, c.showSearch);
    for (const std::string& key : c.inSearch) user.Key(key);
    Leave(IDC_IREF, c.typed);
    ExpectNoFailures();
    EXPECT_FALSE(user.HasSteps()) << "a pick list was expected";
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_STREQ(screen->Data.IREF, c.refAfter);
    EXPECT_EQ(screen->GetFocusField(), c.focusAfter);
    EXPECT_EQ(screen->SaleGrid().GetRowCount() ? screen->SaleGrid().GetCell(COL_QTY, 0) : "",
              c.lineQty);
  }
  // The quantity keyed changes the line's amount and the sale's total.
  screen->ClearTable();
  AddLine({"XYZ1", "2.00", "N", "", "N", "1", "2.00"});
  KVTSetSetting(CFG_USEINVENTORY, "T");
  Leave(IDC_IREF, "4");
  EXPECT_EQ(screen->SaleGrid().GetCell(COL_AMOUNT, 0), "8.00");
  EXPECT_STREQ(screen->Data.TOTAL, "8.00");
}

TEST_P(SaleLines, EmptyDescriptionIsKept) {
  AddTillCode("TC", "FEED");
  Leave(IDC_IREF, "TC");
  ASSERT_EQ(screen->GetFocusField(), IDC_IDESCR);
  Leave(IDC_IDESCR, "");
  EXPECT_EQ(screen->GetFocusField(), IDC_IDESCR);
  Leave(IDC_IDESCR, "Layer feed");
  EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
}

TEST_P(SaleLines, ShiftOrAMouseClickChecksNothing) {
  KVTSetSetting(CFG_MAXQTY, "10");
  screen->KVTSetFieldFocus(IDC_QTYORDERED);
  screen->UserType("99");
  screen->UserKey(KVTKey{VK_RETURN, true});
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
  kvt::forms_detail::SetKeyModifiers(false, false, false);
  kvt::forms_detail::SetLastMessageWasKey(false);  // a mouse click
  EXPECT_EQ(screen->VerifyPOS1File->VerifyFields(IDC_QTYORDERED), 0);
  EXPECT_TRUE(Messages().empty());
}

TEST_P(SaleLines, ReferenceIsRequired) {
  Set(IDC_IREF, "  ");
  EXPECT_EQ(screen->VerifyPOS1File->VerifyRequiredFields(), 0);
  EXPECT_EQ(Messages(), std::vector<std::string>{"Reference field is required."});
  EXPECT_EQ(screen->GetFocusField(), IDC_IREF);
  Set(IDC_IREF, "TC");
  EXPECT_EQ(screen->VerifyPOS1File->VerifyRequiredFields(), 1);
}

// ---- Lines from the entry fields ------------------------------------------------

TEST_P(SaleLines, NewLineTakesEveryColumnARecordNumberAndItsTaxes) {
  AddTaxCode("STATE", "ST", "6");
  const std::vector<std::pair<int, std::string>> fields = {
      {IDC_IREF, "ABCD1"},      {IDC_IDESCR, "Chicken feed"}, {IDC_QTYORDERED, "2"},
      {IDC_PRICE, "3.50"},      {IDC_ENTRYTOTAL, "7.00"},     {IDC_FOODSTAMPS, "N"},
      {IDC_INVOICENUM, "1001"}, {IDC_NUMCHANGE, "4"},         {IDC_TILLCODE, ""},
      {IDC_TAXABLE, "Y"},       {IDC_CATEGORY, "FEED"},       {IDC_DISCOUNT, "0.10"},
      {IDC_COST, "2.00"},       {IDC_SERIALNUM, "SN9"},       {IDC_MIXNUM, ""},
      {IDC_TAGALONG, ""},       {IDC_NONTAXCAT, "NTX"},       {IDC_INVREF, "ITEMX"},
      {IDC_QTYPRICING, ""},     {IDC_TAGALGRATE, "5%"},       {IDC_PROMPT, "A"}};
  for (const auto& [id, text] : fields) Set(id, text);
  EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 0);
  Set(IDC_IREF, "EFGH1");
  screen->VerifyPOS1File->AddItem();

  ASSERT_EQ(screen->SaleGrid().GetRowCount(), 2);
  std::vector<std::string> row = Row(0);
  std::string recno = row[COL_RECNO];
  EXPECT_GT(std::atof(recno.c_str()), 0);
  EXPECT_EQ(recno.find_first_not_of("0123456789"), std::string::npos) << recno;
  EXPECT_NE(Row(1)[COL_RECNO], recno);
  row[COL_RECNO] = "#";
  EXPECT_EQ(row,
            (std::vector<std::string>{
                "ABCD1", "Chicken feed", "2",    "3.50", "7.00", "N",   "1001", "0", "#",   "",
                "Y",     "01",           "FEED", "0.10", "2.00", "SN9", "",     "",  "NTX", "ITEMX",
                "",      "5%",           "A"}));
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK),
            (std::vector<std::string>{recno, Row(1)[COL_RECNO]}));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.84");
  EXPECT_STREQ(screen->Data.TOTAL, "14.84");
  EXPECT_TRUE(Recorder().repriced.empty());
}

TEST_P(SaleLines, SelectedLineIsOverwrittenInPlace) {
  AddTaxCode("STATE", "ST", "10");
  AddTaxedLine({"ABCD1", "7.00", "Y", "555"});
  screen->TotalSaleItems(1);
  screen->SaleGrid().SelRow(0);
  Set(IDC_IREF, "ABCD1");
  Set(IDC_QTYORDERED, "3");
  Set(IDC_PRICE, "3.50");
  Set(IDC_ENTRYTOTAL, "10.50");
  Set(IDC_TAXABLE, "Y");
  screen->Data.RECNO = 555;
  screen->DoAppToScr(IDC_RECNO);
  EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 0);
  ASSERT_EQ(screen->SaleGrid().GetRowCount(), 1);
  EXPECT_EQ(Row(0)[COL_RECNO], "555");
  EXPECT_EQ(Row(0)[COL_AMOUNT], "10.50");
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 1) << "no second set of tax rows";
  EXPECT_STREQ(screen->Data.TOTAL, "11.20") << "totalled without recomputing the tax";
}

TEST_P(SaleLines, InventoryLinesWithQuantityPricesOrAMixAreRepriced) {
  struct Case {
    const char* useInventory;
    const char* ref;
    const char* kind;
    const char* mix;
    bool repriced;
  } cases[] = {
      {"T", "ABCD1", "U", "", true},  {"T", "ABCD1", "M", "", true}, {"T", "ABCD1", "", "7", true},
      {"T", "ABCD1", "", "", false},  {"T", "TC", "U", "7", false},  // a till code
      {"F", "ABCD1", "U", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.useInventory) + " " + c.ref + " " + c.kind + " " + c.mix);
    Recorder().repriced.clear();
    KVTSetSetting(CFG_USEINVENTORY, c.useInventory);
    Set(IDC_IREF, c.ref);
    Set(IDC_QTYPRICING, c.kind);
    Set(IDC_MIXNUM, c.mix);
    Set(IDC_TAXABLE, "N");
    screen->VerifyPOS1File->AddItem();
    std::vector<std::string> want;
    if (c.repriced) want.push_back(std::string(c.ref) + "|" + c.kind + "|" + c.mix);
    EXPECT_EQ(Recorder().repriced, want);
  }
}

TEST_P(SaleLines, TagAlongChainStopsWhereItStarted) {
  AddInventoryItem("ITEMA", "Item A", "1.00", {{"TAGALONG", "ITEMB"}});
  AddInventoryItem("ITEMB", "Item B", "2.00", {{"TAGALONG", "ITEMA"}});
  AddInventoryItem("ITEMC", "Item C", "1.00", {{"TAGALONG", "ITEMD"}});
  AddInventoryItem("ITEMD", "Item D", "1.00", {{"TAGALONG", "ITEME"}});
  AddInventoryItem("ITEME", "Item E", "1.00", {{"TAGALONG", "ITEMC"}});
  struct Case {
    const char* item;
    std::vector<std::string> refs;
  } cases[] = {
      {"ITEMA", {"ITEMA", "ITEMB"}},
      {"ITEMC", {"ITEMC", "ITEMD", "ITEME"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    screen->ClearTable();
    screen->NewItem();
    ASSERT_TRUE(screen->DisplayItem(c.item));
    Set(IDC_QTYORDERED, "3");
    Set(IDC_ENTRYTOTAL, "3.00");
    EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 1);
    EXPECT_EQ(Column(screen->SaleGrid(), COL_REF), c.refs);
    EXPECT_EQ(Column(screen->SaleGrid(), COL_QTY), std::vector<std::string>(c.refs.size(), "3"));
    EXPECT_EQ(screen->SaleGrid().GetCell(COL_TAGALONG, 1), c.refs.size() == 2 ? "T" : "ITEME");
    EXPECT_EQ(screen->SaleGrid().GetCell(COL_TAGALONG, static_cast<int>(c.refs.size()) - 1), "T");
  }
  EXPECT_EQ(screen->SaleGrid().GetCell(COL_AMOUNT, 2), "3.00") << "an item keeps its own price";
}

// ---- Totals -------------------------------------------------------------------------

TEST_P(SaleLines, TotalsByFoodStampsTaxAndVoids) {
  AddTaxCode("STATE", "ST", "7.5");
  AddLine({"FS01", "10.00", "N", "1", "Y"});
  AddTaxedLine({"TAX1", "5.50", "Y", "2"});
  AddTaxedLine({"VOID", "VOID", "Y", "3"});
  AddLine({"RET1", "-2.25", "N", "4"});
  screen->TotalSaleItems(1);
  const PVpos1Data& d = screen->Data;
  EXPECT_STREQ(d.FSTOTAL, "10.00");
  EXPECT_STREQ(d.REMAINTOTAL, "3.25");
  EXPECT_STREQ(d.NONTAXAMT, "7.75");
  EXPECT_STREQ(d.TAXTOTAL, "0.41");
  EXPECT_STREQ(d.TOTAL, "13.66");
  EXPECT_EQ(screen->GetFieldText(IDC_FSTOTAL_DISPLAY), "$10.00");
  EXPECT_EQ(screen->GetFieldText(IDC_REMAINTOTAL_DISPLAY), "$3.25");
  EXPECT_EQ(screen->GetFieldText(IDC_TAXTOTAL_DISPLAY), "$0.41");
  EXPECT_EQ(screen->GetFieldText(IDC_TOTAL_DISPLAY), "$13.66");
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK), std::vector<std::string>{"2"});
}

// ---- A stored sale -------------------------------------------------------------------

class StoredSale : public SaleLines {
 protected:
  void AddSaleLine(const std::string& link, const std::string& recno, const std::string& ref,
                   const std::string& tillCode, const kvt::schema::Row& more = {}) {
    kvt::schema::Row row = {{"INVOICELNK", link},   {"RECNO", recno},    {"INVREF", ref},
                            {"TILLCODE", tillCode}, {"QTYORDERED", "1"}, {"PRICE", "4.00"},
                            {"ENTRYTOTAL", "4.00"}, {"INVLOC", "01"}};
    for (const auto& [column, value] : more) {
      auto same = [&](const auto& cell) { return cell.first == column; };
      auto it = std::find_if(row.begin(), row.end(), same);
      if (it != row.end())
        it->second = value;
      else
        row.emplace_back(column, value);
    }
    Add("KVTPOS2", row);
  }
};

TEST_P(StoredSale, ReloadCompletesTheHiddenColumnsAndMarksTagAlongs) {
  Add("KVTPOS1", {{"INVOICELNK", "LNK1"}, {"RECNO", "77"}, {"DOB", "01151980"}});
  AddSaleLine("LNK1", "501", "ITEMA", "",
              {{"DESCR", "Layer pellets"},
               {"QTYORDERED", "2"},
               {"PRICE", "10.00"},
               {"ENTRYTOTAL", "20.00"},
               {"FOODSTAMPS", "1"},
               {"TAXABLE", "1"},
               {"INVOICENUM", "1001"},
               {"NUMCHANGE", "0"},
               {"CATEGORY", "FEED"},
               {"COST", "6.00"}});
  AddSaleLine("LNK1", "502", "ITEMB", "");
  AddSaleLine("LNK1", "503", "TC1", "TC1", {{"TAXABLE", "1"}, {"PROMPT", "T"}});
  AddSaleLine("LNK1", "504", "TC2", "TC2");
  AddSaleLine("LNK1", "505", "ITEMM", "");
  AddSaleLine("OTHER", "506", "ITEMA", "");
  AddInventoryItem("ITEMA", "Layer pellets", "10.00",
                   {{"MIXNUM", "M1"}, {"TAGALONG", "ITEMB"}, {"PQTY1", "5"}});
  AddInventoryItem("ITEMB", "Oyster shell", "4.00");
  Add("KVTINV18", {{"REFERENCE", "ITEMM"}, {"LOCATION", "01"}, {"Q1", "10"}});
  AddTillCode(
      "TC1", "CAT1",
      {{"TAGALGCAT", "CAT2"}, {"NONTAXCAT", "NTX"}, {"INVREF", "ITEMX"}, {"TAGALGRATE", "10%"}});
  AddTillCode("TC2", "CAT2");
  Add("KVTPOS3", {{"INVOICELNK", "LNK1"},
                  {"RECNO", "902"},
                  {"TAXCODE", "PST"},
                  {"TAXRATE", "7"},
                  {"TAXAMT", "1.40"},
                  {"ITEMLNK", "501"}});
  Add("KVTPOS3", {{"INVOICELNK", "LNK1"},
                  {"RECNO", "901"},
                  {"TAXCODE", "GST"},
                  {"TAXRATE", "5"},
                  {"TAXAMT", "1.00"},
                  {"ITEMLNK", "501"}});
  Add("KVTPOS3", {{"INVOICELNK", "LNK1"},
                  {"RECNO", "903"},
                  {"TAXCODE", "OLD"},
                  {"TAXRATE", "3"},
                  {"TAXAMT", "0.12"},
                  {"ITEMLNK", "503"}});
  Add("KVTAR19", {{"TAXCODE", "GST"}, {"TAXRATE", "5"}, {"AMOUNT", "2.00"}});
  Add("KVTAR19", {{"TAXCODE", "PST"}, {"TAXRATE", "7"}, {"AMOUNT", ""}});
  AddLine({"STALE", "1.00"});
  AddTaxRow({"ST", "6", "", "0.060000", "1000"});

  Set(IDC_INVOICELNK, "LNK1");
  screen->VerifyPOS1File->LoadOrder();

  ASSERT_EQ(screen->SaleGrid().GetRowCount(), 5);
  EXPECT_EQ(
      Row(0),
      (std::vector<std::string>{
          "ITEMA", "Layer pellets", "2", "10.00", "20.00", "Y",  "1001",  "0", "501", "",  "Y",
          "01",    "FEED",          "",  "6.00",  "",      "M1", "ITEMB", "",  "",    "U", "",
          ""}));
  // (column, expected) of rows 1 to 4.
  std::vector<std::vector<std::pair<int, std::string>>> hidden = {
      {{COL_FS, "N"}, {COL_TAXABLE, "N"}, {COL_TAGALONG, "T"}, {COL_QTYPRICING, ""}},
      {{COL_TILLCODE, "TC1"},
       {COL_MIXNUM, ""},
       {COL_TAGALONG, "TC2"},
       {COL_NONTAXCAT, "NTX"},
       {COL_INVREF, "ITEMX"},
       {COL_TAGALGRATE, "10%"},
       {COL_PROMPT, "T"}},
      {{COL_TILLCODE, "TC2"}, {COL_TAGALONG, "T"}},
      {{COL_QTYPRICING, "M"}, {COL_TAGALONG, ""}},
  };
  for (std::size_t r = 0; r < hidden.size(); ++r) {
    for (const auto& [col, want] : hidden[r])
      EXPECT_EQ(Row(static_cast<int>(r) + 1)[col], want) << "row " << r + 1 << " col " << col;
  }
  EXPECT_EQ(TaxRows(),
            (std::vector<std::vector<std::string>>{{"GST", "5", "2.00", "1.000000", "501"},
                                                   {"PST", "7", "", "1.400000", "501"},
                                                   {"OLD", "3", "", "0.120000", "503"}}));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "2.52");
  EXPECT_STREQ(screen->Data.TOTAL, "38.52");
  EXPECT_EQ(screen->Data.RECNO, 77);
  EXPECT_EQ(screen->GetFieldText(IDC_SALE_TEXT), "(Customer Date of Birth is 01/15/1980)");
  EXPECT_EQ(screen->OrderHasItems, 1);
}

TEST_P(StoredSale, TagAlongOfAReloadedSaleFollowsItsItem) {
  Add("KVTPOS1", {{"INVOICELNK", "LNK2"}, {"RECNO", "78"}});
  AddSaleLine("LNK2", "601", "ITEMA", "", {{"PRICE", "10.00"}, {"ENTRYTOTAL", "10.00"}});
  AddSaleLine("LNK2", "602", "ITEMB", "", {{"PRICE", "0.50"}, {"ENTRYTOTAL", "0.50"}});
  AddInventoryItem("ITEMA", "Layer pellets", "10.00", {{"TAGALONG", "ITEMB"}});
  AddInventoryItem("ITEMB", "Oyster shell", "0.50", {{"TAGALONG", "ITEMA"}});
  Set(IDC_INVOICELNK, "LNK2");
  screen->VerifyPOS1File->LoadOrder();
  ASSERT_EQ(Column(screen->SaleGrid(), COL_TAGALONG), (std::vector<std::string>{"ITEMB", "T"}));

  Leave(IDC_IREF, "3");
  EXPECT_EQ(Column(screen->SaleGrid(), COL_QTY), (std::vector<std::string>{"3", "3"}));
  EXPECT_EQ(Column(screen->SaleGrid(), COL_AMOUNT), (std::vector<std::string>{"30.00", "1.50"}));
  EXPECT_STREQ(screen->Data.TOTAL, "31.50");
}

TEST_P(StoredSale, WithoutItsHeaderNothingIsLoaded) {
  AddSaleLine("LNK9", "701", "ITEMA", "");
  AddLine({"STALE", "1.00"});
  AddTaxRow({"ST", "6", "", "0.060000", "1000"});
  screen->Data.RECNO = 5;
  Set(IDC_INVOICELNK, "LNK9");
  screen->VerifyPOS1File->LoadOrder();
  EXPECT_EQ(screen->SaleGrid().GetRowCount(), 0);
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 0);
  EXPECT_EQ(screen->Data.RECNO, 5);
}

TEST_P(StoredSale, PromotionClearsTheQuantityPricingKindAcrossTheNewYear) {
  AddSaleLine("LNK3", "801", "ITEMP", "");
  AddSaleLine("LNK3", "802", "ITEMQ", "");
  AddInventoryItem("ITEMP", "Promoted", "1.00",
                   {{"PQTY1", "5"}, {"BEGINDATE", "12/01/2025"}, {"ENDDATE", "01/31/2026"}});
  AddInventoryItem("ITEMQ", "Open-ended", "1.00",
                   {{"PQTY2", "5"}, {"BEGINDATE", "01/01/2020"}, {"ENDDATE", ""}});
  struct Case {
    const char* today;
    const char* kind;
  } cases[] = {
      {"11/30/2025", "U"}, {"12/01/2025", ""}, {"12/31/2025", ""},
      {"01/15/2026", ""},  {"01/31/2026", ""}, {"02/01/2026", "U"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.today);
    ASSERT_TRUE(KVTSetToday(c.today));
    screen->ClearTable();
    Set(IDC_INVOICELNK, "LNK3");
    screen->VerifyPOS1File->LoadTable();
    EXPECT_EQ(Column(screen->SaleGrid(), COL_QTYPRICING), (std::vector<std::string>{c.kind, "U"}))
        << "a promotion without an end date never applies";
  }
}

KVT_ON_BOTH_BACKENDS(SaleLines);
KVT_ON_BOTH_BACKENDS(StoredSale);

}  // namespace
