// Browsing and editing one row at a time: the ordered fetch of the daily
// sales and bad check screens, and form result sets.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/backends.h"

namespace {

class Browse : public kvt::test::OnEachBackend {
 protected:
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::vector<KVTColumnDef> cols = {{"INVOICENUM", KVTColumnType::Text},
                                      {"INVDATE", KVTColumnType::Date},
                                      {"STATUS", KVTColumnType::Text},
                                      {"CUSTNAME", KVTColumnType::Text},
                                      {"RECNO", KVTColumnType::Double}};
    ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql("KVTPOS1", cols).c_str()));
    // Sale numbers repeat (a till restarted its numbers) and one is missing.
    Sale("1001", "01/02/2024", "C", 1);
    Sale("1003", "01/01/2024", "C", 2);
    Sale("1002", "12/31/2023", "S", 3);  // suspended: never shown
    Sale("1002", "01/03/2024", "C", 4);
    Sale("1002", "01/01/2024", "V", 5);
    Sale("", "01/04/2024", "C", 6);
  }
  void Sale(const char* num, const char* date, const char* status, int recno) {
    KVTConnection c(1);
    char sql[] = "INSERT INTO KVTPOS1 (INVOICENUM,INVDATE,STATUS,RECNO) VALUES (?,?,?,?)";
    c.PrepareSQL(sql);
    c.BindParam(sql, num, 0);
    c.BindParam(sql, date, 3);
    c.BindParam(sql, status, 0);
    c.BindParam(sql, std::to_string(recno).c_str(), 2);
    ASSERT_GT(c.ExecuteSQL(sql), 0) << c.LastError();
  }
  // Steps to the end in one direction, listing record numbers.
  static std::vector<int> Walk(OrderedFetch& f, bool back) {
    std::vector<int> seen;
    while (back ? f.PreviousRecord() : f.NextRecord()) seen.push_back(static_cast<int>(f.RecNo()));
    return seen;
  }
  OrderedFetch fetch_;
  void Open(const char* key) {
    ASSERT_TRUE(fetch_.OpenConnection(nullptr, nullptr, 1, "KVTPOS1")) << fetch_.LastError();
    ASSERT_TRUE(fetch_.SetFetchScript("SELECT %s FROM KVTPOS1 WHERE STATUS <> 'S'",
                                      "INVOICENUM, INVDATE, STATUS, RECNO", key, 50))
        << fetch_.LastError();
  }
};

TEST_P(Browse, StepsInKeyOrderWithTiesByRecordNumber) {
  Open("INVOICENUM");
  // The empty sale number sorts first; equal numbers follow their RECNO.
  EXPECT_EQ(Walk(fetch_, false), (std::vector<int>{6, 1, 4, 5, 2})) << fetch_.LastError();
  EXPECT_EQ(fetch_.RecNo(), 2);  // at the end the last record stays current
  EXPECT_STREQ(fetch_.Column("invoicenum"), "1003");
  EXPECT_STREQ(fetch_.Column(2), "01/01/2024");
  EXPECT_EQ(Walk(fetch_, true), (std::vector<int>{5, 4, 1, 6}));
  EXPECT_EQ(fetch_.KeyValue(), "");
}

TEST_P(Browse, DescendingDateOrderAndFindByRecordNumber) {
  Open("INVDATE DESC, RECNO DESC");
  ASSERT_TRUE(fetch_.FirstRecord());
  EXPECT_EQ(fetch_.RecNo(), 6);
  EXPECT_EQ(Walk(fetch_, false), (std::vector<int>{4, 1, 5, 2}));
  ASSERT_TRUE(fetch_.FindRecNo(1));
  EXPECT_STREQ(fetch_.Column("INVDATE"), "01/02/2024");
  EXPECT_EQ(Walk(fetch_, false), (std::vector<int>{5, 2}));
  EXPECT_FALSE(fetch_.FindRecNo(3));  // suspended sales are never shown
  EXPECT_FALSE(fetch_.FindRecNo(99));
  ASSERT_TRUE(fetch_.LastRecord());
  EXPECT_EQ(fetch_.RecNo(), 2);
}

