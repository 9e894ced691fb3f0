// Periodic processing through its screens: the period dialog, runs with
// their gauge, failures, pause and cancel. (Which counters each period
// clears is eopclear_test's.)
#include "backoffice/eopproc.h"

#include <gtest/gtest.h>

#include <string>

#include "backoffice/eoper.h"
#include "backoffice/perproc.h"
#include "platform/sql/kvtsqladmin.h"
#include "tests/support/till.h"

namespace {

class Periodic : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* store : {"MAIN", "WEST"}) {
      Add("KVTCOM13", {{"REFERENCE", store}});
      for (const char* ref : {"FEED", "SEED", "TOOLS"})
        Add({std::string("KVTCOM12 CURQTY3=1.000 CURDOL3=9.99 MTDQTY3=5.000 MTDDOL3=49.95 "
                         "YTDQTY3=50.000 YTDDOL3=499.50 REFERENCE=") +
             ref + " LOCATION=" + store});
    }
    Add({"KVTCOM13 REFERENCE=EAST"});  // no categories
  }

  EOPProcessing* Run() {
    PVmdiwinDlg* frame = KVTForms::Instance().ActiveFrame();
    return frame ? dynamic_cast<EOPProcessing*>(frame->ActiveScreen()) : nullptr;
  }
  int ClearedAt(const char* store, const char* column) {
    return db().Count("KVTCOM12",
                      std::string("LOCATION = '") + store + "' AND " + column + " = '0.00'");
  }
};

TEST_P(Periodic, ThePeriodDialogChoosesAllStoresOrAStoreOnFile) {
  // clang-format off
  struct Case { const char* defaultStore; const char* steps; const char* message; const char* caption; const char* option; const char* store; } cases[] = {
      {"",     "click OK",                                  "", "", "ALL", ""},
      {"MAIN", "click OK",                                  "", "", "ONE", "MAIN"},
      {"MAIN", "click All Stores;click OK",                 "", "", "ALL", ""},
      {"",     "click One Store;click OK",                  "Store is required.", "Kovatel Software", "", ""},
      {"",     "click One Store;type NOPE;click OK",        "This Store reference is not valid.", "Kovatel Software", "", ""},
      {"",     "click One Store;key Enter",         "Store is required.", "Error", "", ""},
      {"",     "click One Store;type WEST;key Enter", "", "", "", ""},  // on file: no search
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    KVTSetSetting(DEFAULT_STORE, c.defaultStore);
    user.Reset();
    auto d = std::make_unique<PVeoperDlg>(host->MainWindow());
    d->SetMode(KVT_END_OF_MONTH);
    Queue(c.steps);
    user.Do([&] {
      if (*c.message) {
        EXPECT_EQ(d->GetFocusField(), PVeoperDlg::IDC_STORE);
      }
      EXPECT_EQ(d->Caption(), "End of Month");
      EXPECT_EQ(d->GetFieldText(PVeoperDlg::IDC_PROMPT), "Perform End of Month processing.");
    });
    if (!*c.option) user.Key("Esc");
    int end = d->Execute();
    ExpectNoFailures();
    std::vector<std::string> shown;
    for (const KVTShownMessage& m : user.Messages()) shown.push_back(m.caption + ": " + m.text);
    EXPECT_EQ(shown, *c.message ? kvt::test::Strings{std::string(c.caption) + ": " + c.message}
                                : kvt::test::Strings{});
    EXPECT_EQ(end, *c.option ? IDOK : IDCANCEL);
    EXPECT_EQ(end == IDOK ? d->GetOption() + std::string("/") + d->GetStore() : "",
              *c.option ? std::string(c.option) + "/" + c.store : "");
  }
}

TEST_P(Periodic, EachPeriodRunsFromTheScreenWithItsGauge) {
  // clang-format off
  struct Case { const char* button; const char* store; int count; const char* cleared; const char* done; } cases[] = {
      {"End of Day",   "MAIN", 3, "CURDOL3", "End Of Day complete: 3 cleared, 0 not updated."},
      {"End of Month", "",     6, "MTDQTY3", "End Of Month complete: 6 cleared, 0 not updated."},
      {"End of Year",  "WEST", 3, "YTDDOL3", "End Of Year complete: 3 cleared, 0 not updated."},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button);
    auto* screen = new PVperprocDlg(host->MainWindow());
    ASSERT_TRUE(screen->Create());
    user.Reset();
    user.Click(c.button);
    if (*c.store) user.Click("One Store").Type(c.store);
    user.Click("OK");
    user.Run();
    ExpectNoFailures();
    EXPECT_EQ(Messages(), kvt::test::Strings{});
    EOPProcessing* run = Run();
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_GAUGE),
              "[##################################################] 100%");
    EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_COUNTER),
              std::to_string(c.count) + " of " + std::to_string(c.count));
    EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_STATUS), c.done);
    for (const char* store : {"MAIN", "WEST"})
      EXPECT_EQ(ClearedAt(store, c.cleared), !*c.store || std::string(c.store) == store ? 3 : 0)
          << store;
    // Done: Close closes without a question.
    user.Click("Close");
    user.Run();
    EXPECT_TRUE(user.Messages().empty());
    KVTForms::Instance().CloseAll();
    ASSERT_TRUE(kvt::sql::Run("UPDATE KVTCOM12 SET CURQTY3 = '1.000', CURDOL3 = '9.99', MTDQTY3 = "
                              "'5.000', MTDDOL3 = '49.95', YTDQTY3 = '50.000', YTDDOL3 = '499.50'")
                    .ok());
  }
}

