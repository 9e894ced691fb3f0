// The sale writer: numbers and links from the shared counters, the header,
// lines and taxes in one transaction, stock and category history, and the
// failures that leave nothing behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/sale/save_fixture.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;
using kvt::sale::ComposeLink;

const char* kNotSaved = "This sale has not been saved!";

TEST(SaleLink, IsTheNumberAndTheInstanceIdInTenCharacters) {
  // clang-format off
  struct Case { const char* number; const char* id; const char* link; } cases[] = {
      {"123", "B", "123B"}, {"1", "A", "1A"}, {"999999999", "A", "999999999A"},
      {"1000000000", "A", "A000000000"}, {"1234567890", "AB", "AB34567890"}, {"77", "", "77"},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(ComposeLink(c.number, c.id), c.link) << c.number << c.id;
}

// ---- Numbering -------------------------------------------------------------

class SaleNumbers : public SaveTest {};

TEST_P(SaleNumbers, ComeFromTheStoreOrTheConfigurationCounterAndMoveItOn) {
  // clang-format off
  struct Case { const char* perStore; const char* config; const char* store; const char* number;
                const char* configAfter; const char* storeAfter; } cases[] = {
      {"F", "''",     "'7001'", "1",   "2",    "7001"},  // an empty counter starts at 1
      {"F", "NULL",   "'7001'", "1",   "2",    "7001"},  // as does one never set
      {"F", "'123'",  "'7001'", "123", "124",  "7001"},
      {"F", "' 88 '", "'7001'", "88",  "89",   "7001"},  // blanks around the number
      {"T", "'1001'", "''",     "1",   "1001", "2"},
      {"T", "'1001'", "'41'",   "41",  "1001", "42"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.perStore) + " " + c.config + " " + c.store);
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = '") + c.perStore +
         "', NEXTSLNUM = " + c.config);
    Exec(std::string("UPDATE KVTCOM13 SET NEXTSLNUM = ") + c.store);
    EXPECT_EQ(writer->NextSaleNumber(" MAIN "), c.number) << writer->error();
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), c.configAfter);
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), c.storeAfter);
  }
}

TEST_P(SaleNumbers, SkipNumbersAndLinksThatSavedSalesUse) {
  Add("KVTPOS1", {{"INVOICENUM", "1001"}, {"INVOICELNK", "501A"}});
  Add("KVTPOS1", {{"INVOICENUM", "1002"}, {"INVOICELNK", "502A"}});
  EXPECT_EQ(writer->NextSaleNumber("MAIN"), "1003");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1004");
  EXPECT_EQ(writer->NextSaleLink("A"), "503A");
  EXPECT_EQ(db().Value("SELECT NEXTSLLNK FROM KVTPOS10"), "504");
}

TEST_P(SaleNumbers, WithoutACounterRowTheSaveFailsAndSaysWhy) {
  // clang-format off
  struct Case { const char* perStore; const char* missing; const char* typedNumber; std::string message; } cases[] = {
      {"T", "KVTCOM13", "",    "No sale number counter was found for store MAIN."},
      {"F", "KVTPOS10", "",    "No sale number counter was found for the point of sale configuration."},
      {"F", "KVTPOS10", "T-9", "No sale link counter was found for the point of sale configuration."},
  };
  // clang-format on
  AddStock("HX", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = '") + c.perStore + "'");
    Exec(std::string("DELETE FROM ") + c.missing);
    NewSale();
    header.invoiceNum = c.typedNumber;
    lines = {SoldLine("HX", "1", "2.50", "2.50")};
    EXPECT_FALSE(Save());
    EXPECT_EQ(Notices(), std::vector<std::string>{c.message + "\n" + kNotSaved});
    EXPECT_EQ(db().Count("KVTPOS1") + db().Count("KVTPOS2"), 0);
    EXPECT_EQ(Qoh("HX"), "10");
  }
}

