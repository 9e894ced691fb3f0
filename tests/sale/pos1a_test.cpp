// The sale line table on the screen: the entry fields as the cashier leaves
// them (the rules themselves are lines_test's), lines added from them
// (record numbers, taxes, repricing, tag-alongs), the totals shown, failed
// look-ups, and a stored sale loaded back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "tests/sale/sale_fixture.h"

namespace {

using kvt::test::Line;
using Strings = std::vector<std::string>;

// Records what the line table asks of pricing.
class RecordingScreen : public PVpos1Dlg {
 public:
  using PVpos1Dlg::PVpos1Dlg;
  void AdjustLinePricing(const char* reference, const char* qtyPricing,
                         const char* mixNum) override {
    repriced.push_back(std::string(reference) + "|" + qtyPricing + "|" + mixNum);
  }
  Strings repriced;
};

class SaleLines : public kvt::test::SaleScreenTest {
 protected:
  PVpos1Dlg* MakeScreen(HWND parent) override { return new RecordingScreen(parent); }
  RecordingScreen& Recorder() { return static_cast<RecordingScreen&>(*screen); }

  void Set(int field, const std::string& text) { screen->SetFieldVar(field, text.c_str()); }
  void Set(std::initializer_list<std::pair<int, const char*>> fields) {
    for (auto [id, text] : fields) Set(id, text);
  }
  Strings Row(int row) const {
    Strings out;
    for (int c = 0; c < SALE_GRID_COLUMNS; ++c) out.push_back(screen->SaleGrid().GetCell(c, row));
    return out;
  }
  Strings Col(int col) const { return Column(screen->SaleGrid(), col); }
};

// ---- Entry fields ----------------------------------------------------------------

TEST_P(SaleLines, ARefusedQuantityIsToldAndKeepsTheCursor) {
  KVTSetSetting(CFG_MAXQTY, "10");
  Leave(IDC_QTYORDERED, "11");
  EXPECT_EQ(Messages(), Strings{"Quantity exceeds maximum quantity allowed."});
  EXPECT_EQ(user.Messages()[0].icon, "stop");
  EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
  Leave(IDC_QTYORDERED, " ");
  EXPECT_STREQ(screen->Data.QTYORDERED, "1") << "no quantity is one";
  EXPECT_EQ(screen->GetFocusField(), IDC_PRICE);
  // Without a price field the price is settled with the quantity.
  KVTSetSetting(CFG_DISPLAYPRICEEACH, "F");
  screen->bTillCodeSold = screen->bNegativePrice = true;
  Set(IDC_PRICE, "2");
  Leave(IDC_QTYORDERED, "3");
  EXPECT_STREQ(screen->Data.PRICE, "-2.00");
  EXPECT_STREQ(screen->Data.ENTRYTOTAL, "-6.00");
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_P(SaleLines, TheAmountSettlesTheLineAndAcceptsTheItem) {
  Set(IDC_IREF, "ABCD");
  Set(IDC_QTYORDERED, "1");
  Set(IDC_PRICE, "2.00");
  screen->bTOTAMT = true;  // sold by amount
  KVTsprintf(screen->szUnitDec, "2");
  Leave(IDC_ENTRYTOTAL, "5");
  EXPECT_EQ(Col(COL_QTY), Strings{"2.50"});
  EXPECT_EQ(Col(COL_AMOUNT), Strings{"5.00"});
  EXPECT_EQ(screen->GetFocusField(), IDC_IREF);
  EXPECT_STREQ(screen->Data.IREF, "") << "the next item starts";
  EXPECT_FALSE(screen->bTOTAMT);
}

TEST_P(SaleLines, AmountAboveTheMaximumIsRefused) {
  for (const char* maxAmount : {"100", ""}) {  // no maximum refuses every amount
    SCOPED_TRACE(std::string("max ") + maxAmount);
    user.Reset();
    KVTSetSetting(CFG_MAXAMOUNT, maxAmount);
    screen->bPromptOnAmount = false;
    Set(IDC_IREF, "ABCD");
    Leave(IDC_ENTRYTOTAL, *maxAmount ? "150.00" : "0.01");
    EXPECT_EQ(Messages(), Strings{"Amount exceeds maximum amount allowed."});
    EXPECT_STREQ(screen->Data.ENTRYTOTAL, "");
    EXPECT_EQ(screen->GetFocusField(), IDC_ENTRYTOTAL);
    EXPECT_TRUE(screen->bPromptOnAmount) << "the amount is asked for again";
    EXPECT_EQ(screen->SaleGrid().GetRowCount(), 0);
  }
}

TEST_P(SaleLines, ReferenceIsAQuantityASearchOrAnItem) {
  AddItem("ABCD1", "3.50", {{"TAX1APP", "T"}});
  AddTillCode("TC", "FEED", {{"TAXABLE", "1"}});
  // clang-format off
  struct Case { const char* name; bool hasLines; const char* useInv; const char* search; const char* typed;
                Strings keys; Strings messages; const char* refAfter; int focusAfter; const char* lineQty; } cases[] = {
      {"a number on a sale with lines", true,  "T", "F", "3",       {},        {},                  "",      IDC_IREF,   "3"},
      {"a longer number is an item",    true,  "T", "F", "1234",    {},        {"Item not found."}, "",      IDC_IREF,   "1"},
      {"a number on an empty sale",     false, "T", "F", "3",       {"Esc"},   {},                  "",      IDC_IREF,   ""},
      {"a till code",                   false, "T", "F", "TC",      {},        {},                  "TC",    IDC_IDESCR, ""},
      {"an item",                       false, "T", "F", "ABCD1",   {},        {},                  "ABCD1", IDC_IDESCR, ""},
      {"an unknown item, pick list",    false, "T", "T", "NOPE1",   {"Esc"},   {},                  "",      IDC_IREF,   ""},
      {"search by reference",           false, "T", "F", "//ABC",   {"Enter"}, {},                  "ABCD1", IDC_IDESCR, ""},
      {"search by reference, /?",       false, "T", "F", "/?ABC",   {"Enter"}, {},                  "ABCD1", IDC_IDESCR, ""},
      {"search by description",         true,  "T", "F", "/#Item",  {"Enter"}, {},                  "ABCD1", IDC_IDESCR, "1"},
      {"no inventory: a till code",     false, "F", "F", "ABCD1",   {"Esc"},   {},                  "",      IDC_IREF,   ""},
      {"no inventory: no prefixes",     false, "F", "F", "//TC",    {"Esc"},   {},                  "",      IDC_IREF,   ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    user.Reset();
    screen->ClearTable();
    screen->OrderHasItems = 0;
    if (c.hasLines) AddLine({"XYZ1", "2.00", "N", "", "N", "1", "2.00"});
    KVTSetSetting(CFG_USEINVENTORY, c.useInv);
    KVTSetSetting(CFG_SHOWINVSRCHWIN, c.search);
    for (const std::string& key : c.keys) user.Key(key);
    Leave(IDC_IREF, c.typed);
    ExpectNoFailures();
    EXPECT_FALSE(user.HasSteps()) << "a pick list was expected";
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_STREQ(screen->Data.IREF, c.refAfter);
    EXPECT_EQ(screen->GetFocusField(), c.focusAfter);
    EXPECT_EQ(screen->SaleGrid().GetRowCount() ? Col(COL_QTY)[0] : "", c.lineQty);
  }
  // The quantity keyed changes the line's amount and the sale's total.
  screen->ClearTable();
  AddLine({"XYZ1", "2.00", "N", "", "N", "1", "2.00"});
  KVTSetSetting(CFG_USEINVENTORY, "T");
  Leave(IDC_IREF, "4");
  EXPECT_EQ(Col(COL_AMOUNT), Strings{"8.00"});
  EXPECT_STREQ(screen->Data.TOTAL, "8.00");
}

TEST_P(SaleLines, DescriptionShiftMouseAndAMissingReference) {
  AddTillCode("TC", "FEED");
  Leave(IDC_IREF, "TC");
  Leave(IDC_IDESCR, "");
  EXPECT_EQ(screen->GetFocusField(), IDC_IDESCR) << "an empty description is kept";
  Leave(IDC_IDESCR, "Layer feed");
  EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
  // Shift+Enter and a mouse click check nothing.
  KVTSetSetting(CFG_MAXQTY, "10");
  screen->UserType("99");
  screen->UserKey(KVTKey{VK_RETURN, true});
  EXPECT_EQ(screen->GetFocusField(), IDC_QTYORDERED);
  kvt::forms_detail::SetKeyModifiers(false, false, false);
  kvt::forms_detail::SetLastMessageWasKey(false);
  EXPECT_EQ(screen->VerifyPOS1File->VerifyFields(IDC_QTYORDERED), 0);
  EXPECT_TRUE(Messages().empty());
  Set(IDC_IREF, "  ");
  EXPECT_EQ(screen->VerifyPOS1File->VerifyRequiredFields(), 0);
  EXPECT_EQ(Messages(), Strings{"Reference field is required."});
  EXPECT_EQ(screen->GetFocusField(), IDC_IREF);
}

// ---- Lines from the entry fields ------------------------------------------------

TEST_P(SaleLines, NewLineTakesEveryColumnARecordNumberAndItsTaxes) {
  AddTaxCode("STATE", "ST", "6");
  // clang-format off
  const std::vector<std::pair<int, std::string>> fields = {
      {IDC_IREF, "ABCD1"}, {IDC_IDESCR, "Chicken feed"}, {IDC_QTYORDERED, "2"}, {IDC_PRICE, "3.50"},
      {IDC_ENTRYTOTAL, "7.00"}, {IDC_FOODSTAMPS, "N"}, {IDC_INVOICENUM, "1001"}, {IDC_NUMCHANGE, "4"},
      {IDC_TAXABLE, "Y"}, {IDC_CATEGORY, "FEED"}, {IDC_DISCOUNT, "0.10"}, {IDC_COST, "2.00"},
      {IDC_SERIALNUM, "SN9"}, {IDC_NONTAXCAT, "NTX"}, {IDC_INVREF, "ITEMX"}, {IDC_TAGALGRATE, "5%"},
      {IDC_PROMPT, "A"}};
  // clang-format on
  for (const auto& [id, text] : fields) Set(id, text);
  EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 0);
  Set(IDC_IREF, "EFGH1");
  screen->VerifyPOS1File->AddItem();
  ASSERT_EQ(screen->SaleGrid().GetRowCount(), 2);
  Strings row = Row(0);
  const std::string recno = row[COL_RECNO];
  EXPECT_GT(std::atof(recno.c_str()), 0);
  EXPECT_EQ(recno.find_first_not_of("0123456789"), std::string::npos) << recno;
  EXPECT_NE(Row(1)[COL_RECNO], recno);
  row[COL_RECNO] = "#";
  // clang-format off
  EXPECT_EQ(row, (Strings{"ABCD1", "Chicken feed", "2", "3.50", "7.00", "N", "1001", "0", "#", "",
                          "Y", "01", "FEED", "0.10", "2.00", "SN9", "", "", "NTX", "ITEMX", "", "5%",
                          "A"}));
  // clang-format on
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK), (Strings{recno, Row(1)[COL_RECNO]}));
  EXPECT_STREQ(screen->Data.TAXTOTAL, "0.84");
  EXPECT_STREQ(screen->Data.TOTAL, "14.84");
  EXPECT_TRUE(Recorder().repriced.empty());
}

