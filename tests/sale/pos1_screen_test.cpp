// The sale window as a cashier meets it after login: its set-up, the
// function keys by the state of the sale, the grid scrolled to the last
// lines, and the employee asked for each sale.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "backoffice/empid.h"
#include "platform/base/kvtbase.h"
#include "tests/support/till.h"

namespace {

using kvt::test::Strings;

class SaleWindow : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(KVTSetToday("03/15/2024"));
    Add(
        {"KVTPOS10 RECNO=1 NEXTSLNUM=1001 NEXTSLLNK=501 USESTNSNUM=F DISPRCECH=T MAXQTY=9999 "
         "MAXAMOUNT=99999 MAXCHRDEPT=3 USEPRBK=T ENTERSREP=" +
         std::string(enterSalesRep)});
    Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01 NEXTSLNUM=7001", "KVTINV17 CONFIG10=01",
         "KVTCOM11 EMPCODE=200 NAME=Sam", "KVTCOM11 EMPCODE=300 NAME=Ann"});
    for (int i = 1; i <= 17; ++i) {
      const std::string ref = "ABCD" + std::to_string(i);
      Add("KVTINV1", {{"REFERENCE", ref}, {"DESCRIPT", "Item " + ref}, {"INACTIVE", "F"}});
      Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"LISTPRICE", "2.00"}});
      Add("KVTPRB1", {{"REFERENCE", ref}, {"LOCATION", "01"}});
    }
    LogIn("MAIN", "03152024");
    if (*enterSalesRep == 'T') user.Type("200").Key("Enter");  // the first sale's employee
    sale = OpenSale();
    ASSERT_TRUE(sale);
  }

  // Rings up `count` items by keying their references.
  void RingUp(int count) {
    for (int i = 1; i <= count; ++i) user.Type("ABCD" + std::to_string(i)).Key("Enter");
    user.Run();
  }
  int Rows() { return sale->SaleGrid().GetRowCount(); }
  int SelectedTab() { return sale->TabWindow()->GetSelectedTab(); }

  const char* enterSalesRep = "F";
  PVpos1Dlg* sale = nullptr;
};

TEST_P(SaleWindow, SetUpTakesTheLoginAndStartsAnEmptySale) {
  EXPECT_EQ(sale->GetFieldText(IDC_STORE), "MAIN");
  EXPECT_EQ(sale->GetFieldText(IDC_LOGINEMP), "100");
  EXPECT_STREQ(INVENTORY_LOCATION, "01");
  EXPECT_EQ(sale->sInstanceID, "A");
  EXPECT_FALSE(sale->TabWindow()->IsTabEnabled(1));
  EXPECT_TRUE(Messages().empty());
}

class SaleKeys : public SaleWindow {
 protected:
  std::string Outcome() {
    return std::to_string(SelectedTab()) + " " + sale->szPayOnAcct + sale->szCashCheck +
           sale->szVoidTheSale + " " + std::to_string(Rows());
  }
};

TEST_P(SaleKeys, KeysActOnlyInTheirState) {
  const std::string closeOut = "Closing Out Till - Are you sure?";
  const std::string noSale = "Please close cash drawer and press <ENTER> to continue.";
  // Only keys that act or depend on a setting: which keys are swallowed in
  // which state is keytable_test's, and every key goes through that table.
  // What a key did: the selected tab, the kind of transaction the total tab is to finish
  // (pay on account, cash check, void), the lines left; and the messages shown.
  // clang-format off
  struct Case { const char* name; int lines; const char *key, *allowVoid, *allowCashCheck, *outcome; Strings messages; } cases[] = {
      {"F2 free: no sale",            0, "F2",  "T", "T", "0 NNN 0", {noSale}},
      {"F3 free: close-out asked",    0, "F3",  "T", "T", "0 NNN 0", {closeOut}},
      {"F8 free: payment on account", 0, "F8",  "T", "T", "1 YNN 0", {}},
      {"F5 with a line: suspended",   1, "F5",  "T", "T", "0 NNN 0", {}},
      {"F10 with a line: total",      1, "F10", "T", "T", "1 NNN 1", {}},
      {"F9 with a line: void sale",   1, "F9",  "T", "F", "1 NNY 1", {}},
      {"F9 free: cash a check",       0, "F9",  "F", "T", "1 NYN 0", {}},
      {"F9 with a line, no voiding",  1, "F9",  "F", "T", "0 NNN 1", {}},
      {"F9 free, no check cashing",   0, "F9",  "T", "F", "0 NNN 0", {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KVTForms::Instance().CloseAll();
    user.Reset();
    sale = OpenSale();
    ASSERT_TRUE(sale);
    KVTSetSetting(CFG_ALLOWVOIDTAB1, c.allowVoid);
    KVTSetSetting(CFG_ALLOWCASHCHECKING, c.allowCashCheck);
    RingUp(c.lines);
    ASSERT_EQ(Rows(), c.lines);
    if (c.messages == Strings{closeOut}) user.Answer(IDNO);  // the close-out is declined
    user.Key(c.key);
    user.Run();
    EXPECT_EQ(Outcome(), c.outcome);
    EXPECT_EQ(Messages(), c.messages);
    ExpectNoFailures();
  }
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSTYPE = 'S' AND STATUS = 'S'"), 1) << "F5 suspended one";
  EXPECT_EQ(db().Count("KVTPOS1", "TRANSTYPE = 'N'"), 1) << "F2 saved one no sale";
}

TEST_P(SaleWindow, TheGridShowsTheLastFifteenLines) {
  RingUp(15);
  EXPECT_EQ(sale->SaleGrid().GetTopRow(), 0);
  RingUp(1);
  EXPECT_EQ(Rows(), 16);
  EXPECT_EQ(sale->SaleGrid().GetTopRow(), 1) << "rows 2 to 16";
  EXPECT_EQ(sale->GetFocusField(), IDC_IREF);
}

TEST_P(SaleWindow, SuspendedSalesShowTheRecallKeyInRed) {
  EXPECT_NE(sale->FieldState(187)->fg, KVT_RED);
  RingUp(1);
  user.Key("F5");
  user.Run();
  EXPECT_EQ(sale->GetFieldText(187), "F6 - View Suspend Items");
  EXPECT_EQ(sale->FieldState(187)->fg, KVT_RED);
}

class SaleRep : public SaleWindow {
 protected:
  void SetUp() override {
    enterSalesRep = "T";
    PVempidDlg::FormDecl();  // links the employee popup into this test
    SaleWindow::SetUp();
  }
};

TEST_P(SaleRep, EachNewSaleAsksTheEmployee) {
  if (IsSkipped() || HasFatalFailure()) return;
  EXPECT_EQ(sale->GetFieldText(IDC_EMPLOYEE), "200");
  user.Key("F2");  // a no sale starts the next sale
  user.Type("300").Key("Enter");
  user.Run();
  EXPECT_EQ(sale->GetFieldText(IDC_EMPLOYEE), "300");
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(SaleWindow);
KVT_ON_BOTH_BACKENDS(SaleKeys);
KVT_ON_BOTH_BACKENDS(SaleRep);

}  // namespace
