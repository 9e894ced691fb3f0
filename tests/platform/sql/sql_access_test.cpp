// The data access interface on SQLite and on PostgreSQL: statements,
// binding, dates, failures, transactions, the holders and quoting.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/backends.h"

namespace {

using kvt::test::OnEachBackend;

// A small sales table in the schema's types.
void CreateSales() {
  std::vector<KVTColumnDef> cols = {
      {"INVOICENUM", KVTColumnType::Text},  {"STORE", KVTColumnType::Text},
      {"INVDATE", KVTColumnType::Date},     {"INVCTOTAL", KVTColumnType::Text},
      {"ISACTIVE", KVTColumnType::Integer}, {"RECNO", KVTColumnType::Double}};
  ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql("SALES", cols).c_str())) << KVTLastSqlError();
}

int Count(const char* where = "") {
  KVTSConnection s(1, nullptr, 0);
  std::string sql = std::string("SELECT COUNT(1) FROM SALES") + where;
  if (!s.ExecSQL(sql.c_str()) || !s.FetchNext()) return -1;
  return std::atoi(s.ColumnVar(1));
}

// Binds each value with its bind type and runs `sql`; Exec prepares it first.
using Binds = std::initializer_list<std::pair<const char*, int>>;
bool Bound(KVTConnection& c, char* sql, Binds values) {
  for (const auto& [value, type] : values) c.BindParam(sql, value, type);
  return c.ExecuteSQL(sql) > 0;
}
bool Exec(KVTConnection& c, char* sql, Binds values) {
  return c.PrepareSQL(sql) > 0 && Bound(c, sql, values);
}

bool Insert(KVTConnection& c, const char* num, const char* store, const char* date,
            const char* total, const char* recno) {
  static char sql[] =
      "INSERT INTO SALES (INVOICENUM,STORE,INVDATE,INVCTOTAL,RECNO) VALUES (?,?,?,?,?)";
  return Exec(c, sql, {{num, 0}, {store, 0}, {date, 3}, {total, 0}, {recno, 2}});
}
bool Insert(KVTConnection& c, const char* num, const char* recno, const char* store = "A") {
  return Insert(c, num, store, "01/01/2024", "1", recno);
}

// The next row's columns joined by "|"; "end" when none came.
std::string Next(KVTConnection& c, const char* sql) {
  if (!c.FetchNext(sql)) return "end";
  std::string row;
  for (int i = 1; i <= c.ColumnCount(sql); ++i)
    row += (i > 1 ? "|" : "") + std::string(c.ColumnVar(sql, i));
  return row;
}

class DataAccess : public OnEachBackend {
 protected:
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    CreateSales();
  }
};

TEST_P(DataAccess, PreparedStatementRoundTripsTextNumbersAndDates) {
  KVTConnection c(1);
  ASSERT_TRUE(Insert(c, "1001", "MAIN", "03/15/2024", "12.50", "100")) << c.LastError();
  ASSERT_TRUE(Insert(c, "1002", "O'NEIL", "03152024", "0.10", "101")) << c.LastError();
  char sql[] =
      "SELECT INVOICENUM, STORE, INVDATE, INVCTOTAL, RECNO, ISACTIVE FROM SALES "
      "WHERE RECNO >= ? ORDER BY RECNO";
  ASSERT_TRUE(Exec(c, sql, {{"100", 2}})) << c.LastError();
  // Text stays as written, a record number has no ".0", a number column
  // left out has the schema's default.
  EXPECT_EQ(Next(c, sql), "1001|MAIN|03/15/2024|12.50|100|0");
  EXPECT_EQ(Next(c, sql), "1002|O'NEIL|03/15/2024|0.10|101|0");
  EXPECT_EQ(Next(c, sql), "end");
  EXPECT_STREQ(c.ColumnVar(sql, 1), "");  // past the end: empty, never a bad pointer
  EXPECT_STREQ(c.ColumnVar(sql, 99), "");
  // The same statement runs again with new values.
  ASSERT_TRUE(Exec(c, sql, {{"101", 2}}));
  EXPECT_EQ(Next(c, sql), "1002|O'NEIL|03/15/2024|0.10|101|0");
  EXPECT_EQ(Next(c, sql), "end");
}

