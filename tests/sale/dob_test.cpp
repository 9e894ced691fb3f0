// The legal-age rule and the date-of-birth dialog's flow of questions.
#include "sale/dob.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/base/kvtbase.h"
#include "platform/forms/headless/headless.h"
#include "sale/age.h"
#include "suite/host/host.h"

namespace {

TEST(AgeRule, IsExactOnTheBirthdayAndComparesLeapBirthdaysByDigits) {
  // clang-format off
  struct Case { const char* dob; int age; const char* today; bool valid, ofAge; const char* cutoff; } cases[] = {
      {"06152004", 21, "06152025", true,  true,  "06/15/2004"},  // the birthday itself
      {"06162004", 21, "06152025", true,  false, "06/15/2004"},  // a day short
      {"06142004", 21, "06152025", true,  true,  "06/15/2004"},
      {"02292004", 21, "02282025", true,  false, "02/28/2004"},  // 02/29 is not yet of age on 02/28
      {"02292004", 21, "03012025", true,  true,  "03/01/2004"},
      {"12311999", 18, "01012018", true,  true,  "01/01/2000"},  // across a year end
      {"13452000", 18, "06152025", false, false, "06/15/2007"},  // eight digits, no calendar day
      {"0615200",  18, "06152025", false, false, "06/15/2007"},
  };
  // clang-format on
  for (const auto& c : cases) {
    auto d = kvt::sale::DecideAge(c.dob, c.age, c.today);
    EXPECT_EQ(d.validDate, c.valid) << c.dob;
    EXPECT_EQ(d.ofAge, c.ofAge) << c.dob << " on " << c.today;
    EXPECT_EQ(d.legalDateToPurchase, c.cutoff) << c.dob;
  }
}

class DobDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(KVTSetToday("06/15/2025"));
    user.Install();
    host = std::make_unique<KVTHost>();
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    host.reset();
    KVTSetToday("");
  }
  KVTScriptedUser user;
  std::unique_ptr<KVTHost> host;
};

TEST_F(DobDialog, AsksUntilTheDateDecidesAndSaysWhy) {
  const char* under =
      "You must be 21 to purchase alcohol, the customer is not 21.\n\nIs 06/16/2004 the correct "
      "date of birth?";
  const char* none =
      "Identification is required to purchase alcohol.\n\nWould you like to enter the customers "
      "date of birth?";
  // clang-format off
  struct Step { const char* typed; int answer; const char* message; };
  struct Case { const char* name; std::vector<Step> steps; bool legal; const char* dob; } cases[] = {
      {"OfAge",             {{"06152004", 0, nullptr}}, true, "06152004"},
      {"Override",          {{"ID", 0, nullptr}}, true, "ID"},
      {"UnderAgeConfirmed", {{"06162004", IDYES, under}}, false, "06162004"},
      {"UnderAgeRetyped",   {{"06162004", IDNO, under}, {"06152004", 0, nullptr}}, true, "06152004"},
      {"EmptyDeclined",     {{"", IDNO, none}}, false, ""},
      {"EmptyThenDate",     {{"", IDYES, none}, {"01011980", 0, nullptr}}, true, "01011980"},
      {"ShortThenDate",     {{"6152004", 0, "Date of Birth must be entered as MM/DD/YYYY."},
                             {"01011980", 0, nullptr}}, true, "01011980"},
  };
  // clang-format on
  for (const auto& c : cases) {
    user.Reset();
    PVdobDlg dlg(host->MainWindow());
    dlg.SetTypeFlag("A");
    dlg.SetLegalAge("21");
    dlg.SetDateOfBirth("");
    for (const Step& s : c.steps) {
      if (s.typed[0]) user.Type(s.typed);
      if (s.answer) user.Answer(s.answer);
      if (s.message) user.ExpectMessage(s.message);
      user.Key("Enter");
    }
    dlg.Execute();
    user.Finish();
    EXPECT_TRUE(user.Failures().empty()) << c.name << ": " << user.Failures().front();
    EXPECT_EQ(dlg.bLegal, c.legal) << c.name;
    EXPECT_STREQ(dlg.szDOB, c.dob) << c.name;
  }
}

}  // namespace
