// Connection 1 when the database goes away: a lost session, a removed or
// replaced SQLite file, a missing database or schema. A failure of the
// connection is never an empty answer, and the till carries on once the
// database is back, without being restarted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/sql/kvtsqladmin.h"
#include "platform/sql/query.h"
#include "tests/support/testdb.h"

namespace {

namespace sql = kvt::sql;
namespace fs = std::filesystem;
using sql::Found;

bool Away(const sql::Result& r) {
  return r.found() == Found::Failed && r.unavailable() &&
         r.error().rfind("The database is not available: ", 0) == 0;
}

class Reconnect : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(Add("A"));
  }
  void TearDown() override {
    KVTSqlClearFaults();
    DatabaseTest::TearDown();
  }
  kvt::test::TempDatabase& tempDb() { return db().temp(); }
  static bool Add(const char* code) {
    return sql::Run("INSERT INTO KVTCOM13 (REFERENCE) VALUES (?)", {sql::Text(code)}).ok();
  }
  static sql::Result Find(const char* code) {
    return sql::Run("SELECT REFERENCE FROM KVTCOM13 WHERE REFERENCE = ?", {sql::Text(code)});
  }
  static bool Saved(const char* code) {
    sql::Transaction t;
    return t.ok() && Add(code) && t.Commit();
  }
};

TEST_P(Reconnect, ALostSessionIsOpenedAgainAndAReadAnswersOnIt) {
  sql::Query find("SELECT REFERENCE FROM KVTCOM13 WHERE REFERENCE = ?");
  ASSERT_EQ(find.Run({sql::Text("A")}).found(), Found::Yes);
  KVTSqlLoseConnection();
  // The read failed on the lost session, was run again on a new one.
  EXPECT_EQ(find.Run({sql::Text("A")}).found(), Found::Yes);
  KVTSqlLoseConnection();
  EXPECT_TRUE(Saved("B")) << KVTLastSqlError();  // a unit of work begins on a new session
  EXPECT_EQ(Find("B").found(), Found::Yes);
  // While the database is away every answer says so; nothing reads as not found.
  KVTSqlDatabaseAway(true);
  sql::Result read = Find("A");
  EXPECT_TRUE(Away(read)) << read.error();
  EXPECT_TRUE(Away(sql::Run("INSERT INTO KVTCOM13 (REFERENCE) VALUES ('C')")));
  sql::Transaction t;
  EXPECT_FALSE(t.ok());
  EXPECT_TRUE(t.unavailable()) << t.error();
  KVTSqlDatabaseAway(false);
  EXPECT_EQ(Find("A").found(), Found::Yes);
  EXPECT_TRUE(Saved("C")) << KVTLastSqlError();
}

TEST_P(Reconnect, ALostCommitIsInDoubtNotFailed) {
  for (bool kept : {true, false}) {
    SCOPED_TRACE(kept ? "kept" : "rolled back");
    const char* code = kept ? "K" : "R";
    KVTSqlLoseConnectionAtCommit(kept);
    sql::Transaction t;
    ASSERT_TRUE(Add(code));
    EXPECT_FALSE(t.Commit());
    EXPECT_TRUE(t.inDoubt());
    EXPECT_TRUE(t.unavailable()) << t.error();
    EXPECT_EQ(Find(code).found(), kept ? Found::Yes : Found::No);  // read on a new session
  }
}

TEST_P(Reconnect, PostgresSessionEndedByTheServerIsOpenedAgain) {
  if (!IsPg()) GTEST_SKIP() << "a server session";
  // As a server restart does: the session ends under the till.
  EXPECT_FALSE(sql::Run("SELECT pg_terminate_backend(pg_backend_pid())").ok());
  EXPECT_EQ(Find("A").found(), Found::Yes);
  EXPECT_TRUE(Saved("D")) << KVTLastSqlError();
  EXPECT_GT(NextNum(1, "KVTCOM13", 1), 0) << KVTLastSqlError();
  // The counter session too.
  EXPECT_TRUE(sql::Run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                       "application_name = 'kvtpos' AND pid <> pg_backend_pid()")
                  .ok());
  EXPECT_GT(NextNum(1, "KVTCOM13", 1), 0) << KVTLastSqlError();
}

