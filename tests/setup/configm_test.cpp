// Configure this Computer: defaults, drawer codes by printer type, every key
// written (each failed write said), and a restart only on a new machine type.
#include "setup/configm.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "platform/win/profile.h"
#include "tests/support/till.h"

namespace {

using Ids = PVconfigmDlg;
const char* const kRestart =
    "Please close Kovatel Ledgerline and reopen it for the correct menu options.";

class ConfigureComputer : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::remove("kvtlocal.ini");
    ::rmdir("kvtlocal.ini");
    Add({"KVTPOS10 STORE= TILLREF= SLSMAN= NEXTSLNUM=1200 USESTNSNUM=F RECNO=1",
         "KVTCOM13 REFERENCE=MAIN", "KVTCOM14 STOREREF=MAIN TILLNUM=1"});
  }
  void TearDown() override {
    TillTest::TearDown();
    std::remove("kvtlocal.ini");
    ::rmdir("kvtlocal.ini");
  }
  std::string Key(const char* key) {
    return kvt::ProfileString("kvtlocal.ini", "Point of Sale", key, "(missing)");
  }
  int Run(PVconfigmDlg& s) {
    int end = s.Execute();
    ExpectNoFailures();
    return end;
  }
  // The menu table of the host, there to be dropped.
  void MenuTable() { ASSERT_TRUE(kvt::sql::Run("CREATE TABLE KVT (OPTIONS text)").ok()); }
  bool MenuTableThere() { return kvt::sql::Run("SELECT OPTIONS FROM KVT").ok(); }
};

TEST_P(ConfigureComputer, WithoutASettingsFileTheDefaultsShow) {
  PVconfigmDlg s(host->MainWindow());
  user.Do([&] {
    for (int id : {Ids::IDC_TILL, Ids::IDC_BACKOFFICE, Ids::IDC_BOTH}) EXPECT_FALSE(s.GetCheck(id));
    for (int id : {Ids::IDC_POLEDISPLAY, Ids::IDC_RECPTRTYPE, Ids::IDC_RECEIPTPRINTER,
                   Ids::IDC_INVOICEPRINTER})
      EXPECT_EQ(s.GetFieldText(id), "None") << id;
    EXPECT_EQ(s.GetFieldText(Ids::IDC_DRAWERPORT), "Printer");
    EXPECT_FALSE(s.GetCheck(Ids::IDC_RECTOINV));
    EXPECT_FALSE(s.GetCheck(Ids::IDC_PAYTOINV));
    EXPECT_EQ(s.GetFieldText(Ids::IDC_NEXTSLNUM), "1200");
    EXPECT_FALSE(s.IsFieldProtected(Ids::IDC_NEXTSLNUM));
    EXPECT_TRUE(s.IsFieldProtected(Ids::IDC_OPENTD));
  });
  user.Key("Esc");
  EXPECT_EQ(Run(s), IDCANCEL);
  EXPECT_TRUE(user.Messages().empty());
  EXPECT_EQ(Key("MachineType"), "(missing)") << "Esc writes nothing";
}

TEST_P(ConfigureComputer, EachPrinterTypeFixesItsDrawerCodes) {
  // clang-format off
  struct Case { int item; const char* codes; bool open; } cases[] = {
      {3, "22 112 00 50 250", false},  // EPSON
      {4, "",                 true},   // OTHER: typed
      {3, "22 112 00 50 250", false},  // back to EPSON
      {1, "7",                false},  // STAR
      {2, "7",                false},  // STAR THERMAL
      {0, "",                 false},  // None
  };
  // clang-format on
  PVconfigmDlg s(host->MainWindow());
  for (const Case& c : cases)
    user.SelectItem(Ids::IDC_RECPTRTYPE, c.item).Do([&s, c] {
      EXPECT_EQ(s.GetFieldText(Ids::IDC_OPENTD), c.codes) << c.item;
      EXPECT_EQ(s.IsFieldProtected(Ids::IDC_OPENTD), !c.open) << c.item;
    });
  user.Answer(IDNO).Key("Esc");
  EXPECT_EQ(Run(s), IDCANCEL);
  EXPECT_EQ(Messages(), kvt::test::Strings{"Changes have been made! Save changes?"});
}

