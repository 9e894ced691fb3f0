// The sale screen's saving members: what SaveOrder takes from the screen and
// gives back to it and to its caller, the messages it shows, the numbering
// members, and the window's instance id.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sale/pos1.h"
#include "suite/host/host.h"
#include "tests/sale/save_fixture.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

class ScreenSave : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    dlg = std::make_unique<PVpos1Dlg>(host->Window());
    ASSERT_TRUE(dlg->Create());
    for (auto [id, value] : {std::pair{IDC_STORE, "MAIN"},
                             {IDC_TILLREF, "2"},
                             {IDC_SHIFT, "3"},
                             {IDC_EMPLOYEE, "100"},
                             {IDC_SHIFTDATE, "03152024"}})
      dlg->SetFieldVar(id, value);
    dlg->sInstanceID = "A";
  }
  void TearDown() override {
    dlg.reset();
    SaveTest::TearDown();
  }
  void RingUp(const kvt::sale::Line& line, const std::string& tax) {
    TDataTbl& g = dlg->SaleGrid();
    dlg->PutSaleLine(g.InsertRow(), line);
    TDataTbl& t = dlg->TaxGrid();
    int row = t.InsertRow();
    for (auto [col, value] : {std::pair{TAXCOL_CODE, std::string("ST")},
                              {TAXCOL_RATE, "10.000"},
                              {TAXCOL_AMOUNT, tax},
                              {TAXCOL_ITEMLINK, line.itemLink}})
      t.SetCell(col, row, value);
  }
  std::string Field(int id) const { return dlg->GetFieldText(id); }

  std::unique_ptr<PVpos1Dlg> dlg;
};

TEST_P(ScreenSave, TheFiftyOneTextsSaveTheScreensSaleAndMaskTheCallersCard) {
  AddStock("HX", "10");
  for (const char* item : {"HX", "GONE"})
    RingUp(SoldLine(item, "1", "3.33", "3.33", "T"), "0.333333");
  RingUp(SoldLine("HX", "2", "1.67", "3.34", "T"), "0.333333");
  char number[81] = "4111111111111111", expiry[81] = "1227";
  ASSERT_TRUE(dlg->SaveOrder("S", "C", "C100", "Ann", "", "", "", "", "", "", "", "", "", "10.00",
                             "", "C", "", "", "", "", "", "", number, expiry, "VISA", "", "", "",
                             "", "1.00", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
                             "", "", "", "", "", "", "", ""));
  EXPECT_STREQ(number, "************1111");
  EXPECT_STREQ(expiry, "");
  EXPECT_EQ(Field(IDC_INVOICENUM), "1001");
  EXPECT_EQ(Field(IDC_INVOICELNK), "501A");
  EXPECT_GT(dlg->Data.RECNO, 0);
  EXPECT_EQ(db().Rows("SELECT TILLREF, SHIFT, SLSMAN, STORE, INVDATE, CUSTNAME, INVCTOTAL, "
                      "CCNUMBER FROM KVTPOS1"),
            (Rows{{"2", "3", "100", "MAIN", "03/15/2024", "Ann", "10.00", "************1111"}}));
  EXPECT_EQ(db().Rows("SELECT INVREF, QTYORDERED, ENTRYTOTAL FROM KVTPOS2 ORDER BY RECNO"),
            (Rows{{"HX", "1", "3.33"}, {"GONE", "1", "3.33"}, {"HX", "2", "3.34"}}));
  // Rounded to cents row by row, the last row taking what the rounding lost.
  EXPECT_EQ(db().Rows("SELECT TAXAMT FROM KVTPOS3 ORDER BY RECNO"),
            (Rows{{"0.33"}, {"0.33"}, {"0.34"}}));
  EXPECT_EQ(Qoh("HX"), "7.000");
  ASSERT_EQ(user.Messages().size(), 1u);  // shown once the sale was saved
  EXPECT_EQ(user.Messages()[0].text, "Ref: GONE Loc: 01 Qty: 1 **Error locking item**");
  EXPECT_EQ(user.Messages()[0].icon, "information");
}

TEST_P(ScreenSave, AFailedSaveIsToldAndTheScreenKeepsItsNumberForTheNextTry) {
  AddStock("HX", "10");
  RingUp(SoldLine("HX", "1", "2.50", "2.50", "T"), "0.250000");
  PVpos1Dlg::SaleTexts texts;
  texts.taxAmt = "0.25";
  KVTSqlFailStatements("INSERT INTO KVTPOS3");
  EXPECT_FALSE(dlg->SaveOrder("S", "C", texts));
  KVTSqlClearFaults();
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text.rfind("Error occurred inserting KVTPOS3 record.\n", 0), 0u);
  EXPECT_EQ(user.Messages()[0].caption, "Error");
  EXPECT_EQ(user.Messages()[0].icon, "stop");
  EXPECT_EQ(db().Count("KVTPOS1"), 0);
  const double recno = dlg->Data.RECNO;
  EXPECT_EQ(Field(IDC_INVOICELNK), "501A");

  ASSERT_TRUE(dlg->SaveOrder("S", "C", texts));
  EXPECT_EQ(db().Rows("SELECT INVOICENUM, INVOICELNK, RECNO FROM KVTPOS1"),
            (Rows{{"1001", "501A", std::to_string(static_cast<long>(recno))}}));
  EXPECT_EQ(db().Count("KVTPOS3"), 1);
}

TEST_P(ScreenSave, NumbersComeFromTheScreensStoreAndLinksCarryItsId) {
  Exec("UPDATE KVTPOS10 SET USESTNSNUM = 'T'");
  dlg->sInstanceID = "B";
  EXPECT_STREQ(dlg->GetNextSaleNum(), "7001");
  EXPECT_STREQ(dlg->GetNextSaleLink(), "501B");
  EXPECT_STREQ(dlg->POSConfigGetNextSaleNum(), "1001");
  Exec("DELETE FROM KVTCOM13");
  EXPECT_STREQ(dlg->StoreGetNextSaleNum(), "");
  EXPECT_EQ(dlg->sNumberingError, "No sale number counter was found for store MAIN.");
}

KVT_ON_BOTH_BACKENDS(ScreenSave);

TEST(SaleWindow, HoldsItsInstanceIdUntilItIsDestroyed) {
  KVTClearModuleState();
  KVTHeadlessBackend user;
  user.Install();
  KVTHost host;
  {
    PVpos1Dlg first(host.MainWindow()), second(host.MainWindow());
    ASSERT_TRUE(first.SetInstanceID());
    ASSERT_TRUE(second.SetInstanceID());
    EXPECT_EQ(first.sInstanceID, "A");
    EXPECT_EQ(second.sProcessLockID, "INSTANCE_B");
    EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_B"), KVTProcessUserNumber());
    EXPECT_EQ(second.BuildInstanceID(0, false), "AB");  // put in front
  }
  EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_A"), "");
  EXPECT_EQ(host.Locks().OwnerUser("POSSALES", "INSTANCE_B"), "");
}

}  // namespace
