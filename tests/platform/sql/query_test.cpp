// The module's statement helper and scoped transaction, on both databases:
// found / not found / failed, columns by name, checked binds, rollback by scope.
#include "platform/sql/query.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "platform/sql/kvtsqladmin.h"
#include "tests/support/backends.h"

namespace {

using kvt::sql::Found;
using kvt::sql::Query;
using kvt::sql::Transaction;
namespace sql = kvt::sql;

class QueryHelper : public kvt::test::OnEachBackend {
 protected:
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::vector<KVTColumnDef> cols = {{"CODE", KVTColumnType::Text},
                                      {"SOLD", KVTColumnType::Date},
                                      {"RECNO", KVTColumnType::Double}};
    ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql("ITEMS", cols).c_str())) << KVTLastSqlError();
  }
  void TearDown() override {
    KVTSqlClearFaults();
    OnEachBackend::TearDown();
  }
  long CountItems() {
    auto r = sql::Run("SELECT COUNT(1) AS N FROM ITEMS");
    return r.ok() ? static_cast<long>(r.first().Num("N")) : -1;
  }
  bool Insert(const char* code) {
    return sql::Run("INSERT INTO ITEMS (CODE, SOLD, RECNO) VALUES (?, ?, ?)",
                    {sql::Text(code), sql::Date("03152024"), sql::Number(7.0)})
        .ok();
  }
};

TEST_P(QueryHelper, AnswersFoundNotFoundAndFailedWithTheDatabasesMessage) {
  ASSERT_TRUE(Insert("A'1"));
  Query find("SELECT CODE, SOLD, RECNO FROM ITEMS WHERE CODE = ?");
  auto hit = find.Run({sql::Text("A'1")});
  ASSERT_EQ(hit.found(), Found::Yes) << hit.error();
  EXPECT_EQ(hit.first()["code"], "A'1");  // names without regard to case
  EXPECT_EQ(hit.first()["SOLD"], "03/15/2024");
  EXPECT_EQ(hit.first().Num("RECNO"), 7);
  EXPECT_EQ(find.Run({sql::Text("B")}).found(), Found::No);
  ASSERT_TRUE(Insert("B"));
  auto changed = sql::Run("UPDATE ITEMS SET RECNO = 8 WHERE CODE <> ?", {sql::Text("Z")});
  EXPECT_EQ(changed.changed(), 2) << changed.error();

  auto bad = sql::Run("SELECT NOSUCHCOLUMN FROM ITEMS");
  EXPECT_EQ(bad.found(), Found::Failed);
  EXPECT_NE(bad.error().find("NOSUCHCOLUMN"), std::string::npos) << bad.error();

  KVTSqlFailStatements("FROM ITEMS");
  EXPECT_EQ(find.Run({sql::Text("A'1")}).found(), Found::Failed);
  EXPECT_EQ(find.Run({sql::Text("A'1")}).found(), Found::Yes);  // the same query recovers
}

TEST_P(QueryHelper, RowsGoInStatementsOfAtMostSixteenAndAllOrNone) {
  sql::InsertRows items("INSERT INTO ITEMS (CODE, RECNO) VALUES ", 2);
  for (int rows : {0, 1, 16, 17, 33}) {
    SCOPED_TRACE(rows);
    ASSERT_TRUE(sql::Run("DELETE FROM ITEMS").ok());
    std::vector<sql::Value> values;
    for (int i = 0; i < rows; ++i) values.insert(values.end(), {sql::Text("I"), sql::Number(i)});
    std::vector<std::string> log;
    KVTSqlTraceStatements(&log);
    ASSERT_TRUE(items.Run(values).ok());
    KVTSqlTraceStatements(nullptr);
    EXPECT_EQ(log.size(), static_cast<std::size_t>((rows + 15) / 16));
    EXPECT_EQ(CountItems(), rows);
    auto sum = sql::Run("SELECT SUM(RECNO) AS S FROM ITEMS");
    EXPECT_EQ(sum.first().Num("S"), rows * (rows - 1) / 2);  // every row, once
  }
  // Values that are not whole rows, or a row the database refuses in a later
  // statement, leave nothing inside a unit.
  EXPECT_FALSE(items.Run({sql::Text("HALF")}).ok());
  std::vector<sql::Value> values;
  for (int i = 0; i < 17; ++i) values.insert(values.end(), {sql::Text("I"), sql::Number(i)});
  values.back() = sql::Number("12,50");  // in the second statement
  {
    Transaction unit;
    EXPECT_FALSE(items.Run(values).ok());
  }
  EXPECT_EQ(CountItems(), 33);
}

