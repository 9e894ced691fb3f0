// Tab windows and MDI frames: which screen takes the keys, tab selection,
// closing from inside a handler, and frames going with their host.
#include <gtest/gtest.h>

#include <tuple>

#include "tests/platform/forms/forms_fixture.h"

namespace {

struct PageData {
  char REF[11];
};

KVTFormDecl PageForm(const std::string& cls) {
  KVTFormDecl f(cls, cls, 30, 4);
  f.Edit(101, "Ref : ", 8, 1, 10, KVT_BIND(PageData, REF));
  return f;
}

int g_pagesAlive = 0;

class Page : public KVTPropertyPage {
 public:
  Page(HWND parent, const std::string& cls) : KVTPropertyPage(parent, PageForm(cls), &data) {
    ++g_pagesAlive;
    OnCommand(6000, [this] {
      // Closing from a handler: the page must still be usable until it returns.
      CloseWindow(IDCANCEL);
      keys.push_back(Form().className + " closed");
    });
  }
  ~Page() override { --g_pagesAlive; }
  void PageSelected() override { ++selected; }
  PageData data{};
  std::vector<std::string> keys;
  int selected = 0;

 protected:
  bool PreProcessMsg(MSG& msg) override {
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F10) {
      keys.push_back("F10");
      if (auto* tabs = TabWindow()) {
        tabs->EnableTab(1, true);
        tabs->SelectTab(1);
      }
      return true;
    }
    return false;
  }
};

class Frames : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    g_pagesAlive = 0;
    tabs = new Tbacktab(host);
    items = new Page(host, "PVitemsDlg");
    total = new Page(host, "PVtotalDlg");
    tabs->AddTab("Sale Items", items);
    tabs->AddTab("Sale Total", total);
    frame = new PVmdiwinDlg(KVTFindMDIClient(host), "Point of Sale", tabs);
    frame->SetFrameStyle({false, false, false});
    ASSERT_TRUE(frame->Create());
    tabs->EnableTab(1, false);
    frame->Show(SW_SHOWMAXIMIZED);
    frame->SetFocus();
  }
  Tbacktab* tabs;
  Page* items;
  Page* total;
  PVmdiwinDlg* frame;
};

TEST_F(Frames, KeysGoToTheSelectedPage) {
  EXPECT_EQ(items->selected, 1);
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), items);
  Play({"type A1"});
  EXPECT_EQ(items->GetFieldText(101), "A1");
  Play({"key Ctrl+Tab"});  // the other tab is disabled
  EXPECT_EQ(tabs->GetSelectedTab(), 0);
  EXPECT_FALSE(tabs->SelectTab(1));
  Play({"key F10", "type B2"});
  EXPECT_EQ(items->keys, std::vector<std::string>{"F10"});
  EXPECT_EQ(tabs->GetSelectedTab(), 1);
  EXPECT_EQ(total->selected, 1);
  EXPECT_EQ(total->GetFieldText(101), "B2");
  EXPECT_EQ(items->GetFieldText(101), "A1");
  Play({"key Ctrl+Tab"});
  EXPECT_EQ(tabs->GetSelectedTab(), 0);
  EXPECT_EQ(items->selected, 2);
  std::string text = user.Render();
  EXPECT_NE(text.find("== Point of Sale =="), std::string::npos) << text;
  EXPECT_NE(text.find("tabs: [Sale Items] Sale Total"), std::string::npos) << text;
  // The page windows hang under the frame in the MDI client.
  EXPECT_EQ(GetTopWindow(items->Handle()), host);
  EXPECT_EQ(GetParent(frame->Handle()), KVTFindMDIClient(host));
  EXPECT_TRUE(frame->IsZoomed());
  // Alt with a digit picks the tab it marks.
  auto* third = new Page(host, "PVthirdDlg");
  tabs->AddTab("&3-Transfer Options", third);
  Play({"key Alt+3"});
  EXPECT_EQ(tabs->GetSelectedTab(), 2);
  EXPECT_EQ(third->selected, 1);
}

// Also when the command is broadcast to the MDI children: the selected page takes it.
TEST_F(Frames, ClosingFromAHandlerDeletesTheFrameAfterwards) {
  for (HWND child : GetChildWindows(KVTFindMDIClient(host))) PostMessage(child, WM_COMMAND, 6000);
  KVTForms::Instance().Idle();
  EXPECT_TRUE(KVTForms::Instance().Frames().empty());
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), nullptr);
  EXPECT_EQ(g_pagesAlive, 0);
}

