// The shift totals laid out exactly (cents rounded per sale), and the
// verification screen with the financing module's answer.
#include "backoffice/shifttot.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win/profile.h"
#include "tests/support/till.h"

namespace {

TEST(PadWithBlanks, TrimsThenAlignsWithinTheWidth) {
  // clang-format off
  struct Case { const char* in; int width; int leading; const char* out; } cases[] = {
      {"ab", 5, 0, "   ab"}, {"ab", 5, 1, "ab   "}, {"  ab  ", 4, 0, "  ab"}, {" ab ", 4, 1, "ab  "},
      {"abcdef", 3, 0, "abcdef"}, {" abc ", 3, 1, "abc"}, {"", 3, 0, "   "}, {"   ", 2, 1, "  "},
  };
  // clang-format on
  for (const Case& c : cases) {
    char buf[32];
    std::strcpy(buf, c.in);
    KVTPOSSR::PadWithBlanks(buf, c.width, c.leading);
    EXPECT_STREQ(buf, c.out) << "\"" << c.in << "\" in " << c.width << ", leading " << c.leading;
  }
}

// A financing-plan store's shift with every kind of tender once (cash twice),
// a voided sale, a no-sale, a voided line, and sales of other tills, shifts,
// days and stores.
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

// The same shift where the plan is not taken: its lines go, its amounts stay.
std::string WithoutFarmPlan() {
  std::istringstream in(kWithFarmPlan);
  std::string out;
  for (std::string line; std::getline(in, line);)
    if (line.find("Farm Plan") == std::string::npos) out += line + "\n";
  return out;
}

class ShiftTotals : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01"});
    // clang-format off
    Sale("1", {{"CASHAMT", "25.00"}, {"CHANGE", "4.50"}});
    Sale("2", {{"CASHAMT", "1.004"}, {"FPCASHPAY", "50.004"}, {"CHECKAMT", "0"}});
    Sale("3", {{"CHECKAMT", "40.00"}});
    Sale("4", {{"CHECKAMT", "100.00"}, {"TRANSTYPE", "C"}});  // a cashed check
    Sale("5", {{"CASHRET", "-12.34"}});
    Sale("6", {{"CHARGEAMT", "55.55"}, {"FDSTMPAMT", "10.00"}, {"FSCHANGE", "0.50"}});
    Sale("7", {{"CREDITAMT", "30"}, {"CASHPAY", "15"}, {"CHECKPAY", "20"}, {"CREDITPAY", "7.25"}, {"CHARGERET", "-3"}});
    Sale("8", {{"CREDITRET", "-5"}, {"FPAMT", "200"}, {"FPCHECKPAY", "60"}, {"FPRET", "-20"}});
    Sale("9", {{"GFTCRDAMT", "25"}, {"GFTCRDPAY", "10"}, {"STATUS", "V"}});
    Sale("10", {{"TRANSTYPE", "N"}});
    Sale("11", {{"CASHAMT", "999"}, {"TILLREF", "T2"}});
    Sale("12", {{"CASHAMT", "999"}, {"SHIFT", "S2"}});
    Sale("13", {{"CASHAMT", "999"}, {"TRANSTYPE", "N"}, {"INVDATE", "12/04/2025"}});
    Sale("14", {{"CASHAMT", "999"}, {"STORE", "WEST"}});
    // clang-format on
    Add({"KVTPOS2 INVOICENUM=1 ENTRYTOTAL=VOID", "KVTPOS2 INVOICENUM=1 ENTRYTOTAL=25.00",
         "KVTPOS2 INVOICENUM=11 ENTRYTOTAL=VOID"});
  }
  // A sale of till T1's shift S1 on 12/05/2025 at MAIN, unless `values` say otherwise.
  void Sale(const char* number, const kvt::schema::Row& values) {
    kvt::schema::Row row = values;
    for (auto [column, value] : {std::pair{"STORE", "MAIN"},
                                 {"INVDATE", "12/05/2025"},
                                 {"TILLREF", "T1"},
                                 {"SHIFT", "S1"},
                                 {"TRANSTYPE", "S"}})
      if (std::none_of(values.begin(), values.end(), [&](auto& v) { return v.first == column; }))
        row.emplace_back(column, value);
    row.emplace_back("INVOICENUM", number);
    Add("KVTPOS1", row);
  }

  std::unique_ptr<PVshifttotDlg> Screen() {
    auto s = std::make_unique<PVshifttotDlg>(host->MainWindow());
    for (auto [field, value] : {std::pair{s->szStore, "MAIN"},
                                {s->szDate, "12052025"},
                                {s->szTillRef, "T1"},
                                {s->szShift, "S1"},
                                {s->szEmployee, "E1"}})
      std::strcpy(field, value);
    return s;
  }
};