TEST_P(ConfigureComputer, AcceptWritesEveryKeyAndAsksForARestartOnlyOnANewMachineType) {
  // clang-format off
  struct Case { const char* before; const char* click; const char* after; bool restart; } cases[] = {
      {nullptr,      "Till",        "TILL",       true},
      {"TILL",       "Till",        "TILL",       false},  // same type: nothing dropped
      {"TILL",       "Back Office", "BACKOFFICE", true},
      {"BOTH",       nullptr,       "BOTH",       false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    user.Reset();
    std::remove("kvtlocal.ini");
    WritePrivateProfileString("Point of Sale", "MachineType", c.before, "kvtlocal.ini");
    MenuTable();
    PVconfigmDlg s(host->MainWindow());
    if (c.click) user.Click(c.click);
    user.SelectItem(Ids::IDC_RECPTRTYPE, 3).SelectItem(Ids::IDC_POLEDISPLAY, 2);
    user.Click("Print all Receipts to Invoice Printer");
    user.Do([&] { s.KVTSetFieldFocus(Ids::IDC_NEXTSLNUM); }).Type("1500").Click("OK");
    EXPECT_EQ(Run(s), IDOK);
    EXPECT_EQ(Messages(), c.restart ? kvt::test::Strings{kRestart} : kvt::test::Strings{});
    EXPECT_EQ(MenuTableThere(), !c.restart);
    if (MenuTableThere()) kvt::sql::Run("DROP TABLE KVT");
    // clang-format off
    for (auto [key, value] : {std::pair{"MachineType", c.after}, {"ReceiptPrinterType", "EPSON"},
             {"CodesToOpenTillDrawer", "22 112 00 50 250"}, {"PoleDisplay", "COM1,9600,8,N,2"},
             {"TillDrawerPort", "Printer"}, {"ReceiptPrinter", "None"}, {"RecToInvPtr", "T"}, {"PayToInvPtr", "F"}})
      EXPECT_EQ(Key(key), value) << key;
    // clang-format on
    EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10 WHERE RECNO = 1"), "1500");
  }
}

TEST_P(ConfigureComputer, EveryWriteThatFailsIsSaidInItsOrderAndTheSaleNumberStillSaved) {
  ASSERT_EQ(::mkdir("kvtlocal.ini", 0755), 0);  // a settings file that cannot be written
  PVconfigmDlg s(host->MainWindow());
  user.Do([&] { s.KVTSetFieldFocus(Ids::IDC_NEXTSLNUM); }).Type("1300").Click("OK");
  EXPECT_EQ(Run(s), IDOK);
  // clang-format off
  const char* const order[] = {"Machine Type", "Default Store", "Default Till", "Pole Display",
      "Receipt Printer Type", "ASCII codes to open till drawer", "Till Drawer Port", "Receipt Printer",
      "Invoice Printer", "Print all Receipts to Invoice Printer", "Print all Payments on Account to Invoice Printer"};
  // clang-format on
  ASSERT_EQ(user.Messages().size(), 11u);
  for (std::size_t i = 0; i < 11; ++i) {
    EXPECT_EQ(user.Messages()[i].text,
              std::string("Error writing ") + order[i] + " to KVTLOCAL.INI.");
    EXPECT_EQ(user.Messages()[i].caption, "Point of Sale");
  }
  EXPECT_EQ(db().Value("SELECT NEXTSLNUM FROM KVTPOS10 WHERE RECNO = 1"), "1300");
}

KVT_ON_BOTH_BACKENDS(ConfigureComputer);

}  // namespace
