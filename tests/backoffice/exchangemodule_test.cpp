// Files between till and office through the transfer module: sales out,
// master data in, each file imported once and then archived.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/exchange.h"
#include "backoffice/exchangecalls.h"
#include "backoffice/expdatadlg.h"
#include "backoffice/impdatadlg.h"
#include "backoffice/impsalesdlg.h"
#include "backoffice/transfer.h"
#include "backoffice/transfers.h"
#include "platform/forms/headless/headless.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "shell/imports.h"
#include "shell/screens.h"
#include "suite/host/host.h"
#include "tests/support/files.h"
#include "tests/support/till.h"

namespace fs = std::filesystem;

namespace {

class ExchangeModule : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    fs::create_directories(exchange);
    ASSERT_TRUE(
        WritePrivateProfileString("KVTCTM", "ArchivePath", archive.c_str(), "kvtlocal.ini"));
    Till(db());
    for (const char* link : {"1A", "2A"})
      Add({std::string("KVTPOS1 STORE=MAIN TILLREF=1 SHIFT=A INVDATE=10/20/2002 STATUS=C "
                       "INVCTOTAL=5.00 INVOICENUM=") +
           link + " INVOICELNK=" + link});
    Add({"KVTPOS2 INVOICELNK=1A INVREF=FEED"});
  }
  void TearDown() override {
    WritePrivateProfileString("KVTCTM", nullptr, nullptr, "kvtlocal.ini");
    office.reset();
    TillTest::TearDown();
  }
  void Till(kvt::test::TestDatabase& d) {
    ASSERT_TRUE(d.Add("KVTCOM14", {{"STOREREF", "MAIN"},
                                   {"TILLNUM", "1"},
                                   {"CONTYPE", "F"},
                                   {"CONPATH", exchange},
                                   {"TRNST", "T"}}))
        << d.error();
  }
  // A second database: the office, or a brand-new till.
  void OpenOffice() {
    std::string reason;
    office = kvt::test::TestDatabase::Create(GetParam(), &reason);
    ASSERT_TRUE(office) << reason;
  }
  void Export() {
    std::string error;
    ASSERT_TRUE(DoKVTPOSDirectAcquire(host->MainWindow(), kSales, &error)) << error;
  }
  const std::string kSales =
      KVTTransfers::DirectTransferData("10202002", "MAIN", "", "1", "", false, "T", "F", "F");
  // The till's sales files in `where`, or its update files.
  std::vector<KVTExchangeFile> Listed(const std::string& where, bool sales = true) {
    std::vector<KVTExchangeFile> files;
    std::string error;
    const std::string prefix =
        sales ? KVTExchange::SalesPrefix("MAIN", "1") : KVTExchange::UpdatePrefix("MAIN", "1");
    EXPECT_TRUE(KVTExchange::ListFiles(where, prefix, sales, &files, &error)) << error;
    return files;
  }

  std::unique_ptr<kvt::test::TestDatabase> office;
  kvt::test::ScratchDir dir;
  const std::string exchange = dir.path() + "/exchange/", archive = dir.path() + "/archive/";
};