TEST_P(Reconnect, SqliteFileRemovedIsRefusedAndAReplacedOneIsOpened) {
  if (IsPg()) GTEST_SKIP() << "a database file";
  const fs::path file = tempDb().settings().dataPath, aside = file.string() + ".aside";
  ASSERT_TRUE(sql::Run("PRAGMA wal_checkpoint(TRUNCATE)").ok());
  fs::rename(file, aside);
  // The till must not go on writing into a file nobody will ever read.
  sql::Result write = sql::Run("INSERT INTO KVTCOM13 (REFERENCE) VALUES ('X')");
  EXPECT_TRUE(Away(write)) << write.error();
  EXPECT_NE(write.error().find(file.string()), std::string::npos) << write.error();
  EXPECT_FALSE(Saved("X"));
  EXPECT_FALSE(fs::exists(file)) << "a missing database is not made again";
  // Put back as a copy (another inode), as a restore does.
  fs::copy_file(aside, file);
  EXPECT_TRUE(Saved("E")) << KVTLastSqlError();
  KVTCloseConnectionOne();
  ASSERT_TRUE(tempDb().Reopen()) << KVTLastSqlError();
  EXPECT_EQ(Find("E").found(), Found::Yes) << "the sale went into the file at DataPath";
  EXPECT_EQ(Find("X").found(), Found::No);
}

TEST_P(Reconnect, AMissingDatabaseIsAnErrorNamingIt) {
  KVTConnectionSettings s = tempDb().settings();
  std::string missing;
  if (IsPg()) {
    s.schema = "kvt_no_such_schema";
    missing = "schema kvt_no_such_schema";
  } else {
    s.dataPath = tempDb().folder() + "/other.db";
    missing = s.dataPath;
  }
  EXPECT_FALSE(KVTOpenConnectionOne(s));
  EXPECT_NE(std::string(KVTLastSqlError()).find(missing), std::string::npos) << KVTLastSqlError();
  EXPECT_FALSE(!IsPg() && fs::exists(s.dataPath));
  s.create = true;
  EXPECT_TRUE(KVTOpenConnectionOne(s)) << KVTLastSqlError();
  EXPECT_TRUE(!IsPg() || KVTRunSqlScript("DROP SCHEMA kvt_no_such_schema CASCADE"));
}

TEST_P(Reconnect, QuotedValuesStayValuesWhateverTheServersDefault) {
  if (!IsPg()) GTEST_SKIP() << "a server setting";
  // A server (or role) that reads backslashes in quotes as escapes.
  ::setenv("PGOPTIONS", "-c standard_conforming_strings=off", 1);
  bool opened = tempDb().Reopen();
  ::unsetenv("PGOPTIONS");
  ASSERT_TRUE(opened) << KVTLastSqlError();
  sql::Result scs = sql::Run("SHOW standard_conforming_strings");
  ASSERT_EQ(scs.found(), Found::Yes) << scs.error();
  EXPECT_EQ(scs.first()["standard_conforming_strings"], "on");
  const std::string typed = "x\\' OR 1=1 --";
  ASSERT_TRUE(Add(typed.c_str()));
  sql::Result r = sql::Run("SELECT REFERENCE FROM KVTCOM13 WHERE REFERENCE = '" +
                           KVTSqlQuote(typed.c_str()) + "'");
  ASSERT_EQ(r.rows().size(), 1u) << r.error();
  EXPECT_EQ(r.first()["REFERENCE"], typed);
}

KVT_ON_BOTH_BACKENDS(Reconnect);

TEST(ConnectionSettings, KindInAnyCaseAndDataPathBesideTheSettingsFile) {
  fs::create_directories("store");
  // clang-format off
  struct Case { const char* ini; const char* text; const char* translate; std::string dataPath; } cases[] = {
      {"store/KVTSQL.ini", "Translate=pgsql\n", "PGSQL", ""},
      {"store/KVTSQL.ini", "Translate=Sqlite\nDataPath=kvtpos.db\n", "SQLITE", "store/kvtpos.db"},
      {"store/KVTSQL.ini", "DataPath=/data/kvtpos.db\n", "SQLITE", "/data/kvtpos.db"},
      {".\\store\\KVTSQL.ini", "DataPath=db\\kvtpos.db\n", "SQLITE", "./store/db/kvtpos.db"},
      {"KVTSQL.ini", "DataPath=kvtpos.db\n", "SQLITE", "kvtpos.db"},
  };
  // clang-format on
  for (const Case& c : cases) {
    std::string file = c.ini;
    for (char& ch : file)
      if (ch == '\\') ch = '/';
    std::ofstream(file) << "[KVTSQL Connection One]\n" << c.text;
    KVTConnectionSettings s;
    ASSERT_TRUE(KVTReadConnectionSettings(c.ini, &s)) << c.text;
    EXPECT_EQ(s.translate, c.translate) << c.text;
    EXPECT_EQ(s.dataPath, c.dataPath) << c.text;
  }
}

}  // namespace
