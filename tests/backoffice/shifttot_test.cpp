// The shift totals text and the shift total verification screen: every
// tender of a fixture shift, counted and summed, laid out exactly; the
// financing plan lines only where the financing module accepts the plan.
#include "backoffice/shifttot.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/forms/headless/headless.h"
#include "platform/sql/kvtsqladmin.h"
#include "platform/win/profile.h"
#include "shell/globals.h"
#include "suite/host/host.h"
#include "tests/support/testdb.h"

namespace {

TEST(PadWithBlanks, TrimsThenAlignsWithinTheWidth) {
  struct Case {
    const char* in;
    int width;
    int leading;
    const char* out;
  } cases[] = {
      {"ab", 5, 0, "   ab"},  {"ab", 5, 1, "ab   "},      {"  ab  ", 4, 0, "  ab"},
      {" ab ", 4, 1, "ab  "}, {"abcdef", 3, 0, "abcdef"}, {" abc ", 3, 1, "abc"},
      {"", 3, 0, "   "},      {"   ", 2, 1, "  "},
  };
  for (const Case& c : cases) {
    char buf[32];
    std::strcpy(buf, c.in);
    KVTPOSSR::PadWithBlanks(buf, c.width, c.leading);
    EXPECT_STREQ(buf, c.out) << "\"" << c.in << "\" in " << c.width << ", leading " << c.leading;
  }
}

// A financing-plan store's shift with every kind of tender once (cash twice),
// a no-sale, a voided line, and sales of other tills, shifts and days.
const char* const kWithFarmPlan =
    "Date: 12/05/2025          Empl: E1            Shift: S1    \n"
    "Cash Sales                        2              $21.50\n"
    "Cash Returns                      1             $-12.34\n"
    "Cash ROA's                        1              $15.00\n"
    "Farm Plan Cash ROA's              1              $50.00\n"
    "-------------------------------------------------------\n"
    "Cash Subtotal                                    $74.16\n"
    "\n"
    "Check Sales                       1              $40.00\n"
    "Check ROA's                       1              $20.00\n"
    "Farm Plan Check ROA's             1              $60.00\n"
    "-------------------------------------------------------\n"
    "Cash Sales Subtotal                             $194.16\n"
    "\n"
    "Food Stamp Sales                  1               $9.50\n"
    "Charge Sales                      1              $55.55\n"
    "Charge Returns                    1              $-3.00\n"
    "Credit Card Sales                 1              $30.00\n"
    "Credit Card ROA's                 1               $7.25\n"
    "Credit Card Returns               1              $-5.00\n"
    "Farm Plan                         1             $200.00\n"
    "Farm Plan Returns                 1             $-20.00\n"
    "Gift Card Sales                   1              $25.00\n"
    "Gift Card ROA's                   1              $10.00\n"
    "-------------------------------------------------------\n"
    "Total for Till # T1                             $503.46\n"
    "\n"
    "Cashed Checks                     1             $100.00\n"
    "\n"
    "            *** Voided Items *** Count: 1\n"
    "               *** No Sales ***  Count: 1\n";

const char* const kWithoutFarmPlan =
    "Date: 12/05/2025          Empl: E1            Shift: S1    \n"
    "Cash Sales                        2              $21.50\n"
    "Cash Returns                      1             $-12.34\n"
    "Cash ROA's                        1              $15.00\n"
    "-------------------------------------------------------\n"
    "Cash Subtotal                                    $74.16\n"
    "\n"
    "Check Sales                       1              $40.00\n"
    "Check ROA's                       1              $20.00\n"
    "-------------------------------------------------------\n"
    "Cash Sales Subtotal                             $194.16\n"
    "\n"
    "Food Stamp Sales                  1               $9.50\n"
    "Charge Sales                      1              $55.55\n"
    "Charge Returns                    1              $-3.00\n"
    "Credit Card Sales                 1              $30.00\n"
    "Credit Card ROA's                 1               $7.25\n"
    "Credit Card Returns               1              $-5.00\n"
    "Gift Card Sales                   1              $25.00\n"
    "Gift Card ROA's                   1              $10.00\n"
    "-------------------------------------------------------\n"
    "Total for Till # T1                             $503.46\n"
    "\n"
    "Cashed Checks                     1             $100.00\n"
    "\n"
    "            *** Voided Items *** Count: 1\n"
    "               *** No Sales ***  Count: 1\n";

const char* const kEmptyShift =
    "Date: 12/06/2025          Empl:               Shift: S2    \n"
    "Cash Sales                        0               $0.00\n"
    "Cash Returns                      0               $0.00\n"
    "Cash ROA's                        0               $0.00\n"
    "-------------------------------------------------------\n"
    "Cash Subtotal                                     $0.00\n"
    "\n"
    "Check Sales                       0               $0.00\n"
    "Check ROA's                       0               $0.00\n"
    "-------------------------------------------------------\n"
    "Cash Sales Subtotal                               $0.00\n"
    "\n"
    "Food Stamp Sales                  0               $0.00\n"
    "Charge Sales                      0               $0.00\n"
    "Charge Returns                    0               $0.00\n"
    "Credit Card Sales                 0               $0.00\n"
    "Credit Card ROA's                 0               $0.00\n"
    "Credit Card Returns               0               $0.00\n"
    "Gift Card Sales                   0               $0.00\n"
    "Gift Card ROA's                   0               $0.00\n"
    "-------------------------------------------------------\n"
    "Total for Till # T1                               $0.00\n"
    "\n"
    "Cashed Checks                     0               $0.00\n"
    "\n"
    "            *** Voided Items *** Count: 0\n"
    "               *** No Sales ***  Count: 0\n";

class ShiftTotals : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    KVTResetModuleState();
    user.Install();
    host = std::make_unique<KVTHost>();
    ASSERT_TRUE(db().Add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"LOCATION", "01"}})) << db().error();
    Sale("1", {{"CASHAMT", "25.00"}, {"CHANGE", "4.50"}});
    Sale("2", {{"CASHAMT", "1.004"}, {"FPCASHPAY", "50.004"}, {"CHECKAMT", "0"}});
    Sale("3", {{"CHECKAMT", "40.00"}});
    Sale("4", {{"CHECKAMT", "100.00"}, {"TRANSTYPE", "C"}});  // a cashed check
    Sale("5", {{"CASHRET", "-12.34"}});
    Sale("6", {{"CHARGEAMT", "55.55"}, {"FDSTMPAMT", "10.00"}, {"FSCHANGE", "0.50"}});
    Sale("7", {{"CREDITAMT", "30"},
               {"CASHPAY", "15"},
               {"CHECKPAY", "20"},
               {"CREDITPAY", "7.25"},
               {"CHARGERET", "-3"}});
    Sale("8", {{"CREDITRET", "-5"}, {"FPAMT", "200"}, {"FPCHECKPAY", "60"}, {"FPRET", "-20"}});
    Sale("9", {{"GFTCRDAMT", "25"}, {"GFTCRDPAY", "10"}, {"STATUS", "V"}});
    Sale("10", {{"TRANSTYPE", "N"}});
    Sale("11", {{"CASHAMT", "999"}, {"TILLREF", "T2"}});
    Sale("12", {{"CASHAMT", "999"}, {"SHIFT", "S2"}});
    Sale("13", {{"CASHAMT", "999"}, {"TRANSTYPE", "N"}, {"INVDATE", "12/04/2025"}});
    Sale("14", {{"CASHAMT", "999"}, {"STORE", "WEST"}});
    ASSERT_TRUE(db().Add("KVTPOS2", {{"INVOICENUM", "1"}, {"ENTRYTOTAL", "VOID"}}));
    ASSERT_TRUE(db().Add("KVTPOS2", {{"INVOICENUM", "1"}, {"ENTRYTOTAL", "25.00"}}));
    ASSERT_TRUE(db().Add("KVTPOS2", {{"INVOICENUM", "11"}, {"ENTRYTOTAL", "VOID"}}));
  }
  void TearDown() override {
    host.reset();
    DatabaseTest::TearDown();
  }

  void Sale(const char* number, kvt::schema::Row values) {
    kvt::schema::Row row = {{"INVOICENUM", number}, {"STORE", "MAIN"}, {"INVDATE", "12/05/2025"},
                            {"TILLREF", "T1"},      {"SHIFT", "S1"},   {"TRANSTYPE", "S"}};
    for (const auto& [column, value] : values) {
      bool replaced = false;
      for (auto& [c, v] : row)
        if (c == column) v = value, replaced = true;
      if (!replaced) row.emplace_back(column, value);
    }
    ASSERT_TRUE(db().Add("KVTPOS1", row)) << db().error();
  }

  std::unique_ptr<PVshifttotDlg> Screen(const char* date = "12052025", const char* shift = "S1",
                                        const char* employee = "E1") {
    auto s = std::make_unique<PVshifttotDlg>(host->MainWindow());
    std::strcpy(s->szStore, "MAIN");
    std::strcpy(s->szDate, date);
    std::strcpy(s->szTillRef, "T1");
    std::strcpy(s->szShift, shift);
    std::strcpy(s->szEmployee, employee);
    return s;
  }

  KVTHeadlessBackend user;
  std::unique_ptr<KVTHost> host;
};

