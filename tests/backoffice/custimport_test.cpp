// The customer import through its screen: a POSFILES.ZIP made here replaces
// every customer; a damaged archive or a refused insert changes nothing.
#include <gtest/gtest.h>
#include <shapefil.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "backoffice/custimport.h"
#include "backoffice/impcust.h"
#include "platform/base/kvtbase.h"
#include "platform/win/profile.h"
#include "tests/support/files.h"
#include "tests/support/till.h"

namespace fs = std::filesystem;

namespace {

const char* const kFields[] = {
    "IC_CODE",    "IC_NAME",   "IC_ADDR1",   "IC_ADDR2",   "IC_CITY",   "IC_ST",      "IC_ZIP",
    "IC_PHONE",   "IC_CURR",   "IC_THIRTY",  "IC_SIXTY",   "IC_NINTY",  "IC_ONETWEN", "IC_OFIFTY",
    "IC_ONEIGHT", "IC_TWOTEN", "IC_TWOFOUR", "IC_TWOSEVN", "IC_THREE",  "IC_THREETH", "IC_ONEYEAR",
    "IC_LAS_PAY", "IC_CRDLMT", "IC_CHRG_OK", "IC_ACTIVE",  "CREDITNOTE"};

using IcustRow = std::map<std::string, std::string>;

// ICUST.dbf in `folder`: IC_CHRG_OK is a number field (padded with blanks),
// IC_NAME wide enough for 200 characters. Rows in `deleted` are marked so.
void WriteIcust(const std::string& folder, const std::vector<IcustRow>& rows,
                std::vector<int> deleted = {}) {
  DBFHandle h = DBFCreate((folder + "ICUST").c_str());
  ASSERT_TRUE(h);
  for (const char* f : kFields) {
    bool number = std::string(f) == "IC_CHRG_OK";
    int width = number ? 3 : std::string(f) == "IC_NAME" ? 220 : 30;
    DBFAddField(h, f, number ? FTInteger : FTString, width, 0);
  }
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    for (int c = 0; c < 26; ++c) {
      auto it = rows[r].find(kFields[c]);
      std::string v = it == rows[r].end() ? "" : it->second;
      if (c == 23)
        DBFWriteIntegerAttribute(h, r, c, std::atoi(v.c_str()));
      else
        DBFWriteStringAttribute(h, r, c, v.c_str());
    }
  }
  for (int r : deleted) DBFMarkRecordDeleted(h, r, 1);
  DBFClose(h);
}

class CustomerImport : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    fs::create_directories(dir + "src");
    fs::create_directories(dir + "tmp");
    setenv("TMPDIR", (dir + "tmp").c_str(), 1);  // the work folder is ours alone
    WritePrivateProfileString(PROGRAM_NAME, "ImpCustPath", nullptr, LOCAL_INI);
    Add({"KVTAR50 REFERENCE=OLD", "KVTAR51 REFERENCE=OLD", "KVTAR54 REFERENCE=OLD",
         "KVTAR55 LINK=OLD", "KVTAR57 CUSTLINK=OLD"});
  }
  void TearDown() override {
    unsetenv("TMPDIR");
    TillTest::TearDown();
  }
  // POSFILES.ZIP in dir with the files of src matching `mask`.
  void Pack(const std::string& mask = "*") {
    std::string command = std::string(KVTZIP_PATH) + " C " + dir + "POSFILES.ZIP '" + dir + "src/" +
                          mask + "' NOSPAN";
    ASSERT_NE(std::system(command.c_str()), 0) << "kvtzip answers 1 when done";
  }
  // Runs the screen on `path`; the boxes shown, first line of each.
  std::vector<std::string> Import(const std::string& path) {
    auto* s = new PVimpcustDlg(host->MainWindow());
    EXPECT_TRUE(s->Create());
    user.Do([&] { s->SetFieldVar(PVimpcustDlg::IDC_PATH, path.c_str()); });
    user.Click("Ok");
    user.Run();
    std::vector<std::string> shown;
    for (const KVTShownMessage& m : user.Messages())
      shown.push_back(m.text.substr(0, m.text.find('\n')));
    user.Reset();
    return shown;
  }
  bool Untouched() {
    for (const char* t : {"KVTAR50", "KVTAR51", "KVTAR54", "KVTAR55", "KVTAR57"})
      if (db().Count(t) != 1) return false;
    return db().Value("SELECT REFERENCE FROM KVTAR50") == "OLD";
  }

  kvt::test::ScratchDir scratch;
  const std::string dir = scratch.path() + "/";
};

