// kvthost: the menu built from what the module registers and answers,
// every entry opening its screen or saying plainly why not, "Run after
// login" on a till, and a host without its module still working.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenuBar>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "platform/forms/forms.h"
#include "platform/forms/qt/qtscripted.h"
#include "platform/sql/kvtsql.h"
#include "schema/demo.h"
#include "suite/host/qt/mainwindow.h"
#include "tests/platform/forms/qt/qt_fixture.h"
#include "tests/support/run.h"

namespace {

TEST(MenuPairs, TextAndExportInPairs) {
  using P = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(KVTParseMenuPairs("Stores,DoStoreSetup,Bad Credit Cards, GetBadCC,"),
            (P{{"Stores", "DoStoreSetup"}, {"Bad Credit Cards", "GetBadCC"}}));
  EXPECT_EQ(KVTParseMenuPairs("POS Sales, POSLogin,View Daily Sales,DoViewDailySales"),
            (P{{"POS Sales", "POSLogin"}, {"View Daily Sales", "DoViewDailySales"}}));
  EXPECT_EQ(KVTParseMenuPairs("Alone"), P{});
  EXPECT_EQ(KVTParseMenuPairs(",,Text,"), P{});
  EXPECT_EQ(KVTParseMenuPairs(""), P{});
  EXPECT_EQ(KVTParseMenuPairs(nullptr), P{});
}

// The store's folder: the demo database and its settings file.
class Desktop : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::ofstream("KVTSQL.ini") << "[KVTSQL Connection One]\nTranslate=SQLITE\n"
                                   "DataPath=desktop.db\n";
    std::remove("desktop.db");
    std::remove("KVT32.ini");
    KVTConnectionSettings making;
    ASSERT_TRUE(KVTReadConnectionSettings(".\\KVTSQL.ini", &making)) << KVTLastSqlError();
    making.create = true;  // the store's database is made here, as kvtpos-db demo does
    ASSERT_TRUE(KVTOpenConnectionOne(making)) << KVTLastSqlError();
    std::string error;
    ASSERT_TRUE(kvt::schema::LoadDemoStore(&error)) << error;
    KVTCloseConnectionOne();
  }
  void SetUp() override {
    window = std::make_unique<KVTMainWindow>(host);
    user = std::make_unique<KVTQtScriptedUser>(window->Forms());
    user->Install();
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    user.reset();
    window.reset();
    KVTCloseConnectionOne();
  }
  std::vector<std::string> Texts(const std::string& menu) const {
    std::vector<std::string> out;
    for (const KVTHostMenuEntry& e : window->Entries())
      if (e.menu == menu) out.push_back(e.text);
    return out;
  }

  KVTHost host;
  std::unique_ptr<KVTMainWindow> window;
  std::unique_ptr<KVTQtScriptedUser> user;
};

TEST_F(Desktop, TheMenuIsWhatTheModuleRegistersAndAnswers) {
  window->Start();
  EXPECT_TRUE(window->Problems().empty()) << window->Problems().front();
  std::vector<std::string> pos = Texts("Point of Sale");
  ASSERT_GE(pos.size(), 10u);
  EXPECT_EQ(pos[0], "Point of Sale");
  EXPECT_EQ(pos[1], "POS - View Daily Sales");
  EXPECT_EQ(window->Entries().front().dll, "KVTPOS.DLL");
  EXPECT_EQ(window->Entries().front().entry, "POSLogin");
  std::vector<std::string> setup = Texts("Setup");
  ASSERT_FALSE(setup.empty());
  EXPECT_EQ(setup.front(), "Shifts");
  EXPECT_EQ(setup.back(), "Create .Ini Files for Tills");
  EXPECT_FALSE(Texts("Maintenance").empty());
  // The menu bar shows them, and starting twice does not repeat them.
  window->Start();
  EXPECT_EQ(Texts("Point of Sale"), pos);
  QStringList titles;
  for (QAction* a : window->menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&File", "&Point of Sale", "Reports", "&Setup", "&Maintenance",
                                 "&Window"}));
}

