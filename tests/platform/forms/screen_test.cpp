// How keys, focus, field checks, questions, posted commands and modal
// dialogs flow through a screen, driven through the test screen.
#include <functional>
#include <map>

#include "platform/base/kvtbase.h"

#include "tests/platform/forms/forms_fixture.h"
#include "tests/platform/forms/testscreen.h"

namespace {

using Ids = PVtestDlg;

struct Case {
  const char* name;
  std::vector<std::string> steps;
  int focus;                                    // 0: no screen open any more
  std::map<int, std::string> fields;            // screen texts expected
  std::vector<std::string> messages;            // every box shown, in order
  int rows = -1;                                // grid rows expected (-1: not checked)
  std::string failure = "";                     // a failure the headless user must report
  std::function<void(PVtestDlg*)> before = {};  // set-up of the screen before the steps
};

void PrintTo(const Case& c, std::ostream* os) {
  *os << c.name;
}

class ScreenFlow : public FormsTest, public ::testing::WithParamInterface<Case> {};

PVtestDlg* OpenScreen(HWND host) {
  OpenTestScreenIn(host);
  return dynamic_cast<PVtestDlg*>(KVTForms::Instance().ActiveScreen());
}

TEST_P(ScreenFlow, KeysInFieldsFocusAndMessagesOut) {
  const Case& c = GetParam();
  PVtestDlg* screen = OpenScreen(host);
  ASSERT_NE(screen, nullptr);
  if (c.before) c.before(screen);
  Play(c.steps);

  EXPECT_EQ(MessageTexts(), c.messages);
  if (c.failure.empty()) {
    EXPECT_TRUE(user.Failures().empty()) << user.Failures().front();
  } else {
    ASSERT_FALSE(user.Failures().empty());
    EXPECT_NE(user.Failures().front().find(c.failure), std::string::npos)
        << user.Failures().front();
  }
  KVTScreen* active = KVTForms::Instance().ActiveScreen();
  if (c.focus == 0) {
    EXPECT_EQ(active, nullptr);
    return;
  }
  ASSERT_EQ(active, screen) << user.Render();
  EXPECT_EQ(screen->GetFocusField(), c.focus) << user.Render();
  for (const auto& [id, text] : c.fields)
    EXPECT_EQ(screen->GetFieldText(id), text) << "field " << id;
  if (c.rows >= 0) {
    EXPECT_EQ(screen->Grid(Ids::IDC_DATATBL)->GetRowCount(), c.rows);
  }
}

const std::vector<std::string> kOneLine = {"type S1",   "key Enter", "type 2",
                                           "key Enter", "type 1.5",  "key Enter"};

std::vector<std::string> After(std::vector<std::string> first,
                               const std::vector<std::string>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

void HideQtyDisablePrice(PVtestDlg* s) {
  s->ShowField(Ids::IDC_QTY, false);
  s->EnableField(Ids::IDC_PRICE, false);
  EXPECT_FALSE(s->KVTSetFieldFocus(Ids::IDC_QTY));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TestScreen, ScreenFlow, ::testing::Values(
    Case{"ValidStoreMovesOn", {"type S1", "key Enter"}, Ids::IDC_QTY, {{101, "S1"}}, {}},
    Case{"RefusedStoreKeepsTheFocus", {"type S9", "key Enter"}, Ids::IDC_STORE, {{101, "S9"}}, {"Invalid Store."}},
    Case{"TabChecksLikeEnter", {"type S9", "key Tab"}, Ids::IDC_STORE, {}, {"Invalid Store."}},
    Case{"ShiftTabMovesBackWithoutChecking", {"type S1", "key Enter", "type abc", "key Shift+Tab"}, Ids::IDC_STORE, {{102, "abc"}}, {}},
    Case{"ShiftTabFromTheFirstFieldWrapsWithoutChecking", {"type S9", "key Shift+Tab"}, IDCANCEL, {}, {}},
    Case{"RefusedFieldIsRetypedNotAppended", {"type S9", "key Enter", "type S1", "key Enter"}, Ids::IDC_QTY, {{101, "S1"}}, {"Invalid Store."}},
    Case{"EmptyQuantityBecomesOne", {"type S1", "key Enter", "key Enter"}, Ids::IDC_PRICE, {{102, "1"}}, {}},
    Case{"BadQuantityIsRefused", {"type S1", "key Enter", "type x", "key Enter"}, Ids::IDC_QTY, {{102, "x"}}, {"Not a valid quantity.\n\nMust enter a number."}},
    Case{"EnteringAFieldSelectsItsText", {"type S1", "key Enter", "key Shift+Tab", "type S2"}, Ids::IDC_STORE, {{101, "S2"}}, {}},
    Case{"BackspaceAfterTypingRemovesOneCharacter", {"type S12", "key Backspace", "key Enter"}, Ids::IDC_QTY, {{101, "S1"}}, {}},
    Case{"TextLongerThanTheBufferIsCut", {"type S1234567"}, Ids::IDC_STORE, {{101, "S12345"}}, {}},
    Case{"AnAccentAcrossTheBufferEdgeIsLeftOutWhole", {"type S1234\xC3\xA9"}, Ids::IDC_STORE, {{101, "S1234"}}, {}},
    Case{"AnEmojiThatFitsIsTakenWhole", {"type S1\xF0\x9F\x90\x84x"}, Ids::IDC_STORE, {{101, "S1\xF0\x9F\x90\x84"}}, {}},
    Case{"LeavingThePriceAddsTheLine", kOneLine, Ids::IDC_QTY, {{102, ""}, {103, ""}, {Ids::IDC_TOTAL, "$3.00"}}, {}, 1},
    Case{"QuestionAnsweredNoKeepsTheLines", After(kOneLine, {"answer No", "key F3"}), Ids::IDC_QTY, {{Ids::IDC_TOTAL, "$3.00"}}, {"Clear all lines?"}, 1},
    Case{"QuestionAnsweredYesClears", After(kOneLine, {"answer Yes", "key F3"}), Ids::IDC_QTY, {{Ids::IDC_TOTAL, "$0.00"}, {Ids::IDC_LOG, "cleared"}}, {"Clear all lines?"}, 0},
    Case{"UnansweredQuestionFailsAndTakesTheDefault", After(kOneLine, {"key F3"}), Ids::IDC_QTY, {}, {"Clear all lines?"}, 1, "an unexpected question: \"Test Screen\" (question, Yes/No): \"Clear all lines?\""},
    Case{"OkOnlyBoxIsAcknowledged", {"key F3"}, Ids::IDC_STORE, {}, {"No lines to clear."}, 0},
    Case{"KeysWithAltAreIgnored", {"key Alt+F3", "key Alt+F5"}, Ids::IDC_STORE, {{150, ""}}, {}},
    Case{"ShiftF3IsNotTheClearKey", After(kOneLine, {"key Shift+F3"}), Ids::IDC_QTY, {}, {}, 1},
    Case{"PostedCommandRunsAfterTheHandler", {"key F5"}, Ids::IDC_STORE, {{150, "F5 began; F5 ended; posted command ran"}}, {}},
    Case{"ModalDialogReturnsOkToItsHandler", {"click Note", "type Call back", "click OK"}, Ids::IDC_NOTE, {{150, "note dialog ended with OK"}, {151, "Note: Call back"}}, {}},
    Case{"ModalDialogKeepsRunningUntilItsRequiredFieldIsFilled", {"key F6", "click OK", "expect Note is required.", "key Esc"}, Ids::IDC_STORE, {{150, "note dialog ended with Cancel"}, {151, ""}}, {"Note is required."}},
    Case{"DialogLeftOpenByTheScriptIsCancelled", {"key F6"}, Ids::IDC_STORE, {{150, "note dialog ended with Cancel"}}, {}, -1, "the script ended while \"Note\" was open"},
    Case{"EscClosesTheScreen", {"key Esc"}, 0, {}, {}},
    Case{"ClickOnAMissingButtonFails", {"click Save"}, Ids::IDC_STORE, {}, {}, -1, "no button \"Save\" on \"Test Screen\""},
    // A special key leaves the field like Enter; without it Down stays in the field.
    Case{"DownIsNoSpecialKeyByDefault", {"type S9", "key Down"}, Ids::IDC_STORE, {}, {}},
    Case{"SpecialKeyLeavesTheFieldLikeEnter", {"type S9", "key Down"}, Ids::IDC_STORE, {}, {"Invalid Store."}, -1, "", [](PVtestDlg* s) { s->SetSpecialKey(VK_DOWN); }},
    // A protected field takes the focus but no typing; hidden and disabled ones are skipped both ways.
    Case{"ProtectedFieldTakesNoTyping", {"type S1", "key Enter", "type 5"}, Ids::IDC_QTY, {{102, ""}}, {}, -1, "", [](PVtestDlg* s) { s->ProtectField(Ids::IDC_QTY); }},
    Case{"HiddenAndDisabledFieldsAreSkipped", {"type S1", "key Enter"}, Ids::IDC_TAXABLE, {}, {}, -1, "", HideQtyDisablePrice},
    Case{"HiddenAndDisabledFieldsAreSkippedBack", {"type S1", "key Enter", "key Shift+Tab"}, Ids::IDC_STORE, {}, {}, -1, "", HideQtyDisablePrice}),
    [](const ::testing::TestParamInfo<Case>& info) { return info.param.name; });
// clang-format on

class Screen : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    OpenTestScreenIn(host);
    screen = dynamic_cast<PVtestDlg*>(KVTForms::Instance().ActiveScreen());
    ASSERT_NE(screen, nullptr);
  }
  PVtestDlg* screen = nullptr;
};