TEST_P(SaleLines, SelectedLineIsOverwrittenInPlace) {
  AddTaxCode("STATE", "ST", "10");
  AddTaxedLine({"ABCD1", "7.00", "Y", "555"});
  screen->TotalSaleItems(1);
  screen->SaleGrid().SelRow(0);
  // clang-format off
  Set({{IDC_IREF, "ABCD1"}, {IDC_QTYORDERED, "3"}, {IDC_PRICE, "3.50"}, {IDC_ENTRYTOTAL, "10.50"},
       {IDC_TAXABLE, "Y"}});
  // clang-format on
  screen->Data.RECNO = 555;
  screen->DoAppToScr(IDC_RECNO);
  EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 0);
  EXPECT_EQ(Col(COL_RECNO), Strings{"555"});
  EXPECT_EQ(Col(COL_AMOUNT), Strings{"10.50"});
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 1) << "no second set of tax rows";
  EXPECT_STREQ(screen->Data.TOTAL, "11.20") << "totalled without recomputing the tax";
}

TEST_P(SaleLines, InventoryLinesWithQuantityPricesOrAMixAreRepriced) {
  // clang-format off
  struct Case { const char* useInventory; const char* ref; const char* kind; const char* mix; bool repriced; } cases[] = {
      {"T", "ABCD1", "U", "", true}, {"T", "ABCD1", "M", "", true}, {"T", "ABCD1", "", "7", true},
      {"T", "ABCD1", "", "", false}, {"T", "TC", "U", "7", false},  // a till code
      {"F", "ABCD1", "U", "", false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.useInventory) + " " + c.ref + " " + c.kind + " " + c.mix);
    Recorder().repriced.clear();
    KVTSetSetting(CFG_USEINVENTORY, c.useInventory);
    Set({{IDC_IREF, c.ref}, {IDC_QTYPRICING, c.kind}, {IDC_MIXNUM, c.mix}, {IDC_TAXABLE, "N"}});
    screen->VerifyPOS1File->AddItem();
    Strings want;
    if (c.repriced) want.push_back(std::string(c.ref) + "|" + c.kind + "|" + c.mix);
    EXPECT_EQ(Recorder().repriced, want);
  }
}

