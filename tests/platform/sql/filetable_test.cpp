// File tables (connection 3): dBASE files written with shapelib, read back
// through the statements the module runs on them.
#include <gtest/gtest.h>
#include <shapefil.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/sql/dbf/filetable.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;
using kvt::sql::FileQuery;
using kvt::sql::Found;

namespace {

class FileTable : public ::testing::Test {
 protected:
  void SetUp() override {
    // Three records, the second deleted; a number field padded with blanks.
    DBFHandle h = DBFCreate((dir + "ICUST").c_str());
    ASSERT_TRUE(h);
    DBFAddField(h, "IC_CODE", FTString, 10, 0);
    DBFAddField(h, "IC_CHRG_OK", FTInteger, 4, 0);
    const char* codes[] = {"C1", "C2", "C3"};
    for (int r = 0; r < 3; ++r) {
      DBFWriteStringAttribute(h, r, 0, codes[r]);
      DBFWriteIntegerAttribute(h, r, 1, r + 1);
    }
    DBFMarkRecordDeleted(h, 1, 1);
    DBFClose(h);
    std::ofstream(dir + "ICUST.cpg") << "1252";
    std::ofstream(dir + "NOTDBF.DBF") << "plain text";
  }
  // Every row of a statement, columns joined by "|"; "failed: ..." when it failed.
  std::vector<std::string> Rows(const std::string& sql) {
    FileQuery q;
    if (!q.Run(sql)) return {"failed: " + q.error()};
    std::vector<std::string> rows;
    Found f;
    while ((f = q.Fetch()) == Found::Yes) {
      std::string row;
      for (size_t c = 0; c < q.ColumnCount(); ++c) row += (c ? "|" : "") + q[c];
      rows.push_back(row);
    }
    if (f == Found::Failed) rows.push_back("failed: " + q.error());
    return rows;
  }
  kvt::test::ScratchDir scratch;
  const std::string dir = scratch.path() + "/";
};

TEST_F(FileTable, ReadsLiveRecordsAndRefusesWhatItCannotServe) {
  using V = std::vector<std::string>;
  EXPECT_EQ(Rows("SELECT COUNT(1) FROM " + dir + "ICUST"), V{"2"});
  EXPECT_EQ(Rows("select ic_chrg_ok, IC_CODE from " + dir + "icust"), (V{"1|C1", "3|C3"}));
  // clang-format off
  struct { std::string sql, error; } refused[] = {
      {"SELECT NOPE FROM " + dir + "ICUST",   "has no column NOPE"},
      {"SELECT IC_CODE FROM " + dir + "GONE", "is not there"},
      {"SELECT IC_CODE FROM " + dir + "NOTDBF", "is not a dBASE table"},
      {"UPDATE " + dir + "ICUST SET X = 1",   "Not a file-table statement"},
  };
  // clang-format on
  for (const auto& c : refused) {
    V rows = Rows(c.sql);
    ASSERT_EQ(rows.size(), 1u) << c.sql;
    EXPECT_NE(rows[0].find(c.error), std::string::npos) << rows[0];
  }
  fs::resize_file(dir + "ICUST.dbf", fs::file_size(dir + "ICUST.dbf") - 8);
  EXPECT_EQ(Rows("SELECT IC_CODE FROM " + dir + "ICUST").back().substr(0, 7), "failed:")
      << "a record cut short is a failure, not a short row";
}

TEST_F(FileTable, DropRemovesTheTableAndItsCompanions) {
  FileQuery q;
  ASSERT_TRUE(q.Run("DROP TABLE " + dir + "ICUST")) << q.error();
  EXPECT_FALSE(fs::exists(dir + "ICUST.dbf"));
  EXPECT_FALSE(fs::exists(dir + "ICUST.cpg"));
  EXPECT_TRUE(fs::exists(dir + "NOTDBF.DBF"));
  EXPECT_FALSE(q.Run("DROP TABLE " + dir + "ICUST")) << "nothing left to drop";
}

}  // namespace
