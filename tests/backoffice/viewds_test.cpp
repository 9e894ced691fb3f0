// The daily sales review: its rules by table, its reads and card correction
// on both databases, and the screen through the scripted user.
#include "backoffice/viewds.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "backoffice/dailysales.h"
#include "backoffice/viewdsa.h"
#include "backoffice/viewtd.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/frames.h"
#include "platform/forms/runtime.h"
#include "platform/forms/search.h"
#include "tests/support/till.h"

namespace {

using S = PVviewdsDlg;

TEST(DailySalesRules, TypeTextFromTransactionTypeAndStatus) {
  // clang-format off
  struct Case { const char* type; const char* status; const char* text; } cases[] = {
      {"A", "C", "Cash Return"}, {"H", "C", "Charge Return"}, {"S", "C", "Sale"}, {"SX", "", "Sale"},
      {"N", "C", "No Sale"}, {"P", "C", "Paid On Account"}, {"C", "C", "Cashed Check"},
      {"S", "V", "VOID"}, {"P", "V", "VOID"}, {"", "C", ""}, {"Z", "C", ""},
  };
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(KVTDailySales::TypeText(c.type, c.status), c.text) << c.type << "/" << c.status;
}

TEST(DailySalesRules, WhatTheShownSaleOpens) {
  KVTCardPrompts all, none{false, false, false, false}, onlyAuth{false, false, false, true};
  // clang-format off
  struct Case { const char* type; const char* credit; const char* pay; const char* exch; const char* can; bool running; KVTCardPrompts sale, poa; bool card, canadian, tax; } cases[] = {
      {"Sale", "$20.00", "$0.00", "$0.0000", "$0.00", false, all, all, true, false, true},
      {"Sale", "$0.00", "$0.00", "$0.0000", "$0.00", false, all, all, false, false, true},
      {"Sale", "$20.00", "$0.00", "$0.0000", "$0.00", true, all, all, false, false, true},
      {"Sale", "$20.00", "$0.00", "$0.0000", "$0.00", false, none, all, false, false, true},
      {"Sale", "$20.00", "$0.00", "$0.0000", "$0.00", false, onlyAuth, none, true, false, true},
      {"Paid On Account", "$0.00", "$5.00", "$0.0000", "$0.00", false, none, all, true, false, false},
      {"Paid On Account", "$0.00", "$5.00", "$0.0000", "$0.00", false, all, none, false, false, false},
      {"Cash Return", "$-5.00", "$0.00", "$0.0000", "$0.00", false, all, all, false, false, true},
      {"VOID", "$20.00", "$0.00", "$1.3500", "$27.00", false, all, all, false, true, false},
      {"No Sale", "$0.00", "$0.00", "$1.3500", "$0.00", false, all, all, false, false, false},
      {"Sale", "$0.00", "$0.00", "$0.0000", "$10.00", false, all, all, false, false, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    KVTSaleEnable e =
        KVTDailySales::Enablement(c.type, c.credit, c.pay, c.exch, c.can, c.running, c.sale, c.poa);
    SCOPED_TRACE(std::string(c.type) + " " + c.credit + " " + c.pay);
    EXPECT_EQ(e.cardGroup, c.card);
    EXPECT_EQ(e.canadian, c.canadian);
    EXPECT_EQ(e.taxDetail, c.tax);
  }
}

TEST(DailySalesRules, CardExpiryAgainstToday) {
  const char* format = "Invalid date.\n\nEnter in the format MMYY.";
  const char* invalid = "Invalid date.\n\nChoose a different form of payment.";
  const char* expired = "Card is expired.\n\nChoose a different form of payment.";
  // clang-format off
  struct Case { const char* mmyy; const char* today; const char* date; const char* message; } cases[] = {
      {"123", "12052025", "", format}, {"12345", "12052025", "", format}, {"", "12052025", "", format},
      {"1225", "12052025", "12312025", nullptr}, {"0226", "12052025", "02282026", nullptr},
      {"0228", "12052025", "02292028", nullptr}, {"0626", "06152026", "06302026", nullptr},
      {"1135", "12052025", "11302035", nullptr}, {"0136", "12052025", "", invalid},
      {"1325", "12052025", "", invalid}, {"0025", "12052025", "", invalid}, {"1A25", "12052025", "", invalid},
      {"1125", "12052025", "", expired}, {"1224", "12052025", "", expired}, {"0526", "06152026", "", expired},
  };
  // clang-format on
  for (const Case& c : cases) {
    KVTCardExpiry r = KVTDailySales::CheckExpiry(c.mmyy, c.today);
    SCOPED_TRACE(c.mmyy);
    EXPECT_EQ(r.ok, c.message == nullptr);
    EXPECT_EQ(r.date, c.date);
    EXPECT_EQ(r.message, c.message ? c.message : "");
    EXPECT_EQ(r.formatRule, c.message == format);
  }
}

// Five sales of one day: a card sale with two lines and three taxes, a cash
// sale, a suspended sale, a no-sale and a voided sale.
class DailySales : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_TRUE(KVTSetToday("12/05/2025"));
    Add({"KVTCOM13 REFERENCE=MAIN LOCATION=01",
         "KVTFL25 CODE=VISA LOCATION=", "KVTFL25 CODE=WESTCARD LOCATION=02"});
    Sale("1001", 101,
         "CREDITAMT=20.00 CCTYPE=VISA CCNUMBER=****1111 CCEXPDATE=12/31/2026 CCAUTHNUM=A1 "
         "INVCTOTAL=20");
    Sale("1002", 102, "CASHAMT=10.00 INVCTOTAL=10");
    Sale("1003", 103, "STATUS=S");
    Sale("1004", 104, "TRANSTYPE=N");
    Sale("1005", 105, "STATUS=V CREDITAMT=9.00");
    Add(
        {"KVTPOS2 INVREF=I1 DESCR='Gate hinges' INVOICELNK=L1001 ITEMLNK=I1 FOODSTAMPS=1 TAXABLE=0 "
         "RECNO=201",
         "KVTPOS2 INVREF=I2 DESCR='Hydraulic oil' INVOICELNK=L1001 ITEMLNK=I2 FOODSTAMPS=1 "
         "TAXABLE=0 RECNO=202",
         "KVTPOS3 TAXCODE=ST ITEMLNK=I2 RECNO=303 TAXRATE=5 TAXAMT=0.50 INVOICELNK=L1001",
         "KVTPOS3 TAXCODE=CO ITEMLNK=I1 RECNO=301 TAXRATE=5 TAXAMT=0.50 INVOICELNK=L1001",
         "KVTPOS3 TAXCODE=ST ITEMLNK=I1 RECNO=302 TAXRATE=5 TAXAMT=0.50 INVOICELNK=L1001"});
  }
  // A sale of till 1's shift 1 at MAIN on 12/05/2025, a completed sale
  // unless `values` say otherwise.
  void Sale(const std::string& number, int recno, std::string values) {
    if (values.find("TRANSTYPE=") == std::string::npos) values += " TRANSTYPE=S";
    if (values.find("STATUS=") == std::string::npos) values += " STATUS=C";
    Add({"KVTPOS1 STORE=MAIN INVDATE=12/05/2025 TILLREF=1 SHIFT=1 INVOICENUM=" + number +
         " INVOICELNK=L" + number + " RECNO=" + std::to_string(recno) + " " + values});
  }
  // The review opened in the host, as the menu opens it.
  S* Open(bool runningPOS = false) {
    auto* s = new S(host->MainWindow());
    s->bRunningPOS = runningPOS;
    EXPECT_TRUE(s->Create());
    return s;
  }
};