TEST_P(SaleNumbers, NoSaleAndCheckCashingTakeASaleNumberOnlyWhenConfigured) {
  // clang-format off
  struct Case { const char* type; const char* noSaleTakes; const char* cashCheckTakes; const char* typed;
                const char* number; const char* counterAfter; } cases[] = {
      {"N", "F", "F", "",     "NS",      "1001"}, {"N", "T", "F", "", "1001", "1002"},
      {"C", "F", "F", "",     "CASHCHK", "1001"}, {"C", "F", "T", "", "1001", "1002"},
      {"S", "F", "F", "",     "1001",    "1002"},
      {"S", "F", "F", " T-55 ", "T-55",  "1001"},  // a number typed for the sale is kept
  };
  // clang-format on
  std::set<std::string> links;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + c.noSaleTakes + c.cashCheckTakes + c.typed);
    Exec("DELETE FROM KVTPOS1");
    Exec("UPDATE KVTPOS10 SET NEXTSLNUM = '1001'");
    KVTSetSetting(CFG_NOSALEADVSALENUMBER, c.noSaleTakes);
    KVTSetSetting(CFG_CASHCHKGADVSALENUMBER, c.cashCheckTakes);
    NewSale();
    header.invoiceNum = c.typed;
    ASSERT_TRUE(Save(c.type, "C")) << Notices()[0];
    links.insert(header.invoiceLnk);
    EXPECT_EQ(header.invoiceNum, c.number);
    EXPECT_EQ(db().Rows("SELECT INVOICENUM, TRANSTYPE, INVOICELNK FROM KVTPOS1"),
              (Rows{{c.number, c.type, header.invoiceLnk}}));
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), c.counterAfter);
  }
  EXPECT_EQ(links.size(), 6u);  // every save took a link of its own
}