TEST_P(ExchangeModule, TillExportsOfficeImportsOnceAndArchives) {
  ASSERT_NO_FATAL_FAILURE(Export());
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSNUM LIKE 'E%'"), 2);
  EXPECT_EQ(db().Count("KVTCTMST"), 0) << "nothing posted at the till";
  // Exported sales are not exported again.
  std::string error;
  EXPECT_FALSE(DoKVTPOSDirectAcquire(host->MainWindow(), kSales, &error));
  EXPECT_NE(error.find("no sales to export"), std::string::npos) << error;

  std::string where;
  ASSERT_TRUE(bDoKVTPOSGetTransferDirectory(host->MainWindow(), "MAIN", "1", &where, &error))
      << error;
  EXPECT_EQ(where, exchange);
  EXPECT_FALSE(bDoKVTPOSGetTransferDirectory(host->MainWindow(), "MAIN", "9", &where, &error));
  EXPECT_EQ(error, "Store MAIN Till 9 is not set up.");

  ASSERT_NO_FATAL_FAILURE(OpenOffice());
  Till(*office);
  std::vector<KVTExchangeFile> files = Listed(exchange);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].shift, "ALL");
  KVTImportOptions options;
  ASSERT_TRUE(bDoKVTPOSImportSalesInformation(host->MainWindow(), files[0].path + files[0].fileName,
                                              options, false, &error))
      << error;
  EXPECT_EQ(office->Count("KVTPOS1", "TRANSNUM = '' OR TRANSNUM IS NULL"), 2);
  EXPECT_EQ(office->Count("KVTPOS2"), 1);
  EXPECT_TRUE(Listed(exchange).empty()) << "an imported file leaves the exchange directory";
  std::string archived;
  ASSERT_TRUE(bDoKVTPOSGetArchiveDirectory(host->MainWindow(), &archived, &error)) << error;
  files = Listed(archived);
  ASSERT_EQ(files.size(), 1u);

  // Again from the archive: nothing doubles and the file stays.
  ASSERT_TRUE(bDoKVTPOSImportSalesInformation(host->MainWindow(), files[0].path + files[0].fileName,
                                              options, true, &error))
      << error;
  EXPECT_EQ(office->Count("KVTPOS1"), 2);
  EXPECT_EQ(office->Count("KVTPOS2"), 1);
  EXPECT_EQ(Listed(archived).size(), 1u);

  EXPECT_FALSE(bDoKVTPOSImportSalesInformation(host->MainWindow(), exchange + "gone.ZIP", options,
                                               false, &error));
  EXPECT_NE(error.find("gone.ZIP"), std::string::npos) << error;
  EXPECT_EQ(office->Count("KVTPOS1"), 2);
}

TEST_P(ExchangeModule, ImportSalesScreenTakesTheOneFileOfTheDefaultTill) {
  ASSERT_NO_FATAL_FAILURE(Export());
  ASSERT_NO_FATAL_FAILURE(OpenOffice());
  Till(*office);
  ASSERT_TRUE(office->Add("KVTCOM13", {{"REFERENCE", "MAIN"}}));
  ASSERT_TRUE(office->Add("KVTCOM14", {{"STOREREF", "MAIN"}, {"TILLNUM", "2"}, {"CONTYPE", "D"}}));
  KVTSetSetting(DEFAULT_STORE, "MAIN");
  KVTSetSetting(DEFAULT_TILLREF, "1");
  using S = KVTImportSalesForm;
  auto* s = new PVimpsalesDlg(host->MainWindow());
  ASSERT_TRUE(s->Create());
  EXPECT_FALSE(s->IsFieldVisible(S::IDC_STORE)) << "the criteria are the defaults";
  TDataTbl* grid = s->Grid(S::IDC_GRID);
  ASSERT_EQ(grid->GetRowCount(), 1);
  EXPECT_EQ(grid->GetCell(S::COL_DATE, 0), "10/20/2002");
  EXPECT_EQ(grid->GetCell(S::COL_SHIFT, 0), "ALL");
  EXPECT_EQ(grid->GetCell(S::COL_FILE, 0), "ST-MAIN-1-__-10202002.ZIP");
  EXPECT_TRUE(grid->GetRowMark(0)) << "one file is marked at once";
  EXPECT_EQ(s->GetFocusField(), S::IDC_OK);
  user.ExpectMessage("1 file was imported successfully.\n0 files were not imported due to errors.");
  user.Click("Import");
  user.Run();
  EXPECT_EQ(office->Count("KVTPOS1"), 2);
  EXPECT_TRUE(Listed(exchange).empty());
  ExpectNoFailures();
}