TEST_F(Desktop, EveryEntryOpensItsScreenOrSaysWhyNot) {
  window->Start();
  ASSERT_TRUE(window->Problems().empty()) << window->Problems().front();
  user->SetPictureFolder(QDir::currentPath().toStdString() + "/pictures/menu");
  // Every menu entry, and the sale window that a login opens.
  std::vector<KVTHostMenuEntry> entries = window->Entries();
  entries.push_back({"Login", "Sale window", "KVTPOS.DLL", "DoPOSSales"});
  for (const KVTHostMenuEntry& e : entries) {
    SCOPED_TRACE(e.menu + " / " + e.text);
    std::string opened;
    std::vector<std::string> problems;
    std::size_t before = user->Messages().size();
    user->Do([&] {
      KVTWindowObject* front = KVTForms::Instance().ActiveWindow();
      if (!front) return;
      opened = front->Caption().empty() ? front->ClassName() : front->Caption();
      if (KVTScreen* s = KVTForms::Instance().ActiveScreen()) {
        window->Forms().Sync();
        problems = window->Forms().CheckDrawn(*s);
      }
      user->Show();
      if (!KVTForms::Instance().ModalDialogs().empty())
        KVTForms::Instance().ModalDialogs().back()->CloseWindow(IDCANCEL);
    });
    window->RunEntry(e);
    user->Run();
    std::string said;
    for (std::size_t i = before; i < user->Messages().size(); ++i)
      said += (said.empty() ? "" : " / ") + user->Messages()[i].text;
    EXPECT_TRUE(!opened.empty() || !said.empty()) << "the entry did nothing";
    EXPECT_TRUE(problems.empty()) << problems.front();
    KVTForms::Instance().CloseAll();
    QApplication::processEvents();
  }
}

TEST_F(Desktop, ATillStartsSellingAfterLogin) {
  window->Start();
  EXPECT_FALSE(window->RunAfterLogin());  // not a till
  std::ofstream("KVT32.ini") << "[KVTEXE]\nPOSTill=1\n";
  window->Start();  // the module reads POSTill when it is initialised
  std::string front;
  user->Do([&] {
    if (KVTWindowObject* w = KVTForms::Instance().ActiveWindow()) front = w->ClassName();
    KVTForms::Instance().ModalDialogs().back()->CloseWindow(IDCANCEL);
  });
  EXPECT_TRUE(window->RunAfterLogin());
  std::remove("KVT32.ini");
  EXPECT_EQ(front, "PVloginDlg");
}

TEST_F(Desktop, TheProgramOpensTheTillsLoginOnTheDemoStore) {
  std::ofstream("KVT32.ini") << "[KVTEXE]\nPOSTill=1\n";
  const char* dir = std::getenv("KVT_MODULE_DIR");
  std::string cmd = std::string(dir ? dir : ".") + "/kvthost --pictures hostpics 2>/dev/null";
  const auto [code, out] = kvt::test::RunCommand(cmd);
  EXPECT_EQ(code, 0) << out;
  std::remove("KVT32.ini");
  EXPECT_NE(out.find("hostpics/01-kvthost.png"), std::string::npos) << out;
  EXPECT_NE(out.find("hostpics/02-Point-of-Sale.png"), std::string::npos) << out;  // the login
  EXPECT_FALSE(QImage("hostpics/02-Point-of-Sale.png").isNull());
}

TEST_F(Desktop, WithoutItsModuleOrDatabaseTheHostSaysSo) {
  std::string dir = QDir::currentPath().toStdString() + "/nomodules";
  QDir().mkpath(QString::fromStdString(dir));
  std::string saved = GetModuleDirectory();
  {
    KVTHost bare(dir);
    KVTMainWindow w(bare, ".\\missing.ini");
    w.Start();
    ASSERT_EQ(w.Problems().size(), 2u);
    EXPECT_NE(w.Problems()[0].find("The database is not open"), std::string::npos);
    EXPECT_NE(w.Problems()[1].find("The point-of-sale module KVTPOS.DLL"), std::string::npos);
    EXPECT_FALSE(w.RunAfterLogin());
    bool said = false;
    for (QAction* a : w.menuBar()->actions())
      if (a->menu())
        for (QAction* b : a->menu()->actions())
          said = said || b->text() == "The point-of-sale module is not built yet";
    EXPECT_TRUE(said);
    // An entry whose module is not there says so.
    EXPECT_FALSE(w.RunEntry(
        {"Point of Sale", "POS Transaction View", "KVSaleTransactionView.dll", "GetPOSView"}));
  }
  SetModuleDirectory(saved);
  ASSERT_FALSE(user->Messages().empty());
  EXPECT_EQ(user->Messages().back().text,
            "KVSaleTransactionView.dll is not installed, so \"POS Transaction View\" cannot open.");
}

}  // namespace

KVT_QT_TEST_MAIN()