TEST_P(DataAccess, DatesAreStoredAsDatesSoTheyCompareAndSortAcrossYears) {
  KVTConnection c(1);
  ASSERT_TRUE(Insert(c, "A", "S", "12/31/2023", "", "1"));
  ASSERT_TRUE(Insert(c, "B", "S", "01/01/2024", "", "2"));
  ASSERT_TRUE(Insert(c, "C", "S", "02/01/2024", "", "3"));
  char sql[] = "SELECT INVOICENUM, INVDATE FROM SALES WHERE INVDATE <= ? ORDER BY INVDATE DESC";
  ASSERT_TRUE(Exec(c, sql, {{"01/15/2024", 3}})) << c.LastError();
  EXPECT_EQ(Next(c, sql), "B|01/01/2024");
  EXPECT_EQ(Next(c, sql), "A|12/31/2023");
  EXPECT_EQ(Next(c, sql), "end");
}

TEST_P(DataAccess, DateBindsReadBackAsMonthDayYearOrAreRefused) {
  // clang-format off
  struct Case { const char* bound; const char* readBack; } cases[] = {  // null: refused, nothing written
      {"01/05/2024", "01/05/2024"}, {"1/5/2024", "01/05/2024"}, {"01052024", "01/05/2024"},
      {"2024-01-05", "01/05/2024"}, {"02/29/2024", "02/29/2024"}, {"", ""},
      {"02/30/2024", nullptr}, {"13/01/2024", nullptr}, {"2024", nullptr}, {"tomorrow", nullptr},
  };
  // clang-format on
  KVTConnection c(1);
  char sql[] = "SELECT INVDATE FROM SALES WHERE RECNO = ?";
  int recno = 0;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.bound);
    const std::string r = std::to_string(++recno);
    ASSERT_EQ(Insert(c, "D", "S", k.bound, "", r.c_str()), k.readBack != nullptr) << c.LastError();
    EXPECT_TRUE(k.readBack || std::string(c.LastError()).find("not a date") != std::string::npos);
    ASSERT_TRUE(Exec(c, sql, {{r.c_str(), 2}}));
    EXPECT_EQ(Next(c, sql), k.readBack ? k.readBack : "end");
  }
}

TEST_P(DataAccess, NumbersThatAreNotNumbersAreRefusedBeforeAnythingRuns) {
  KVTConnection c(1);
  for (const char* bad : {"12,50", "abc", "1.2.3", "-", "5e", "$5"})
    EXPECT_FALSE(Insert(c, "N", bad)) << bad;
  EXPECT_EQ(Count(), 0);
  for (const char* good : {" 7 ", "-3", "+4", "5.", ".5", "1e3"})
    EXPECT_TRUE(Insert(c, "N", good)) << good << ": " << c.LastError();
  EXPECT_EQ(Count(" WHERE RECNO = 1000"), 1);
  EXPECT_EQ(Count(" WHERE RECNO = 0.5"), 1);
}