// The office's master data reaches an empty till database through a "TU-"
// file; a damaged file changes nothing.
TEST_P(ExchangeModule, UpdateFileCarriesTheOfficeDataToTheTill) {
  Add("KVTCOM13", {{"REFERENCE", "MAIN"}});
  Add("KVTINV1", {{"REFERENCE", "FEED"}, {"DESCRIPT", "Layer's feed"}});
  Add("KVTAR50", {{"REFERENCE", "C1"}, {"NAME", "O'Neil"}});
  std::string error;
  ASSERT_TRUE(bDoKVTPOSExportUpdateInformation(host->MainWindow(), "MAIN", "1", &error)) << error;
  EXPECT_FALSE(bDoKVTPOSExportUpdateInformation(host->MainWindow(), "MAIN", "9", &error));
  std::vector<KVTExchangeFile> files = Listed(exchange, false);
  ASSERT_EQ(files.size(), 1u);
  std::string recno = db().Value("SELECT RECNO FROM KVTINV1 WHERE REFERENCE = 'FEED'");

  ASSERT_NO_FATAL_FAILURE(OpenOffice());
  ASSERT_TRUE(office->Add("KVTCOM13", {{"REFERENCE", "OLD"}}));
  std::string bad = exchange + "TU-MAIN-1-01012000.ZIP";
  std::ofstream(bad, std::ios::binary) << "PK not really";
  EXPECT_FALSE(bDoKVTPOSImportUpdateInformation(host->MainWindow(), "MAIN", "1", bad, &error));
  EXPECT_NE(error.find(bad), std::string::npos) << error;
  EXPECT_EQ(office->Value("SELECT REFERENCE FROM KVTCOM13"), "OLD");
  EXPECT_EQ(office->Count("KVTINV1"), 0);

  std::string path = files[0].path + files[0].fileName;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(bDoKVTPOSImportUpdateInformation(host->MainWindow(), "MAIN", "1", path, &error))
        << error;
    path = archive + files[0].fileName;  // moved there by the import
    EXPECT_EQ(office->Value("SELECT REFERENCE FROM KVTCOM13"), "MAIN") << round;
    EXPECT_EQ(office->Count("KVTINV1"), 1) << round;
    EXPECT_EQ(office->Value("SELECT RECNO FROM KVTINV1"), recno);
    EXPECT_EQ(office->Value("SELECT NAME FROM KVTAR50"), "O'Neil");
    EXPECT_EQ(office->Value("SELECT CONPATH FROM KVTCOM14"), exchange);
  }
  EXPECT_TRUE(fs::exists(path));
  // A till on the office database reads nothing from a file.
  EXPECT_TRUE(bDoKVTPOSImportUpdateInformation(host->MainWindow(), "MAIN", "1", "", &error));
}

TEST_P(ExchangeModule, ExportDataScreenChecksThenWritesTheUpdateFile) {
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}}));
  KVTSetSetting(DEFAULT_STORE, "MAIN");
  KVTSetSetting(DEFAULT_TILLREF, "9");
  using S = KVTExportDataForm;
  auto* s = new PVexpdataDlg(host->MainWindow());
  ASSERT_TRUE(s->Create());
  EXPECT_EQ(s->GetFocusField(), S::IDC_OK);
  user.ExpectMessage("Invalid Till Reference.");
  user.Click("Export");
  user.Do([&] {
    EXPECT_EQ(s->GetFocusField(), S::IDC_TILLREF);
    EXPECT_TRUE(fs::is_empty(exchange));
  });
  user.Click("Export all stores and tills");
  user.Do([&] {
    EXPECT_EQ(s->GetFieldText(S::IDC_STORE), "");
    EXPECT_TRUE(s->IsFieldProtected(S::IDC_TILLREF));
  });
  user.Click("Export");
  user.Run();
  EXPECT_EQ(Listed(exchange, false).size(), 1u)
      << "every till that exchanges files gets its update";
  ExpectNoFailures();
}