TEST_P(ShiftTotals, EveryTenderOfTheShiftWithTheFarmPlanLines) {
  auto s = Screen();
  s->bCrestpayInstalled = s->bFarmPlanAccepted = true;
  EXPECT_EQ(s->VerifyPOSShiftResume->SalesTotalText(), kWithFarmPlan);
  EXPECT_EQ(s->VerifyPOSShiftResume->LastError(), "");
}

TEST_P(ShiftTotals, FarmPlanAmountsStayInTheTotalsWithoutTheirLines) {
  for (bool installed : {false, true}) {
    auto s = Screen();
    s->bCrestpayInstalled = installed;  // installed, but this location does not take it
    EXPECT_EQ(s->VerifyPOSShiftResume->SalesTotalText(), kWithoutFarmPlan) << installed;
  }
}

TEST_P(ShiftTotals, AnEmptyShiftIsAllZeros) {
  auto s = Screen("12062025", "S2", "");
  EXPECT_EQ(s->VerifyPOSShiftResume->SalesTotalText(), kEmptyShift);
}

// The screen asks the financing module itself, shows the text in the
// fixed-pitch font with the focus on No, and reports the answer.
TEST_P(ShiftTotals, TheScreenAsksTheFinancingModuleAndTakesTheAnswer) {
  struct Case {
    const char* dllDate;        // nullptr: the module is not installed
    const char* planLocations;  // where it accepts Farm Plan
    const char* expected;
    const char* press;
    const char* answer;
    int endCode;
  } cases[] = {
      {"20250101", "01", kWithFarmPlan, "Yes", "YES", IDOK},
      {"20250101", "02, 03", kWithoutFarmPlan, "No", "NO", IDCANCEL},
      {nullptr, "*", kWithoutFarmPlan, "Yes", "YES", IDOK},
  };
  for (const Case& c : cases) {
    WritePrivateProfileString("KVTJD.DLL", "DllDate", c.dllDate, ".\\KVT32.ini");
    WritePrivateProfileString("Farm Plan", "Locations", c.planLocations, ".\\KVTJD.ini");
    auto s = Screen();
    user.Reset();
    user.Do([&] {
      EXPECT_EQ(s->GetFieldText(PVshifttotDlg::IDC_TOTALS), c.expected) << c.planLocations;
      EXPECT_EQ(s->GetFocusField(), PVshifttotDlg::IDC_NO);
      EXPECT_STREQ(s->szContinue, "NO");
      const KVTFieldState* text = s->FieldState(PVshifttotDlg::IDC_TOTALS);
      ASSERT_TRUE(text && text->font);
      EXPECT_EQ(text->font->face, "Courier");
    });
    user.Click(c.press);
    EXPECT_EQ(s->Execute(), c.endCode);
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
    EXPECT_STREQ(s->szContinue, c.answer);
    EXPECT_EQ(s->bCrestpayInstalled, c.dllDate != nullptr);
    EXPECT_TRUE(user.Messages().empty());
  }
}

TEST_P(ShiftTotals, EscapeIsNotAContinuation) {
  auto s = Screen();
  user.Key("Esc");
  EXPECT_EQ(s->Execute(), IDCANCEL);
  EXPECT_STREQ(s->szContinue, "NO");
}

TEST_P(ShiftTotals, SalesThatCannotBeReadAreReportedNotShownAsZero) {
  auto s = Screen();
  KVTSqlFailStatements("SELECT CASHAMT", 1);
  user.Key("Esc");
  s->Execute();
  KVTSqlClearFaults();
  ASSERT_FALSE(user.Messages().empty());
  EXPECT_EQ(user.Messages()[0].text.rfind("The sales of this shift could not be read:", 0), 0u);
  EXPECT_EQ(user.Messages()[0].caption, "Error");
}

KVT_ON_BOTH_BACKENDS(ShiftTotals);

}  // namespace