TEST_P(DataAccess, FailuresAreResultsAndLeaveTheStatementUsable) {
  KVTConnection c(1);
  char bad[] = "SELEKT * FROM SALES";
  EXPECT_EQ(c.PrepareSQL(bad), 0);
  EXPECT_EQ(c.ExecuteSQL(bad), 0);
  EXPECT_FALSE(c.FetchNext(bad));
  EXPECT_STREQ(c.ColumnVar(bad, 1), "");
  EXPECT_STRNE(c.LastError(), "");
  EXPECT_STRNE(KVTLastSqlError(), "");

  // One text is one statement: a second one is never run.
  ASSERT_TRUE(Insert(c, "1", "1"));
  KVTSConnection s(1, nullptr, 0);
  EXPECT_EQ(s.ExecSQLChange("UPDATE SALES SET STORE = 'B'; DELETE FROM SALES"), -1);
  EXPECT_EQ(Count(" WHERE STORE = 'A'"), 1);
  ASSERT_EQ(s.ExecSQLChange("DELETE FROM SALES;"), 1);  // a closing semicolon is fine

  // Too few and too many values for the placeholders.
  char two[] = "SELECT INVOICENUM FROM SALES WHERE STORE = ? AND INVOICENUM = ?";
  ASSERT_GT(c.PrepareSQL(two), 0);
  EXPECT_FALSE(Bound(c, two, {{"S", 0}}));
  EXPECT_NE(std::string(c.LastError()).find("2 values"), std::string::npos) << c.LastError();
  EXPECT_FALSE(Bound(c, two, {{"S", 0}, {"S", 0}, {"S", 0}}));
  // Binding starts over after each run: two values now work.
  EXPECT_TRUE(Bound(c, two, {{"S", 0}, {"X", 0}})) << c.LastError();
  EXPECT_EQ(c.BindParam(two, "x", 7), 0);  // no such bind type

  // The buffer refilled with other text is that other statement.
  char buf[128] = "SELECT COUNT(1) FROM SALES";
  ASSERT_TRUE(Exec(c, buf, {}));
  EXPECT_EQ(Next(c, buf), "0");
  std::snprintf(buf, sizeof buf, "SELECT 'other'");
  ASSERT_GT(c.ExecuteSQL(buf), 0);
  EXPECT_EQ(Next(c, buf), "other");
}

TEST_P(DataAccess, RowsAffectedAndExecSQLChangeCountChangedRows) {
  KVTConnection c(1);
  ASSERT_TRUE(Insert(c, "1", "1"));
  ASSERT_TRUE(Insert(c, "2", "2"));
  ASSERT_TRUE(Insert(c, "3", "3", "B"));
  char upd[] = "UPDATE SALES SET INVCTOTAL = ? WHERE STORE = ?";
  ASSERT_TRUE(Exec(c, upd, {{"9", 0}, {"A", 0}}));
  EXPECT_EQ(c.RowsAffected(upd), 2);
  EXPECT_TRUE(Exec(c, upd, {{"9", 0}, {"NONE", 0}}));  // nothing matched is still success
  EXPECT_EQ(c.RowsAffected(upd), 0);
  char sel[] = "SELECT RECNO FROM SALES";
  ASSERT_GT(c.ExecuteSQL(sel), 0);
  EXPECT_EQ(c.RowsAffected(sel), 0);  // reading changes nothing, on either database

  KVTSConnection s(1, nullptr, 0);
  // A counter moved only if it still holds the value read: 1, then 0.
  EXPECT_EQ(s.ExecSQLChange("UPDATE SALES SET INVCTOTAL='2' WHERE RECNO=3 AND INVCTOTAL='1'"), 1);
  EXPECT_EQ(s.ExecSQLChange("UPDATE SALES SET INVCTOTAL='2' WHERE RECNO=3 AND INVCTOTAL='1'"), 0);
  EXPECT_EQ(s.ExecSQLChange("DELETE FROM SALES WHERE STORE = 'A'"), 2);
  EXPECT_EQ(s.ExecSQLChange("DELETE FROM NO_SUCH_TABLE"), -1);
  EXPECT_STRNE(s.LastError(), "");
}

