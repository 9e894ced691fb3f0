// Saving a sale: numbers and links, the header, lines and taxes written in
// one transaction, stock and category history, and the failures that leave
// nothing behind.
#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/sale/save_fixture.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

const char* kNotSaved = "\nThis sale has not been saved!";

// ---- Numbering -------------------------------------------------------------

class SaleNumbers : public SaveTest {};

TEST_P(SaleNumbers, ComeFromTheStoreOrTheConfigurationCounterAndMoveItOn) {
  struct Case {
    const char* perStore;
    const char* configCounter;
    const char* storeCounter;
    const char* number;
    const char* configAfter;
    const char* storeAfter;
  } cases[] = {
      {"F", "", "7001", "1", "2", "7001"},  // an empty counter starts at 1
      {"F", "123", "7001", "123", "124", "7001"},
      {"F", " 88 ", "7001", "88", "89", "7001"},  // blanks around the number
      {"T", "1001", "", "1", "1001", "2"},
      {"T", "1001", "41", "41", "1001", "42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.perStore) + " [" + c.configCounter + "] [" + c.storeCounter + "]");
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = '") + c.perStore + "', NEXTSLNUM = '" +
         c.configCounter + "'");
    Exec(std::string("UPDATE KVTCOM13 SET NEXTSLNUM = '") + c.storeCounter + "'");
    EXPECT_STREQ(dlg->GetNextSaleNum(), c.number);
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), c.configAfter);
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), c.storeAfter);
  }
  // A counter never set (null) starts at 1 as an empty one does.
  Exec("UPDATE KVTPOS10 SET USESTNSNUM = 'F', NEXTSLNUM = NULL");
  EXPECT_STREQ(dlg->GetNextSaleNum(), "1");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "2");
}

TEST_P(SaleNumbers, SkipNumbersAndLinksThatSavedSalesUse) {
  ASSERT_TRUE(db().Add("KVTPOS1", {{"INVOICENUM", "1001"}, {"INVOICELNK", "501A"}}));
  ASSERT_TRUE(db().Add("KVTPOS1", {{"INVOICENUM", "1002"}, {"INVOICELNK", "502A"}}));
  EXPECT_STREQ(dlg->GetNextSaleNum(), "1003");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1004");
  EXPECT_STREQ(dlg->GetNextSaleLink(), "503A");
  EXPECT_EQ(db().Value("SELECT NEXTSLLNK FROM KVTPOS10"), "504");
}

TEST_P(SaleNumbers, LinkIsTheNumberAndTheInstanceIdInTenCharacters) {
  struct Case {
    const char* counter;
    const char* id;
    const char* link;
  } cases[] = {
      {"123", "B", "123B"},
      {"", "A", "1A"},
      {"999999999", "A", "999999999A"},
      {"1000000000", "A", "A000000000"},
      {"1234567890", "AB", "AB34567890"},
      {"77", "", "77"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.counter) + c.id);
    Exec(std::string("UPDATE KVTPOS10 SET NEXTSLLNK = '") + c.counter + "'");
    dlg->sInstanceID = c.id;
    EXPECT_STREQ(dlg->GetNextSaleLink(), c.link);
  }
}

TEST_P(SaleNumbers, WithoutACounterRowTheSaveFailsAndSaysWhy) {
  struct Case {
    const char* setup;
    const char* typedNumber;
    std::string message;
  } cases[] = {
      {"DELETE FROM KVTCOM13", "", "No sale number counter was found for store MAIN."},
      {"DELETE FROM KVTPOS10", "",
       "No sale number counter was found for the point of sale configuration."},
      {"DELETE FROM KVTPOS10", "T-9",
       "No sale link counter was found for the point of sale configuration."},
  };
  Exec("UPDATE KVTPOS10 SET USESTNSNUM = 'T'");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setup);
    user.Reset();
    StartNewSale(*dlg);
    dlg->SetFieldVar(IDC_INVOICENUM, c.typedNumber);
    AddStock("HX", "10");
    AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50"});
    Exec(c.setup);
    EXPECT_FALSE(Save());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message + kNotSaved});
    EXPECT_EQ(db().Count("KVTPOS1"), 0);
    EXPECT_EQ(db().Count("KVTPOS2"), 0);
    EXPECT_EQ(Qoh("HX"), "10");
    Exec("DELETE FROM KVTINV2");
  }
}