TEST_F(Frames, ADisabledScreenTakesNoInput) {
  for (bool enabled : {false, true}) {
    items->EnableWindow(enabled);
    Play({"type A1", "key F10"});
    EXPECT_EQ(items->GetFieldText(101), enabled ? "A1" : "");
    EXPECT_EQ(items->keys.size(), enabled ? 1u : 0u);
  }
  frame->Show(SW_HIDE);  // nor does a hidden frame
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), nullptr);
  EXPECT_FALSE(KVTForms::Instance().Type("x"));
}

TEST_F(Frames, FramesGoWithTheirHost) {
  DestroyWindow(host);
  host = nullptr;
  KVTForms::Instance().Idle();
  EXPECT_TRUE(KVTForms::Instance().Frames().empty());
  EXPECT_EQ(g_pagesAlive, 0);
}

TEST_F(FormsTest, MdiScreenNeedsAnMdiClient) {
  HWND bare = CreateKVTWindow("Bare", "no MDI client", nullptr);
  PageData data{};
  KVTFormDecl form = PageForm("PVplainDlg");
  auto* screen = new PVMDIDialog(bare, form, &data);
  EXPECT_FALSE(screen->Create());
  EXPECT_TRUE(KVTForms::Instance().Frames().empty());
  delete screen;  // still the caller's
  DestroyWindow(bare);

  auto* inHost = new PVMDIDialog(host, form, &data);
  ASSERT_TRUE(inHost->Create());
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), inHost);
  EXPECT_EQ(inHost->Frame()->Handle()->className, "PVplainDlg");
  EXPECT_TRUE(KVTActivateMDIChild(KVTFindMDIClient(host), "PVplainDlg"));
  EXPECT_FALSE(KVTActivateMDIChild(KVTFindMDIClient(host), "PVotherDlg"));
}

TEST_F(FormsTest, EditableGridCellsTakeTyping) {
  KVTFormDecl form("PVchgtaxDlg", "Change Tax", 40, 8);
  KVTFieldDecl& g = form.Grid(106, 1, 1, 5);
  g.Column("Tax Code", 8).Editable();
  g.Column("Tax Rate", 8);
  g.Column("Max", 10).Hidden().Editable();
  g.Column("Tax Amt", 8).Editable();
  PVDialog dlg(host, form);
  TDataTbl* grid = dlg.Grid(106);
  user.Do([&] {
        grid->InsertRow();
        grid->UpdateCell(0, "IA");
        grid->InsertRow();
        dlg.UnprotectField(106);  // editable
        dlg.KVTSetFieldFocus(106);
      })
      .Type("X")     // the current cell is row 0, column 0: replaced
      .Type("Y")     // then appended
      .Key("Right")  // column 1 is not editable
      .Type("9")
      .Key("Right")  // the hidden column is skipped
      .Key("Down")
      .Type("1.50")
      .Key("Backspace")
      .Do([&] { dlg.CloseWindow(IDOK); });
  EXPECT_EQ(dlg.Execute(), IDOK);
  EXPECT_EQ(grid->GetCell(0, 0) + "|" + grid->GetCell(1, 0) + "|" + grid->GetCell(2, 1) + "|" +
                grid->GetCell(3, 1),
            "XY|||1.5");
  EXPECT_TRUE(user.Failures().empty());
}

TEST_F(FormsTest, ModalDialogTakesTheKeysWhileItRuns) {
  PageData data{};
  PVDialog dlg(host, PageForm("PVaskDlg"), &data);
  KVTScreen* during = nullptr;
  user.Type("X9").Do([&] { during = KVTForms::Instance().ActiveScreen(); }).Key("Enter").Do([&] {
    dlg.CloseWindow(IDOK);
  });
  EXPECT_EQ(dlg.Execute(), IDOK);
  EXPECT_EQ(during, &dlg);
  EXPECT_STREQ(data.REF, "X9");  // leaving the field copied it into the buffer
  EXPECT_TRUE(!dlg.IsRunning() && !dlg.Handle() && KVTForms::Instance().ModalDialogs().empty());
  // A dialog is centred on the desktop.
  PVDialog centred(host, KVTFormDecl("PVaskDlg", "Ask", 40, 10));
  user.Do([&] {
    CenterDialog(centred.Handle());
    centred.CloseWindow(IDOK);
  });
  EXPECT_EQ(centred.Execute(), IDOK);
  KVTRect r = centred.GetWindowRect();
  EXPECT_EQ(r.w, 40 * 8 + 16);
  EXPECT_EQ(r.x, (GetSystemMetrics(SM_CXSCREEN) - r.w) / 2);
  EXPECT_EQ(r.y, (GetSystemMetrics(SM_CYSCREEN) - r.h) / 2);
}

