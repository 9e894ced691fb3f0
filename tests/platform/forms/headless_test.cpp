// The headless front end: message boxes and their answers, expected
// messages, failures, and the text a screen is drawn as.
#include <gtest/gtest.h>

#include "tests/platform/forms/forms_fixture.h"
#include "tests/platform/forms/testscreen.h"

namespace {

// `answers` are queued before the box; `failure` is "" when none.
// clang-format off
struct BoxCase { const char* name; UINT flags; std::vector<int> answers; int want; std::string failure; };
// clang-format on

class MessageBoxes : public FormsTest, public ::testing::WithParamInterface<BoxCase> {};

void PrintTo(const BoxCase& c, std::ostream* os) {
  *os << c.name;
}

TEST_P(MessageBoxes, AnswerComesFromTheScriptOrTheDefault) {
  const BoxCase& c = GetParam();
  for (int a : c.answers) user.Answer(a);
  int got = 0;
  user.Do([&] {
    got = MessageBox(host, "Closing Out Till - Are you sure?", "Point of Sale", c.flags);
  });
  user.Run();
  user.Finish();
  EXPECT_EQ(got, c.want);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].answer, c.want);
  if (c.failure.empty()) {
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  } else {
    ASSERT_EQ(user.Failures().size(), 1u);
    EXPECT_NE(user.Failures()[0].find(c.failure), std::string::npos) << user.Failures()[0];
  }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Headless, MessageBoxes, ::testing::Values(
    BoxCase{"OkOnlyIsAcknowledged", MB_OK | MB_ICONSTOP, {}, IDOK, ""},
    BoxCase{"OkOnlyTakesAnOkAnswer", MB_OK, {IDOK}, IDOK, ""},
    BoxCase{"OkOnlyLeavesAYesForTheNextQuestion", MB_OK, {IDYES}, IDOK, "the answer Yes was never asked for"},
    BoxCase{"QuestionTakesTheAnswer", MB_YESNO | MB_ICONQUESTION, {IDYES}, IDYES, ""},
    BoxCase{"ThreeButtonsTakeCancel", MB_YESNOCANCEL, {IDCANCEL}, IDCANCEL, ""},
    BoxCase{"UnexpectedQuestionGetsItsDefaultNo", MB_YESNO | MB_DEFBUTTON2, {}, IDNO, "an unexpected question: \"Point of Sale\" (Yes/No): \"Closing Out Till - Are you sure?\""},
    BoxCase{"UnexpectedQuestionGetsItsDefaultYes", MB_YESNO, {}, IDYES, "unexpected question"},
    BoxCase{"AnswerThatFitsNoButtonFails", MB_OKCANCEL | MB_DEFBUTTON2, {IDNO}, IDCANCEL, "the answer No does not fit the box"}),
    [](const ::testing::TestParamInfo<BoxCase>& info) { return info.param.name; });
// clang-format on