TEST_P(DataAccess, ACancelledTransactionLeavesNoRowBehind) {
  KVTConnection c(1);
  char begin[] = "SELECT RECNO FROM SALES";
  ASSERT_GT(c.BeginTran(begin), 0);
  ASSERT_TRUE(Insert(c, "1", "1"));
  KVTSConnection s(1, nullptr, 0);  // another holder works inside the same unit
  ASSERT_EQ(s.ExecSQLChange("UPDATE SALES SET STORE = 'B'"), 1);
  ASSERT_GT(c.CancelTran(begin), 0);
  EXPECT_EQ(Count(), 0);

  ASSERT_GT(c.BeginTran(begin), 0);
  ASSERT_TRUE(Insert(c, "1", "1"));
  ASSERT_GT(c.CommitTran(begin), 0) << c.LastError();
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(c.CommitTran(begin), 0);  // nothing left to commit
  EXPECT_EQ(c.CancelTran(begin), 0);

  // A failed statement inside a transaction saves nothing.
  ASSERT_GT(c.BeginTran(begin), 0);
  ASSERT_TRUE(Insert(c, "2", "2"));
  char bad[] = "INSERT INTO SALES (NO_SUCH_COLUMN) VALUES ('x')";
  EXPECT_EQ(c.ExecuteSQL(bad), 0);
  EXPECT_EQ(c.CommitTran(begin), 0);
  EXPECT_EQ(Count(), 1);
}

TEST_P(DataAccess, OnlyTheOutermostCommitCommitsAndAnInnerCancelCancelsAll) {
  KVTConnection sale(1), customer(1);
  char s[] = "sale", k[] = "customer";
  ASSERT_GT(sale.BeginTran(s), 0);
  ASSERT_TRUE(Insert(sale, "1", "1"));
  ASSERT_GT(customer.BeginTran(k), 0);
  ASSERT_TRUE(Insert(customer, "2", "2"));
  ASSERT_GT(customer.CommitTran(k), 0);
  ASSERT_GT(sale.CancelTran(s), 0);  // cancelling the outer level takes the inner rows with it
  EXPECT_EQ(Count(), 0);

  ASSERT_GT(sale.BeginTran(s), 0);
  ASSERT_TRUE(Insert(sale, "1", "1"));
  ASSERT_GT(customer.BeginTran(k), 0);
  ASSERT_GT(customer.CancelTran(k), 0);  // the inner level gives up
  EXPECT_FALSE(Insert(sale, "3", "3"));  // nothing runs any more
  EXPECT_EQ(sale.CommitTran(s), 0);      // and the outer commit reports it
  EXPECT_NE(std::string(sale.LastError()).find("cancelled"), std::string::npos);
  EXPECT_EQ(Count(), 0);

  // The connection is usable again afterwards.
  ASSERT_GT(sale.BeginTran(s), 0);
  ASSERT_TRUE(Insert(sale, "4", "4"));
  ASSERT_GT(sale.CommitTran(s), 0);
  EXPECT_EQ(Count(), 1);
}

TEST_P(DataAccess, RawHandlesReadAndChangeRowsOnConnectionOneOnly) {
  KVTConnection c(1);
  ASSERT_TRUE(Insert(c, "1", "1"));
  ASSERT_TRUE(Insert(c, "2", "A", "01/02/2024", "1", "2"));
  HVWCONN h = vwConnect(nullptr, 1, 0);
  ASSERT_NE(h, nullptr);
  ASSERT_GT(KVTvwExecSQL(h, "SELECT INVDATE FROM SALES WHERE INVOICENUM = '2'"), 0);
  EXPECT_EQ(vwSetFetchable(h, 1), 1);
  ASSERT_NE(KVTvwFetchNext(h), 0);
  EXPECT_STREQ(KVTvwColumn(h, 1), "01/02/2024");
  EXPECT_EQ(KVTvwFetchNext(h), 0);
  vwFreeStatement(h);
  EXPECT_EQ(KVTvwExecSQLChange(h, "DELETE FROM SALES WHERE RECNO = 1"), 1);
  EXPECT_EQ(KVTvwExecSQL(h, "SELECT broken FROM"), 0);
  vwFreeStatement(h);
  vwDisconnect(h);
  EXPECT_EQ(Count(), 1);

  EXPECT_EQ(vwConnect(nullptr, 3, 0), nullptr);  // only the host's connection is served
  KVTSConnection other(2, nullptr, 0);
  EXPECT_EQ(other.ExecSQL("SELECT 1"), 0);
}

