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
    dlg = OpenSaleScreen();
    ASSERT_FALSE(HasFailure());
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

TEST_P(ScreenSave, TheFiftyOneTextsAndTheScreenMakeTheSaleAndTheCallersCardIsMasked) {
  AddStock("HX", "10");
  for (const char* item : {"HX", "GONE"})
    RingUp(SoldLine(item, "1", "3.33", "3.33", "T"), "0.333333");
  RingUp(SoldLine("HX", "2", "1.67", "3.34", "T"), "0.333333");
  // Each text its own value, in the order of the header's columns; the card
  // number, its expiry, the payment method, the tax and the gift card's
  // expiry are what they are in a real sale.
  std::vector<std::string> t;
  for (int i = 1; i <= 51; ++i) t.push_back("T" + std::to_string(i));
  t[13] = "C", t[27] = "1.00", t[47] = "12312027";
  char number[81] = "4111111111111111", expiry[81] = "1227";
  auto a = [&](int i) { return t[static_cast<std::size_t>(i)].c_str(); };
  // clang-format off
  ASSERT_TRUE(dlg->SaveOrder("S", "C", a(0), a(1), a(2), a(3), a(4), a(5), a(6), a(7), a(8), a(9),
                             a(10), a(11), a(12), a(13), a(14), a(15), a(16), a(17), a(18), a(19),
                             number, expiry, a(22), a(23), a(24), a(25), a(26), a(27), a(28), a(29),
                             a(30), a(31), a(32), a(33), a(34), a(35), a(36), a(37), a(38), a(39),
                             a(40), a(41), a(42), a(43), a(44), a(45), a(46), a(47), a(48), a(49),
                             a(50)));
  // clang-format on
  EXPECT_STREQ(number, "************1111");
  EXPECT_STREQ(expiry, "");
  EXPECT_EQ(Field(IDC_INVOICENUM) + Field(IDC_INVOICELNK), "1001501A");
  t[13] = "1", t[20] = number, t[21] = "", t[47] = "12/31/2027";  // as saved
  t.insert(t.begin() + 27, {"501A", "03/15/2024"});               // INVOICELNK, SALEDATE
  t.insert(t.begin(), {"1001", std::to_string(static_cast<long>(dlg->Data.RECNO)), "03/15/2024", "",
                       "2", "100", "MAIN", "3", "S", "C"});
  Rows saved = db().Rows(
      "SELECT INVOICENUM,RECNO,INVDATE,SALETIME,TILLREF,SLSMAN,STORE,SHIFT,TRANSTYPE,STATUS,"
      "CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CREDITAMT,CASHRET,CHARGEAMT,CHARGERET,FDSTMPAMT,CASHPAY,"
      "CHECKPAY,INVCTOTAL,AMTPAID,PYMTMETHOD,NETAMT,NONTAXAMT,DISCOUNT,CHANGE,CHECKNUM,CHECKACCT,"
      "CCNUMBER,CCEXPDATE,CCTYPE,CCAUTHNUM,PO,CREDITPAY,FSCHANGE,INVOICELNK,SALEDATE,TAXAMT,DOB,"
      "FPAMT,FPRET,FPCASHPAY,FPCHECKPAY,FPDBC,FPDBCDESC,FPCPN,FPCPNDESC,FPAUTHNUM,FPC2REF,"
      "FPREPAYTRM,FPTANDC,FPACCNUM,CREDITRET,GFTCRDAMT,GFTCRDPAY,GCTYPE,GCNUMBER,GCEXPDATE,"
      "GCAUTHNUM,CANEXCHG,CANAMT FROM KVTPOS1");
  ASSERT_EQ(saved.size(), 1u);
  t[3] = saved[0][3];  // the time of the save
  EXPECT_EQ(saved[0], t);
  // Rounded to cents row by row, the last row taking what the rounding lost.
  EXPECT_EQ(db().Rows("SELECT TAXAMT FROM KVTPOS3 ORDER BY RECNO"),
            (Rows{{"0.33"}, {"0.33"}, {"0.34"}}));
  ASSERT_EQ(user.Messages().size(), 1u);  // shown once the sale was saved
  EXPECT_EQ(user.Messages()[0].text, "Ref: GONE Loc: 01 Qty: 1 **Error locking item**");
  EXPECT_EQ(user.Messages()[0].icon, "information");

  // Saved again, the sale's header is updated, the card masked the same way.
  // clang-format off
  const std::pair<const char*, const char*> cards[] = {{"12345", "*2345"}, {"1234", "1234"},
                                                       {"", ""}};
  // clang-format on
  for (const auto& [typed, stored] : cards) {
    PVpos1Dlg::SaleTexts texts;
    texts.ccNumber = typed;
    ASSERT_TRUE(dlg->SaveOrder("S", "C", texts));
    EXPECT_EQ(texts.ccNumber, stored);
    EXPECT_EQ(db().Value("SELECT CCNUMBER FROM KVTPOS1"), stored);
  }
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
  const double recno = dlg->Data.RECNO;
  EXPECT_EQ(Field(IDC_INVOICELNK), "501A");

  ASSERT_TRUE(dlg->SaveOrder("S", "C", texts));
  EXPECT_EQ(db().Rows("SELECT INVOICENUM, INVOICELNK, RECNO FROM KVTPOS1"),
            (Rows{{"1001", "501A", std::to_string(static_cast<long>(recno))}}));
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
  KVTResetModuleState();
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