KVT_ON_BOTH_BACKENDS(SaleNumbers);

// ---- The header ------------------------------------------------------------

class SaleHeader : public SaveTest {};

TEST_P(SaleHeader, NoSaleAndCheckCashingTakeASaleNumberOnlyWhenConfigured) {
  struct Case {
    const char* type;
    const char* noSaleAdvances;
    const char* cashCheckAdvances;
    const char* typed;
    const char* number;
    const char* counterAfter;
  } cases[] = {
      {"N", "F", "F", "", "NS", "1001"},
      {"N", "T", "F", "", "1001", "1002"},
      {"C", "F", "F", "", "CASHCHK", "1001"},
      {"C", "F", "T", "", "1001", "1002"},
      {"S", "F", "F", "", "1001", "1002"},
      {"S", "F", "F", "T-55", "T-55", "1001"},  // a number typed for the sale is kept
  };
  std::set<std::string> links;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + c.noSaleAdvances + c.cashCheckAdvances + c.typed);
    Exec("DELETE FROM KVTPOS1");
    Exec("UPDATE KVTPOS10 SET NEXTSLNUM = '1001'");
    KVTSetSetting(CFG_NOSALEADVSALENUMBER, c.noSaleAdvances);
    KVTSetSetting(CFG_CASHCHKGADVSALENUMBER, c.cashCheckAdvances);
    StartNewSale(*dlg);
    dlg->SetFieldVar(IDC_INVOICENUM, c.typed);
    ASSERT_TRUE(Save(c.type, "C"));
    std::string link = Field(IDC_INVOICELNK);
    links.insert(link);
    EXPECT_EQ(Field(IDC_INVOICENUM), c.number);
    EXPECT_EQ(db().Value("SELECT INVOICENUM FROM KVTPOS1 WHERE INVOICELNK = '" + link + "'"),
              c.number);
    EXPECT_EQ(db().Value("SELECT TRANSTYPE FROM KVTPOS1 WHERE INVOICELNK = '" + link + "'"),
              c.type);
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), c.counterAfter);
  }
  EXPECT_EQ(links.size(), 6u);  // every save took a link of its own
  EXPECT_TRUE(user.Messages().empty());
}

