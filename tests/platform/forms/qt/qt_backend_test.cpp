// The Qt front end: every kind of screen opens and is drawn as declared (a
// picture of each is written), the drawn check catches what is not drawn,
// message boxes as the caller asked, keys and clicks through the runtime,
// posted messages from the event loop, the nested modal loop, close boxes,
// tab clicks and MDI activation.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <thread>

#include "platform/base/kvtbase.h"
#include "platform/forms/qt/qtkeys.h"
#include "tests/platform/forms/qt/qt_fixture.h"
#include "tests/platform/forms/testscreen.h"

namespace {

// A screen with every kind of field: the batch screens' grid with marks,
// a hidden column and row colours; lists, combos, radio groups, groups.
struct ShowData {
  char BATCH[9];
  char KIND[21];
  char PAYBY[21];
  char CASH[2];
  char CHECK[2];
  char PRINT[2];
};

KVTFormDecl ShowcaseForm(bool fixedFont) {
  KVTFormDecl f("PVshowDlg", "Every Kind", 70, 20);
  f.fixedFont = fixedFont;
  f.Group(0, "Batch", 1, 0, 34, 4);
  f.Edit(301, "Batch : ", 10, 1, 8, KVT_BIND(ShowData, BATCH)).Protected();
  f.Combo(302, "Kind : ", 10, 2, 12, KVT_BIND(ShowData, KIND)).Items({"Daily", "Monthly"});
  f.List(303, "Pay by : ", 46, 1, 12, 3, KVT_BIND(ShowData, PAYBY))
      .Items({"Cash", "Check", "Card"});
  f.Radio(304, "tender", "Ca&sh", 2, 5, KVT_BIND(ShowData, CASH));
  f.Radio(305, "tender", "Chec&k", 14, 5, KVT_BIND(ShowData, CHECK));
  f.Check(306, "&Print", 26, 5, KVT_BIND(ShowData, PRINT));
  KVTFieldDecl& g = f.Grid(310, 1, 7, 6);
  g.MarkColumn();
  g.Column("Store", 6);
  g.Column("Till", 4);
  g.Column("Amount", 10).Right();
  g.Column("Recno", 8).Hidden();
  f.Label(320, "Hidden label", 2, 15).Hidden();
  f.Help(321, "F2 - Select  F10 - Run", 2, 16);
  f.Button(IDOK, "&Run", 2, 18);
  f.Button(IDCANCEL, "&Cancel", 12, 18);
  return f;
}

class Showcase : public PVMDIDialog {
 public:
  Showcase(HWND parent, bool fixedFont) : PVMDIDialog(parent, ShowcaseForm(fixedFont), &data) {
    KVTsprintf(data.BATCH, "B-1001");
    KVTsprintf(data.KIND, "Daily");
    KVTsprintf(data.PAYBY, "Check");
    KVTsprintf(data.CASH, "T");
  }
  ShowData data{};