// Another till on a connection of its own, in the middle of its sale: it
// has moved counters and not committed yet. On SQLite it holds the writers'
// lock file as a till does.
class OtherTill {
 public:
  explicit OtherTill(const kvt::test::TempDatabase& db) : settings_(db.settings()) {
    if (db.folder().empty()) {
      pg_ = PQconnectdb(settings_.connInfo.c_str());
      Exec("SET search_path TO " + settings_.schema);
    } else {
      sqlite3_open(settings_.dataPath.c_str(), &lite_);
      lock_ = ::open((settings_.dataPath + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    }
  }
  ~OtherTill() {
    sqlite3_close(lite_);
    if (lock_ >= 0) ::close(lock_);
    if (pg_) PQfinish(pg_);
  }
  bool Begin(const std::string& moves) {
    if (lite_ && ::flock(lock_, LOCK_EX) != 0) return false;
    return Exec(pg_ ? "BEGIN" : "BEGIN IMMEDIATE") && Exec(moves);
  }
  // Once the other session waits for a row this till holds (PostgreSQL; on
  // SQLite after a moment, for it to reach the lock file).
  bool CommitWhenWaitedFor() {
    for (int i = 0;
         i < 500 && !(lite_ ? i == 20 : Exec("SELECT 1 FROM pg_locks WHERE NOT granted")); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    bool ok = Exec("COMMIT");
    if (lite_) ::flock(lock_, LOCK_UN);
    return ok;
  }

 private:
  // True when the statement ran (PostgreSQL: and returned a row, for a query).
  bool Exec(const std::string& sql) {
    if (lite_) return sqlite3_exec(lite_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
    PGresult* r = PQexec(pg_, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQntuples(r) > 0;
    PQclear(r);
    return ok;
  }
  KVTConnectionSettings settings_;
  sqlite3* lite_ = nullptr;
  int lock_ = -1;
  PGconn* pg_ = nullptr;
};

TEST_P(SaleNumbers, ASaleTakesFreeNumbersWithItsReadsAndSkipsTakenOnesTheLongWay) {
  // clang-format off
  struct Case { const char* number; const char* link; const char* id; const char* taken;
                const char* saved; const char* savedLink; bool longWay; } cases[] = {
      {"'1001'",       "'501'",        "A",           "",     "1001", "501A",       false},
      {"''",           "NULL",         "A",           "",     "1",    "1A",         false},
      {"' 77 '",       "'1234567890'", "AB",          "",     "77",   "AB34567890", false},
      {"'1001'",       "'501'",        "ABCDEFGHIJK", "",     "1001", "ABCDEFGHIJ", false},
      {"'1001'",       "'501'",        "A",           "1001", "1002", "501A",       true},
      {"'1001'",       "'501'",        "A",           "501A", "1001", "502A",       true},
      {"'1001\t'",    "'501'",        "A",           "",     "1001", "501A",       true},  // a tab the database keeps
  };
  // clang-format on
  AddStock("HX", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.number) + " " + c.link + " " + c.id + " " + c.taken);
    Exec("DELETE FROM KVTPOS1");
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = 'F', NEXTSLNUM = ") + c.number +
         ", NEXTSLLNK = " + c.link);
    if (*c.taken) Add("KVTPOS1", {{"INVOICENUM", c.taken}, {"INVOICELNK", c.taken}});
    NewSale();
    lines = {SoldLine("HX", "1", "2.50", "2.50")};
    std::vector<std::string> sent;
    KVTSqlTraceStatements(&sent);
    const bool saved = writer->Save(header, lines, taxes, c.id);
    KVTSqlTraceStatements(nullptr);
    ASSERT_TRUE(saved) << Notices()[0];
    EXPECT_EQ(header.invoiceNum, c.saved);
    EXPECT_EQ(header.invoiceLnk, c.savedLink);
    bool longWay = false;
    for (const std::string& s : sent) longWay = longWay || s.find("SELECT INVOICE") != s.npos;
    EXPECT_EQ(longWay, c.longWay);
  }
}

TEST_P(SaleNumbers,
       ASaleWaitsForTheCountersAnotherTillHoldsAndTakesTheNextOnesWithoutStartingOver) {
  // clang-format off
  struct Case { const char* held; const char* moves; const char* number; const char* link; } cases[] = {
      {"number", "UPDATE KVTCOM13 SET NEXTSLNUM = '7002'", "7002", "501A"},
      {"link",   "UPDATE KVTPOS10 SET NEXTSLLNK = '502'",  "7001", "502A"},
      {"both",   "UPDATE KVTPOS10 SET NEXTSLLNK = '502'; UPDATE KVTCOM13 SET NEXTSLNUM = '7002'",
                 "7002", "502A"},
  };
  // clang-format on
  Exec("UPDATE KVTPOS10 SET USESTNSNUM = 'T'");
  AddStock("HX", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.held);
    Exec("UPDATE KVTCOM13 SET NEXTSLNUM = '7001'");
    Exec("UPDATE KVTPOS10 SET NEXTSLLNK = '501'");
    Exec("DELETE FROM KVTPOS1");
    NewSale();
    lines = {SoldLine("HX", "1", "2.50", "2.50")};
    OtherTill other(db().temp());
    ASSERT_TRUE(other.Begin(c.moves));
    const kvt::sale::CounterContention before = kvt::sale::Contention();
    bool saved = false;
    std::thread till([&] { saved = Save(); });
    EXPECT_TRUE(other.CommitWhenWaitedFor());
    till.join();
    ASSERT_TRUE(saved) << Notices()[0];
    EXPECT_EQ(header.invoiceNum, c.number);
    EXPECT_EQ(header.invoiceLnk, c.link);
    EXPECT_EQ(kvt::sale::Contention().lost, before.lost);
    EXPECT_EQ(kvt::sale::Contention().startedOver, before.startedOver);
  }
}

KVT_ON_BOTH_BACKENDS(SaleNumbers);

// ---- Lines, stock and history ------------------------------------------------

class SaleLines : public SaveTest {
 protected:
  void RingUp() {
    for (const char* item : {"HX", "FEED50", "SEED"}) AddStock(item, "100");
    for (const char* category : {"HDWR", "FARM", "FARMNT", "FEED", "PAID"}) AddCategory(category);
    // clang-format off
    lines = {
        SoldLine("HX",   "2", "2.50",  "5.00",  "FT", "9001", "HDWR", "40%"),
        SoldLine("SEED", "1", "3.00",  "3.00",  "",   "9002", "FARM", "1.10", "", "01", "FARMNT"),
        SoldLine("SEED", "1", "3.00",  "3.00",  "T",  "9003", "FARM", "1.10", "", "01", "FARMNT"),
        SoldLine("TC1",  "1", "12.00", "12.00", "",   "9004", "FEED", "",     "TC1", "01", "", "FEED50"),
        SoldLine("TC2",  "1", "4.00",  "4.00",  "",   "9005", "FEED", "",     "TC2"),
        SoldLine("HX",   "3", "2.50",  "VOID",  "T",  "9006", "HDWR"),
        SoldLine("",     "1", "50.00", "50.00", "",   "9007", "PAID"),  // paid on account
    };
    // clang-format on
    taxes = {{"ST", "10.000", "0.50", "9001"}, {"ST", "10.000", "5.00", "9007"}};
  }
  // INVREF FOODSTAMPS TAXABLE CATEGORY COST ENTRYTOTAL ITEMLNK of each line, by RECNO.
  Rows Lines() {
    return db().Rows(
        "SELECT INVREF,FOODSTAMPS,TAXABLE,CATEGORY,COST,ENTRYTOTAL,ITEMLNK FROM KVTPOS2 ORDER BY "
        "RECNO");
  }
};

TEST_P(SaleLines, ASuspendedSaleMovesNothingAndOnceFinishedSellsWhatItsLinesStandFor) {
  RingUp();
  ASSERT_TRUE(Save("S", "S"));
  Rows saved = Lines();
  ASSERT_EQ(saved.size(), 7u);
  EXPECT_EQ(saved[1][3], "FARM");  // no non-tax category
  EXPECT_EQ(saved[3][0], "TC1");   // the till code, not its item
  EXPECT_EQ(saved[0][4], "1.00");  // the cost is still worked out
  EXPECT_EQ(Qoh("FEED50"), "100");
  EXPECT_EQ(History("HDWR"), "0.000 0.00 0.000 0.00 0.000 0.00");
  const kvt::sale::Header suspended = header;

  // Finished later: the payment on account is taken off first.
  lines.pop_back();
  taxes.pop_back();
  ASSERT_TRUE(Save("S", "C"));
  EXPECT_EQ(header.invoiceNum + header.invoiceLnk, suspended.invoiceNum + suspended.invoiceLnk);
  EXPECT_EQ(header.recno, suspended.recno);
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1002");
  EXPECT_EQ(Lines(), (Rows{
                         {"HX", "1", "1", "HDWR", "1.00", "5.00", "9001"},  // 40% of 2.50
                         {"SEED", "0", "0", "FARMNT", "1.10", "3.00", "9002"},
                         {"SEED", "0", "1", "FARM", "1.10", "3.00", "9003"},
                         {"FEED50", "0", "0", "FEED", "", "12.00", "9004"},
                         {"", "0", "0", "FEED", "", "4.00", "9005"},
                         {"HX", "0", "1", "HDWR", "", "VOID", "9006"},
                     }));
  EXPECT_EQ(db().Count("KVTPOS2", "INVOICENUM = '1001' AND INVOICELNK = '501A'"), 6);
  EXPECT_EQ(db().Rows("SELECT TAXAMT, ITEMLNK FROM KVTPOS3"), (Rows{{"0.50", "9001"}}));
  EXPECT_EQ(Qoh("HX"), "98.000");  // the voided line moves nothing
  EXPECT_EQ(Qoh("SEED"), "98.000");
  EXPECT_EQ(Qoh("FEED50"), "99.000");
  EXPECT_EQ(db().Value("SELECT LASTSALE FROM KVTINV2 WHERE REFERENCE = 'HX'"), "03/15/2024");
  EXPECT_EQ(History("HDWR"), "2.000 5.00 2.000 5.00 2.000 5.00");
  EXPECT_EQ(History("FARMNT"), "1.000 3.00 1.000 3.00 1.000 3.00");
  EXPECT_EQ(History("FARM"), "1.000 3.00 1.000 3.00 1.000 3.00");
  EXPECT_EQ(History("FEED"), "2.000 16.00 2.000 16.00 2.000 16.00");
  EXPECT_EQ(Notices(), std::vector<std::string>{});
}

TEST_P(SaleLines, APaymentOnAccountIsNoSaleOfItsCategoryAndHasNoTaxes) {
  AddCategory("PAID");
  AddTaxedLine("", "50.00", "5.00");
  lines[0].category = "PAID";
  ASSERT_TRUE(Save("P", "C"));
  EXPECT_EQ(db().Count("KVTPOS1") + db().Count("KVTPOS2"), 2);
  EXPECT_EQ(db().Count("KVTPOS3"), 0);
  EXPECT_EQ(History("PAID"), "0.000 0.00 0.000 0.00 0.000 0.00");
}

TEST_P(SaleLines, StockAndHistoryFollowTheSettings) {
  // clang-format off
  struct Case { const char* useInventory; const char* updateQoh; const char* useCStore; const char* qoh;
                const char* history; } cases[] = {
      {"T", "T", "F", "98.000", "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"F", "T", "F", "100",    "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"T", "F", "F", "100",    "2.000 5.00 2.000 5.00 2.000 5.00"},
      {"T", "T", "T", "98.000", "0.000 0.00 0.000 0.00 0.000 0.00"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.useInventory) + c.updateQoh + c.useCStore);
    Exec("DELETE FROM KVTINV2");
    Exec("DELETE FROM KVTCOM12");
    AddStock("HX", "100");
    AddCategory("HDWR");
    KVTSetSetting(CFG_USEINVENTORY, c.useInventory);
    KVTSetSetting(CFG_UPDATEQOH, c.updateQoh);
    KVTSetSetting(CFG_USECSTORE, c.useCStore);
    NewSale();
    lines = {SoldLine("HX", "2", "2.50", "5.00", "T", "", "HDWR")};
    ASSERT_TRUE(Save());
    EXPECT_EQ(Qoh("HX"), c.qoh);
    EXPECT_EQ(History("HDWR"), c.history);
  }
}