TEST_P(QueryHelper, ACommitLetsGoOfItsLocksFirstButReturnsOnlyOnceOnDisk) {
  if (std::string(KVTDatabaseKind()) != "PGSQL") GTEST_SKIP() << "PostgreSQL's log positions";
  for (bool piped : {false, true}) {
    SCOPED_TRACE(piped);
    std::string written;
    {
      std::optional<sql::Pipeline> pipe;
      if (piped) pipe.emplace();
      Transaction unit;
      ASSERT_TRUE(Insert("LOGGED"));
      auto at = sql::Run(
          "SELECT pg_current_wal_insert_lsn()::text AS L, "
          "current_setting('synchronous_commit') AS S");
      ASSERT_TRUE(at.ok()) << at.error();
      EXPECT_EQ(at.first()["S"], "off");  // the unit's commit does not wait ...
      written = at.first()["L"];
      ASSERT_TRUE(unit.Commit()) << unit.error();
    }
    // ... but Commit() does: the log is on disk past what the unit wrote.
    auto flushed = sql::Run(
        "SELECT pg_current_wal_flush_lsn() >= ?::pg_lsn AS F, "
        "current_setting('synchronous_commit') AS S",
        {sql::Text(written)});
    ASSERT_TRUE(flushed.ok()) << flushed.error();
    EXPECT_EQ(flushed.first()["F"], "t");
    EXPECT_EQ(flushed.first()["S"], "on");
  }
}

