// The setup modules' table-maintenance screen, driven as a user would.
#include <gtest/gtest.h>

#include "platform/forms/forms.h"
#include "platform/forms/headless/headless.h"
#include "suite/host/host.h"
#include "tests/support/testdb.h"

namespace {

using kvt::test::DatabaseTest;

class Setup : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    user.Install();
    host = std::make_unique<KVTHost>();
  }
  void TearDown() override {
    KVTForms::Instance().CloseAll();
    host.reset();
    DatabaseTest::TearDown();
  }
  void Open(const char* module, const char* entry) {
    HMODULE m = host->RequestModule(module);
    ASSERT_NE(m, nullptr) << host->LastError();
    auto fn = GetProc<void (*)(HWND)>(m, entry);
    ASSERT_NE(fn, nullptr) << entry;
    fn(host->MainWindow());
  }
  KVTScreen* Screen() { return KVTForms::Instance().ActiveScreen(); }
  void Run() {
    user.Run();
    user.Finish();
    for (const auto& f : user.Failures()) ADD_FAILURE() << f;
    user.Reset();
  }

  KVTHeadlessBackend user;
  std::unique_ptr<KVTHost> host;
};

TEST_P(Setup, ShiftsAreAddedChangedAndDeletedWithTheirChecks) {
  Open("KVTCOM.DLL", "DoShiftsSetup");
  ASSERT_NE(Screen(), nullptr);
  EXPECT_EQ(Screen()->Caption(), "Shifts Setup");
  user.Type("A").Key("Tab").Type("Morning").Click("Add");
  user.Type("A").Click("Add").ExpectMessage("A record with this Shift already exists.", "Error");
  user.Click("Clear").Click("Add").ExpectMessage("Shift is required.", "Error");
  Run();
  EXPECT_EQ(db().Rows("SELECT SHIFT, DESCRIPT FROM KVTCOM10"),
            (std::vector<std::vector<std::string>>{{"A", "Morning"}}));
  EXPECT_EQ(Screen()->GetFocusField(), 101) << "the focus goes back to the field";

  user.ClickRow(200, 0).Key("Tab");
  user.Do([this] { Screen()->SetFieldText(102, "Early"); });
  user.Click("Change");
  user.ClickRow(200, 0).Answer(IDNO).Click("Delete");
  Run();
  EXPECT_EQ(db().Value("SELECT DESCRIPT FROM KVTCOM10 WHERE SHIFT = 'A'"), "Early");

  user.ClickRow(200, 0).Answer(IDYES).Click("Delete");
  Run();
  EXPECT_EQ(db().Count("KVTCOM10"), 0);
}

TEST_P(Setup, TwoPartKeysAndAPresetCustomer) {
  ASSERT_TRUE(db().Add("KVTAR16A", {{"TAXAUTH", "IA"}, {"TAXCODE", "STATE"}}));
  Open("KVTAR.DLL", "CreateTaxAuth");
  // The same code under another authority is a different key.
  user.Type("IA").Key("Tab").Type("STATE").Click("Add");
  user.ExpectMessage("A record with this Tax Authority and Tax Code already exists.");
  user.Click("Clear").Type("MN").Key("Tab").Type("STATE").Click("Add");
  Run();
  EXPECT_EQ(db().Count("KVTAR16A"), 2);

  ASSERT_TRUE(db().Add("KVTAR50", {{"REFERENCE", "C100"}, {"NAME", "Jensen Farms"}}));
  HMODULE ar = host->RequestModule("KVTAR.DLL");
  GetProc<void (*)(HWND, const char*)>(ar, "CreateCustomersInfo")(host->MainWindow(), "C100");
  ASSERT_NE(Screen(), nullptr);
  EXPECT_EQ(Screen()->GetFieldText(102), "Jensen Farms");
}

KVT_ON_BOTH_BACKENDS(Setup);

}  // namespace