TEST_P(SaleLines, TagAlongChainStopsWhereItStarted) {
  // clang-format off
  for (auto [item, tag] : {std::pair{"ITEMA", "ITEMB"}, {"ITEMB", "ITEMA"}, {"ITEMC", "ITEMD"},
                           {"ITEMD", "ITEME"}, {"ITEME", "ITEMC"}})
    AddItem(item, "1.00", {{"TAGALONG", tag}});
  // clang-format on
  // clang-format off
  struct Case { const char* item; Strings refs; Strings tags; } cases[] = {
      {"ITEMA", {"ITEMA", "ITEMB"}, {"ITEMB", "T"}},
      {"ITEMC", {"ITEMC", "ITEMD", "ITEME"}, {"ITEMD", "ITEME", "T"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    screen->ClearTable();
    screen->NewItem();
    ASSERT_TRUE(screen->DisplayItem(c.item));
    Set(IDC_QTYORDERED, "3");
    Set(IDC_ENTRYTOTAL, "3.00");
    EXPECT_EQ(screen->VerifyPOS1File->AddItem(), 1);
    EXPECT_EQ(Col(COL_REF), c.refs);
    EXPECT_EQ(Col(COL_QTY), Strings(c.refs.size(), "3"));
    EXPECT_EQ(Col(COL_TAGALONG), c.tags);
  }
}

TEST_P(SaleLines, TotalsAreShownAsMoney) {
  AddTaxCode("STATE", "ST", "7.5");
  AddLine({"FS01", "10.00", "N", "1", "Y"});
  AddTaxedLine({"TAX1", "5.50", "Y", "2"});
  AddTaxedLine({"VOID", "VOID", "Y", "3"});
  screen->TotalSaleItems(1);
  EXPECT_EQ(Column(screen->TaxGrid(), TAXCOL_ITEMLINK), Strings{"2"}) << "a void line has no tax";
  Strings shown;
  for (int id :
       {IDC_FSTOTAL, IDC_REMAINTOTAL, IDC_NONTAXAMT, IDC_TAXTOTAL, IDC_TOTAL, IDC_FSTOTAL_DISPLAY,
        IDC_REMAINTOTAL_DISPLAY, IDC_TAXTOTAL_DISPLAY, IDC_TOTAL_DISPLAY})
    shown.push_back(screen->GetFieldText(id));
  EXPECT_EQ(shown, (Strings{"10.00", "5.50", "10.00", "0.41", "15.91", "$10.00", "$5.50", "$0.41",
                            "$15.91"}));
}

// ---- A stored sale -------------------------------------------------------------------

class StoredSale : public SaleLines {
 protected:
  void AddSaleLine(const std::string& link, const std::string& recno, const std::string& ref,
                   const std::string& tillCode, const kvt::schema::Row& more = {}) {
    std::map<std::string, std::string> row = {
        {"INVOICELNK", link}, {"RECNO", recno},  {"INVREF", ref},        {"TILLCODE", tillCode},
        {"QTYORDERED", "1"},  {"PRICE", "4.00"}, {"ENTRYTOTAL", "4.00"}, {"INVLOC", "01"}};
    for (const auto& [column, value] : more) row[column] = value;
    Add("KVTPOS2", kvt::schema::Row(row.begin(), row.end()));
  }
  void AddTax(const std::string& recno, const std::string& code, const std::string& rate,
              const std::string& link) {
    // clang-format off
    Add("KVTPOS3", {{"INVOICELNK", "LNK1"}, {"RECNO", recno}, {"TAXCODE", code}, {"TAXRATE", rate},
                    {"TAXAMT", "9.99"}, {"ITEMLNK", link}});
    // clang-format on
  }
  void Load(const std::string& link) {
    Set(IDC_INVOICELNK, link);
    screen->VerifyPOS1File->LoadOrder();
  }
};

TEST_P(StoredSale, ReloadCompletesTheHiddenColumnsAndMarksTagAlongs) {
  // clang-format off
  Add("KVTPOS1", {{"INVOICELNK", "LNK1"}, {"RECNO", "77"}, {"DOB", "01151980"}});
  AddSaleLine("LNK1", "501", "ITEMA", "", {{"DESCR", "Layer pellets"}, {"QTYORDERED", "2"},
              {"PRICE", "10.00"}, {"ENTRYTOTAL", "20.00"}, {"FOODSTAMPS", "1"}, {"TAXABLE", "1"},
              {"INVOICENUM", "1001"}, {"NUMCHANGE", "0"}, {"CATEGORY", "FEED"}, {"COST", "6.00"}});
  AddSaleLine("LNK1", "502", "ITEMB", "");
  AddSaleLine("LNK1", "503", "TC1", "TC1", {{"TAXABLE", "1"}, {"PROMPT", "T"}});
  AddSaleLine("LNK1", "504", "TC2", "TC2", {{"ENTRYTOTAL", "VOID"}});
  AddSaleLine("LNK1", "505", "ITEMM", "");
  AddSaleLine("OTHER", "506", "ITEMA", "");
  AddItem("ITEMA", "10.00", {{"MIXNUM", "M1"}, {"TAGALONG", "ITEMB"}, {"PQTY1", "5"}});
  AddItem("ITEMB", "4.00", {{"TAGALONG", "ITEMA"}});  // a chain: ITEMB is still only a tag-along
  Add("KVTINV18", {{"REFERENCE", "ITEMM"}, {"LOCATION", "01"}, {"Q1", "10"}});
  AddTillCode("TC1", "CAT1", {{"TAGALGCAT", "CAT2"}, {"NONTAXCAT", "NTX"}, {"INVREF", "ITEMX"},
                              {"TAGALGRATE", "10%"}});
  AddTillCode("TC2", "CAT2");
  AddTax("902", "PST", "7", "501");  // amounts are worked out again
  AddTax("901", "GST", "5", "501");
  AddTax("903", "OLD", "3", "503");
  Add("KVTAR19", {{"TAXCODE", "GST"}, {"TAXRATE", "5"}, {"AMOUNT", "2.00"}});
  AddLine({"STALE", "1.00"});
  AddTaxRow({"ST", "6", "", "0.060000", "1000"});
  Load("LNK1");

  ASSERT_EQ(screen->SaleGrid().GetRowCount(), 5);
  EXPECT_EQ(Row(0), (Strings{"ITEMA", "Layer pellets", "2", "10.00", "20.00", "Y", "1001", "0", "501",
                             "", "Y", "01", "FEED", "", "6.00", "", "M1", "ITEMB", "", "", "U", "",
                             ""}));
  const std::vector<std::vector<std::pair<int, std::string>>> hidden = {  // (column, value) of rows 1 to 4
      {{COL_FS, "N"}, {COL_TAXABLE, "N"}, {COL_TAGALONG, "T"}, {COL_QTYPRICING, ""}},
      {{COL_TILLCODE, "TC1"}, {COL_MIXNUM, ""}, {COL_TAGALONG, "TC2"}, {COL_NONTAXCAT, "NTX"}, {COL_INVREF, "ITEMX"},
       {COL_TAGALGRATE, "10%"}, {COL_PROMPT, "T"}},
      {{COL_TILLCODE, "TC2"}, {COL_TAGALONG, "T"}, {COL_AMOUNT, "VOID"}},
      {{COL_QTYPRICING, "M"}, {COL_TAGALONG, ""}},
  };
  // clang-format on
  for (std::size_t r = 0; r < hidden.size(); ++r)
    for (const auto& [col, want] : hidden[r])
      EXPECT_EQ(Row(static_cast<int>(r) + 1)[col], want) << "row " << r + 1 << " col " << col;
  // clang-format off
  EXPECT_EQ(TaxRows(), (std::vector<Strings>{{"GST", "5", "2.00", "1.000000", "501"},
                                             {"PST", "7", "", "1.400000", "501"},
                                             {"OLD", "3", "", "0.120000", "503"}}));
  // clang-format on
  EXPECT_STREQ(screen->Data.TOTAL, "34.52");
  EXPECT_EQ(screen->Data.RECNO, 77);
  EXPECT_EQ(screen->GetFieldText(IDC_SALE_TEXT), "(Customer Date of Birth is 01/15/1980)");
  EXPECT_EQ(screen->OrderHasItems, 1);
}

TEST_P(StoredSale, WithoutItsHeaderNothingIsLoadedAndAFailedReadChangesNothing) {
  AddSaleLine("LNK9", "701", "ITEMA", "");
  AddLine({"STALE", "1.00"});
  AddTaxRow({"ST", "6", "", "0.060000", "1000"});
  screen->Data.RECNO = 5;
  KVTSqlFailStatements("FROM KVTPOS1");
  Load("LNK9");
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0].rfind("The sale could not be read.\n\ninjected failure", 0), 0u);
  EXPECT_EQ(Col(COL_REF), Strings{"STALE"});
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 1);
  Load("LNK9");
  EXPECT_EQ(screen->SaleGrid().GetRowCount(), 0);
  EXPECT_EQ(screen->TaxGrid().GetRowCount(), 0);
  EXPECT_EQ(screen->Data.RECNO, 5);
}