TEST_P(SaleHeader, HoldsEveryValueWithTheCardMaskedAndNoExpiry) {
  struct Card {
    const char* typed;
    const char* stored;
  } cards[] = {
      {"4111111111111111", "************1111"},
      {"12345", "*2345"},
      {"1234", "1234"},
      {"", ""},
  };
  for (const Card& card : cards) {
    SCOPED_TRACE(card.typed);
    StartNewSale(*dlg);
    dlg->SetFieldVar(IDC_DTOFBRTH, "01011980");
    char number[81], expiry[81] = "1227";
    std::strcpy(number, card.typed);
    ASSERT_TRUE(dlg->SaveOrder("S", "C", "C100", "Ann O'Neil", "20.00", "", "", "", "", "", "", "",
                               "", "19.26", "20.00", "C", "18.00", "3.00", "", "0.74", "", "",
                               number, expiry, "VISA", "AUTH1", "PO-7", "", "", "1.26", "01011980",
                               "FP1", "FP2", "FP3", "FP4", "FP5", "FP6", "FP7", "FP8", "FP9",
                               "FP10", "FP11", "FP12", "FP13", "CR", "GCA", "GCP", "GCT", "GCN",
                               "12312027", "GCAUTH", "1.3500", "26.00"));
    EXPECT_STREQ(number, card.stored);  // the caller's buffers too
    EXPECT_STREQ(expiry, "");
    Rows rows = db().Rows(
        "SELECT INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,TRANSTYPE,STATUS,"
        "CUSTREF,CUSTNAME,CASHAMT,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,CHANGE,CCNUMBER,"
        "CCEXPDATE,CCTYPE,CCAUTHNUM,PO,INVOICELNK,SALEDATE,TAXAMT,DOB,FPAMT,FPACCNUM,CREDITRET,"
        "GFTCRDAMT,GCNUMBER,GCEXPDATE,GCAUTHNUM,CANEXCHG,CANAMT FROM KVTPOS1 WHERE INVOICELNK = '" +
        Field(IDC_INVOICELNK) + "'");
    ASSERT_EQ(rows.size(), 1u);
    const std::vector<std::string>& h = rows[0];
    char recno[32];
    std::snprintf(recno, sizeof recno, "%.0f", dlg->Data.RECNO);
    EXPECT_EQ(h[0], Field(IDC_INVOICENUM));
    EXPECT_EQ(h[1], recno);
    EXPECT_GT(dlg->Data.RECNO, 0);
    EXPECT_EQ(h[2], "03/15/2024");  // the shift's date
    EXPECT_TRUE(std::regex_match(h[3], std::regex("[ 12][0-9]:[0-5][0-9]:[0-5][0-9]"))) << h[3];
    EXPECT_EQ(std::vector<std::string>(h.begin() + 4, h.begin() + 19),
              (std::vector<std::string>{"1", "100", "MAIN", "1", "S", "C", "C100", "Ann O'Neil",
                                        "20.00", "19.26", "20.00", "1", "18.00", "3.00", "0.74"}));
    EXPECT_EQ(h[19], card.stored);
    EXPECT_EQ(h[20], "");  // the expiry is never stored
    EXPECT_EQ(std::vector<std::string>(h.begin() + 21, h.end()),
              (std::vector<std::string>{"VISA", "AUTH1", "PO-7", Field(IDC_INVOICELNK),
                                        "03/15/2024", "1.26", "01011980", "FP1", "FP13", "CR",
                                        "GCA", "GCN", "12/31/2027", "GCAUTH", "1.3500", "26.00"}));
  }
}

KVT_ON_BOTH_BACKENDS(SaleHeader);

// ---- Lines, stock and history ------------------------------------------------

class SaleLines : public SaveTest {
 protected:
  void RingUp() {
    for (const char* item : {"HX", "FEED50", "SEED"}) AddStock(item, "100");
    for (const char* category : {"HDWR", "FARM", "FARMNT", "FEED", "PAID"}) AddCategory(category);
    // Columns: ref, descr, qty, price, amount, fs, taxable, recno, till code,
    // location, category, cost, non-tax category, inventory ref.
    AddSaleLine(*dlg,
                {"HX", "Hex bolt", "2", "2.50", "5.00", "Y", "Y", "9001", "", "01", "HDWR", "40%"});
    AddSaleLine(*dlg, {"SEED", "Seed", "1", "3.00", "3.00", "N", "N", "9002", "", "01", "FARM",
                       "1.10", "FARMNT"});
    AddSaleLine(*dlg, {"SEED", "Seed", "1", "3.00", "3.00", "N", "Y", "9003", "", "01", "FARM",
                       "1.10", "FARMNT"});
    AddSaleLine(*dlg, {"TC1", "Feed bag", "1", "12.00", "12.00", "N", "N", "9004", "TC1", "01",
                       "FEED", "", "", "FEED50"});
    AddSaleLine(*dlg, {"TC2", "Misc", "1", "4.00", "4.00", "N", "N", "9005", "TC2", "01", "FEED"});
    AddSaleLine(*dlg, {"HX", "Hex bolt", "3", "2.50", "VOID", "N", "Y", "9006", "", "01", "HDWR"});
    // The paid-on-account line has no reference.
    AddSaleLine(*dlg,
                {"", "Paid on account", "1", "50.00", "50.00", "N", "N", "9007", "", "01", "PAID"});
  }
  // INVREF FOODSTAMPS TAXABLE CATEGORY COST ITEMLNK of each line, by RECNO.
  Rows Lines() {
    return db().Rows(
        "SELECT INVREF,FOODSTAMPS,TAXABLE,CATEGORY,COST,ITEMLNK,INVOICENUM,INVOICELNK FROM KVTPOS2 "
        "ORDER BY RECNO");
  }
};