 protected:
  void SetupWindow() override {
    TDataTbl* g = Grid(310);
    const char* rows[][5] = {{"SCHECKG", "AMES", "1", "120.50", "11"},
                             {"REDX", "BOONE", "2", "-3.00", "12"},
                             {"BLUEX", "BRITT", "1", "77.25", "13"}};
    for (int r = 0; r < 3; ++r) {
      g->InsertRow();
      for (int c = 1; c < 5; ++c) g->UpdateCell(c, rows[r][c]);
      g->SetRowMark(r, LoadBitmap(nullptr, rows[r][0]));
    }
    g->SetRowColor(1, KVT_RED);
    SetFieldColors(302, KVT_BLUE, KVT_YELLOW);
  }
};

class Pager : public KVTPropertyPage {
 public:
  Pager(HWND parent, const std::string& cls) : KVTPropertyPage(parent, Form(cls), &data) {}
  static KVTFormDecl Form(const std::string& cls) {
    KVTFormDecl f(cls, cls, 40, 4);
    f.Edit(101, "Ref : ", 8, 1, 10, KVT_BIND(Data, REF));
    return f;
  }
  struct Data {
    char REF[11];
  } data{};
  int selected = 0;
  void PageSelected() override { ++selected; }
};

void StoresQuery() {
  SetFormsQuery([](const std::string&, std::vector<std::vector<std::string>>* rows) {
    *rows = {{"S1", "Ames", "1"}, {"S2", "Boone", "2"}};
    return true;
  });
}

std::string Joined(const std::vector<std::string>& v) {
  std::string out;
  for (const std::string& s : v) out += s + "\n";
  return out;
}

class QtScreens : public QtFormsTest {};

TEST_F(QtScreens, EveryKindOfScreenOpensDrawnAsDeclared) {
  StoresQuery();
  // MDI screens, checked once open.
  OpenTestScreenIn(host);
  auto* test = dynamic_cast<PVtestDlg*>(KVTForms::Instance().ActiveScreen());
  ASSERT_NE(test, nullptr);
  EXPECT_EQ(Joined(Problems(*test)), "");
  user.Show();  // a picture of the screen in front
  for (bool fixed : {false, true}) {
    auto* show = new Showcase(host, fixed);
    ASSERT_TRUE(show->Create());
    EXPECT_EQ(Joined(Problems(*show)), "") << (fixed ? "fixed font" : "form font");
    user.Show();
  }
  auto* tabs = new Tbacktab(host);
  tabs->AddTab("&1-General Options", new Pager(host, "PVconfig1Dlg"));
  tabs->AddTab("&2-Entry Options", new Pager(host, "PVconfig2Dlg"));
  auto* frame = new PVmdiwinDlg(KVTFindMDIClient(host), "Configure Point Of Sale", tabs);
  ASSERT_TRUE(frame->Create());
  frame->Show(SW_SHOW);
  frame->SetFocus();
  for (int i = 0; i < 2; ++i) EXPECT_EQ(Joined(Problems(*tabs->GetPage(i))), "");
  user.Show();

  // Modal ones, checked while they run.
  std::vector<std::string> modal;
  KVTSearchResult r;
  for (std::function<void()> open : std::vector<std::function<void()>>{
           [&] { test->SendMessage(WM_COMMAND, PVtestDlg::IDC_NOTE); },
           [&] { KVTSimpleSearch(host, "STOREREFSRCH", "STOREREFFMT", &r); }}) {
    user.Do(open);
    user.Do([&] { modal.push_back(Joined(Problems(*KVTForms::Instance().ActiveScreen()))); })
        .Key("Esc");
    user.Run();
  }
  user.Finish();
  EXPECT_EQ(modal, (std::vector<std::string>{"", ""}));
  EXPECT_TRUE(user.Failures().empty()) << Joined(user.Failures());

  // A picture of each screen came to the front: test screen, two showcases,
  // the tab window, the note dialog and the search window.
  ASSERT_EQ(user.Pictures().size(), 6u) << Joined(user.Pictures());
  for (const std::string& p : user.Pictures()) {
    QImage image(QString::fromStdString(p));
    EXPECT_FALSE(image.isNull()) << p;
    EXPECT_GT(image.width(), 200) << p;
    EXPECT_GT(image.height(), 80) << p;
  }
}

TEST_F(QtScreens, ADeclaredFieldOrColumnNotDrawnIsCaught) {
  auto* show = new Showcase(host, false);
  ASSERT_TRUE(show->Create());
  ASSERT_EQ(Joined(Problems(*show)), "");
  KVTFormView* view = qt.ViewOf(show);
  ASSERT_NE(view, nullptr);
  auto* table = view->GridView(310);
  ASSERT_NE(table, nullptr);

  // clang-format off
  struct Case { const char* name; std::function<void()> spoil; std::string problem; } cases[] = {
      {"field hidden", [&] { view->WidgetForId(301)->hide(); }, "field 301 \"Batch : \" is not drawn"},
      {"column hidden", [&] { table->setColumnHidden(3, true); }, "field 310 column 3 \"Amount\" is not drawn"},
      {"hidden column shown", [&] { table->setColumnHidden(4, false); }, "field 310 column 4 \"Recno\" is drawn though hidden"},
      {"wrong text", [&] { static_cast<QLineEdit*>(view->WidgetForId(301))->setText("X"); }, "field 301 \"Batch : \" shows \"X\" instead of \"B-1001\""},
      {"hidden label shown", [&] { view->WidgetForId(320)->show(); }, "field 320 \"Hidden label\" is drawn though hidden"},
      {"check drawn wrong", [&] { static_cast<QCheckBox*>(view->WidgetForId(306))->setChecked(true); }, "field 306 \"&Print\" is drawn checked"},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.spoil();
    std::vector<std::string> got = qt.CheckDrawn(*show);
    EXPECT_NE(std::find(got.begin(), got.end(), c.problem), got.end()) << Joined(got);
    // Drawing again from the runtime's state puts it right.
    view->Sync();
    EXPECT_EQ(Joined(qt.CheckDrawn(*show)), "");
  }
}

TEST_F(QtScreens, TheGridShowsRowsMarksColoursAndAlignment) {
  auto* show = new Showcase(host, false);
  ASSERT_TRUE(show->Create());
  qt.Sync();
  QTableView* table = qt.ViewOf(show)->GridView(310);
  QAbstractItemModel* m = table->model();
  ASSERT_EQ(m->rowCount(), 3);
  EXPECT_EQ(m->data(m->index(1, 1)).toString(), "BOONE");
  EXPECT_EQ(m->data(m->index(1, 3), Qt::TextAlignmentRole).toInt() & Qt::AlignRight,
            Qt::AlignRight);
  EXPECT_EQ(m->data(m->index(1, 2), Qt::BackgroundRole).value<QBrush>().color(), QColor(Qt::red));
  EXPECT_FALSE(m->data(m->index(0, 0), Qt::DecorationRole).isNull());  // the mark
  EXPECT_TRUE(m->data(m->index(0, 0), Qt::DisplayRole).isNull());
  // Changes in the runtime reach the table when it is drawn next.
  show->Grid(310)->InsertRow();
  show->Grid(310)->UpdateCell(1, "CLEAR");
  show->Grid(310)->SelRow(3);
  qt.Sync();
  EXPECT_EQ(m->rowCount(), 4);
  EXPECT_EQ(m->data(m->index(3, 1)).toString(), "CLEAR");
  EXPECT_EQ(table->selectionModel()->currentIndex().row(), 3);
}

TEST(QtMessageBox, HasTheCallersCaptionIconButtonsAndDefault) {
  // clang-format off
  struct BoxCase { UINT flags; QMessageBox::Icon icon; std::vector<QMessageBox::StandardButton> buttons; QMessageBox::StandardButton defaultButton; } cases[] = {
      {MB_OK | MB_ICONSTOP, QMessageBox::Critical, {QMessageBox::Ok}, QMessageBox::Ok},
      {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, QMessageBox::Question, {QMessageBox::Yes, QMessageBox::No}, QMessageBox::No},
      {MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_DEFBUTTON3, QMessageBox::Warning, {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}, QMessageBox::Cancel},
      {MB_OKCANCEL | MB_ICONINFORMATION, QMessageBox::Information, {QMessageBox::Ok, QMessageBox::Cancel}, QMessageBox::Ok},
      {MB_RETRYCANCEL, QMessageBox::NoIcon, {QMessageBox::Retry, QMessageBox::Cancel}, QMessageBox::Retry},
  };
  // clang-format on
  for (const BoxCase& c : cases) {
    SCOPED_TRACE(c.flags);
    std::unique_ptr<QMessageBox> box(KVTQtBackend::BuildMessageBox(
        nullptr, "Void this sale?\n<b>not bold</b>", "Point of Sale", c.flags));
    EXPECT_EQ(box->windowTitle(), "Point of Sale");
    EXPECT_EQ(box->text(), "Void this sale?\n<b>not bold</b>");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), c.icon);
    EXPECT_EQ(box->buttons().size(), static_cast<qsizetype>(c.buttons.size()));
    for (auto b : c.buttons) EXPECT_NE(box->button(b), nullptr) << b;
    EXPECT_EQ(box->defaultButton(), box->button(c.defaultButton));
    // Each button pressed comes back as the caller's id.
    for (int id : MessageBoxButtons(c.flags)) {
      std::unique_ptr<QMessageBox> again(KVTQtBackend::BuildMessageBox(nullptr, "t", "c", c.flags));
      again->show();
      again->button(static_cast<QMessageBox::StandardButton>(KVTQtBackend::StandardButtonFor(id)))
          ->click();
      EXPECT_EQ(KVTQtBackend::ResultOf(*again, c.flags), id);
    }
  }
}