// (The fixture shift's full text is checked through the screen below.)
TEST_P(ShiftTotals, AShiftWithoutSalesListsEveryTenderAtZero) {
  auto count = [](const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
      ++n;
    return n;
  };
  const std::string empty = KVTShiftTotals().Text("12052025", "E1", "S9", "T1", true);
  EXPECT_EQ(count(empty, "$0.00"), count(kWithFarmPlan, "$")) << empty;
  EXPECT_EQ(count(empty, "Count: 0"), 2u) << empty;
}

// The screen asks the financing module itself, shows the text in the
// fixed-pitch font with the focus on No, and reports the answer.
TEST_P(ShiftTotals, TheScreenAsksTheFinancingModuleAndTakesTheAnswer) {
  // clang-format off
  struct Case { const char* dllDate; const char* planLocations; bool farmPlan; const char* press; const char* answer; int endCode; } cases[] = {
      {"20250101", "01", true, "Yes", "YES", IDOK},
      {"20250101", "02, 03", false, "No", "NO", IDCANCEL},
      {nullptr, "*", false, "Yes", "YES", IDOK},
      {nullptr, "*", false, "Esc", "NO", IDCANCEL},
  };
  // clang-format on
  for (const Case& c : cases) {
    WritePrivateProfileString("KVTJD.DLL", "DllDate", c.dllDate, ".\\KVT32.ini");
    WritePrivateProfileString("Farm Plan", "Locations", c.planLocations, ".\\KVTJD.ini");
    auto s = Screen();
    user.Reset();
    user.Do([&] {
      EXPECT_EQ(s->GetFieldText(PVshifttotDlg::IDC_TOTALS),
                c.farmPlan ? kWithFarmPlan : WithoutFarmPlan());
      EXPECT_EQ(s->GetFocusField(), PVshifttotDlg::IDC_NO);
      const KVTFieldState* text = s->FieldState(PVshifttotDlg::IDC_TOTALS);
      ASSERT_TRUE(text && text->font);
      EXPECT_EQ(text->font->face, "Courier");
    });
    std::string press = c.press;
    press == "Esc" ? user.Key(press) : user.Click(press);
    EXPECT_EQ(s->Execute(), c.endCode);
    ExpectNoFailures();
    EXPECT_STREQ(s->szContinue, c.answer);
    EXPECT_TRUE(user.Messages().empty());
  }
}

TEST_P(ShiftTotals, TotalsThatCannotBeReadAreReportedNotShownAsZero) {
  for (const char* failing : {"SELECT CASHAMT", "TRANSTYPE = 'N'", "ENTRYTOTAL='VOID'"}) {
    SCOPED_TRACE(failing);
    auto s = Screen();
    user.Reset();
    KVTSqlFailStatements(failing);
    user.Do([&] { EXPECT_EQ(s->GetFieldText(PVshifttotDlg::IDC_TOTALS), ""); });
    user.Key("Esc");
    EXPECT_EQ(s->Execute(), IDCANCEL);
    ASSERT_EQ(user.Messages().size(), 1u);
    EXPECT_EQ(user.Messages()[0].text.rfind("The sales of this shift could not be read:\n\n", 0),
              0u);
    EXPECT_NE(user.Messages()[0].text.find("injected failure"), std::string::npos);
    EXPECT_EQ(user.Messages()[0].caption, "Error");
  }
}

KVT_ON_BOTH_BACKENDS(ShiftTotals);

}  // namespace