TEST_F(FormsTest, EveryBoxIsKeptWithCaptionIconButtonsAndAnswer) {
  user.Answer(IDNO).Do([&] {
    MessageBox(host, "Invalid Store.", "Error", MB_OK | MB_ICONSTOP);
    MessageBox(host, "Till Report Only?", "Point of Sale",
               MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
  });
  user.Run();
  ASSERT_EQ(user.Messages().size(), 2u);
  const KVTShownMessage& a = user.Messages()[0];
  EXPECT_EQ(a.caption, "Error");
  EXPECT_EQ(a.icon, "stop");
  EXPECT_EQ(a.buttons, std::vector<int>{IDOK});
  const KVTShownMessage& b = user.Messages()[1];
  EXPECT_EQ(b.icon, "question");
  EXPECT_EQ(b.buttons, (std::vector<int>{IDYES, IDNO}));
  EXPECT_EQ(b.defaultButton, IDNO);
  EXPECT_EQ(b.answer, IDNO);
}

TEST_F(FormsTest, ExpectedMessagesAreCheckedInTheOrderShown) {
  auto show = [this](const char* text) {
    user.Do([this, text] { MessageBox(host, text, "Error", MB_OK); });
  };
  show("first");
  show("second");
  user.ExpectMessage("first").ExpectMessage("second", "Error");  // after they were shown
  user.ExpectMessage("third");                                   // before it is shown
  show("third");
  user.ExpectMessage("fourth", "Point of Sale");
  show("fourth");               // caption differs
  user.ExpectMessage("fifth");  // never shown
  user.Run();
  user.Finish();
  ASSERT_EQ(user.Failures().size(), 2u);
  EXPECT_EQ(user.Failures()[0],
            "expected the message \"fourth\" captioned \"Point of Sale\", but the box shown was "
            "\"Error\" (OK): \"fourth\"");
  EXPECT_EQ(user.Failures()[1], "the message \"fifth\" was never shown");
}

TEST_F(FormsTest, InputWithNoScreenOpenFails) {
  std::vector<std::string> events;
  user.SetEventSink([&](const std::string& line) { events.push_back(line); });
  Play({"type 1", "key Bogus"});
  ASSERT_EQ(user.Failures().size(), 2u);
  EXPECT_EQ(user.Failures()[0], "no screen is open to take the text \"1\"");
  EXPECT_EQ(user.Failures()[1], "unknown key \"Bogus\"");
  EXPECT_EQ(events.front(), "FAILED: no screen is open to take the text \"1\"");
}

TEST_F(FormsTest, TheScreenIsDrawnAsReadableText) {
  OpenTestScreenIn(host);
  auto* screen = dynamic_cast<PVtestDlg*>(KVTForms::Instance().ActiveScreen());
  ASSERT_NE(screen, nullptr);
  Play({"type S1", "key Enter", "type 2", "key Enter", "type 1.5", "key Enter", "click Taxable"});
  screen->ProtectField(PVtestDlg::IDC_PRICE);
  screen->SetFieldColors(PVtestDlg::IDC_PRICE, KVT_PROTECTED_FG, KVT_PROTECTED_BG);
  screen->ShowField(PVtestDlg::IDC_NOTE, false);
  screen->Grid(PVtestDlg::IDC_DATATBL)->SelRow(0);
  screen->Grid(PVtestDlg::IDC_DATATBL)->SetRowColor(0, KVT_YELLOW);
  screen->SetFieldText(PVtestDlg::IDC_LOG, "Cash Sales    1\nTotal        $5.00\n");
  std::string text = user.Render();
  for (const char* want : {
           "+-- Test Screen ---",
           "|    Store : [S1    ]         >[x] Taxable",
           "| Quantity : [          ]",
           "|    Price : (          )",
           "|    Store  |       Qty|     Price|     Amount",
           "|  *>S1     |         2|      1.50|       3.00  (yellow)",
           "Total : $3.00",
           "< Close >",
           "colours: 103 black on grey",
           "|  Cash Sales    1",  // a report in a label goes down the form
           "|  Total        $5.00",
       })
    EXPECT_NE(text.find(want), std::string::npos) << "missing: " << want << "\n" << text;
  EXPECT_EQ(text.find("< Note >"), std::string::npos) << "a hidden button is not drawn\n" << text;
  EXPECT_EQ(text.find("|1    "), std::string::npos) << "a hidden column is not drawn\n" << text;
  EXPECT_LT(text.find("Cash Sales"), text.find("Total        $5.00"));
  EXPECT_EQ(text.find("Cash Sales    1\n"), std::string::npos) << "lines stay inside the frame";
  // Escaped text reads as a script writes it.
  EXPECT_EQ(KVTEscapeText("  This shift has been closed.\n\nSay \"No\"\\"),
            "  This shift has been closed.\\n\\nSay \\\"No\\\"\\\\");
}

}  // namespace