TEST_P(SaleLines, AFinishedSaleSellsTillCodeItemsNonTaxCategoriesAndMovesStockAndHistory) {
  RingUp();
  ASSERT_TRUE(Save("S", "C"));
  std::string num = Field(IDC_INVOICENUM), link = Field(IDC_INVOICELNK);
  EXPECT_EQ(Lines(), (Rows{
                         {"HX", "1", "1", "HDWR", "1.00", "9001", num, link},  // 40% of 2.50
                         {"SEED", "0", "0", "FARMNT", "1.10", "9002", num, link},
                         {"SEED", "0", "1", "FARM", "1.10", "9003", num, link},
                         {"FEED50", "0", "0", "FEED", "", "9004", num, link},
                         {"", "0", "0", "FEED", "", "9005", num, link},
                         {"HX", "0", "1", "HDWR", "", "9006", num, link},
                         {"", "0", "0", "PAID", "", "9007", num, link},
                     }));
  EXPECT_EQ(Qoh("HX"), "98.000");  // the voided line moves nothing
  EXPECT_EQ(Qoh("SEED"), "98.000");
  EXPECT_EQ(Qoh("FEED50"), "99.000");
  EXPECT_EQ(db().Value("SELECT LASTSALE FROM KVTINV2 WHERE REFERENCE = 'HX'"), "03/15/2024");
  EXPECT_EQ(History("HDWR"), "2.000 5.00 2.000 5.00 2.000 5.00");
  EXPECT_EQ(History("FARMNT"), "1.000 3.00 1.000 3.00 1.000 3.00");
  EXPECT_EQ(History("FARM"), "1.000 3.00 1.000 3.00 1.000 3.00");
  EXPECT_EQ(History("FEED"), "2.000 16.00 2.000 16.00 2.000 16.00");
  EXPECT_EQ(History("PAID"), "0.000 0.00 0.000 0.00 0.000 0.00");  // payments are not sales
  EXPECT_TRUE(user.Messages().empty()) << MessageTexts()[0];
}

TEST_P(SaleLines, ASuspendedSaleKeepsItsLinesAsRungUpAndMovesNothing) {
  RingUp();
  ASSERT_TRUE(Save("S", "S"));
  Rows lines = Lines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1][3], "FARM");  // no non-tax category
  EXPECT_EQ(lines[3][0], "TC1");   // the till code, not its item
  EXPECT_EQ(lines[4][0], "TC2");
  EXPECT_EQ(lines[0][4], "1.00");  // the cost is still worked out
  EXPECT_EQ(Qoh("HX"), "100");
  EXPECT_EQ(Qoh("FEED50"), "100");
  EXPECT_EQ(History("HDWR"), "0.000 0.00 0.000 0.00 0.000 0.00");
}