TEST_F(Screen, CheckerSeesTheKeyAndShift) {
  Play({"type S1", "key Shift+Enter"});
  EXPECT_EQ(screen->checker.lastField, Ids::IDC_STORE);
  EXPECT_TRUE(screen->checker.lastByKey);
  EXPECT_TRUE(screen->checker.lastShift);
  Play({"type 3", "key Enter"});
  EXPECT_FALSE(screen->checker.lastShift);
  // A click on another control is not a key press, and runs no check.
  screen->checker.lastField = 0;
  Play({"type x", "click Taxable"});
  EXPECT_EQ(screen->checker.lastField, 0);
  EXPECT_FALSE(KVTLastMessageWasKey());
  EXPECT_TRUE(screen->GetCheck(Ids::IDC_TAXABLE));
}

TEST_F(Screen, BufferAndScreenMoveOnlyWhenAsked) {
  Play({"type S2"});
  EXPECT_STREQ(screen->data.STORE, "");  // typing changes the screen only
  screen->DoScrToApp(Ids::IDC_STORE);
  EXPECT_STREQ(screen->data.STORE, "S2");
  KVTsprintf(screen->data.QTY, "7");
  KVTsprintf(screen->data.TAXABLE, "T");
  EXPECT_EQ(screen->GetFieldText(Ids::IDC_QTY), "");
  screen->UpdateScreen();
  EXPECT_EQ(screen->GetFieldText(Ids::IDC_QTY), "7");
  EXPECT_TRUE(screen->GetCheck(Ids::IDC_TAXABLE));
  screen->SetCheck(Ids::IDC_TAXABLE, false);
  screen->SetFieldText(Ids::IDC_PRICE, "2.50");
  screen->UpdateApp();
  EXPECT_STREQ(screen->data.TAXABLE, "F");
  EXPECT_STREQ(screen->data.PRICE, "2.50");
  EXPECT_TRUE(screen->SetFieldVar(Ids::IDC_STORE, "S1234567"));
  EXPECT_STREQ(screen->data.STORE, "S12345");  // cut to the member
}

