// End of Day, Month and Year on the sales categories: which counters each
// period clears where, runs stopped half way, rows that fail or vanish.
#include "backoffice/eopclear.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "platform/sql/kvtsqladmin.h"
#include "shell/globals.h"
#include "tests/support/testdb.h"

namespace {

const char* const kCounters[] = {"CURQTY3", "CURDOL3", "MTDQTY3", "MTDDOL3", "YTDQTY3", "YTDDOL3"};
// The history every category starts with, counter by counter.
const char* const kHistory[] = {"3.000", "41.25", "17.500", "230.10", "96.000", "1804.77"};

class PeriodClear : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    Categories();
  }
  // Three categories at each of two stores, every one with its history.
  void Categories() {
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTCOM12").ok());
    for (const char* store : {"MAIN", "WEST"})
      for (const char* ref : {"FEED", "SEED", "TOOLS"}) {
        kvt::schema::Row row = {{"REFERENCE", ref}, {"LOCATION", store}};
        for (int i = 0; i < 6; ++i) row.emplace_back(kCounters[i], kHistory[i]);
        Add("KVTCOM12", row);
      }
  }
  void TearDown() override {
    KVTSqlClearFaults();
    DatabaseTest::TearDown();
  }

  // The six counters of one category, "|"-joined.
  std::string History(const std::string& store, const std::string& ref) {
    auto rows = db().Rows(
        "SELECT CURQTY3,CURDOL3,MTDQTY3,MTDDOL3,YTDQTY3,YTDDOL3 FROM KVTCOM12 WHERE LOCATION = '" +
        store + "' AND REFERENCE = '" + ref + "'");
    std::string out;
    for (const std::string& v : rows.at(0)) out += (out.empty() ? "" : "|") + v;
    return out;
  }
  // The counters after `pairs` of them (current, month, year in that order)
  // were cleared.
  static std::string Cleared(int pairs) {
    std::string out;
    for (int i = 0; i < 6; ++i)
      out += std::string(i ? "|" : "") + (i < 2 * pairs ? "0.00" : kHistory[i]);
    return out;
  }
};

TEST_P(PeriodClear, EachPeriodClearsItsPairsForTheStoresAsked) {
  // clang-format off
  struct Case { int mode; const char* store; long count; int mainPairs; int westPairs; } cases[] = {
      {KVT_END_OF_DAY,   "",       6, 1, 1},
      {KVT_END_OF_MONTH, "",       6, 2, 2},
      {KVT_END_OF_YEAR,  "",       6, 3, 3},
      {KVT_END_OF_DAY,   "MAIN",   3, 1, 0},
      {KVT_END_OF_MONTH, " WEST ", 3, 0, 2},
      {KVT_END_OF_YEAR,  "MAIN",   3, 3, 0},
      {KVT_END_OF_YEAR,  "EAST",   0, 0, 0},  // a store without categories
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(KVTPeriodName(c.mode)) + " for \"" + c.store + "\"");
    ASSERT_NO_FATAL_FAILURE(Categories());
    KVTPeriodClear run(c.mode, c.store);
    long count = -1;
    ASSERT_TRUE(run.Count(&count)) << run.error();
    EXPECT_EQ(count, c.count);
    ASSERT_TRUE(run.Start()) << run.error();
    EXPECT_EQ(run.Total(), static_cast<std::size_t>(c.count));
    std::set<std::string> seen;
    for (auto step = run.Next(); step != KVTPeriodClear::Step::Finished; step = run.Next()) {
      EXPECT_EQ(step, KVTPeriodClear::Step::Cleared) << run.error();
      seen.insert(run.Current().location + "/" + run.Current().reference);
    }
    EXPECT_EQ(seen.size(), static_cast<std::size_t>(c.count));
    for (const char* ref : {"FEED", "SEED", "TOOLS"}) {
      EXPECT_EQ(History("MAIN", ref), Cleared(c.mainPairs)) << ref;
      EXPECT_EQ(History("WEST", ref), Cleared(c.westPairs)) << ref;
    }
  }
}

