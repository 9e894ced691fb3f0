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

class ConcurrentSaving : public kvt::test::DatabaseTest {
 protected:
  // Starts the tills (save_worker, one per instance id) on this database,
  // lets them go at once, and collects the "number link" each printed into
  // numbers and links; false when a till failed.
  bool RunTills(const std::vector<std::string>& ids, int count, const char* mode) {
    if (!db().temp().WriteIni("KVTSQL.ini")) return false;
    const std::string start = std::string("start-") + kvt::test::BackendName(GetParam());
    std::remove(start.c_str());
    std::vector<std::pair<pid_t, std::string>> tills;
    for (std::size_t i = 0; i < ids.size(); ++i) {
      std::string out = "till" + std::to_string(i) + ".out", n = std::to_string(count);
      posix_spawn_file_actions_t fa;
      posix_spawn_file_actions_init(&fa);
      posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      std::vector<const char*> argv = {SAVE_WORKER,   "KVTSQL.ini", ids[i].c_str(), n.c_str(),
                                       start.c_str(), mode,         nullptr};
      pid_t pid = -1;
      posix_spawn(&pid, SAVE_WORKER, &fa, nullptr, const_cast<char**>(argv.data()), environ);
      posix_spawn_file_actions_destroy(&fa);
      tills.emplace_back(pid, out);
    }
    std::ofstream(start) << "go";
    bool ok = true;
    for (const auto& [pid, out] : tills) {
      int status = 0;
      bool ran = pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
                 WEXITSTATUS(status) == 0;
      EXPECT_TRUE(ran) << "a till failed: see " << out;
      ok = ok && ran;
      std::ifstream in(out);
      for (std::string number, link; in >> number >> link;) {
        numbers.insert(number);
        links.insert(link);
      }
    }
    std::remove(start.c_str());
    return ok;
  }

  std::set<std::string> numbers, links;
};

TEST_P(ConcurrentSaving, FourTillsNeverShareANumberOrALinkAndEverySaleIsWhole) {
  constexpr int kSales = 25, total = kTills * kSales;
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"NEXTSLLNK", "1"}, {"USESTNSNUM", "T"}}));
  ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"NEXTSLNUM", "1"}}));
  for (const char* item : {"A1", "A2", "A3"})
    ASSERT_TRUE(
        db().Add("KVTINV2", {{"REFERENCE", item}, {"LOCATION", "01"}, {"QTYONHAND", "1000"}}));
  ASSERT_TRUE(db().Add("KVTCOM12", {{"REFERENCE", "HDWR"}, {"LOCATION", "MAIN"}}));
  ASSERT_TRUE(RunTills({"A", "B", "C", "D"}, kSales, "sales"));
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(total)) << "a sale number was given twice";
  EXPECT_EQ(links.size(), static_cast<std::size_t>(total)) << "a link was given twice";
  EXPECT_EQ(db().Count("KVTPOS1"), total);
  // Numbers 1..100 with none skipped: the counter only moves for a saved sale.
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTCOM13"), std::to_string(total + 1));
  // Every header has its three lines and three tax rows.
  EXPECT_EQ(db().Count("KVTPOS2") + db().Count("KVTPOS3"), 6 * total);
  EXPECT_EQ(db().Value("SELECT COUNT(*) FROM KVTPOS1 WHERE (SELECT COUNT(*) FROM KVTPOS2 WHERE "
                       "KVTPOS2.INVOICELNK = KVTPOS1.INVOICELNK AND KVTPOS2.INVOICENUM = "
                       "KVTPOS1.INVOICENUM) <> 3 OR (SELECT COUNT(*) FROM KVTPOS3 WHERE "
                       "KVTPOS3.INVOICELNK = KVTPOS1.INVOICELNK) <> 3"),
            "0");
  EXPECT_EQ(db().Rows("SELECT QTYONHAND FROM KVTINV2 ORDER BY REFERENCE"),
            (std::vector<std::vector<std::string>>{{std::to_string(1000 - 1 * total) + ".000"},
                                                   {std::to_string(1000 - 2 * total) + ".000"},
                                                   {std::to_string(1000 - 3 * total) + ".000"}}));
  EXPECT_EQ(db().Value("SELECT CURQTY3 FROM KVTCOM12"), std::to_string(6 * total) + ".000");
}

// Numbers taken on their own, each in its own short transaction: two tills
// often read the same counter value, and only one of them may keep it. One
// instance id for all: the links clash unless the counter holds.
TEST_P(ConcurrentSaving, FourTillsTakingNumbersAtOnceNeverGetTheSameOne) {
  constexpr int kNumbers = 150, total = kTills * kNumbers;
  ASSERT_TRUE(db().Add("KVTPOS10", {{"RECNO", "1"}, {"NEXTSLNUM", "1"}, {"NEXTSLLNK", "1"}}));
  ASSERT_TRUE(RunTills({"A", "A", "A", "A"}, kNumbers, "numbers"));
  EXPECT_EQ(numbers.size(), static_cast<std::size_t>(total)) << "a number was given twice";
  EXPECT_EQ(links.size(), static_cast<std::size_t>(total)) << "a link was given twice";
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10"), std::to_string(total + 1));
}

KVT_ON_BOTH_BACKENDS(ConcurrentSaving);

}  // namespace