TEST_P(SaleLines, StockAndHistoryFollowTheSettings) {
  struct Case {
    const char* useInventory;
    const char* updateQoh;
    const char* useCStore;
    const char* qoh;
    const char* history;
  } cases[] = {
      {"T", "T", "F", "98.000", "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"F", "T", "F", "100", "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"T", "F", "F", "100", "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"T", "T", "T", "98.000", "0.000 0.00 0.000 0.00 0.000 0.00"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.useInventory) + c.updateQoh + c.useCStore);
    Exec("DELETE FROM KVTINV2");
    Exec("DELETE FROM KVTCOM12");
    AddStock("HX", "100");
    AddCategory("HDWR");
    KVTSetSetting(CFG_USEINVENTORY, c.useInventory);
    KVTSetSetting(CFG_UPDATEQOH, c.updateQoh);
    KVTSetSetting(CFG_USECSTORE, c.useCStore);
    StartNewSale(*dlg);
    AddSaleLine(*dlg, {"HX", "", "2", "2.50", "5.00", "N", "Y", "", "", "01", "HDWR"});
    ASSERT_TRUE(Save());
    EXPECT_EQ(Qoh("HX"), c.qoh);
    EXPECT_EQ(History("HDWR"), c.history);
  }
}

TEST_P(SaleLines, AReturnAddsStockBackAndAnEmptyLocationIsTheInventoryDefault) {
  AddStock("HX", "10");
  AddCategory("HDWR", "12.500", "40.00");
  AddSaleLine(*dlg, {"HX", "", "-2", "2.50", "-5.00", "N", "N", "", "", "01", "HDWR"});
  AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50", "N", "N", "", "", "", "HDWR"});
  ASSERT_TRUE(Save());
  EXPECT_EQ(Qoh("HX"), "11.000");
  EXPECT_EQ(History("HDWR"), "11.500 37.50 11.500 37.50 11.500 37.50");
  EXPECT_TRUE(user.Messages().empty()) << MessageTexts()[0];
}

TEST_P(SaleLines, AHistoryOf12Point5And2UnitsSoldHolds14Point5) {
  AddStock("HX", "10");
  AddCategory("HDWR", "12.500", "40.00");
  AddSaleLine(*dlg, {"HX", "", "2", "2.50", "5.00", "N", "N", "", "", "01", "HDWR"});
  ASSERT_TRUE(Save());
  EXPECT_EQ(db().Value("SELECT CURQTY3 FROM KVTCOM12"), "14.500");
  EXPECT_EQ(db().Value("SELECT CURDOL3 FROM KVTCOM12"), "45.00");
}

TEST_P(SaleLines, StockProblemsAreToldPerLineAndTheSaleIsStillSaved) {
  AddStock("HX", "10");
  AddSaleLine(*dlg, {"HX", "", "2", "2.50", "5.00"});
  AddSaleLine(*dlg, {"GONE", "", "1", "1.00", "1.00"});  // not stocked at 01
  ASSERT_TRUE(Save());
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{"Ref: GONE Loc: 01 Qty: 1 **Error locking item**"});
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].icon, "information");
  EXPECT_EQ(Qoh("HX"), "8.000");
  EXPECT_EQ(db().Count("KVTPOS2"), 2);
}

TEST_P(SaleLines, WithoutTheInventoryModuleEachLineSaysSoOnceAndTheSaleIsSaved) {
  host->modules.clear();
  AddStock("HX", "10");
  AddSaleLine(*dlg, {"HX", "", "2", "2.50", "5.00"});
  AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50"});
  AddSaleLine(*dlg, {"HX", "", "1", "2.50", "VOID"});
  ASSERT_TRUE(Save());
  const std::string cannotLoad =
      "Unable to load Kovatel Software Inventory. Please make sure KVTINV.DLL is correctly "
      "installed and try again.";
  EXPECT_EQ(MessageTexts(), (std::vector<std::string>{cannotLoad, cannotLoad}));
  EXPECT_EQ(db().Count("KVTPOS1"), 1);
  EXPECT_EQ(db().Count("KVTPOS2"), 3);
  EXPECT_EQ(Qoh("HX"), "10");
}

KVT_ON_BOTH_BACKENDS(SaleLines);

// ---- Taxes -------------------------------------------------------------------

class SaleTaxes : public SaveTest {};

