// Record numbers: in blocks, above what a table holds, never twice, also
// when four tills ask at once and when a sale that took numbers is cancelled.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "platform/sql/kvtsql.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/backends.h"

extern char** environ;

namespace {

struct Worker {
  pid_t pid = -1;
  std::string out;
};

// Starts a worker process writing its numbers to `out`.
Worker Start(const std::string& ini, const char* table, int block, int count,
             const std::string& startFile, const std::string& out) {
  Worker w;
  w.out = out;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::string b = std::to_string(block), c = std::to_string(count);
  // clang-format off
  std::vector<char*> argv = {const_cast<char*>(NEXTNUM_WORKER), const_cast<char*>(ini.c_str()),
      const_cast<char*>(table), b.data(), c.data(), const_cast<char*>(startFile.c_str()), nullptr};
  // clang-format on
  if (posix_spawn(&w.pid, NEXTNUM_WORKER, &fa, nullptr, argv.data(), environ) != 0) w.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return w;
}

// Waits for the worker; its numbers, or an empty list when it failed.
std::vector<long> Finish(const Worker& w) {
  int status = 0;
  if (w.pid < 0 || waitpid(w.pid, &status, 0) != w.pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return {};
  std::vector<long> numbers;
  std::ifstream in(w.out);
  long n;
  while (in >> n) numbers.push_back(n);
  return numbers;
}

class RecordNumbers : public kvt::test::OnEachBackend {
 protected:
  void SetUp() override {
    OnEachBackend::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(KVTRunSqlScript(
        KVTCreateTableSql("KVTNEXTNUM",
                          {{"TABLENAME", KVTColumnType::Text}, {"NEXTNUM", KVTColumnType::Double}},
                          "TABLENAME")
            .c_str()))
        << KVTLastSqlError();
    ASSERT_TRUE(KVTRunSqlScript(KVTCreateTableSql("KVTPOS1", {{"INVOICENUM", KVTColumnType::Text},
                                                              {"RECNO", KVTColumnType::Double}})
                                    .c_str()));
  }
  static std::string Counter(const char* table) {
    KVTSConnection s(1, nullptr, 0);
    std::string sql = std::string("SELECT NEXTNUM FROM KVTNEXTNUM WHERE TABLENAME = '") +
                      KVTSqlQuote(table) + "'";
    return s.ExecSQL(sql.c_str()) && s.FetchNext() ? s.ColumnVar(1) : "(none)";
  }
};

TEST_P(RecordNumbers, HandsOutABlockAboveTheTablesHighestRecordNumber) {
  KVTSConnection s(1, nullptr, 0);
  ASSERT_EQ(s.ExecSQLChange("INSERT INTO KVTPOS1 (INVOICENUM, RECNO) VALUES ('1', 500)"), 1);
  EXPECT_EQ(NextNum(nullptr, 1, "KVTPOS1", 100, 0, 1), 501);
  EXPECT_EQ(NextNum(nullptr, 1, "kvtpos1", 100, 0, 1), 502);  // the table name is not case bound
  EXPECT_EQ(Counter("KVTPOS1"), "601");                       // the rest of the block is ours
  // A table of no rows, and a counter for something that is not a table.
  EXPECT_EQ(NextNum(1, "TMPRUN", 10), 1);
  EXPECT_EQ(Counter("TMPRUN"), "11");
  for (int i = 2; i <= 10; ++i) EXPECT_EQ(NextNum(1, "TMPRUN", 10), i);
  EXPECT_EQ(NextNum(1, "TMPRUN", 10), 11);  // the next block
  EXPECT_EQ(Counter("TMPRUN"), "21");
  // What is not a table name is refused.
  EXPECT_EQ(NextNum(1, "KVTPOS1; DELETE FROM KVTPOS1", 100), 0);
  EXPECT_NE(std::string(KVTLastSqlError()).find("not a table name"), std::string::npos);
  EXPECT_EQ(NextNum(1, nullptr, 100), 0);
  EXPECT_EQ(NextNum(3, "KVTPOS1", 100), 0);
  KVTCloseConnectionOne();
  EXPECT_EQ(NextNum(1, "KVTPOS1", 100), 0);
}

TEST_P(RecordNumbers, FourTillsAskingAtOnceNeverGetTheSameNumber) {
  ASSERT_TRUE(tempDb().WriteIni("KVTSQL.ini"));
  std::string start = "start-" + std::string(kvt::test::BackendName(GetParam()));
  std::remove(start.c_str());
  std::vector<Worker> workers;
  for (int i = 0; i < 4; ++i)
    workers.push_back(
        Start("KVTSQL.ini", "KVTPOS1", 7, 150, start, "till" + std::to_string(i) + ".out"));
  std::ofstream(start) << "go";
  std::set<long> all;
  size_t total = 0;
  for (const Worker& w : workers) {
    std::vector<long> numbers = Finish(w);
    EXPECT_EQ(numbers.size(), 150u) << "a till failed: see its output " << w.out;
    for (long n : numbers) all.insert(n);
    total += numbers.size();
  }
  std::remove(start.c_str());
  EXPECT_EQ(all.size(), total) << "a number was handed out twice";
  ASSERT_FALSE(all.empty());
  EXPECT_EQ(*all.begin(), 1);
  EXPECT_LE(*all.rbegin(), 4 * 154);  // at most a block per till left unused
}

TEST_P(RecordNumbers, ACancelledSaleNeverLeadsToANumberTwice) {
  ASSERT_TRUE(tempDb().WriteIni("KVTSQL.ini"));
  KVTConnection c(1);
  char t[] = "SELECT RECNO FROM KVTPOS1";
  ASSERT_GT(c.BeginTran(t), 0);
  double first = NextNum(nullptr, 1, "KVTPOS1", 10, 0, 1);
  ASSERT_GT(first, 0);
  ASSERT_GT(c.CancelTran(t), 0);
  // Another till takes a block now.
  std::ofstream("go") << "go";
  std::vector<long> other = Finish(Start("KVTSQL.ini", "KVTPOS1", 10, 10, "go", "other.out"));
  ASSERT_EQ(other.size(), 10u);
  std::set<long> taken(other.begin(), other.end());
  for (int i = 0; i < 20; ++i) {
    long n = static_cast<long>(NextNum(nullptr, 1, "KVTPOS1", 10, 0, 1));
    EXPECT_TRUE(taken.insert(n).second) << n << " was handed out twice";
  }
}

KVT_ON_BOTH_BACKENDS(RecordNumbers);

}  // namespace
