// The bad check list: accounts kept once, the unsaved-changes question,
// stepping in account order, and delete moving on.
#include "setup/pos11.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/forms/preview.h"
#include "platform/sql/query.h"
#include "tests/support/till.h"

namespace {

using Ids = PVpos11Dlg;

class BadChecks : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Add({"KVTPOS11 CKACCTNUM=2000 ACCTNAME='Dale Hughes' DATEENT=11/02/2025 RECNO=20",
         "KVTPOS11 CKACCTNUM=1000 ACCTNAME='Ann Baker' DATEENT=11/02/2025 RECNO=10",
         "KVTPOS11 CKACCTNUM=3000 ACCTNAME='Cy Olsen' DATEENT=11/02/2025 RECNO=30"});
    screen = new PVpos11Dlg(host->MainWindow());
    ASSERT_TRUE(screen->Create());
  }
  void Play() {
    user.Run();
    ExpectNoFailures();
  }
  std::string Name(const char* account) {
    return db().Value(std::string("SELECT ACCTNAME FROM KVTPOS11 WHERE CKACCTNUM = '") + account +
                      "'");
  }

  PVpos11Dlg* screen = nullptr;  // owned by its frame
};

TEST_P(BadChecks, AnAccountIsKeptOnce) {
  // clang-format off
  struct Case { const char* load; const char* account; const char* message; int accounts; } cases[] = {
      {"",   "  4000 ", "",                                    4},  // new, trimmed
      {"",   "1000",    "Bank Account Number already exists.", 4},  // new, taken
      {"",   "   ",     "Bank Account Number required.",       4},
      {"20", "2000",    "",                                    4},  // its own account kept
      {"20", "3000",    "Bank Account Number already exists.", 4},  // another record's
      {"20", "2500",    "",                                    4},  // renumbered
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.load) + " -> \"" + c.account + "\"");
    user.Reset();
    screen->bChanged = false;  // each case starts from a screen without edits
    if (*c.load) {
      ASSERT_TRUE(screen->LoadRecord(std::stod(c.load)));
    } else {
      user.Click("New");
    }
    user.Do([&] { screen->KVTSetFieldFocus(Ids::IDC_CKACCTNUM); });
    user.Type(c.account).Click("Accept");
    Play();
    if (*c.message) {
      ASSERT_EQ(user.Messages().size(), 1u);
      EXPECT_EQ(user.Messages()[0].text, c.message);
      EXPECT_EQ(screen->GetFocusField(), Ids::IDC_CKACCTNUM);
      EXPECT_EQ(screen->Data.RECNO, std::stod(*c.load ? c.load : "0"))
          << "a refused record keeps its number";
    } else {
      for (auto& m : user.Messages()) ADD_FAILURE() << m.text;
      EXPECT_FALSE(screen->bChanged);
    }
    EXPECT_EQ(db().Count("KVTPOS11"), c.accounts);
  }
  EXPECT_EQ(Name("2500"), "Dale Hughes");
  EXPECT_EQ(db().Count("KVTPOS11", "CKACCTNUM = '4000' AND RECNO > 0"), 1);
}

TEST_P(BadChecks, UnsavedChangesAreAskedAboutBeforeNext) {
  // clang-format off
  struct Case { int answer; const char* shownAccount; const char* savedName; bool stays; } cases[] = {
      {IDCANCEL, "1000", "Ann Baker", true},    // the same record, with its edits
      {IDNO,     "2000", "Ann Baker", false},   // the edits dropped
      {IDYES,    "2000", "Ann Bakker", false},  // saved, then on
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer);
    user.Reset();
    ASSERT_TRUE(kvt::sql::Run("UPDATE KVTPOS11 SET ACCTNAME = 'Ann Baker' WHERE RECNO = 10").ok());
    ASSERT_TRUE(screen->LoadRecord(10));
    user.Do([&] { screen->KVTSetFieldFocus(Ids::IDC_ACCTNAME); });
    user.Type("Ann Bakker").Answer(c.answer).Click("Next");
    Play();
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0].text, "Changes have been made! Save changes?");
    EXPECT_EQ(user.Messages()[0].caption, "Changed");
    EXPECT_EQ(screen->GetFieldText(Ids::IDC_CKACCTNUM), c.shownAccount);
    if (c.stays) {
      EXPECT_EQ(screen->GetFieldText(Ids::IDC_ACCTNAME), "Ann Bakker");
      EXPECT_TRUE(screen->bChanged);
      EXPECT_EQ(screen->GetFocusField(), Ids::IDC_ACCTNAME);
    }
    EXPECT_EQ(Name("1000"), c.savedName);
  }
}

TEST_P(BadChecks, StepsInAccountOrderAndDeleteMovesOn) {
  user.Click("Next").Click("Next").Click("Next").Click("Next");
  Play();
  EXPECT_EQ(screen->GetFieldText(Ids::IDC_CKACCTNUM), "3000");
  EXPECT_EQ(user.Beeps(), 1) << "past the last one";
  user.Reset();
  user.Click("Previous").Answer(IDYES).Click("Delete");
  Play();
  EXPECT_EQ(user.Messages().at(0).text, "Item Will Be Deleted! Do You Wish To Continue? ");
  EXPECT_EQ(user.Messages().at(0).caption, "Delete Item?");
  EXPECT_EQ(db().Count("KVTPOS11", "CKACCTNUM = '2000'"), 0);
  EXPECT_EQ(screen->GetFieldText(Ids::IDC_CKACCTNUM), "3000") << "the next in order";
  user.Reset();
  user.Answer(IDYES).Click("Delete");
  Play();
  EXPECT_EQ(screen->GetFieldText(Ids::IDC_CKACCTNUM), "1000") << "no next: the previous";
  user.Reset();
  user.Answer(IDYES).Click("Delete");
  Play();
  EXPECT_EQ(db().Count("KVTPOS11"), 0);
  EXPECT_EQ(screen->Data.RECNO, 0) << "none left: a new record";
  EXPECT_EQ(user.Beeps(), 1);
}

TEST_P(BadChecks, TheReportListsTheAccountsInOrder) {
  KVTClearPreviewedDocuments();
  user.Click("Report");
  Play();
  EXPECT_TRUE(user.Messages().empty());
  ASSERT_EQ(KVTPreviewedDocuments().size(), 1u);
  const std::string& text = KVTPreviewedDocuments()[0].text;
  EXPECT_LT(text.find("1000  Ann Baker"), text.find("3000")) << text;
}

KVT_ON_BOTH_BACKENDS(BadChecks);

}  // namespace
