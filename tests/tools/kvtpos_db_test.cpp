// kvtpos-db as a user runs it: exit codes and messages.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>

#include "platform/sql/kvtsql.h"
#include "tests/support/backends.h"
#include "tests/support/run.h"

namespace {

kvt::test::CommandResult Tool(const std::string& args) {
  return kvt::test::RunCommand(std::string(KVTPOS_DB) + " " + args + " 2>&1");
}

// Runs the tool: its exit code, and the texts its output holds.
void ExpectTool(const std::string& args, int code, std::initializer_list<const char*> told = {}) {
  auto r = Tool(args);
  EXPECT_EQ(r.code, code) << args << "\n" << r.out;
  for (const char* t : told) EXPECT_NE(r.out.find(t), std::string::npos) << t << "\n" << r.out;
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
  const std::string ini = " --ini " + ini_;
  ExpectTool("check" + ini, 1, {"table KVTPOS1 is missing"});
  ExpectTool("init" + ini, 0, {"schema version"});
  ExpectTool("check" + ini, 0, {"in order"});
  ASSERT_TRUE(tempDb().Reopen());
  KVTSConnection s(1, nullptr, 0);
  ASSERT_GE(s.ExecSQLChange("DROP TABLE KVTPOS3"), 0) << s.LastError();
  KVTCloseConnectionOne();
  ExpectTool("check" + ini, 1, {"table KVTPOS3 is missing", "1 problem"});
  ExpectTool("demo" + ini, 0, {"demo store loaded"});  // adds the missing table, then the store
  ExpectTool("demo" + ini, 1, {"already holds"});
}

TEST_P(KvtposDb, CheckFindsADamagedFileAndNeverMakesAMissingSchema) {
  ASSERT_EQ(Tool("init --ini " + ini_).code, 0);
  if (IsPg()) {
    const KVTConnectionSettings& s = tempDb().settings();
    ExpectTool("check --pg '" + s.connInfo + "' --schema kvt_no_such_schema", 1,
               {"no schema kvt_no_such_schema"});
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
  ExpectTool("check --ini " + ini_, 1, {"damaged: "});
}

KVT_ON_BOTH_BACKENDS(KvtposDb);

TEST(KvtposDbUsage, BadUsageAndMissingDatabasesAreClearFailures) {
  ExpectTool("", 2);
  ExpectTool("frobnicate", 2, {"unknown command"});
  ExpectTool("init --sqlite", 2);
  std::remove("KVTSQL.ini");
  ExpectTool("check", 1, {"no settings file"});
  // Only init and demo make a database; check names the missing one.
  ExpectTool("check --sqlite no-such.db", 1, {"no database file no-such.db"});
  EXPECT_FALSE(std::ifstream("no-such.db").good());
  std::ofstream("KVTSQL.ini") << "[KVTSQL Connection One]\nTranslate=MSSQL\n";
  ExpectTool("init", 1, {"MSSQL"});
  std::remove("KVTSQL.ini");
}

}  // namespace