// (Browsing past suspended sales is checked through the screen's Next below.)
TEST_P(DailySales, NumbersNeverReachSuspendedSales) {
  EXPECT_EQ(KVTDailySales::FindByNumber("1003").found(), kvt::sql::Found::No);
  EXPECT_EQ(KVTDailySales::FindByNumber("1004").found(), kvt::sql::Found::Yes);
  KVTSqlFailStatements("INVOICENUM = ?");
  EXPECT_EQ(KVTDailySales::FindByNumber("1004").found(), kvt::sql::Found::Failed);
  // The tax detail lists each tax of each line in saved order.
  kvt::sql::Result r = KVTDailySales::TaxDetail("L1001");
  ASSERT_TRUE(r.ok()) << r.error();
  std::vector<std::string> got;
  for (const kvt::sql::Row& row : r.rows())
    got.push_back(row["INVREF"] + "/" + row["DESCR"] + "/" + row["TAXCODE"]);
  EXPECT_EQ(got, (std::vector<std::string>{"I1/Gate hinges/CO", "I1/Gate hinges/ST",
                                           "I2/Hydraulic oil/ST"}));
}

TEST_P(DailySales, CardCorrectionIsOneUnitOfWork) {
  std::string error;
  ASSERT_TRUE(KVTDailySales::SaveCard(101, "VISA", "4111", "01312027", "B2", &error)) << error;
  EXPECT_EQ(db().Value("SELECT CCTYPE || CCNUMBER || CCAUTHNUM FROM KVTPOS1 WHERE RECNO = 101"),
            "VISA4111B2");
  EXPECT_EQ(db().Value("SELECT CCEXPDATE FROM KVTPOS1 WHERE RECNO = 101"), "01/31/2027");
  KVTSqlFailNextCommit();
  EXPECT_FALSE(KVTDailySales::SaveCard(101, "MC", "5500", "02282027", "C3", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(db().Value("SELECT CCNUMBER FROM KVTPOS1 WHERE RECNO = 101"), "4111");
  EXPECT_FALSE(KVTDailySales::SaveCard(999, "MC", "5500", "02282027", "C3", &error));
  EXPECT_EQ(db().Count("KVTPOS1", "CCTYPE = 'MC'"), 0);
}

TEST_P(DailySales, NextAndPreviousShowEachSavedSaleThenBeep) {
  S* s = Open();
  std::vector<std::string> shown;
  auto record = [&] { shown.push_back(s->GetFieldText(S::IDC_INVOICENUM)); };
  for (int i = 0; i < 5; ++i) user.Click("Next").Do(record);
  user.Click("Previous").Do(record);
  user.Run();
  EXPECT_EQ(shown, (std::vector<std::string>{"1001", "1002", "1004", "1005", "1005", "1004"}));
  EXPECT_EQ(user.Beeps(), 1);
  // The no-sale as it reads (which button each type enables is in the rule
  // table), then the void.
  EXPECT_EQ(s->GetFieldText(S::IDC_TYPETEXT), "No Sale");
  EXPECT_FALSE(s->IsFieldEnabled(S::IDC_TAXDETAIL));
  user.Click("Next").Run();
  EXPECT_EQ(s->GetFieldText(S::IDC_TYPETEXT), "VOID");
  EXPECT_EQ(s->GetFieldText(S::IDC_CREDITAMT), "$9.00");
  EXPECT_TRUE(s->IsFieldProtected(S::IDC_INVOICENUM));
  ExpectNoFailures();
}

TEST_P(DailySales, ACardSaleShowsItsLinesTaxesAndCardAndACashSaleNeedsNothing) {
  S* s = Open();
  user.Type("1001").Key("Enter").Run();
  EXPECT_EQ(s->GetFocusField(), S::IDC_NEXT);
  EXPECT_EQ(s->GetFieldText(S::IDC_TYPETEXT), "Sale");
  EXPECT_EQ(s->GetFieldText(S::IDC_TRANSFERRED), "NOT TRANSFERRED");
  EXPECT_EQ(s->GetFieldText(S::IDC_CCEXPDATE), "1226");
  EXPECT_EQ(s->GetFieldText(S::IDC_CCTYPE), "VISA");
  TDataTbl* lines = s->Grid(S::IDC_DATATBL1);
  ASSERT_EQ(lines->GetRowCount(), 2);
  EXPECT_EQ(lines->GetCell(11, 0), "Y");
  EXPECT_EQ(lines->GetCell(12, 0), "N");
  EXPECT_EQ(s->Grid(S::IDC_DATATBL2)->GetRowCount(), 3);
  EXPECT_TRUE(s->IsFieldEnabled(S::IDC_CARDGROUP));
  EXPECT_TRUE(s->IsFieldEnabled(S::IDC_ACCEPT));
  user.Click("Next").Run();
  EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "1002");
  EXPECT_FALSE(s->IsFieldEnabled(S::IDC_CARDGROUP));
  EXPECT_FALSE(s->IsFieldEnabled(S::IDC_ACCEPT));
  ExpectNoFailures();
}

TEST_P(DailySales, ExpiryAndCardChecksThenTheCorrectionIsSaved) {
  S* s = Open();
  user.Type("1001").Key("Enter");
  user.Do([&] { s->KVTSetFieldFocus(S::IDC_CCTYPE); });
  // An empty type is refused; a type of another location opens the type list.
  user.ExpectMessage("Credit Card is required.", "Error");
  user.Key("Backspace").Key("Backspace").Key("Backspace").Key("Backspace").Key("Enter");
  user.Type("WESTCARD").Key("Enter");
  user.Do([&] {
    KVTScreen* list = KVTForms::Instance().ActiveScreen();
    ASSERT_NE(list, s);
    EXPECT_EQ(list->Grid(KVTSearchDlg::IDC_LIST)->GetRowCount(), 1);  // VISA only
  });
  user.Key("Enter");
  user.Do([&] { EXPECT_EQ(s->GetFocusField(), S::IDC_CCNUM); });
  user.Type("4111").Key("Enter");
  user.ExpectMessage("Invalid date.\n\nEnter in the format MMYY.", "Point of Sale");
  user.Type("123").Key("Enter");
  user.Do([&] {
    EXPECT_EQ(s->GetFieldText(S::IDC_CCEXPDATE), "");
    EXPECT_EQ(s->GetFocusField(), S::IDC_CCEXPDATE);
  });
  user.ExpectMessage("Card is expired.\n\nChoose a different form of payment.", "Point of Sale");
  user.Type("1124").Key("Enter");
  user.Type("0127").Key("Enter");
  user.Click("Accept");
  user.Run();
  ExpectNoFailures();
  EXPECT_EQ(user.Messages()[0].icon, "stop");
  EXPECT_EQ(user.Messages()[1].icon, "information");
  EXPECT_EQ(db().Value("SELECT CCTYPE || ' ' || CCNUMBER FROM KVTPOS1 WHERE RECNO = 101"),
            "VISA 4111");
  EXPECT_EQ(db().Value("SELECT CCEXPDATE FROM KVTPOS1 WHERE RECNO = 101"), "01/31/2027");
  EXPECT_FALSE(s->IsChanged());
  // Nothing else of the sale changed.
  EXPECT_EQ(db().Count("KVTPOS1", "CCAUTHNUM = 'A1' AND INVCTOTAL = '20'"), 1);
}

TEST_P(DailySales, LeavingAChangedSaleAsksFirst) {
  S* s = Open();
  user.Type("1001").Key("Enter");
  user.Do([&] { s->KVTSetFieldFocus(S::IDC_CCAUTHNUM); });
  user.Type("Z9");
  // Cancel stays on the field; No leaves without saving.
  user.ExpectMessage("Changes have been made! Save changes?", "Changed");
  user.Answer(IDCANCEL).Click("Next");
  user.Do([&] {
    EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "1001");
    EXPECT_EQ(s->GetFocusField(), S::IDC_CCAUTHNUM);
  });
  user.Answer(IDNO).Click("Next");
  user.Do([&] { EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "1002"); });
  // Yes saves; a save that fails keeps the sale on the screen.
  user.Click("Previous");
  user.Do([&] { s->KVTSetFieldFocus(S::IDC_CCAUTHNUM); });
  user.Type("Y8");
  user.Do([] { KVTSqlFailNextCommit(); });
  user.Answer(IDYES).Click("New");
  user.Do([&] {
    EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "1001");
    EXPECT_TRUE(s->IsChanged());
  });
  user.Answer(IDYES).Click("New");
  user.Do([&] {
    EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "");
    EXPECT_EQ(s->GetFocusField(), S::IDC_INVOICENUM);
  });
  user.Run();
  ExpectNoFailures();
  ASSERT_EQ(user.Messages().size(), 5u);
  EXPECT_EQ(user.Messages()[3].text.rfind("The credit card data could not be saved:", 0), 0u);
  EXPECT_EQ(db().Value("SELECT CCAUTHNUM FROM KVTPOS1 WHERE RECNO = 101"), "Y8");
}