TEST_P(DataAccess, QuotedValuesCannotChangeAStatement) {
  KVTConnection c(1);
  ASSERT_TRUE(Insert(c, "1", "1", "MAIN"));
  EXPECT_EQ(KVTSqlQuote("O'Neil's"), "O''Neil''s");
  EXPECT_EQ(KVTSqlQuote(nullptr), "");
  const std::string attack = "'" + KVTSqlQuote("1' OR '1'='1") + "'";
  KVTSConnection s(1, nullptr, 0);
  ASSERT_GT(s.ExecSQL(("SELECT STORE FROM SALES WHERE STORE = " + attack).c_str()), 0);
  EXPECT_FALSE(s.FetchNext());  // finds no store
  EXPECT_EQ(s.ExecSQLChange(("UPDATE SALES SET INVCTOTAL = '0' WHERE STORE = " + attack).c_str()),
            0);  // changes nothing
  EXPECT_EQ(Count(" WHERE INVCTOTAL = '0'"), 0);
}

TEST_P(DataAccess, SqliteLogIsCopiedIntoTheDatabaseWithoutAnotherCommit) {
  if (IsPg()) GTEST_SKIP() << "a database file";
  // One commit grows the log past its length; the copy follows on its own.
  const std::string big(4000, 'x');
  KVTConnection c(1);
  char tran[] = "LOG";
  ASSERT_GT(c.BeginTran(tran), 0);
  for (int i = 0; i < 1200; ++i)
    ASSERT_TRUE(Insert(c, "1", big.c_str(), "03/15/2024", "1", std::to_string(i).c_str()));
  ASSERT_GT(c.CommitTran(tran), 0) << c.LastError();
  auto size = [file = tempDb().settings().dataPath] {
    std::error_code e;
    return std::filesystem::file_size(file, e);
  };
  for (int i = 0; i < 500 && size() < 4'000'000; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_GE(size(), 4'000'000u);
}

TEST_P(DataAccess, HoldersFailWhileConnectionOneIsClosedAndRecoverAfterwards) {
  KVTConnection c(1);
  char sql[] = "SELECT COUNT(1) FROM SALES";
  ASSERT_GT(c.PrepareSQL(sql), 0);
  KVTCloseConnectionOne();
  EXPECT_STREQ(KVTDatabaseKind(), "");
  EXPECT_EQ(c.ExecuteSQL(sql), 0);
  EXPECT_EQ(vwConnect(nullptr, 1, 0), nullptr);
  ASSERT_TRUE(tempDb().Reopen());
  EXPECT_STREQ(KVTDatabaseKind(), IsPg() ? "PGSQL" : "SQLITE");
  ASSERT_GT(c.ExecuteSQL(sql), 0) << c.LastError();  // prepared again on the new connection
  ASSERT_TRUE(c.FetchNext(sql));
  EXPECT_STREQ(c.ColumnVar(sql, 1), "0");
}

KVT_ON_BOTH_BACKENDS(DataAccess);

TEST(ConnectionSettings, UnknownDatabaseKindsAndUnreachableDatabasesAreClearFailures) {
  KVTConnectionSettings s;
  s.translate = "MSSQL";
  EXPECT_FALSE(KVTOpenConnectionOne(s));
  EXPECT_NE(std::string(KVTLastSqlError()).find("MSSQL"), std::string::npos);
  s.translate = "SQLITE";
  s.dataPath = "";
  EXPECT_FALSE(KVTOpenConnectionOne(s));
  EXPECT_NE(std::string(KVTLastSqlError()).find("DataPath"), std::string::npos);
  s.translate = "PGSQL";
  s.connInfo = "host=/nonexistent port=1 connect_timeout=2";
  EXPECT_FALSE(KVTOpenConnectionOne(s));
  EXPECT_NE(std::string(KVTLastSqlError()).find("PostgreSQL"), std::string::npos);
  EXPECT_FALSE(KVTConnectionOneIsOpen());
  KVTConnection c(1);
  char sql[] = "SELECT 1";
  EXPECT_EQ(c.ExecuteSQL(sql), 0);
}

}  // namespace