TEST(QtKeys, KeyPressesBecomeTheRuntimesKeysOrText) {
  // clang-format off
  // `expect`: the key's name, or the text typed.
  struct KeyCase { int qtKey; Qt::KeyboardModifiers mods; QString text; KVTQtInput kind; std::string expect; } cases[] = {
      {Qt::Key_Return, Qt::NoModifier, "\r", KVTQtInput::Key, "Enter"},
      {Qt::Key_Enter, Qt::KeypadModifier, "\r", KVTQtInput::Key, "Enter"},
      {Qt::Key_Backtab, Qt::ShiftModifier, "", KVTQtInput::Key, "Shift+Tab"},
      {Qt::Key_F3, Qt::ShiftModifier, "", KVTQtInput::Key, "Shift+F3"},
      {Qt::Key_F12, Qt::ControlModifier, "", KVTQtInput::Key, "Ctrl+F12"},
      {Qt::Key_Delete, Qt::NoModifier, "", KVTQtInput::Key, "Del"},
      {Qt::Key_N, Qt::AltModifier, "n", KVTQtInput::Key, "Alt+N"},
      {Qt::Key_5, Qt::ControlModifier, "5", KVTQtInput::Key, "Ctrl+5"},
      {Qt::Key_Space, Qt::NoModifier, " ", KVTQtInput::Key, "Space"},
      {Qt::Key_S, Qt::ShiftModifier, "S", KVTQtInput::Text, "S"},
      {Qt::Key_Period, Qt::NoModifier, ".", KVTQtInput::Text, "."},
      {Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xE9)), KVTQtInput::Text, "\xE9"},
      {Qt::Key_Shift, Qt::ShiftModifier, "", KVTQtInput::None, ""},
      {Qt::Key_Minus, Qt::ControlModifier, "", KVTQtInput::None, ""},
      {0x263A, Qt::NoModifier, QString(QChar(0x263A)), KVTQtInput::None, ""},
  };
  // clang-format on
  for (const KeyCase& c : cases) {
    QKeyEvent e(QEvent::KeyPress, c.qtKey, c.mods, c.text);
    KVTKey key;
    std::string typed;
    KVTQtInput kind = KVTTranslateQtKey(e, &key, &typed);
    EXPECT_EQ(kind, c.kind) << c.expect;
    const std::string got = kind == KVTQtInput::Key ? KVTKeyName(key) : typed;
    EXPECT_EQ(got, c.expect);
  }
  // And back: what a scripted key press sends reads as the same key.
  for (const char* name : {"Enter", "Esc", "Shift+Tab", "Tab", "F7", "Alt+N", "Shift+Ctrl+F3",
                           "PgDn", "Backspace", "Space"}) {
    KVTKey k, back;
    ASSERT_TRUE(KVTParseKey(name, &k));
    auto e = KVTQtKeyEventFor(k);
    ASSERT_NE(e, nullptr) << name;
    std::string typed;
    ASSERT_EQ(KVTTranslateQtKey(*e, &back, &typed), KVTQtInput::Key) << name;
    EXPECT_EQ(KVTKeyName(back), name);
  }
}