TEST_P(DailySales, RunningThePOSFindsOnlySalesThatCanBeLookedAt) {
  std::vector<std::string> listed;
  auto readList = [&] {  // the sale numbers the find window lists
    TDataTbl* list = KVTForms::Instance().ActiveScreen()->Grid(KVTSearchDlg::IDC_LIST);
    for (int r = 0; r < list->GetRowCount(); ++r) listed.push_back(list->GetCell(0, r));
  };
  user.Do(readList);
  user.Key("Down").Key("Enter");
  S* s = Open(true);
  user.Run();
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"1001", "1002"}));
  EXPECT_FALSE(s->IsFieldVisible(S::IDC_FIND));
  EXPECT_FALSE(s->IsFieldVisible(S::IDC_ACCEPT));
  EXPECT_FALSE(s->IsFieldEnabled(S::IDC_CARDGROUP));  // no corrections from the till
  EXPECT_EQ(s->GetFocusField(), S::IDC_CLOSE);
  ExpectNoFailures();
  // In the back office the same find lists every sale that is not suspended.
  listed.clear();
  user.Reset();
  S* office = Open();
  user.Click("Find");
  user.Do(readList);
  user.Key("Esc").Run();
  EXPECT_EQ(listed.size(), 4u);
  EXPECT_EQ(office->GetFieldText(S::IDC_INVOICENUM), "");
  // Running the POS with nothing chosen closes the review.
  user.Reset();
  user.Key("Esc");
  HWND frame = Open(true)->Frame()->Handle();
  user.Run();
  EXPECT_FALSE(IsWindow(frame));
  ExpectNoFailures();
}