TEST_P(PeriodClear, StoppedHalfWayLeavesEachCategoryWholeOrUntouched) {
  KVTPeriodClear run(KVT_END_OF_YEAR, "");
  ASSERT_TRUE(run.Start()) << run.error();
  std::set<std::string> cleared;
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(run.Next(), KVTPeriodClear::Step::Cleared) << run.error();
    cleared.insert(run.Current().location + "/" + run.Current().reference);
  }
  EXPECT_EQ(run.Stepped(), 4u);
  for (const char* store : {"MAIN", "WEST"})
    for (const char* ref : {"FEED", "SEED", "TOOLS"}) {
      bool done = cleared.count(std::string(store) + "/" + ref) > 0;
      EXPECT_EQ(History(store, ref), Cleared(done ? 3 : 0)) << store << "/" << ref;
    }
}

TEST_P(PeriodClear, ARefusedOrVanishedCategoryIsReportedAndTheRunGoesOn) {
  // clang-format off
  struct Case { const char* fault; KVTPeriodClear::Step first; } cases[] = {
      {"UPDATE KVTCOM12", KVTPeriodClear::Step::Failed},
      {"COMMIT",          KVTPeriodClear::Step::Failed},
      {"DELETED",         KVTPeriodClear::Step::Missing},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    KVTPeriodClear run(KVT_END_OF_DAY, "MAIN");
    ASSERT_TRUE(run.Start()) << run.error();
    std::string fault = c.fault;
    if (fault == "COMMIT")
      KVTSqlFailNextCommit();
    else if (fault == "DELETED")
      ASSERT_TRUE(
          kvt::sql::Run("DELETE FROM KVTCOM12 WHERE LOCATION = 'MAIN' AND REFERENCE = 'FEED'")
              .ok());
    else
      KVTSqlFailStatements(c.fault);
    auto step = run.Next();
    EXPECT_EQ(step, c.first);
    EXPECT_EQ(run.error().empty(), step != KVTPeriodClear::Step::Failed);
    std::string first = run.Current().reference;
    if (fault != "DELETED") {
      EXPECT_EQ(History("MAIN", first), Cleared(0));
    }
    int cleared = 0;
    while (run.Next() == KVTPeriodClear::Step::Cleared) ++cleared;
    EXPECT_EQ(cleared, 2);
    EXPECT_EQ(run.Next(), KVTPeriodClear::Step::Finished);
    KVTSqlClearFaults();
    ASSERT_NO_FATAL_FAILURE(Categories());
  }
}

TEST_P(PeriodClear, CategoriesThatCannotBeReadOrAnUnknownPeriodChangeNothing) {
  KVTSqlFailStatements("SELECT COUNT(1)");
  long count = 7;
  KVTPeriodClear counting(KVT_END_OF_DAY, "");
  EXPECT_FALSE(counting.Count(&count));
  EXPECT_NE(counting.error(), "");
  EXPECT_EQ(count, 0);

  KVTSqlFailStatements("SELECT REFERENCE,LOCATION,RECNO");
  KVTPeriodClear reading(KVT_END_OF_DAY, "MAIN");
  EXPECT_FALSE(reading.Start());
  EXPECT_NE(reading.error(), "");
  EXPECT_EQ(reading.Next(), KVTPeriodClear::Step::Finished);

  KVTPeriodClear unknown(4, "");
  EXPECT_EQ(KVTPeriodClear::UpdateSql(4), "");
  EXPECT_FALSE(unknown.Start());
  EXPECT_EQ(unknown.error(), "Unknown period: 4.");
  EXPECT_EQ(unknown.Next(), KVTPeriodClear::Step::Finished);
  EXPECT_EQ(db().Count("KVTCOM12", "CURQTY3 = '0.00'"), 0);
}

KVT_ON_BOTH_BACKENDS(PeriodClear);

}  // namespace