TEST_P(QueryHelper, AFaultNamesTheStatementAsTheModuleWritesIt) {
  ASSERT_TRUE(Insert("A"));
  // clang-format off
  struct Case { const char* fault; const char* sql; bool fails; } cases[] = {
      {"where code = ?",       "SELECT CODE FROM ITEMS WHERE CODE = ?",                   true},
      {"CODE + 'X'",           "SELECT CODE + 'X' AS C FROM ITEMS WHERE CODE <> ?",       true},
      {"LEFT(CODE, 1)",        "SELECT LEFT(CODE, 1) AS C FROM ITEMS WHERE CODE <> ?",    true},
      {"ORDER BY CODE, RECNO", "SELECT CODE FROM ITEMS WHERE CODE <> ? ORDER BY CODE, RECNO", true},
      {"FROM SALES",           "SELECT CODE FROM ITEMS WHERE CODE <> ?",                  false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    KVTSqlFailStatements(c.fault);
    EXPECT_EQ(sql::Run(c.sql, {sql::Text("Z")}).ok(), !c.fails);
    EXPECT_TRUE(sql::Run(c.sql, {sql::Text("Z")}).ok());  // one failure was asked
  }
  // The fault waits across a reopen of the connection until it is cleared.
  KVTSqlFailStatements("FROM ITEMS", 2);
  ASSERT_TRUE(tempDb().Reopen());
  EXPECT_FALSE(sql::Run("SELECT CODE FROM ITEMS").ok());
  KVTSqlClearFaults();
  EXPECT_TRUE(sql::Run("SELECT CODE FROM ITEMS").ok());
}

TEST_P(QueryHelper, ABadValueFailsTheStatementBeforeItRuns) {
  // clang-format off
  struct Case { sql::Value value; const char* named; } cases[] = {
      {sql::Number("12,50"), "\"12,50\" is not a number"},
      {sql::Date("13/45/2024"), "\"13/45/2024\" is not a date"},
  };
  // clang-format on
  for (const auto& c : cases) {
    auto r = sql::Run("INSERT INTO ITEMS (CODE, RECNO) VALUES ('X', ?)", {c.value});
    EXPECT_NE(r.error().find(c.named), std::string::npos) << r.error();
  }
  EXPECT_EQ(CountItems(), 0);
}

TEST_P(QueryHelper, ATransactionLeftWithoutCommitSavesNothing) {
  {
    Transaction t;
    ASSERT_TRUE(t.ok()) << t.error();
    ASSERT_TRUE(Insert("A"));
  }
  EXPECT_EQ(CountItems(), 0);
  {
    Transaction outer;
    {
      Transaction inner;
      ASSERT_TRUE(Insert("B"));
      ASSERT_TRUE(inner.Commit());
    }
    ASSERT_TRUE(outer.Commit()) << outer.error();
  }
  EXPECT_EQ(CountItems(), 1);
  // A commit the database refused says so, keeps nothing and is not in doubt.
  Transaction t;
  ASSERT_TRUE(Insert("A"));
  KVTSqlFailNextCommit();
  EXPECT_FALSE(t.Commit());
  EXPECT_EQ(std::tuple(t.error().empty(), t.inDoubt(), t.unavailable()),
            std::tuple(false, false, false));
  EXPECT_EQ(CountItems(), 1);  // only the row committed before
}

TEST_P(QueryHelper, TheRecordHasEveryStatementAndEveryEndOfAUnitInOrder) {
  std::vector<std::string> log;
  KVTSqlTraceStatements(&log);
  {
    Transaction t;
    ASSERT_TRUE(Insert("A"));
    Query q("SELECT CODE FROM ITEMS WHERE CODE = ?");
    EXPECT_EQ(q.Run({sql::Text("A")}).found(), Found::Yes);
    EXPECT_EQ(q.Run({sql::Text("B")}).found(), Found::No);  // prepared once, recorded each run
    ASSERT_TRUE(t.Commit());
  }
  {
    Transaction cancelled;
    ASSERT_TRUE(Insert("B"));
  }
  KVTSqlTraceStatements(nullptr);
  ASSERT_TRUE(Insert("C"));  // after the record stopped
  // clang-format off
  const std::vector<std::string> expected = {"BEGIN", "INSERT INTO ITEMS", "SELECT CODE FROM ITEMS",
      "SELECT CODE FROM ITEMS", "COMMIT", "BEGIN", "INSERT INTO ITEMS", "ROLLBACK"};
  // clang-format on
  ASSERT_EQ(log.size(), expected.size());
  for (std::size_t i = 0; i < log.size(); ++i)
    EXPECT_EQ(log[i].rfind(expected[i], 0), 0u) << log[i];
  EXPECT_EQ(CountItems(), 2);
}

// Statements are prepared once per connection and shared; a change to the
// table or a new connection must not leave an old plan answering.
TEST_P(QueryHelper, APreparedStatementFollowsTheTableAndTheConnection) {
  ASSERT_TRUE(Insert("A"));
  const char all[] = "SELECT * FROM ITEMS";
  ASSERT_FALSE(sql::Run(all).first().Has("PRICE"));
  ASSERT_TRUE(KVTRunSqlScript("ALTER TABLE ITEMS ADD COLUMN PRICE TEXT"));
  EXPECT_TRUE(sql::Run(all).first().Has("PRICE")) << KVTLastSqlError();

  KVTCloseConnectionOne();  // a closed connection is a failure, not an empty answer
  EXPECT_EQ(sql::Run(all).found(), Found::Failed);
  EXPECT_FALSE(Transaction().ok());
  ASSERT_TRUE(tempDb().Reopen());
  EXPECT_EQ(CountItems(), 1);
}

TEST_P(QueryHelper, TextReachesTheDatabaseAsUtf8) {
  // clang-format off
  struct Case { const char* bound; const char* stored; } cases[] = {  // stored null: refused
      {"Caf\xC3\xA9", "Caf\xC3\xA9"}, {"Hay \xF0\x9F\x8C\xBE", "Hay \xF0\x9F\x8C\xBE"}, {"Hay \xF0", "Hay "},
      {"Caf\xC3", "Caf"},                         // an accent cut at the width
      {"Hay \xF0\x9F\x8C", "Hay "},               // an emoji cut after 3 of its 4 bytes
      {"Caf\xE9 au lait", nullptr}, {"\xC3(", nullptr},  // Latin-1: not UTF-8 at all
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bound);
    ASSERT_TRUE(sql::Run("DELETE FROM ITEMS").ok());
    sql::Result r = sql::Run("INSERT INTO ITEMS (CODE) VALUES (?)", {sql::Text(c.bound)});
    EXPECT_EQ(r.ok(), c.stored != nullptr);
    EXPECT_EQ(r.error().find("is not UTF-8 text") != std::string::npos, !c.stored) << r.error();
    sql::Result back = sql::Run("SELECT CODE FROM ITEMS");
    EXPECT_EQ(back.found(), c.stored ? Found::Yes : Found::No) << back.error();
    EXPECT_EQ(back.found() == Found::Yes ? back.first()["CODE"] : "", c.stored ? c.stored : "");
  }
}