TEST_P(SaleTaxes, RowsAreRoundedToCentsAndAddUpToTheSaleTax) {
  struct Case {
    std::vector<std::string> amounts;
    const char* total;
    std::vector<std::string> saved;
  } cases[] = {
      {{"0.333333", "0.333333", "0.333333"}, "1.00", {"0.33", "0.33", "0.34"}},
      {{"0.125000", "0.125000"}, "0.25", {"0.13", "0.12"}},
      {{"0.750750", ""}, "0.75", {"0.75", "0.00"}},
      {{"0.200000", "0.300000"}, "0.50", {"0.20", "0.30"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.total);
    StartNewSale(*dlg);
    for (const std::string& amount : c.amounts) {
      std::string link = AddSaleLine(*dlg, {"HX", "", "1", "3.33", "3.33", "N", "Y"});
      AddTaxRow(*dlg, {"ST", "10.000", amount, link});
    }
    taxTotal = c.total;
    ASSERT_TRUE(Save());
    std::string link = Field(IDC_INVOICELNK);
    Rows rows = db().Rows(
        "SELECT TAXAMT, TAXCODE, TAXRATE, INVOICENUM, ITEMLNK FROM KVTPOS3 WHERE INVOICELNK = '" +
        link + "' ORDER BY RECNO");
    ASSERT_EQ(rows.size(), c.saved.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      EXPECT_EQ(rows[i][0], c.saved[i]) << "row " << i;
      EXPECT_EQ(rows[i][1], "ST");
      EXPECT_EQ(rows[i][2], "10.000");
      EXPECT_EQ(rows[i][3], Field(IDC_INVOICENUM));
      EXPECT_EQ(rows[i][4], dlg->TaxGrid().GetCell(TAXCOL_ITEMLINK, static_cast<int>(i)));
    }
  }
  EXPECT_EQ(db().Value("SELECT COUNT(DISTINCT RECNO) FROM KVTPOS3"),
            std::to_string(db().Count("KVTPOS3")));
}

TEST_P(SaleTaxes, APaymentOnAccountWritesNoTaxRows) {
  std::string link = AddSaleLine(*dlg, {"", "", "1", "50.00", "50.00", "N", "Y"});
  AddTaxRow(*dlg, {"ST", "10.000", "5.000000", link});
  taxTotal = "5.00";
  ASSERT_TRUE(Save("P", "C"));
  EXPECT_EQ(db().Count("KVTPOS1"), 1);
  EXPECT_EQ(db().Count("KVTPOS3"), 0);
}

KVT_ON_BOTH_BACKENDS(SaleTaxes);

// ---- Saving again, and failures ------------------------------------------------

class SaleSaving : public SaveTest {};

TEST_P(SaleSaving, ASuspendedSaleCompletedLaterKeepsItsNumberAndReplacesLinesAndTaxes) {
  AddStock("HX", "10");
  std::string first = AddSaleLine(*dlg, {"HX", "", "2", "2.50", "5.00", "N", "Y"});
  std::string second = AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50", "N", "Y"});
  AddTaxRow(*dlg, {"ST", "10.000", "0.500000", first});
  AddTaxRow(*dlg, {"ST", "10.000", "0.250000", second});
  taxTotal = "0.75";
  ASSERT_TRUE(Save("S", "S"));
  std::string num = Field(IDC_INVOICENUM), link = Field(IDC_INVOICELNK);
  double recno = dlg->Data.RECNO;
  EXPECT_EQ(Qoh("HX"), "10");

  // The second line is taken off before the sale is paid.
  dlg->SaleGrid().DeleteRow(1);
  dlg->TaxGrid().DeleteRow(1);
  taxTotal = "0.50";
  PVpos1Dlg::SaleTexts texts;
  texts.taxAmt = taxTotal;
  texts.pymtMethod = "C";
  texts.ccNumber = "4111111111111111";
  ASSERT_TRUE(dlg->SaveOrder("S", "C", texts));
  EXPECT_EQ(Field(IDC_INVOICENUM), num);
  EXPECT_EQ(Field(IDC_INVOICELNK), link);
  EXPECT_EQ(dlg->Data.RECNO, recno);
  EXPECT_EQ(db().Rows("SELECT INVOICENUM, STATUS, PYMTMETHOD, CCNUMBER FROM KVTPOS1"),
            (Rows{{num, "C", "C", "************1111"}}));
  EXPECT_EQ(db().Rows("SELECT ITEMLNK FROM KVTPOS2"), (Rows{{first}}));
  EXPECT_EQ(db().Rows("SELECT TAXAMT, ITEMLNK FROM KVTPOS3"), (Rows{{"0.50", first}}));
  EXPECT_EQ(Qoh("HX"), "8.000");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1002");
}

TEST_P(SaleSaving, AFailedThirdLineLeavesNothingAndTheSaleCanBeSavedAgain) {
  AddStock("HX", "10");
  AddCategory("HDWR", "1.000", "1.00");
  // Another sale's line already holds record number 9003.
  ASSERT_TRUE(db().Add("KVTPOS2", {{"RECNO", "9003"}, {"INVOICELNK", "77Z"}}));
  for (const char* recno : {"9001", "9002", "9003"}) {
    std::string link =
        AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50", "N", "Y", recno, "", "01", "HDWR"});
    AddTaxRow(*dlg, {"ST", "10.000", "0.250000", link});
  }
  taxTotal = "0.75";
  EXPECT_FALSE(Save());
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{std::string("Error occurred inserting KVTPOS2 record.") +
                                     kNotSaved});
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].icon, "stop");
  EXPECT_EQ(db().Count("KVTPOS1"), 0);
  EXPECT_EQ(db().Count("KVTPOS2"), 1);
  EXPECT_EQ(db().Count("KVTPOS3"), 0);
  EXPECT_EQ(Qoh("HX"), "10");
  EXPECT_EQ(History("HDWR"), "1.000 1.00 1.000 1.00 1.000 1.00");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1001");
  // The screen keeps what the save gave the sale ...
  std::string num = Field(IDC_INVOICENUM), link = Field(IDC_INVOICELNK);
  EXPECT_EQ(num, "1001");
  EXPECT_EQ(link, "501A");

  // ... and saving again once the line is put right writes the whole sale under them.
  user.Reset();
  dlg->SaleGrid().SetCell(COL_RECNO, 2, "9004");
  dlg->TaxGrid().SetCell(TAXCOL_ITEMLINK, 2, "9004");
  ASSERT_TRUE(Save());
  EXPECT_EQ(db().Rows("SELECT INVOICENUM, INVOICELNK FROM KVTPOS1"), (Rows{{num, link}}));
  EXPECT_EQ(db().Count("KVTPOS2", "INVOICELNK = '501A'"), 3);
  EXPECT_EQ(db().Count("KVTPOS3", "INVOICELNK = '501A'"), 3);
  EXPECT_EQ(Qoh("HX"), "7.000");
  EXPECT_TRUE(user.Messages().empty());
}