TEST_F(Screen, FocusHandlersRunForKeysAndProgramAlike) {
  std::vector<std::string> seen;
  screen->OnSetFocus(Ids::IDC_PRICE, [&] { seen.push_back("set 103"); });
  screen->OnKillFocus(Ids::IDC_STORE, [&] { seen.push_back("kill 101"); });
  // A focus handler that moves on, as the till's fields do.
  screen->OnSetFocus(Ids::IDC_QTY, [&] {
    seen.push_back("set 102");
    screen->KVTSetFieldFocus(Ids::IDC_PRICE);
  });
  Play({"type S1", "key Enter"});
  EXPECT_EQ(seen, (std::vector<std::string>{"kill 101", "set 102", "set 103"}));
  EXPECT_EQ(screen->GetFocusField(), Ids::IDC_PRICE);
}

TEST_F(Screen, GridTakesUpAndDownAndClicks) {
  Play(After(kOneLine, {"type 2", "key Enter", "type 2", "key Enter"}));
  TDataTbl* grid = screen->Grid(Ids::IDC_DATATBL);
  ASSERT_EQ(grid->GetRowCount(), 2);
  std::vector<int> clicked;
  screen->OnGridClick(Ids::IDC_DATATBL, [&](int row) { clicked.push_back(row); });
  Play({"row 106 1"});
  EXPECT_EQ(clicked, std::vector<int>{1});
  EXPECT_EQ(grid->GetSelRow(), 1);
  EXPECT_EQ(screen->GetFocusField(), Ids::IDC_DATATBL);
  Play({"key Up", "key Up"});
  EXPECT_EQ(grid->GetSelRow(), 0);  // stops at the first row
  Play({"key Down"});
  EXPECT_EQ(grid->GetSelRow(), 1);
}

