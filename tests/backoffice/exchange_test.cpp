// The exchange file names, their listing and the import result texts.
#include "backoffice/exchange.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

TEST(ExchangeNames, ParseFileName) {
  // clang-format off
  struct Case { const char* name; bool ok; const char* store, *till, *date, *shift, *sort; } cases[] = {
      {"ST-1-2-A-10202002.ZIP", true, "1", "2", "10/20/2002", "A", "20021020"},
      {"ST-MAIN-1-__-12052025.ZIP", true, "MAIN", "1", "12/05/2025", "ALL", "20251205"},
      {"TU-1-2-10202002.ZIP", true, "1", "2", "10/20/2002", "", "20021020"},
      {"st-1-2-B-01012030.zip", true, "1", "2", "01/01/2030", "B", "20300101"},
      {"ST-1-2-10202002.ZIP", false, "", "", "", "", ""},    // no shift
      {"TU-1-2-A-10202002.ZIP", false, "", "", "", "", ""},  // a shift in an update
      {"ST-1-2-A-1020.ZIP", false, "", "", "", "", ""},      // short date
      {"XX-1-2-A-10202002.ZIP", false, "", "", "", "", ""},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string store, till, date, shift, sort;
    ASSERT_EQ(KVTExchange::ParseFileName(c.name, &store, &till, &date, &shift, &sort), c.ok)
        << c.name;
    if (!c.ok) continue;
    EXPECT_EQ(store + "|" + till + "|" + date + "|" + shift + "|" + sort,
              std::string(c.store) + "|" + c.till + "|" + c.date + "|" + c.shift + "|" + c.sort)
        << c.name;
  }
}

TEST(ExchangeNames, DatesAndNamesMade) {
  EXPECT_EQ(KVTExchange::MakeDateYYYYMMDD(" 10202002 "), "20021020");
  EXPECT_EQ(KVTExchange::MakeDateYYYYMMDD("1020"), "1020");
  EXPECT_EQ(KVTExchange::SalesFileName("1", "2", "", "10/20/2002"), "ST-1-2-__-10202002.ZIP");
  EXPECT_EQ(KVTExchange::SalesFileName("1", "2", "A", "10202002"), "ST-1-2-A-10202002.ZIP");
  EXPECT_EQ(KVTExchange::UpdateFileName("1", "2", "10/20/2002"), "TU-1-2-10202002.ZIP");
  // What the modules are given.
  EXPECT_EQ(KVTExchange::TillData("MAIN", "1"), "01=MAIN\t02=1\t");
  EXPECT_EQ(KVTExchange::TillData("", ""), "01=\t02=\t");
  EXPECT_EQ(KVTExchange::SalesImportData("/x/ST-1-2-A-10202002.ZIP", false, "T", "F", "T"),
            "01=/x/ST-1-2-A-10202002.ZIP\t02=N\t");
  EXPECT_EQ(KVTExchange::SalesImportData("/x/f.ZIP", true, "T", "F", "T"),
            "01=/x/f.ZIP\t02=Y\t03=T\t04=F\t05=T\t");
}

TEST(ExchangeNames, CreatedTimeNoonAndOneOClock) {
  // clang-format off
  struct Case { int hour, min, sec; const char* text, *sort; } cases[] = {
      {12, 30, 0, "10/20/2002 12:30:00 AM", "20021020AM123000"},  // half past noon
      {13, 5, 0, "10/20/2002 01:05:00 PM", "20021020PM010500"},
      {0, 0, 7, "10/20/2002 00:00:07 AM", "20021020AM000007"},
      {23, 59, 59, "10/20/2002 11:59:59 PM", "20021020PM115959"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::tm t{};
    t.tm_year = 102, t.tm_mon = 9, t.tm_mday = 20;
    t.tm_hour = c.hour, t.tm_min = c.min, t.tm_sec = c.sec;
    EXPECT_EQ(KVTExchange::CreatedText(t), c.text);
    EXPECT_EQ(KVTExchange::UpdateSortField("20021020", t), c.sort);
  }
}

TEST(ExchangeNames, ImportResult) {
  // clang-format off
  struct Case { int ok, bad; bool sales; const char* text; } cases[] = {
      {0, 2, true, "0 files were imported successfully.\n2 files were not imported due to errors."},
      {1, 0, true, "1 file was imported successfully.\n0 files were not imported due to errors."},
      {0, 2, false, "2 files were not imported due to errors."},
      {1, 1, false, "1 file was imported successfully.\n1 file was not imported due to errors."},
      {3, 0, false, "3 files were imported successfully."},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(KVTExchange::ImportResult(c.ok, c.bad, c.sales), c.text);
}

class ExchangeListing : public ::testing::Test {
 protected:
  // A file with its last-write time at the given local hour and minute.
  void Touch(const std::string& name, int hour, int min) {
    std::ofstream(dir + "/" + name) << "x";
    std::tm t{};
    t.tm_year = 102, t.tm_mon = 9, t.tm_mday = 20, t.tm_hour = hour, t.tm_min = min;
    t.tm_isdst = -1;
    const utimbuf times{mktime(&t), mktime(&t)};
    ASSERT_EQ(utime((dir + "/" + name).c_str(), &times), 0);
  }
  kvt::test::ScratchDir scratch;
  const std::string dir = scratch.path();
};

// Sales files of one till by date and shift, update files by time; folders,
// other tills and other names are left out, a missing directory fails.
TEST_F(ExchangeListing, FilesOfOneTillSortedAndAMissingDirectoryFails) {
  Touch("ST-1-2-B-10202002.ZIP", 12, 30);
  Touch("ST-1-2-A-10212002.ZIP", 13, 5);
  Touch("ST-1-2-A-10202002.ZIP", 9, 0);
  Touch("ST-1-3-A-10202002.ZIP", 9, 0);  // another till
  Touch("ST-1-2-A-10202002.TXT", 9, 0);
  fs::create_directory(dir + "/ST-1-2-C-10202002.ZIP");
  std::vector<KVTExchangeFile> files;
  std::string error;
  ASSERT_TRUE(KVTExchange::ListFiles(dir, KVTExchange::SalesPrefix("1", "2"), true, &files, &error))
      << error;
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].fileName, "ST-1-2-A-10202002.ZIP");
  EXPECT_EQ(files[0].sort, "20021020A");
  EXPECT_EQ(files[0].path, dir + "/");
  EXPECT_EQ(files[1].sort, "20021020B");
  EXPECT_EQ(files[1].created, "10/20/2002 12:30:00 AM");
  EXPECT_EQ(files[2].fileName, "ST-1-2-A-10212002.ZIP");
  EXPECT_EQ(files[2].created, "10/20/2002 01:05:00 PM");
  EXPECT_EQ(files[2].date, "10/21/2002");

  Touch("TU-1-2-10202002.ZIP", 13, 5);
  Touch("TU-1-2-10202002-.ZIP", 9, 0);  // not a name the module writes
  ASSERT_TRUE(
      KVTExchange::ListFiles(dir, KVTExchange::UpdatePrefix("1", "2"), false, &files, &error));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].sort, "20021020PM010500");
  EXPECT_FALSE(KVTExchange::ListFiles(dir + "/none", "ST-1-2-", true, &files, &error));
  EXPECT_NE(error.find("cannot be read"), std::string::npos);
}

}  // namespace
