// Tills attacked as the world attacks them: killed with SIGKILL while they
// save, their SQLite file moved away and put back, their PostgreSQL server
// stopped at once and started again. Each run checks the same invariants
// and prints its figures:
//   - every sale header has its three lines and three tax rows;
//   - no sale number, link or record number is used twice;
//   - the stock and the category's history moved exactly for the sales saved;
//   - no sale reported saved is missing, none reported not saved is there.
// KVT_RELIABILITY_ROUNDS makes the kill runs longer (default 8 rounds);
// KVT_RELIABILITY_SECONDS the runs of four and eight tills saving at once
// (default 2 s).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/sql/query.h"
#include "tests/support/run.h"
#include "tests/support/testdb.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
namespace sql = kvt::sql;

constexpr double kStartQoh = 1000000;

int FromEnv(const char* name, int otherwise) {
  const char* r = std::getenv(name);
  int n = r ? std::atoi(r) : 0;
  return n > 0 ? n : otherwise;
}

int Rounds() {
  return FromEnv("KVT_RELIABILITY_ROUNDS", 8);
}

struct Till {
  pid_t pid = -1;
  std::string out;
};

// What the tills said, the last word per link.
struct Told {
  std::map<std::string, std::string> last;
  int saved = 0, notSaved = 0, unknown = 0, away = 0;
  void Read(const std::string& file) {
    std::ifstream in(file);
    for (std::string what, link; in >> what >> link;) {
      away += what == "AWAY";
      if (what == "AWAY") continue;
      last[link] = what;
      saved += what == "SAVED";
      notSaved += what == "NOTSAVED";
      unknown += what == "UNKNOWN";
    }
  }
};

class Reliability : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Add({"KVTPOS10 RECNO=1 NEXTSLNUM=1001 NEXTSLLNK=501 USESTNSNUM=F",
         "KVTCOM13 REFERENCE=MAIN LOCATION=01", "KVTINV17 CONFIG10=01",
         "KVTCOM12 REFERENCE=HDWR LOCATION=MAIN CURQTY3=0.000 CURDOL3=0.00"});
    for (const char* ref : {"A1", "A2", "A3"})
      Add({std::string("KVTINV2 LOCATION=01 QTYONHAND=1000000 REFERENCE=") + ref});
    ini_ = std::string("rel-") + kvt::test::BackendName(GetParam()) + ".ini";
    std::remove(ini_.c_str());
    ASSERT_TRUE(db().temp().WriteIni(ini_));
  }

  Till Start(const std::string& id, int count = 1000000) {
    Till t;
    t.out = "till-" + id + "-" + std::to_string(++started_) + ".out";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, t.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, (t.out + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    std::string n = std::to_string(count);
    std::vector<const char*> argv = {TILL_WORKER, ini_.c_str(), id.c_str(), n.c_str(), nullptr};
    posix_spawn(&t.pid, TILL_WORKER, &fa, nullptr, const_cast<char**>(argv.data()), environ);
    posix_spawn_file_actions_destroy(&fa);
    outs_.push_back(t.out);
    return t;
  }
  // Waits until the till has said something (a sanitized till takes a
  // while to start), at most 20 s.
  static void Started(const Till& t) {
    for (int waited = 0; waited < 2000; ++waited) {
      std::error_code ec;
      if (fs::file_size(t.out, ec) > 0) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }
  static void Kill(const Till& t) {
    ::kill(t.pid, SIGKILL);
    ::waitpid(t.pid, nullptr, 0);
  }

  // Checks every invariant on what is in the database and what the tills
  // said; prints the figures of the run.
  void Check(const char* run, int rounds, int faults) {
    Told told;
    for (const std::string& out : outs_) told.Read(out);
    int violations = 0;
    auto violation = [&](const std::string& what) {
      ++violations;
      ADD_FAILURE() << run << ": " << what;
    };
    std::set<std::string> links;
    for (const auto& row : db().Rows("SELECT INVOICELNK FROM KVTPOS1")) links.insert(row[0]);
    const double sales = static_cast<double>(links.size());
    if (sales != db().Count("KVTPOS1")) violation("a link used twice");
    for (const auto& row : db().Rows("SELECT INVOICENUM, COUNT(*) FROM KVTPOS1 GROUP BY INVOICENUM "
                                     "HAVING COUNT(*) > 1"))
      violation("sale number " + row[0] + " used " + row[1] + " times");
    for (const std::string& link : links) {
      std::string where = "INVOICELNK = '" + link + "'";
      if (db().Count("KVTPOS2", where) != 3 || db().Count("KVTPOS3", where) != 3)
        violation("sale " + link + " is not whole");
    }
    if (db().Count("KVTPOS2") != 3 * sales || db().Count("KVTPOS3") != 3 * sales)
      violation("lines or taxes without their sale");
    for (const char* table : {"KVTPOS1", "KVTPOS2", "KVTPOS3"})
      for (const auto& row : db().Rows(std::string("SELECT RECNO, COUNT(*) FROM ") + table +
                                       " GROUP BY RECNO HAVING COUNT(*) > 1"))
        violation(std::string(table) + " record number " + row[0] + " used " + row[1] + " times");
    // Each sale sells 1 + 2 + 3 of category HDWR for 2 + 4 + 6.
    const auto history =
        db().Rows("SELECT CURQTY3, CURDOL3 FROM KVTCOM12 WHERE REFERENCE = 'HDWR'").at(0);
    if (std::atof(history[0].c_str()) != 6 * sales || std::atof(history[1].c_str()) != 12 * sales)
      violation("history of HDWR is " + history[0] + " " + history[1]);
    for (int n = 1; n <= 3; ++n) {
      const std::string qoh = db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = 'A" +
                                         std::to_string(n) + "'");
      if (std::atof(qoh.c_str()) != kStartQoh - n * sales)
        violation("stock of A" + std::to_string(n) + " is " + qoh);
    }
    for (const auto& [link, what] : told.last) {
      if (what == "SAVED" && !links.count(link))
        violation("sale " + link + " said saved is missing");
      if (what == "NOTSAVED" && links.count(link))
        violation("sale " + link + " said not saved is there");
    }
    std::printf(
        "reliability %s (%s): %d rounds, %d faults, %zu sales in the database, %d said saved, "
        "%d said not saved, %d said unknown, %d times away, %d violations\n",
        run, kvt::test::BackendName(GetParam()), rounds, faults, links.size(), told.saved,
        told.notSaved, told.unknown, told.away, violations);
  }

  std::string ini_;
  std::vector<std::string> outs_;
  int started_ = 0;
};