// Seven inserts and the commit sent together; the statement at `failAt`
// (0: none) repeats a code the unique index already has.
TEST_P(QueryHelper, APipelineThatBreaksKeepsNothingAndNamesTheStatementThatFailed) {
  ASSERT_TRUE(KVTRunSqlScript("CREATE UNIQUE INDEX ITEMS_CODE ON ITEMS (CODE)"));
  ASSERT_TRUE(Insert("TAKEN"));
  const bool pg = std::string(KVTDatabaseKind()) == "PGSQL";
  struct {
    std::size_t failAt;
    long itemsAfter;
  } cases[] = {{5, 1}, {1, 1}, {7, 1}, {0, 8}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failAt);
    Query insert("INSERT INTO ITEMS (CODE) VALUES (?)");
    std::vector<std::string> log;
    KVTSqlTraceStatements(&log);
    bool committed;
    std::vector<std::size_t> numbers;
    std::string failedSql, error;
    {
      sql::Pipeline pipe;
      Transaction tran;
      for (std::size_t i = 1; i <= 7; ++i)
        numbers.push_back(
            pipe.Add(insert, {sql::Text(i == c.failAt ? "TAKEN" : "P" + std::to_string(i))}));
      committed = tran.Commit();
      for (std::size_t i = 1; i <= 7; ++i) {
        sql::Result r = pipe.Answer(numbers[i - 1]);
        EXPECT_EQ(r.ok(), c.failAt == 0 || i < c.failAt) << i << ": " << r.error();
        EXPECT_EQ(r.changed(), r.ok() ? 1 : 0);
      }
      failedSql = pipe.failedSql();
      error = pipe.error();
    }
    KVTSqlTraceStatements(nullptr);
    EXPECT_EQ(committed, c.failAt == 0);
    EXPECT_EQ(failedSql, c.failAt ? insert.sql() : "");
    EXPECT_EQ(error.find("(in: INSERT INTO ITEMS") != std::string::npos, c.failAt != 0) << error;
    EXPECT_EQ(CountItems(), c.itemsAfter);
    if (c.failAt == 0) {
      // One round trip on PostgreSQL: every entry after the begin is marked as sent with it.
      std::size_t trips = 0;
      for (const std::string& e : log) trips += e.rfind("+ ", 0) != 0;
      EXPECT_EQ(trips, pg ? 1u : 9u);
    }
    ASSERT_TRUE(Insert("AFTER")) << KVTLastSqlError();  // the connection is usable
    ASSERT_TRUE(sql::Run("DELETE FROM ITEMS WHERE CODE = 'AFTER'").ok());
  }
}

TEST_P(QueryHelper, AReadInsideAPipelineSeesTheChangesQueuedBeforeIt) {
  sql::Pipeline pipe;
  Transaction tran;
  ASSERT_TRUE(Insert("Q1"));  // queued
  EXPECT_EQ(CountItems(), 1);
  ASSERT_TRUE(tran.Commit()) << tran.error();
}

KVT_ON_BOTH_BACKENDS(QueryHelper);

}  // namespace