TEST_P(StoredSale, PromotionClearsTheQuantityPricingKindAcrossTheNewYear) {
  AddSaleLine("LNK3", "801", "ITEMP", "");
  AddSaleLine("LNK3", "802", "ITEMQ", "");
  AddItem("ITEMP", "1.00",
          {{"PQTY1", "5"}, {"BEGINDATE", "12/01/2025"}, {"ENDDATE", "01/31/2026"}});
  AddItem("ITEMQ", "1.00", {{"PQTY2", "5"}, {"BEGINDATE", "01/01/2020"}, {"ENDDATE", ""}});
  // clang-format off
  const std::pair<const char*, const char*> cases[] = {  // today, ITEMP's kind
      {"11/30/2025", "U"}, {"12/01/2025", ""}, {"12/31/2025", ""}, {"01/15/2026", ""}, {"01/31/2026", ""},
      {"02/01/2026", "U"}};
  // clang-format on
  for (const auto& [today, kind] : cases) {
    ASSERT_TRUE(KVTSetToday(today));
    screen->ClearTable();
    Set(IDC_INVOICELNK, "LNK3");
    screen->VerifyPOS1File->LoadTable();
    EXPECT_EQ(Col(COL_QTYPRICING), (Strings{kind, "U"}))
        << today << ": a promotion without an end date never applies";
  }
}

KVT_ON_BOTH_BACKENDS(SaleLines);
KVT_ON_BOTH_BACKENDS(StoredSale);

}  // namespace