TEST_P(DailySales, ASuspendedSaleNumberOpensTheSearchInstead) {
  S* s = Open();
  bool searched = false;
  user.Type("1003").Key("Enter");
  user.Do([&] { searched = KVTForms::Instance().ActiveScreen() != s; });
  user.Key("Esc").Run();
  EXPECT_TRUE(searched);
  EXPECT_EQ(s->GetFieldText(S::IDC_INVOICENUM), "");
  EXPECT_FALSE(s->IsFieldProtected(S::IDC_INVOICENUM));
  ExpectNoFailures();
}

TEST_P(DailySales, TaxDetailPopupAndReprintWithoutTheReportModule) {
  // A host whose module folder has no report module.
  host.reset();
  host = std::make_unique<KVTHost>(::testing::TempDir() + "no-modules-here");
  S* s = Open();
  int rows = -1;
  user.Type("1001").Key("Enter").Click("View Tax Detail");
  user.Do([&] {
    KVTScreen* popup = KVTForms::Instance().ActiveScreen();
    ASSERT_NE(popup, s);
    rows = popup->Grid(PVviewtdDlg::IDC_DATATBL)->GetRowCount();
    EXPECT_EQ(popup->Grid(PVviewtdDlg::IDC_DATATBL)->GetCell(3, 0), "CO");
  });
  user.Key("Esc");
  user.ExpectMessage("Unable to load DLL (KVTPOSR.DLL)", "Kovatel Software").Key("F9");
  user.Run();
  EXPECT_EQ(rows, 3);
  ExpectNoFailures();
}

KVT_ON_BOTH_BACKENDS(DailySales);

}  // namespace