TEST_P(CustomerImport, ReplacesEveryCustomerWithTheArchivedRows) {
  // clang-format off
  WriteIcust(dir + "src/",
             {{{"IC_CODE", "C1"}, {"IC_NAME", "O'Neil Farms"}, {"IC_PHONE", "555-0101"}, {"IC_CURR", "12.5"},
               {"IC_THIRTY", "3"}, {"IC_CHRG_OK", "1"}, {"IC_ACTIVE", "1"}, {"IC_CRDLMT", "500"},
               {"CREDITNOTE", "Pays on the 1st"}},
              {{"IC_CODE", "C2"}, {"IC_NAME", std::string(200, 'N')}, {"IC_PHONE", "555-0102"},
               {"IC_ACTIVE", "0"}, {"IC_CHRG_OK", "0"}},
              {{"IC_CODE", "GONE"}},
              {{"IC_CODE", "C3"}, {"IC_NAME", "Jos\xE9"}}},
             {2});
  // clang-format on
  Pack();
  ASSERT_TRUE(KVTSetToday("10/20/2002"));
  EXPECT_EQ(Import(dir.substr(0, dir.size() - 1)), std::vector<std::string>{"Import Complete!"});
  KVTSetToday(nullptr);
  // clang-format off
  EXPECT_EQ(db().Rows("SELECT A.REFERENCE, A.NAME, A.ISACTIVE, B.CASHONLY, C.\"current\", C.MONTH1, "
                      "C.MONTH12, D.TELEPHONE, E.COMMENT, A.LMODDATE, B.CREDITLMT, B.OPENBALFWD "
                      "FROM KVTAR50 A JOIN KVTAR51 B ON B.REFERENCE = A.REFERENCE "
                      "JOIN KVTAR54 C ON C.REFERENCE = A.REFERENCE "
                      "JOIN KVTAR57 D ON D.CUSTLINK = " + std::string(IsPg() ? "CAST(A.RECNO AS TEXT)" : "CAST(CAST(A.RECNO AS INTEGER) AS TEXT)") +
                      " JOIN KVTAR55 E ON E.LINK = A.REFERENCE ORDER BY A.REFERENCE"),
            (std::vector<std::vector<std::string>>{
      {"C1", "ONeil Farms",               "0", "0", "12.50", "3.00", "0.00", "555-0101", "Pays on the 1st", "10/20/2002", "500", "O"},
      {"C2", std::string(49, 'N'),         "1", "1", "0.00",  "0.00", "0.00", "555-0102", "",                "10/20/2002", "",    "O"},
      {"C3", "Jos\xC3\xA9",                "1", "1", "0.00",  "0.00", "0.00", "",         "",                "10/20/2002", "",    "O"}}));
  // clang-format on
  EXPECT_EQ(db().Count("KVTAR50", "REFERENCE = 'OLD'"), 0);
  char saved[256];
  GetPrivateProfileString(PROGRAM_NAME, "ImpCustPath", "", saved, sizeof saved, LOCAL_INI);
  EXPECT_EQ(std::string(saved), dir);
}