TEST_P(Reliability, KilledWhileSavingLosesNothingAndLeavesNoPartialSale) {
  std::mt19937 random(12345);
  const int rounds = Rounds();
  for (int round = 0; round < rounds; ++round) {
    Till a = Start("A"), b = Start("B");
    Started(a);
    Started(b);
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 300));
    Kill(a);
    Kill(b);
  }
  Check("kill -9", rounds, 2 * rounds);
}

TEST_P(Reliability, SqliteFileMovedAwayAndBackIsNeverSavedIntoInTheMeantime) {
  if (IsPg()) GTEST_SKIP() << "a database file";
  const std::string file = db().temp().settings().dataPath, aside = file + ".aside";
  const int rounds = 4;
  Till a = Start("A");
  Started(a);
  for (int round = 0; round < rounds; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    fs::rename(file, aside);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    fs::rename(aside, file);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  Kill(a);
  Told told;
  told.Read(outs_.back());
  EXPECT_GT(told.notSaved + told.away, 0) << "the till noticed the file gone";
  Check("file moved away", rounds, rounds);
}

// Tills saving at once for a while, then stopped (killed, at any moment).
TEST_P(Reliability, FourAndThenEightTillsSavingAtOnceShareNoNumber) {
  const int seconds = FromEnv("KVT_RELIABILITY_SECONDS", 2);
  for (int count : {4, 8}) {
    std::vector<Till> tills;
    for (int i = 0; i < count; ++i)
      tills.push_back(Start(std::string(1, static_cast<char>('A' + i))));
    for (const Till& t : tills) Started(t);
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    for (const Till& t : tills) Kill(t);
    const std::string run = std::to_string(count) + " tills " + std::to_string(seconds) + " s";
    Check(run.c_str(), 1, count);
  }
}

KVT_ON_BOTH_BACKENDS(Reliability);

// A PostgreSQL server of its own, so that stopping it disturbs no other test.
class ServerRestart : public Reliability {
 protected:
  static void SetUpTestSuite() {
    const char* shared = std::getenv("KVT_PG");
    if (!shared || !*shared) return;  // no PostgreSQL here: the test skips
    shared_ = shared;
    dir_ = fs::absolute("pg-restart").string();
    std::string conn = kvt::test::RunCommand(std::string(PG_SH) + " start " + dir_ + " 2>&1").out;
    while (!conn.empty() && conn.back() == '\n') conn.pop_back();
    ::setenv("KVT_PG", conn.c_str(), 1);
  }
  static void TearDownTestSuite() {
    if (dir_.empty()) return;
    std::system((std::string(PG_SH) + " stop " + dir_).c_str());
    ::setenv("KVT_PG", shared_.c_str(), 1);
  }
  static int Restart() { return std::system((std::string(PG_SH) + " restart " + dir_).c_str()); }
  static inline std::string shared_, dir_;
};

TEST_P(ServerRestart, StoppedAtOnceAndStartedAgainTheTillsSaveAgainWithoutARestart) {
  const int rounds = 3;
  Till a = Start("A"), b = Start("B");
  Started(a);
  Started(b);
  for (int round = 0; round < rounds; ++round) {
    ASSERT_EQ(Restart(), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
  }
  Told before;
  for (const std::string& out : outs_) before.Read(out);
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  Kill(a);
  Kill(b);
  Told after;
  for (const std::string& out : outs_) after.Read(out);
  EXPECT_GT(after.saved, before.saved) << "the tills save again after the last restart";
  Check("server restart", rounds, rounds);
}

INSTANTIATE_TEST_SUITE_P(, ServerRestart, ::testing::Values(kvt::test::Backend::PostgreSQL),
                         kvt::test::BackendParamName);

}  // namespace