class QtInput : public QtFormsTest {
 protected:
  void SetUp() override {
    QtFormsTest::SetUp();
    OpenTestScreenIn(host);
    test = dynamic_cast<PVtestDlg*>(KVTForms::Instance().ActiveScreen());
    ASSERT_NE(test, nullptr);
    qt.Sync();
  }
  // A key press on the widget that has the focus, as the keyboard gives it.
  void Press(int qtKey, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = "") {
    QKeyEvent e(QEvent::KeyPress, qtKey, mods, text);
    QApplication::sendEvent(qt.KeyTarget(), &e);
    qt.Sync();
  }
  PVtestDlg* test = nullptr;
};

// The posted command after F5 and the check on leaving a field by Tab go the
// same way in the till script run through the widgets (qt_script_test).
TEST_F(QtInput, KeysOnTheWidgetsReachTheScreenFirst) {
  ASSERT_EQ(qt.KeyTarget(), qt.ViewOf(test)->WidgetForId(PVtestDlg::IDC_STORE));
  Press(Qt::Key_N, Qt::AltModifier, "n");  // the screen takes every Alt key: no note dialog
  EXPECT_TRUE(test->log.empty());
  Press(Qt::Key_X, Qt::NoModifier, "x");
  EXPECT_EQ(test->GetFieldText(PVtestDlg::IDC_STORE), "x");
  EXPECT_EQ(static_cast<QLineEdit*>(qt.ViewOf(test)->WidgetForId(PVtestDlg::IDC_STORE))->text(),
            "x");
  Press(Qt::Key_Backtab, Qt::ShiftModifier);  // back without a check
  EXPECT_TRUE(user.Messages().empty());
  EXPECT_EQ(test->checker.lastField, 0);
  EXPECT_NE(test->GetFocusField(), PVtestDlg::IDC_STORE);
  EXPECT_EQ(qt.KeyTarget(), qt.ViewOf(test)->WidgetForId(test->GetFocusField()));
  // A click on a field moves the focus there without its check either.
  auto* price = qt.ViewOf(test)->WidgetForId(PVtestDlg::IDC_PRICE);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), price->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(price, &press);
  EXPECT_EQ(test->GetFocusField(), PVtestDlg::IDC_PRICE);
  EXPECT_EQ(test->checker.lastField, 0);
}