// A brand-new till database: the set-up popup records the till and its
// exchange path in place of every till, then the office's update file is
// listed and imported.
TEST_P(ExchangeModule, FirstDataImportSetsUpTheTillThenImports) {
  Add({"KVTCOM13 REFERENCE=MAIN", "KVTINV1 REFERENCE=FEED"});
  std::string error;
  ASSERT_TRUE(bDoKVTPOSExportUpdateInformation(host->MainWindow(), "MAIN", "1", &error)) << error;
  ASSERT_NO_FATAL_FAILURE(OpenOffice());
  ASSERT_TRUE(office->Add("KVTCOM14", {{"STOREREF", "OLD"}, {"TILLNUM", "5"}}));
  KVTSetSetting(DEFAULT_STORE, "MAIN");
  KVTSetSetting(DEFAULT_TILLREF, "1");
  KVTSetSetting(CFG_BOSYSTEM, "1");
  user.ExpectMessage("Store is required.");
  user.Click("Continue");
  user.Type("MAIN").Key("Tab").Type("1").Key("Tab").Type(exchange);
  user.Click("This drive is a floppy, cd-rom or zip drive.");
  user.Do([&] {
    EXPECT_EQ(office->Value("SELECT STOREREF FROM KVTCOM14"), "OLD") << "not before Continue";
  });
  user.Click("Continue");
  user.Do([&] {
    EXPECT_EQ(office->Rows("SELECT STOREREF, TILLNUM, CONTYPE, CONPATH, REMOVABLE FROM KVTCOM14 "
                           "WHERE RECNO > 0"),
              (std::vector<std::vector<std::string>>{{"MAIN", "1", "F", exchange, "T"}}));
  });
  user.ExpectMessage("1 file was imported successfully.");
  user.Click("Import");
  auto* s = new PVimpdataDlg(host->MainWindow());
  ASSERT_TRUE(s->Create());
  user.Run();
  EXPECT_EQ(office->Count("KVTINV1"), 1);
  EXPECT_EQ(office->Value("SELECT REFERENCE FROM KVTCOM13"), "MAIN");
  ExpectNoFailures();
}

TEST_P(ExchangeModule, ImportSalesScreenCriteria) {
  Add({"KVTCOM13 REFERENCE=MAIN", "KVTCOM14 STOREREF=MAIN TILLNUM=2 CONTYPE=D"});
  KVTSetSetting(DEFAULT_STORE, "");
  KVTSetSetting(DEFAULT_TILLREF, "");
  using S = KVTImportSalesForm;
  auto* s = new PVimpsalesDlg(host->MainWindow());
  ASSERT_TRUE(s->Create());
  EXPECT_TRUE(s->IsFieldVisible(S::IDC_STORE));
  EXPECT_EQ(s->GetFocusField(), S::IDC_STORE);
  // clang-format off
  struct Case { const char* store, *till, *message; int focus; } cases[] = {
      {"", "1", "Store is required.", S::IDC_STORE},
      {"WEST", "1", "Invalid Store.", S::IDC_STORE},
      {"MAIN", "", "Till Reference is required.", S::IDC_TILLREF},
      {"MAIN", "7", "Invalid Till Reference.", S::IDC_TILLREF},
      {"MAIN", "2", "Store MAIN Till 2 is setup as having a direct connection to the back "
                    "office.\n\nUse menu option Transfer Sales or Export Sales for this store/till.",
       IDCANCEL},
  };
  // clang-format on
  for (const Case& c : cases) {
    user.ExpectMessage(c.message);
    user.Do([&] {
      s->SetFieldVar(S::IDC_STORE, c.store);
      s->SetFieldVar(S::IDC_TILLREF, c.till);
      s->KVTSetFieldFocus(S::IDC_TILLREF);
    });
    user.Key("Enter");
    user.Do([&] { EXPECT_EQ(s->GetFocusField(), c.focus) << c.message; });
    user.Run();
  }
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(ExchangeModule);

}  // namespace