TEST_P(SaleLines, AReturnAddsStockBackAndAnEmptyLocationIsTheInventoryDefault) {
  AddStock("HX", "10");
  AddCategory("HDWR", "12.500", "40.00");
  lines = {SoldLine("HX", "-2", "2.50", "-5.00", "", "", "HDWR"),
           SoldLine("HX", "3", "2.50", "7.50", "", "", "HDWR", "", "", "")};
  ASSERT_TRUE(Save());
  EXPECT_EQ(Qoh("HX"), "9.000");
  EXPECT_EQ(History("HDWR"), "13.500 42.50 13.500 42.50 13.500 42.50");
  EXPECT_EQ(Notices(), std::vector<std::string>{});
}

TEST_P(SaleLines, StockProblemsAreToldPerSoldLineAndTheSaleIsStillSaved) {
  AddStock("HX", "10");
  lines = {SoldLine("HX", "2", "2.50", "5.00"), SoldLine("GONE", "1", "1.00", "1.00"),
           SoldLine("HX", "1", "2.50", "VOID")};  // GONE is not stocked at 01
  ASSERT_TRUE(Save());
  std::vector<kvt::sale::Notice> told = writer->TakeNotices();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].text, "Ref: GONE Loc: 01 Qty: 1 **Error locking item**");
  EXPECT_FALSE(told[0].stop);
  EXPECT_EQ(Qoh("HX"), "8.000");

  host->modules.clear();  // without the inventory module
  NewSale();
  lines = {SoldLine("HX", "2", "2.50", "5.00"), SoldLine("HX", "1", "2.50", "VOID"),
           SoldLine("HX", "1", "2.50", "2.50")};
  ASSERT_TRUE(Save());
  const std::string cannotLoad =
      "Unable to load Kovatel Software Inventory. Please make sure KVTINV.DLL is correctly "
      "installed and try again.";
  EXPECT_EQ(Notices(), (std::vector<std::string>{cannotLoad, cannotLoad}));
  EXPECT_EQ(db().Count("KVTPOS1"), 2);
  EXPECT_EQ(db().Count("KVTPOS2"), 6);
  EXPECT_EQ(Qoh("HX"), "8.000");
}