TEST_P(Browse, ChangingTheOrderKeepsTheCurrentRecord) {
  Open("INVOICENUM");
  ASSERT_TRUE(fetch_.FindRecNo(4));
  ASSERT_TRUE(fetch_.SetFetchOrder("INVDATE DESC, RECNO DESC"));
  ASSERT_TRUE(fetch_.NextRecord());
  EXPECT_EQ(fetch_.RecNo(), 1);
  ASSERT_TRUE(fetch_.PreviousRecord());
  ASSERT_TRUE(fetch_.PreviousRecord());
  EXPECT_EQ(fetch_.RecNo(), 6);
}

TEST_P(Browse, SeesRowsWrittenMeanwhileAndSurvivesDeletedOnes) {
  Open("INVOICENUM");
  ASSERT_TRUE(fetch_.FindRecNo(1));
  Sale("1001", "01/05/2024", "C", 7);  // another till saves a sale
  ASSERT_TRUE(fetch_.NextRecord());
  EXPECT_EQ(fetch_.RecNo(), 7);
  KVTSConnection s(1, nullptr, 0);
  ASSERT_EQ(s.ExecSQLChange("DELETE FROM KVTPOS1 WHERE RECNO = 7"), 1);
  EXPECT_FALSE(fetch_.NextRecord());  // its key is gone: nothing to compare against
  EXPECT_FALSE(fetch_.HasRecord());
  fetch_.Reset();
  ASSERT_TRUE(fetch_.NextRecord());
  EXPECT_EQ(fetch_.RecNo(), 6);
}

TEST_P(Browse, RefusesWhatItCannotRun) {
  EXPECT_FALSE(fetch_.NextRecord());
  EXPECT_FALSE(fetch_.OpenConnection(nullptr, nullptr, 1, "KVTPOS1; DROP TABLE KVTPOS1"));
  ASSERT_TRUE(fetch_.OpenConnection(nullptr, nullptr, 1, "KVTPOS1"));
  EXPECT_FALSE(fetch_.SetFetchScript("SELECT * FROM KVTPOS1", "RECNO", "RECNO"));
  EXPECT_FALSE(fetch_.SetFetchScript("SELECT %s FROM KVTPOS1", "RECNO", "RECNO; DELETE"));
  EXPECT_FALSE(fetch_.SetFetchScript("SELECT %s FROM KVTPOS1", "RECNO", ""));
  // The key need not be in the column list: it is read as well.
  ASSERT_TRUE(fetch_.SetFetchScript("SELECT %s FROM %s", "INVOICENUM", "INVDATE"));
  ASSERT_TRUE(fetch_.FirstRecord()) << fetch_.LastError();
  EXPECT_EQ(fetch_.RecNo(), 3);
  EXPECT_FALSE(fetch_.OpenConnection(nullptr, nullptr, 2, "KVTPOS1"));
}

KVT_ON_BOTH_BACKENDS(Browse);

// A screen's fields, as the forms runtime will offer them.
struct Fields : KVTRecordFields {
  std::map<std::string, std::string> values;
  std::vector<std::string> Columns() const override {
    std::vector<std::string> names;
    for (const auto& [k, v] : values) names.push_back(k);
    return names;
  }
  std::string Get(const std::string& col) const override {
    auto it = values.find(col);
    return it == values.end() ? "" : it->second;
  }
  void Set(const std::string& col, const std::string& value) override { values[col] = value; }
};