TEST_F(QtInput, PostedMessagesRunFromTheEventLoop) {
  // Posted from another thread, as the pole display's monitor does: nothing
  // but the event loop runs it.
  std::thread([&] { test->PostMessage(WM_COMMAND, PVtestDlg::CM_POSTED); }).join();
  QEventLoop loop;
  QTimer::singleShot(2000, &loop, &QEventLoop::quit);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!test->log.empty()) loop.quit();
  });
  poll.start(5);
  loop.exec();
  EXPECT_EQ(test->log, std::vector<std::string>{"posted command ran"});
  qt.Sync();
  auto* label = dynamic_cast<QLabel*>(qt.ViewOf(test)->WidgetForId(PVtestDlg::IDC_LOG));
  ASSERT_NE(label, nullptr);
  EXPECT_EQ(label->text(), "posted command ran");
}

TEST_F(QtScreens, ADoubleClickInThePickListChoosesTheRow) {
  StoresQuery();
  user.Do([&] {
    auto* table = qt.ViewOf(KVTForms::Instance().ActiveScreen())->GridView(KVTSearchDlg::IDC_LIST);
    ASSERT_NE(table, nullptr);
    QPoint at = table->visualRect(table->model()->index(1, 0)).center();
    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                           QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
      QMouseEvent e(t, at, table->viewport()->mapToGlobal(at), Qt::LeftButton,
                    t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                    Qt::NoModifier);
      QApplication::sendEvent(table->viewport(), &e);
    }
    PVDialog* still = KVTForms::Instance().ModalDialogs().back();
    if (still->IsRunning()) still->CloseWindow(IDCANCEL);
  });
  KVTSearchResult result;
  EXPECT_EQ(KVTSimpleSearch(host, "STOREREFSRCH", "STOREREFFMT", &result), 1);
  EXPECT_EQ(result.Value(0), "S2");
}