KVT_ON_BOTH_BACKENDS(SaleLines);

// ---- Taxes, saving again, and failures ---------------------------------------------

class SaleSaving : public SaveTest {};

TEST_P(SaleSaving, AFailedThirdLineLeavesNothingAndTheSaleCanBeSavedAgain) {
  AddStock("HX", "10");
  AddCategory("HDWR", "1.000", "1.00");
  Add("KVTPOS2", {{"RECNO", "9003"}, {"INVOICELNK", "77Z"}});  // another sale's line
  for (const char* recno : {"9001", "9002", "9003"}) {
    lines.push_back(SoldLine("HX", "1", "2.50", "2.50", "T", recno, "HDWR"));
    taxes.push_back({"ST", "10.000", "0.25", recno});
  }
  EXPECT_FALSE(Save());
  std::vector<kvt::sale::Notice> told = writer->TakeNotices();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].text.rfind("Error occurred inserting KVTPOS2 record.\n", 0), 0u)
      << told[0].text;
  EXPECT_GT(told[0].text.size(),
            std::strlen("Error occurred inserting KVTPOS2 record.\n") + std::strlen(kNotSaved) + 1)
      << "the database's message is told";
  EXPECT_TRUE(told[0].stop);
  EXPECT_EQ(db().Count("KVTPOS1") + db().Count("KVTPOS3"), 0);
  EXPECT_EQ(db().Count("KVTPOS2"), 1);
  EXPECT_EQ(Qoh("HX"), "10");
  EXPECT_EQ(History("HDWR"), "1.000 1.00 1.000 1.00 1.000 1.00");
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1001");
  // The sale keeps what the save gave it ...
  EXPECT_EQ(header.invoiceNum, "1001");
  EXPECT_EQ(header.invoiceLnk, "501A");

  // ... and saving again once the line is put right writes the whole sale under them.
  lines[2].itemLink = taxes[2].itemLink = "9004";
  ASSERT_TRUE(Save());
  EXPECT_EQ(db().Rows("SELECT INVOICENUM, INVOICELNK FROM KVTPOS1"), (Rows{{"1001", "501A"}}));
  EXPECT_EQ(db().Count("KVTPOS2", "INVOICELNK = '501A'"), 3);
  // The taxes each with a record number of their own.
  EXPECT_EQ(db().Rows("SELECT TAXCODE,TAXRATE,TAXAMT,INVOICENUM,INVOICELNK,ITEMLNK FROM KVTPOS3 "
                      "ORDER BY ITEMLNK"),
            (Rows{{"ST", "10.000", "0.25", "1001", "501A", "9001"},
                  {"ST", "10.000", "0.25", "1001", "501A", "9002"},
                  {"ST", "10.000", "0.25", "1001", "501A", "9004"}}));
  EXPECT_EQ(db().Value("SELECT COUNT(DISTINCT RECNO) FROM KVTPOS3"), "3");
  EXPECT_EQ(Qoh("HX"), "7.000");
  EXPECT_EQ(Notices(), std::vector<std::string>{});
}