class FormResultSet : public kvt::test::OnEachBackend {
 protected:
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::vector<KVTColumnDef> cols = {
        {"CKACCTNUM", KVTColumnType::Text}, {"ACCTNAME", KVTColumnType::Text},
        {"DATEENT", KVTColumnType::Date},   {"REF", KVTColumnType::Text},
        {"NUMCHANGE", KVTColumnType::Text}, {"RECNO", KVTColumnType::Double}};
    ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql("KVTPOS11", cols).c_str()));
    screen.values = {
        {"CKACCTNUM", ""}, {"ACCTNAME", ""}, {"DATEENT", ""}, {"RECNO", ""}, {"SHOWNONLY", "x"}};
  }
  static std::string One(const char* sql) {
    KVTSConnection s(1, nullptr, 0);
    return s.ExecSQL(sql) && s.FetchNext() ? s.ColumnVar(1) : "(none)";
  }
  Fields screen;
};

TEST_P(FormResultSet, NewSaveLoadAndUpdateOneRow) {
  HVWRS rs = vwGetFormResultSet(&screen, "KVTPOS11");
  ASSERT_NE(rs, nullptr) << KVTLastSqlError();
  ASSERT_EQ(vwRSNew(rs), 1);
  EXPECT_EQ(screen.values["RECNO"], "0");
  EXPECT_EQ(screen.values["SHOWNONLY"], "x");  // not a column: left alone
  screen.values["CKACCTNUM"] = "0012-3456";
  screen.values["ACCTNAME"] = "O'Brien Feed & Seed";
  screen.values["DATEENT"] = "03152024";
  EXPECT_EQ(vwRSSave(rs), 0);  // no record number yet
  EXPECT_EQ(One("SELECT COUNT(1) FROM KVTPOS11"), "0");
  screen.values["RECNO"] = "41";
  ASSERT_EQ(vwRSSave(rs), 1) << KVTLastSqlError();
  EXPECT_EQ(One("SELECT DATEENT FROM KVTPOS11 WHERE RECNO = 41"), "03/15/2024");

  ASSERT_EQ(vwClearFields(rs), 1);
  EXPECT_EQ(screen.values["ACCTNAME"], "");
  ASSERT_EQ(vwRSLoad(rs, 41), 1);
  EXPECT_EQ(screen.values["ACCTNAME"], "O'Brien Feed & Seed");
  EXPECT_EQ(screen.values["RECNO"], "41");
  EXPECT_EQ(vwRSLoad(rs, 42), 0);
  EXPECT_EQ(screen.values["ACCTNAME"], "O'Brien Feed & Seed");  // unchanged without a row

  screen.values["ACCTNAME"] = "Renamed";
  ASSERT_EQ(vwRSSave(rs), 1);
  EXPECT_EQ(One("SELECT COUNT(1) FROM KVTPOS11"), "1");
  EXPECT_EQ(One("SELECT ACCTNAME FROM KVTPOS11 WHERE RECNO = 41"), "Renamed");
  vwFreeResultSet(rs);
}

TEST_P(FormResultSet, ABadFieldSavesNothing) {
  HVWRS rs = vwGetFormResultSet(&screen, "KVTPOS11");
  ASSERT_NE(rs, nullptr);
  screen.values["RECNO"] = "7";
  screen.values["ACCTNAME"] = "First";
  screen.values["DATEENT"] = "02/30/2024";
  EXPECT_EQ(vwRSSave(rs), 0);
  EXPECT_NE(std::string(KVTLastSqlError()).find("not a date"), std::string::npos);
  EXPECT_EQ(One("SELECT COUNT(1) FROM KVTPOS11"), "0");
  screen.values["DATEENT"] = "";
  ASSERT_EQ(vwRSSave(rs), 1) << KVTLastSqlError();  // the earlier values did not linger
  EXPECT_EQ(One("SELECT ACCTNAME FROM KVTPOS11"), "First");
  vwFreeResultSet(rs);
  EXPECT_EQ(vwGetFormResultSet(&screen, "NO_SUCH_TABLE"), nullptr);
}

KVT_ON_BOTH_BACKENDS(FormResultSet);

}  // namespace
