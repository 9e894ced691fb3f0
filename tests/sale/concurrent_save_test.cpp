// Four tills saving sales at once against one database: every sale number
// and every link is handed out once, every sale is whole, and the stock
// moved is exactly what was sold.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/testdb.h"

extern char** environ;

namespace {

constexpr int kTills = 4;
constexpr int kSales = 25;

struct Till {
  pid_t pid = -1;
  std::string out;
};

Till Start(const std::string& ini, const std::string& instance, int count,
           const std::string& startFile, const std::string& out, const char* mode = nullptr) {
  Till t;
  t.out = out;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::string n = std::to_string(count);
  std::vector<char*> argv = {const_cast<char*>(SAVE_WORKER), const_cast<char*>(ini.c_str()),
                             const_cast<char*>(instance.c_str()), n.data(),
                             const_cast<char*>(startFile.c_str())};
  if (mode) argv.push_back(const_cast<char*>(mode));
  argv.push_back(nullptr);
  if (posix_spawn(&t.pid, SAVE_WORKER, &fa, nullptr, argv.data(), environ) != 0) t.pid = -1;
  posix_spawn_file_actions_destroy(&fa);
  return t;
}

// "number link" of each sale the till saved; empty when it failed.
std::vector<std::string> Finish(const Till& t) {
  int status = 0;
  if (t.pid < 0 || waitpid(t.pid, &status, 0) != t.pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return {};
  std::vector<std::string> sales;
  std::ifstream in(t.out);
  for (std::string line; std::getline(in, line);) sales.push_back(line);
  return sales;
}

class ConcurrentSaving : public kvt::test::DatabaseTest {};

TEST_P(ConcurrentSaving, FourTillsNeverShareANumberOrALinkAndEverySaleIsWhole) {
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"NEXTSLLNK", "1"}, {"USESTNSNUM", "T"}}));
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"NEXTSLNUM", "1"}}));
  for (const char* item : {"A1", "A2", "A3"})
    ASSERT_TRUE(
        db().Add("KVTINV2", {{"REFERENCE", item}, {"LOCATION", "01"}, {"QTYONHAND", "1000"}}));
  ASSERT_TRUE(db().Add("KVTCOM12", {{"REFERENCE", "HDWR"}, {"LOCATION", "MAIN"}}));
  ASSERT_TRUE(db().temp().WriteIni("KVTSQL.ini"));

  std::string start = std::string("start-") + kvt::test::BackendName(GetParam());
  std::remove(start.c_str());
  std::vector<Till> tills;
  const char* ids[kTills] = {"A", "B", "C", "D"};
  for (int i = 0; i < kTills; ++i)
    tills.push_back(
        Start("KVTSQL.ini", ids[i], kSales, start, std::string("till") + ids[i] + ".out"));
  std::ofstream(start) << "go";
  std::set<std::string> numbers, links;
  for (const Till& t : tills) {
    std::vector<std::string> sales = Finish(t);
    EXPECT_EQ(sales.size(), static_cast<std::size_t>(kSales)) << "a till failed: see " << t.out;
    for (const std::string& s : sales) {
      numbers.insert(s.substr(0, s.find(' ')));
      links.insert(s.substr(s.find(' ') + 1));
    }
  }
  std::remove(start.c_str());

  const int total = kTills * kSales;
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(total)) << "a sale number was given twice";
  EXPECT_EQ(links.size(), static_cast<std::size_t>(total)) << "a link was given twice";
  EXPECT_EQ(db().Count("KVTPOS1"), total);
  EXPECT_EQ(db().Value("SELECT COUNT(DISTINCT INVOICENUM) FROM KVTPOS1"), std::to_string(total));
  EXPECT_EQ(db().Value("SELECT COUNT(DISTINCT INVOICELNK) FROM KVTPOS1"), std::to_string(total));
  // Numbers 1..100 with none skipped: the counter only moves for a saved sale.
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), std::to_string(total + 1));
  // Every header has its three lines and three tax rows.
  EXPECT_EQ(db().Count("KVTPOS2"), 3 * total);
  EXPECT_EQ(db().Count("KVTPOS3"), 3 * total);
  EXPECT_EQ(db().Value("SELECT COUNT(*) FROM KVTPOS1 WHERE (SELECT COUNT(*) FROM KVTPOS2 WHERE "
                       "KVTPOS2.INVOICELNK = KVTPOS1.INVOICELNK AND KVTPOS2.INVOICENUM = "
                       "KVTPOS1.INVOICENUM) <> 3 OR (SELECT COUNT(*) FROM KVTPOS3 WHERE "
                       "KVTPOS3.INVOICELNK = KVTPOS1.INVOICELNK) <> 3"),
            "0");
  EXPECT_EQ(db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = 'A1'"),
            std::to_string(1000 - 1 * total) + ".000");
  EXPECT_EQ(db().Value("SELECT QTYONHAND FROM KVTINV2 WHERE REFERENCE = 'A3'"),
            std::to_string(1000 - 3 * total) + ".000");
  EXPECT_EQ(db().Value("SELECT CURQTY3 FROM KVTCOM12"), std::to_string(6 * total) + ".000");
}

// Numbers taken on their own, each in its own short transaction: two tills
// often read the same counter value, and only one of them may keep it.
TEST_P(ConcurrentSaving, FourTillsTakingNumbersAtOnceNeverGetTheSameOne) {
  constexpr int kNumbers = 150;
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"NEXTSLNUM", "1"}, {"NEXTSLLNK", "1"}}));
  ASSERT_TRUE(db().temp().WriteIni("KVTSQL.ini"));
  std::string start = std::string("numbers-") + kvt::test::BackendName(GetParam());
  std::remove(start.c_str());
  std::vector<Till> tills;
  for (int i = 0; i < kTills;
       ++i)  // one instance id for all: the links clash unless the counter holds
    tills.push_back(Start("KVTSQL.ini", "A", kNumbers, start,
                          "numbers" + std::to_string(i) + ".out", "numbers"));
  std::ofstream(start) << "go";
  std::set<std::string> numbers, links;
  for (const Till& t : tills) {
    std::vector<std::string> taken = Finish(t);
    EXPECT_EQ(taken.size(), static_cast<std::size_t>(kNumbers)) << "a till failed: see " << t.out;
    for (const std::string& s : taken) {
      numbers.insert(s.substr(0, s.find(' ')));
      links.insert(s.substr(s.find(' ') + 1));
    }
  }
  std::remove(start.c_str());
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(kTills * kNumbers))
      << "a number was given twice";
  EXPECT_EQ(links.size(), static_cast<std::size_t>(kTills * kNumbers)) << "a link was given twice";
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), std::to_string(kTills * kNumbers + 1));
}

KVT_ON_BOTH_BACKENDS(ConcurrentSaving);

}  // namespace