TEST_P(Periodic, AStoreWithoutCategoriesOpensNothing) {
  EXPECT_FALSE(StartEOPProcessing(host->MainWindow(), KVT_END_OF_DAY, "EAST"));
  EXPECT_EQ(Messages(), kvt::test::Strings{"No Sales Categories found."});
  EXPECT_EQ(KVTForms::Instance().ActiveFrame(), nullptr);

  user.Reset();
  KVTSqlFailStatements("SELECT COUNT(1)");
  EXPECT_FALSE(StartEOPProcessing(host->MainWindow(), KVT_END_OF_DAY, ""));
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text.rfind("The sales categories could not be counted:", 0), 0u);
  EXPECT_EQ(KVTForms::Instance().ActiveFrame(), nullptr);
}

TEST_P(Periodic, ACategoryNotClearedIsReportedAndTheRunGoesOn) {
  KVTSqlFailStatements("UPDATE KVTCOM12");
  ASSERT_TRUE(StartEOPProcessing(host->MainWindow(), KVT_END_OF_DAY, "MAIN"));
  KVTForms::Instance().Idle();
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text.rfind("Error occurred when updating ", 0), 0u);
  EXPECT_NE(user.Messages()[0].text.find(" at store MAIN.\n\n"), std::string::npos);
  EXPECT_EQ(user.Messages()[0].caption, "Kovatel Software");
  ASSERT_NE(Run(), nullptr);
  EXPECT_EQ(Run()->GetFieldText(PVpbarDlg::IDC_STATUS),
            "End Of Day complete: 2 cleared, 1 not updated.");
  EXPECT_EQ(ClearedAt("MAIN", "CURQTY3"), 2);
}

TEST_P(Periodic, PauseHoldsTheRunAndCancelHalfWayKeepsWhatWasCleared) {
  auto* run = new EOPProcessing(host->MainWindow());
  run->SetMode(KVT_END_OF_YEAR);
  ASSERT_TRUE(run->Create());
  run->SetLimit(6);
  ASSERT_TRUE(run->Start());
  EXPECT_EQ(run->Caption(), "Running End Of Year");
  EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_STATUS), "Processing End Of Year...");
  for (int i = 0; i < 2; ++i) run->SendMessage(WM_COMMAND, PVpbarDlg::CM_DOACTION);
  EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_COUNTER), "2 of 6");
  EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_GAUGE),
            "[####################..............................] 40%");
  EXPECT_EQ(run->GetFieldText(PVpbarDlg::IDC_STATUS).rfind("Updating Record  : ", 0), 0u);

  user.Click("Pause");
  user.Run();
  EXPECT_EQ(run->Caption(), "Transfer Paused");
  run->PostMessage(WM_COMMAND, PVpbarDlg::CM_DONEXTGROUP);
  KVTForms::Instance().Idle();
  EXPECT_EQ(run->iCounter, 2) << "a paused run takes no step";

  user.Answer(IDNO).Key("Esc").Answer(IDYES).Key("Esc");
  user.Run();
  ExpectNoFailures();
  ASSERT_EQ(user.Messages().size(), 2u);
  EXPECT_EQ(user.Messages()[0].text,
            "Cancelling will prevent the remaining items from being updated.\n\nContinue?");
  EXPECT_EQ(user.Messages()[0].defaultButton, IDNO);
  EXPECT_EQ(KVTForms::Instance().ActiveFrame(), nullptr) << "Yes closed it";
  // Two cleared before the cancel (each category whole: eopclear_test).
  EXPECT_EQ(db().Count("KVTCOM12", "YTDDOL3 = '0.00'"), 2);
}

TEST(ProgressWindow, TimeRemainingAtTheRateSoFar) {
  // clang-format off
  struct Case { double elapsed; int done, total; const char* left; } cases[] = {
      {10, 1, 11, "00:01:40"}, {2, 5, 5, "00:00:00"}, {0, 0, 9, "00:00:00"},
      {60, 1, 121, "02:00:00"}, {3, 2, 3, "00:00:02"},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(PVpbarDlg::TimeRemaining(c.elapsed, c.done, c.total), c.left)
        << c.elapsed << "s for " << c.done << " of " << c.total;
}

KVT_ON_BOTH_BACKENDS(Periodic);

}  // namespace