TEST_P(SaleSaving, EveryFailingStepCancelsTheWholeSale) {
  // clang-format off
  struct Case { const char* failing; const char* perStore; std::string message; } cases[] = {  // "COMMIT": the commit
      {"INSERT INTO KVTPOS1",           "F", "Error occurred inserting KVTPOS1 record."},
      {"INSERT INTO KVTPOS2",           "F", "Error occurred inserting KVTPOS2 record."},
      {"INSERT INTO KVTPOS3",           "F", "Error occurred inserting KVTPOS3 record."},
      {"DELETE FROM KVTPOS2",           "F", "Error occurred deleting KVTPOS2 records."},
      {"DELETE FROM KVTPOS3",           "F", "Error occurred inserting KVTPOS3 record."},
      {"SELECT USESTNSNUM",             "F", "Error occurred reading the point of sale configuration."},
      {"UPDATE KVTCOM13 SET NEXTSLNUM", "T", "Error occurred updating the sale number counter."},
      {"SELECT NEXTSLNUM FROM KVTCOM13", "T", "Error occurred reading the sale number counter."},
      {"FROM KVTPOS1 WHERE INVOICENUM",  "F", "Error occurred checking the sale number against the saved sales."},
      {"UPDATE KVTPOS10 SET NEXTSLLNK",  "F", "Error occurred updating the sale link counter."},
      {"SELECT NEXTSLLNK",              "F", "Error occurred reading the sale link counter."},
      {"COMMIT",                        "F", "Error occurred saving this sale."},
  };
  // clang-format on
  AddStock("HX", "10");
  AddCategory("HDWR");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failing);
    NewSale();
    Exec(std::string("UPDATE KVTPOS10 SET USESTNSNUM = '") + c.perStore + "'");
    lines = {SoldLine("HX", "1", "2.50", "2.50", "T", "", "HDWR")};
    taxes = {{"ST", "10.000", "0.25", lines[0].itemLink}};
    if (std::strcmp(c.failing, "COMMIT") == 0)
      KVTSqlFailNextCommit();
    else
      KVTSqlFailStatements(c.failing);
    EXPECT_FALSE(Save());
    KVTSqlClearFaults();
    std::vector<std::string> told = Notices();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].substr(0, c.message.size() + 1), c.message + "\n");
    EXPECT_NE(told[0].find("injected failure"), std::string::npos) << told[0];
    EXPECT_EQ(told[0].substr(told[0].size() - std::strlen(kNotSaved)), kNotSaved);
    EXPECT_EQ(db().Count("KVTPOS1") + db().Count("KVTPOS2") + db().Count("KVTPOS3"), 0);
    EXPECT_EQ(Qoh("HX"), "10");
    EXPECT_EQ(History("HDWR"), "0.000 0.00 0.000 0.00 0.000 0.00");
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), "1001");
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), "7001");
  }
}