TEST_P(SaleSaving, EveryFailingStepCancelsTheWholeSale) {
  struct Case {
    const char* failing;  // the statement that fails, or "COMMIT"
    const char* perStore;
    std::string message;
  } cases[] = {
      {"INSERT INTO KVTPOS1", "F", "Error occurred inserting KVTPOS1 record."},
      {"INSERT INTO KVTPOS3", "F", "Error occurred inserting KVTPOS3 record."},
      {"DELETE FROM KVTPOS2", "F", "Error occurred deleting KVTPOS2 records."},
      {"UPDATE KVTCOM13 SET NEXTSLNUM", "T", "Error occurred updating the sale number counter."},
      {"SELECT NEXTSLLNK", "F", "Error occurred reading the sale link counter."},
      {"COMMIT", "F", "Error occurred saving this sale."},
  };
  AddStock("HX", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    user.Reset();
    StartNewSale(*dlg);
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = '") + c.perStore + "'");
    std::string link = AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50", "N", "Y"});
    AddTaxRow(*dlg, {"ST", "10.000", "0.250000", link});
    taxTotal = "0.25";
    if (std::strcmp(c.failing, "COMMIT") == 0)
      KVTSqlFailNextCommit();
    else
      KVTSqlFailStatements(c.failing);
    EXPECT_FALSE(Save());
    KVTSqlClearFaults();
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message + kNotSaved});
    EXPECT_EQ(db().Count("KVTPOS1") + db().Count("KVTPOS2") + db().Count("KVTPOS3"), 0);
    EXPECT_EQ(Qoh("HX"), "10");
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1001");
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), "7001");
  }
}

TEST_P(SaleSaving, AFailedHeaderUpdateKeepsTheSaleAsItWas) {
  AddSaleLine(*dlg, {"HX", "", "1", "2.50", "2.50"});
  ASSERT_TRUE(Save("S", "S"));
  KVTSqlFailStatements("UPDATE KVTPOS1");
  EXPECT_FALSE(Save("S", "C"));
  EXPECT_EQ(MessageTexts(),
            std::vector<std::string>{
                "Error occurred updating KVTPOS1 record.\nThis sale has not been updated!"});
  EXPECT_EQ(db().Value("SELECT STATUS FROM KVTPOS1"), "S");
  EXPECT_EQ(db().Count("KVTPOS2"), 1);
}

KVT_ON_BOTH_BACKENDS(SaleSaving);

}  // namespace