TEST_F(Frames, ATabClickGoesThroughTheRuntime) {
  EXPECT_FALSE(KVTForms::Instance().SelectTab(tabs, 1));  // disabled
  EXPECT_EQ(tabs->GetSelectedTab(), 0);
  tabs->EnableTab(1, true);
  EXPECT_TRUE(KVTForms::Instance().SelectTab(tabs, 1));
  EXPECT_EQ(total->selected, 1);
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), total);
  // A modal dialog takes all input: the tabs behind it stay as they are.
  KVTFormDecl form("PVaskDlg", "Ask", 20, 3);
  PVDialog dlg(host, form);
  bool during = true;
  user.Do([&] {
    during = KVTForms::Instance().SelectTab(tabs, 0);
    dlg.CloseWindow(IDOK);
  });
  dlg.Execute();
  EXPECT_FALSE(during);
  EXPECT_EQ(tabs->GetSelectedTab(), 1);
}

TEST_F(Frames, TheCloseBoxCancelsTheScreenInTheFrame) {
  items->EnableWindow(false);
  EXPECT_FALSE(KVTForms::Instance().Cancel(frame));  // a disabled screen takes nothing
  items->EnableWindow(true);
  EXPECT_TRUE(KVTForms::Instance().Cancel(frame));
  EXPECT_TRUE(KVTForms::Instance().Frames().empty());
  EXPECT_EQ(g_pagesAlive, 0);
}

TEST_F(FormsTest, AltWithALetterPressesTheButtonItMarks) {
  // clang-format off
  struct MnemonicCase { const char* key; int endCode; std::vector<std::string> messages; } cases[] = {
      {"Alt+O", IDOK, {"Ref is required."}},  // OK runs the screen's check
      {"Alt+c", IDCANCEL, {}},                // without regard to case
      {"Alt+P", IDCANCEL, {"pressed"}},       // "&&" is no mark; "Sto&p" is
  };
  // clang-format on
  for (const MnemonicCase& c : cases) {
    SCOPED_TRACE(c.key);
    user.Reset();
    PageData data{};
    KVTFormDecl form = PageForm("PVaskDlg");
    form.Button(IDOK, "&OK", 2, 3);
    form.Button(IDCANCEL, "&Cancel", 8, 3);
    form.Button(300, "P&&L Sto&p", 18, 3);
    struct Ask : PVDialog, KVTFieldChecker {
      Ask(HWND h, const KVTFormDecl& f, PageData* d) : PVDialog(h, f, d) { SetFieldChecker(this); }
      int VerifyFields(int) override { return 0; }
      int VerifyRequiredFields() override {
        MessageBox("Ref is required.", "Error", MB_OK | MB_ICONSTOP);
        CloseWindow(IDOK);
        return 0;
      }
    } dlg(host, form, &data);
    dlg.OnCommand(300, [&] {
      dlg.MessageBox("pressed", "Ask", MB_OK);
      dlg.CloseWindow(IDCANCEL);
    });
    user.Key(c.key).Do([&] {
      if (dlg.IsRunning()) dlg.CloseWindow(IDCANCEL);
    });
    EXPECT_EQ(dlg.Execute(), c.endCode);
    EXPECT_EQ(MessageTexts(), c.messages);
  }
}

TEST(Keys, LettersAndDigitsWithModifiers) {
  // clang-format off
  struct Case { const char* name; UINT vk; bool alt, ctrl; const char* written; } cases[] = {  // null: refused
      {"Alt+n", 'N', true, false, "Alt+N"}, {"Ctrl+7", '7', false, true, "Ctrl+7"},
      {"F10", VK_F10, false, false, "F10"}, {"Alt+NN", 0, 0, 0, nullptr}, {"Alt+-", 0, 0, 0, nullptr},
  };
  // clang-format on
  for (const Case& c : cases) {
    KVTKey k;
    ASSERT_EQ(KVTParseKey(c.name, &k), c.written != nullptr) << c.name;
    if (c.written) {
      EXPECT_EQ(std::tuple(k.vk, k.alt, k.ctrl, KVTKeyName(k)),
                std::tuple(c.vk, c.alt, c.ctrl, std::string(c.written)));
    }
  }
}

}  // namespace