TEST_P(CustomerImport, NothingChangesWhenTheArchiveOrAnInsertFails) {
  WriteIcust(dir + "src/", {{{"IC_CODE", "C1"}}, {{"IC_CODE", "C2"}}});
  std::ofstream(dir + "src/OTHER.DBF") << "other";
  const std::string zip = dir + "POSFILES.ZIP";
  // clang-format off
  struct Case { const char* what; std::function<void()> make; const char* path; std::string first; } cases[] = {
      {"no path",          [] {},                                                  " ",  "A valid filename is required to import."},
      {"no archive",       [] {},                                                  "",   "Errors occured unzipping customer data."},
      {"not an archive",   [&] { std::ofstream(zip) << "PK not really"; },         "",   "Errors occured unzipping customer data."},
      {"archive cut short",[&] { Pack(); fs::resize_file(zip, fs::file_size(zip) / 2); }, "", "Errors occured unzipping customer data."},
      {"no ICUST",         [&] { Pack("OTHER.*"); },                               "",   "Errors occured reading customer data."},
      {"ICUST cut short",  [&] { fs::resize_file(dir + "src/ICUST.dbf", fs::file_size(dir + "src/ICUST.dbf") - 20); Pack("ICUST.*"); }, "", "Errors occured reading customer data."},
  };
  // clang-format on
  for (Case& c : cases) {
    fs::remove(zip);
    c.make();
    std::vector<std::string> shown = Import(*c.path ? c.path : dir);
    ASSERT_FALSE(shown.empty()) << c.what;
    EXPECT_EQ(shown[0], c.first) << c.what;
    EXPECT_TRUE(Untouched()) << c.what;
  }
  WriteIcust(dir + "src/", {{{"IC_CODE", "C1"}}, {{"IC_CODE", "C2"}}});
  Pack("ICUST.*");
  KVTSqlFailStatements("INSERT INTO KVTAR54");
  EXPECT_EQ(Import(dir), (std::vector<std::string>{
                             "Error occurred inserting KVTAR54 record.",
                             "No customer was imported; the customers are as they were."}));
  EXPECT_TRUE(Untouched());
  KVTSqlFailStatements("INSERT INTO KVTAR57");  // the core names the table and the customer
  KVTCustomerImport core(dir + "tmp/POSFILES/");
  EXPECT_FALSE(core.Replace("10202002"));
  EXPECT_EQ(core.failedTable() + " " + core.failedCustomer(), "KVTAR57 C1") << core.error();
  EXPECT_TRUE(Untouched());
}

TEST_P(CustomerImport, BrowseTakesTheChosenFolder) {
  auto* s = new PVimpcustDlg(host->MainWindow());
  ASSERT_TRUE(s->Create());
  EXPECT_EQ(s->GetFieldText(PVimpcustDlg::IDC_PATH), "None") << "no path saved yet";
  user.ChooseFolder(dir + "src").Click("Browse");
  user.Do([&] { EXPECT_EQ(s->GetFieldText(PVimpcustDlg::IDC_PATH), dir + "src/"); });
  user.ChooseFolder("").Click("Browse");
  user.Do([&] { EXPECT_EQ(s->GetFieldText(PVimpcustDlg::IDC_PATH), ""); });
  user.Run();
  ExpectNoFailures();
  // clang-format off
  struct { std::string path, start; } starts[] = {
      {dir + "src/",            dir + "src"},
      {dir + "src/none/deeper", dir + "src"},
      {"/",                     "/"},
      {"None",                  ""},
  };
  // clang-format on
  for (const auto& c : starts) EXPECT_EQ(KVTBrowseStart(c.path), c.start) << c.path;
}

TEST(CustomerValue, ApostrophesGoThenFortyNineCharactersStay) {
  // clang-format off
  struct { std::string raw, kept; } cases[] = {
      {"O'Neil's",                             "ONeils"},
      {"'''",                                  ""},
      {std::string(200, 'a'),                  std::string(49, 'a')},
      {std::string(48, 'a') + "'\xC3\xA9xyz",  std::string(48, 'a') + "\xC3\xA9"},
  };
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(KVTCleanCustomerValue(c.raw), c.kept) << c.raw;
}

}  // namespace

KVT_ON_BOTH_BACKENDS(CustomerImport);