TEST_F(QtScreens, TheCloseBoxCancelsAndTheTabBarGoesThroughTheRuntime) {
  auto* tabs = new Tbacktab(host);
  auto* two = new Pager(host, "PVpos2Dlg");
  tabs->AddTab("Sale Items", new Pager(host, "PVpos1Dlg"));
  tabs->AddTab("Sale Total", two);
  auto* frame = new PVmdiwinDlg(KVTFindMDIClient(host), "Point of Sale", tabs);
  frame->SetFrameStyle({false, false, false});
  ASSERT_TRUE(frame->Create());
  frame->Show(SW_SHOWMAXIMIZED);
  frame->SetFocus();
  tabs->EnableTab(1, false);
  qt.Sync();
  auto* sub = dynamic_cast<QMdiSubWindow*>(qt.WidgetOf(frame));
  ASSERT_NE(sub, nullptr);
  EXPECT_TRUE(sub->isMaximized());
  EXPECT_FALSE(sub->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(sub->windowFlags() & Qt::WindowCloseButtonHint);  // no system menu
  auto* tw = dynamic_cast<QTabWidget*>(qt.WidgetOf(tabs));
  ASSERT_NE(tw, nullptr);
  EXPECT_FALSE(tw->isTabEnabled(1));
  for (int selected : {0, 1}) {  // refused while disabled
    emit tw->tabBar()->tabBarClicked(1);
    qt.Sync();
    EXPECT_EQ(tabs->GetSelectedTab(), selected);
    tabs->EnableTab(1, true);
  }
  EXPECT_EQ(two->selected, 1);
  EXPECT_EQ(tw->currentIndex(), 1);
  sub->close();  // the close box
  QApplication::processEvents();
  EXPECT_TRUE(KVTForms::Instance().Frames().empty());
}

TEST_F(QtScreens, ActivatingAnotherChildGivesItTheKeys) {
  OpenTestScreenIn(host);
  auto* first = KVTForms::Instance().ActiveFrame();
  auto* show = new Showcase(host, false);
  ASSERT_TRUE(show->Create());
  qt.Sync();
  EXPECT_EQ(KVTForms::Instance().ActiveScreen(), show);
  auto* sub = dynamic_cast<QMdiSubWindow*>(qt.WidgetOf(first));
  ASSERT_NE(sub, nullptr);
  sub->mdiArea()->setActiveSubWindow(sub);
  EXPECT_EQ(KVTForms::Instance().ActiveFrame(), first);
  // And the runtime bringing one to the front brings its subwindow.
  EXPECT_TRUE(KVTActivateMDIChild(KVTFindMDIClient(host), "PVshowDlg"));
  qt.Sync();
  EXPECT_EQ(sub->mdiArea()->activeSubWindow(), qt.WidgetOf(show->Frame()));
}

// The real user: the Qt backend itself installed, modal runs in a nested
// event loop, boxes answered by clicking.
class QtInteractive : public ::testing::Test {
 protected:
  void SetUp() override {
    qt.Install();
    host = KVTCreateMDIHost("Host");
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    DestroyWindow(host);
  }
  // Runs `act` once the event loop is idle (inside a modal run).
  void Later(std::function<void()> act) { QTimer::singleShot(0, std::move(act)); }
  KVTQtBackend qt;
  HWND host = nullptr;
};

TEST_F(QtInteractive, ADialogRunsInANestedLoopUntilItCloses) {
  PVnoteDlg dlg(host, "");
  Later([&] {
    auto* edit = dynamic_cast<QLineEdit*>(qt.ViewOf(&dlg)->WidgetForId(PVnoteDlg::IDC_NOTE));
    ASSERT_NE(edit, nullptr);
    for (char c : std::string("Gate code 4411")) {
      auto e = KVTQtKeyEventForChar(c);
      QApplication::sendEvent(edit, e.get());
    }
    dynamic_cast<QPushButton*>(qt.ViewOf(&dlg)->WidgetForId(IDOK))->click();
  });
  EXPECT_EQ(dlg.Execute(), IDOK);
  EXPECT_STREQ(dlg.data.NOTE, "Gate code 4411");
  EXPECT_TRUE(KVTForms::Instance().ModalDialogs().empty());
  // The dialog's close box cancels it.
  PVnoteDlg closed(host, "x");
  Later([&] { qt.WidgetOf(&closed)->close(); });
  EXPECT_EQ(closed.Execute(), IDCANCEL);
  // A message box returns the button clicked.
  Later([] {
    auto* box = dynamic_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No));
    box->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(MessageBox(host, "Clear all lines?", "Test Screen",
                       MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2),
            IDYES);
}

}  // namespace

KVT_QT_TEST_MAIN()