TEST_F(Screen, OpeningTheScreenAgainRestoresTheOneOpen) {
  PVmdiwinDlg* frame = KVTForms::Instance().ActiveFrame();
  ASSERT_NE(frame, nullptr);
  frame->Show(SW_MINIMIZE);
  OpenTestScreenIn(host);
  EXPECT_EQ(KVTForms::Instance().Frames().size(), 1u);
  EXPECT_FALSE(frame->IsIconic());
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), screen);
}

struct PayData {
  char PYMTFORM[80];
  char ALL[2];
  char ONE[2];
  char STORE[11];
};

class PayDlg : public PVDialog, public KVTFieldChecker {
 public:
  static KVTFormDecl Form() {
    KVTFormDecl f("PVpayDlg", "Pay", 40, 8);
    f.List(108, "Form : ", 8, 1, 20, 4, KVT_BIND(PayData, PYMTFORM))
        .Items({"1 - Cash", "2 - Check", "3 - Credit Card"});
    f.Radio(201, "which", "&All stores", 8, 5, KVT_BIND(PayData, ALL));
    f.Radio(202, "which", "&One store", 8, 6, KVT_BIND(PayData, ONE));
    f.Edit(203, "Store : ", 8, 7, 10, KVT_BIND(PayData, STORE));
    return f;
  }
  PayDlg(HWND parent) : PVDialog(parent, Form(), &data) {
    SetFieldChecker(this);
    OnChange(108, [this] { changes.push_back(GetFieldText(108)); });
    OnChange(201, [this] { ProtectField(203); });
    OnChange(202, [this] { UnprotectField(203); });
  }
  int VerifyFields(int id) override {
    left.push_back(id);
    return 0;
  }
  PayData data{};
  std::vector<std::string> changes;
  std::vector<int> left;
};

TEST_F(FormsTest, ListsAndRadioButtonsTakeKeysAndClicks) {
  PayDlg dlg(host);
  KVTsprintf(dlg.data.PYMTFORM, "2 - Check");
  KVTsprintf(dlg.data.ONE, "T");
  user.Key("Down")
      .Key("Down")  // stops at the last item
      .Key("Up")
      .Type("3")  // a character picks the first item starting with it
      .Key("Enter")
      .Click("All stores")
      .Do([&] { dlg.KVTSetFieldFocus(203); })
      .Type("X")  // the store is protected now
      .Click("One store")
      .Do([&] { dlg.KVTSetFieldFocus(203); })
      .Type("S1")
      .Click("All stores")
      .Do([&] { dlg.CloseWindow(IDOK); });
  EXPECT_EQ(dlg.Execute(), IDOK);
  EXPECT_EQ(dlg.changes,
            (std::vector<std::string>{"3 - Credit Card", "2 - Check", "3 - Credit Card"}));
  EXPECT_EQ(dlg.left, std::vector<int>{108});
  EXPECT_STREQ(dlg.data.PYMTFORM, "3 - Credit Card");
  EXPECT_TRUE(dlg.GetCheck(201));
  EXPECT_FALSE(dlg.GetCheck(202));  // one radio button of a group at a time
  dlg.UpdateApp();
  EXPECT_STREQ(dlg.data.ALL, "T");
  EXPECT_STREQ(dlg.data.ONE, "F");
  EXPECT_EQ(dlg.GetFieldText(203), "S1");
  EXPECT_TRUE(dlg.IsFieldProtected(203));

  dlg.ClearList(108);
  EXPECT_EQ(dlg.AddListItem(108, "1 - Cash"), 0);
  EXPECT_EQ(dlg.GetListSelection(108), KVT_NONE);
  dlg.UpdateApp();
  EXPECT_STREQ(dlg.data.PYMTFORM, "");
  EXPECT_FALSE(dlg.SetFieldText(0, "unnamed texts are not addressed"));
}

}  // namespace
