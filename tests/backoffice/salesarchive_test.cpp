// A till's sales moved to the office through an "ST-" file, once even when
// imported twice; a damaged file imports nothing.
#include "suite/kvtctm/archive.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/sql/query.h"
#include "tests/support/files.h"
#include "tests/support/testdb.h"

namespace fs = std::filesystem;

namespace {

class SalesArchive : public kvt::test::DatabaseTest {
 protected:
  void TearDown() override {
    office.reset();
    DatabaseTest::TearDown();
  }
  void Sale(const std::string& link, const std::string& till, const std::string& shift,
            const std::string& status, const std::string& name, const std::string& transnum = "") {
    // clang-format off
    Add("KVTPOS1", {{"INVOICENUM", link}, {"INVOICELNK", link}, {"STORE", "MAIN"}, {"TILLREF", till}, {"SHIFT", shift},
                    {"INVDATE", "10/20/2002"}, {"STATUS", status}, {"CUSTNAME", name}, {"INVCTOTAL", "10.70"},
                    {"TRANSNUM", transnum}});
    // clang-format on
    for (const char* line :
         {"INVREF=FEED PRICE=5.00 TAXABLE=1", "INVREF=SALT PRICE=5.00 TAXABLE=0"})
      Add({"KVTPOS2 INVOICELNK=" + link + " " + line});
    Add({"KVTPOS3 TAXCODE=ST TAXAMT=0.70 INVOICELNK=" + link});
  }
  // Switches connection 1 to a fresh office database.
  void ToOffice() {
    std::string reason;
    office = kvt::test::TestDatabase::Create(GetParam(), &reason);
    ASSERT_TRUE(office) << reason;
  }
  kvt::test::ScratchDir scratch;
  const std::string dir = scratch.path();
  std::unique_ptr<kvt::test::TestDatabase> office;
};

TEST_P(SalesArchive, TillDayMovesToOfficeOnceEvenWhenImportedTwice) {
  Sale("1A", "1", "A", "C", "O'Neil\tFarm");
  Sale("2A", "1", "B", "C", "Back\\slash");
  Sale("3A", "1", "A", "S", "suspended");  // stays at the till
  Sale("4A", "2", "A", "C", "other till");
  Sale("5A", "1", "A", "C", "sent before", "E0000001");
  std::string path, error;
  int count = 0;
  ASSERT_TRUE(
      kvt::ctm::WriteSalesArchive(dir, "MAIN", "1", "", "10/20/2002", &path, &count, &error))
      << error;
  EXPECT_EQ(path, dir + "/ST-MAIN-1-__-10202002.ZIP");
  EXPECT_EQ(count, 2);
  std::string shiftPath;
  ASSERT_TRUE(
      kvt::ctm::WriteSalesArchive(dir, "MAIN", "1", "B", "10/20/2002", &shiftPath, &count, &error));
  EXPECT_EQ(count, 1);
  EXPECT_FALSE(
      kvt::ctm::WriteSalesArchive(dir, "MAIN", "9", "", "10/20/2002", &shiftPath, &count, &error));
  EXPECT_NE(error.find("no sales to export"), std::string::npos) << error;

  ToOffice();
  ASSERT_TRUE(office);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(kvt::ctm::ImportSalesArchive(path, &count, &error)) << error;
    EXPECT_EQ(count, 2);
    EXPECT_EQ(office->Count("KVTPOS1"), 2) << round;
    EXPECT_EQ(office->Count("KVTPOS2"), 4) << round;
    EXPECT_EQ(office->Count("KVTPOS3"), 2) << round;
  }
  // A file of one shift again: its sale is replaced, not added, and keeps
  // the office's transfer mark.
  ASSERT_TRUE(kvt::sql::Run("UPDATE KVTPOS1 SET TRANSNUM = 'T9' WHERE INVOICELNK = '2A'").ok());
  ASSERT_TRUE(kvt::ctm::ImportSalesArchive(shiftPath, &count, &error)) << error;
  EXPECT_EQ(
      office->Rows("SELECT INVOICELNK, CUSTNAME, INVDATE, SHIFT, COALESCE(TRANSNUM, '') "
                   "FROM KVTPOS1 ORDER BY INVOICELNK"),
      (std::vector<std::vector<std::string>>{{"1A", "O'Neil\tFarm", "10/20/2002", "A", ""},
                                             {"2A", "Back\\slash", "10/20/2002", "B", "T9"}}));
  EXPECT_EQ(office->Count("KVTPOS2", "INVOICELNK = '1A' AND TAXABLE = 1"), 1);
  EXPECT_EQ(office->Value("SELECT TAXAMT FROM KVTPOS3 WHERE INVOICELNK = '2A'"), "0.70");
}

TEST_P(SalesArchive, DamagedFileImportsNothing) {
  Sale("1A", "1", "A", "C", "Farm");
  std::string path, error;
  int count = 0;
  ASSERT_TRUE(
      kvt::ctm::WriteSalesArchive(dir, "MAIN", "1", "A", "10/20/2002", &path, &count, &error))
      << error;
  const std::string bytes = kvt::test::Slurp(path);
  // A payload changed inside the compressed header table fails its check.
  std::string flipped = bytes;
  size_t at = flipped.find("KVTPOS1.TXT");
  ASSERT_NE(at, std::string::npos);
  flipped[at + 11 + 20] ^= 0x55;
  ToOffice();
  ASSERT_TRUE(office);
  // clang-format off
  struct Case { const char* name; std::string content; } cases[] = {
      {"cut", bytes.substr(0, bytes.size() / 2)},
      {"notzip", "this is not an archive"},
      {"empty", ""},
      {"flipped", flipped},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string bad = dir + "/ST-MAIN-1-A-" + c.name + ".ZIP";
    std::ofstream(bad, std::ios::binary) << c.content;
    EXPECT_FALSE(kvt::ctm::ImportSalesArchive(bad, &count, &error)) << c.name;
    EXPECT_NE(error.find(bad), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(office->Count("KVTPOS1"), 0) << c.name;
    EXPECT_EQ(office->Count("KVTPOS2"), 0) << c.name;
  }
  EXPECT_FALSE(kvt::ctm::ImportSalesArchive(dir + "/missing.ZIP", &count, &error));
}

KVT_ON_BOTH_BACKENDS(SalesArchive);

}  // namespace
