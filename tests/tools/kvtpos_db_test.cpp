// kvtpos-db as a user runs it: exit codes and messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/sql/kvtsql.h"
#include "tests/support/backends.h"
#include "tests/support/run.h"

namespace {

kvt::test::CommandResult Tool(const std::string& args) {
  return kvt::test::RunCommand(std::string(KVTPOS_DB) + " " + args + " 2>&1");
}

class KvtposDb : public kvt::test::OnEachBackend {
 protected:
  // The tool is pointed at the test's database through a settings file.
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ini_ = std::string("db-") + kvt::test::BackendName(GetParam()) + ".ini";
    std::remove(ini_.c_str());
    ASSERT_TRUE(tempDb().WriteIni(ini_));
    KVTCloseConnectionOne();  // the tool has the database to itself
  }
  std::string ini_;
};

TEST_P(KvtposDb, InitCheckAndDemoReportAndExitAsTheyShould) {
  auto r = Tool("check --ini " + ini_);
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("table KVTPOS1 is missing"), std::string::npos) << r.out;

  r = Tool("init --ini " + ini_);
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("schema version"), std::string::npos) << r.out;
  r = Tool("check --ini " + ini_);
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("in order"), std::string::npos) << r.out;

  ASSERT_TRUE(tempDb().Reopen());
  KVTSConnection s(1, nullptr, 0);
  ASSERT_GE(s.ExecSQLChange("DROP TABLE KVTPOS3"), 0) << s.LastError();
  KVTCloseConnectionOne();
  r = Tool("check --ini " + ini_);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("table KVTPOS3 is missing"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("1 problem"), std::string::npos) << r.out;

  r = Tool("demo --ini " + ini_);  // adds the missing table, then the store
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("demo store loaded"), std::string::npos) << r.out;
  r = Tool("demo --ini " + ini_);
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("already holds"), std::string::npos) << r.out;
}

TEST_P(KvtposDb, CheckFindsADamagedFileAndNeverMakesAMissingSchema) {
  ASSERT_EQ(Tool("init --ini " + ini_).code, 0);
  if (IsPg()) {
    const KVTConnectionSettings& s = tempDb().settings();
    auto r = Tool("check --pg '" + s.connInfo + "' --schema kvt_no_such_schema");
    EXPECT_EQ(r.code, 1) << r.out;
    EXPECT_NE(r.out.find("no schema kvt_no_such_schema"), std::string::npos) << r.out;
    ASSERT_TRUE(tempDb().Reopen());
    KVTSConnection q(1, nullptr, 0);
    ASSERT_GT(q.ExecSQL("SELECT 1 FROM pg_namespace WHERE nspname = 'kvt_no_such_schema'"), 0);
    EXPECT_FALSE(q.FetchNext()) << "the schema was made";
    KVTCloseConnectionOne();
    return;
  }
  // Garbage over the headers of a few pages past the first: every table is
  // still there by name.
  const std::string file = tempDb().settings().dataPath;
  std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
  f.seekg(0, std::ios::end);
  ASSERT_GT(static_cast<long>(f.tellg()), 12 * 4096);
  for (long page = 6; page < 12; ++page) {
    f.seekp(page * 4096);
    f << std::string(12, '\x5a');
  }
  f.close();
  auto r = Tool("check --ini " + ini_);
  EXPECT_EQ(r.code, 1) << r.out;
  EXPECT_NE(r.out.find("damaged: "), std::string::npos) << r.out;
}

KVT_ON_BOTH_BACKENDS(KvtposDb);

TEST(KvtposDbUsage, BadUsageAndMissingDatabasesAreClearFailures) {
  EXPECT_EQ(Tool("").code, 2);
  auto r = Tool("frobnicate");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.out.find("unknown command"), std::string::npos);
  EXPECT_EQ(Tool("init --sqlite").code, 2);
  std::remove("KVTSQL.ini");
  r = Tool("check");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("no settings file"), std::string::npos) << r.out;
  // Only init and demo make a database; check names the missing one.
  r = Tool("check --sqlite no-such.db");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("no database file no-such.db"), std::string::npos) << r.out;
  EXPECT_FALSE(std::ifstream("no-such.db").good());
  std::ofstream("KVTSQL.ini") << "[KVTSQL Connection One]\nTranslate=MSSQL\n";
  r = Tool("init");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("MSSQL"), std::string::npos) << r.out;
  std::remove("KVTSQL.ini");
}

}  // namespace