TEST_P(SaleSaving, AFailedHeaderUpdateKeepsTheSaleAsItWas) {
  lines = {SoldLine("HX", "1", "2.50", "2.50")};
  ASSERT_TRUE(Save("S", "S"));
  KVTSqlFailStatements("UPDATE KVTPOS1");
  EXPECT_FALSE(Save("S", "C"));
  std::vector<std::string> told = Notices();
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind("Error occurred updating KVTPOS1 record.\ninjected failure", 0), 0u);
  EXPECT_EQ(told[0].substr(told[0].rfind('\n')), "\nThis sale has not been updated!");
  EXPECT_EQ(db().Value("SELECT STATUS FROM KVTPOS1"), "S");
  EXPECT_EQ(db().Count("KVTPOS2"), 1);
}

TEST_P(SaleSaving, ACommitThatLostItsAnswerIsLookedUpBeforeTheCashierIsTold) {
  const std::string away = "The database is not available: ";
  const std::string unknown = "Whether this sale was saved is not known yet.";
  // clang-format off
  struct Case { bool kept, stayAway; bool saved; std::string told; } cases[] = {
      {true,  false, true,  ""},          // committed, only the answer was lost
      {false, false, false, kNotSaved},   // rolled back: not saved, said plainly
      {true,  true,  false, unknown},     // cannot be looked up yet: said so
      {false, true,  false, unknown},
  };
  // clang-format on
  AddStock("HX", "10");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kept ? "kept" : "rolled back") + (c.stayAway ? ", away" : ""));
    Exec("DELETE FROM KVTPOS1");
    Exec("UPDATE KVTINV2 SET QTYONHAND = '10'");
    NewSale();
    lines = {SoldLine("HX", "1", "2.50", "2.50", "T")};
    taxes = {{"ST", "10.000", "0.25", lines[0].itemLink}};
    KVTSqlLoseConnectionAtCommit(c.kept, c.stayAway);
    EXPECT_EQ(Save(), c.saved);
    std::vector<std::string> told = Notices();
    if (c.told.empty()) {
      EXPECT_EQ(told, std::vector<std::string>{});
    } else {
      ASSERT_EQ(told.size(), 1u);
      EXPECT_EQ(told[0].rfind(away, 0), 0u) << told[0];
      EXPECT_NE(told[0].find(c.told), std::string::npos) << told[0];
    }
    KVTSqlClearFaults();
    // Saved again once the database is back, the sale is there once, its
    // stock moved once.
    if (!c.saved) {
      EXPECT_TRUE(Save());
      EXPECT_EQ(Notices(), std::vector<std::string>{});
    }
    EXPECT_EQ(db().Count("KVTPOS1"), 1);
    EXPECT_EQ(db().Count("KVTPOS2", "INVOICELNK = '" + header.invoiceLnk + "'"), 1);
    EXPECT_EQ(Qoh("HX"), "9.000");
  }
}

KVT_ON_BOTH_BACKENDS(SaleSaving);

}  // namespace
