// The payment tab as a cashier meets it after the total key: tenders keyed
// through the scripted user, the panel they leave, the customers of a
// tender and the sale saved when it is paid.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "backoffice/password.h"
#include "backoffice/viewds.h"
#include "payment/pos2.h"
#include "payment/posnt.h"
#include "platform/base/kvtbase.h"
#include "platform/forms/preview.h"
#include "platform/sql/query.h"
#include "platform/win/printer.h"
#include "platform/win/profile.h"
#include "sale/spdsales.h"
#include "tests/support/files.h"
#include "tests/support/till.h"

namespace {

using kvt::test::Strings;

class Payment : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    PVpos2Dlg::FormDecl();  // links the payment tab and the notes window into this test
    PVposntDlg::FormDecl();
    PVpasswordDlg::FormDecl();
    ASSERT_TRUE(KVTSetToday("06/15/2026"));
    Add(
        {"KVTPOS10 RECNO=1 NEXTSLNUM=1001 NEXTSLLNK=501 USESTNSNUM=F ENTERSREP=F DISPRCECH=T "
         "MAXQTY=9999 MAXAMOUNT=99999 MAXCHRDEPT=3 USEPRBK=T DECFORPRC=2 RTNPRVITM=T CASHCUST=CASH "
         "CHECKCUST=CHECK DEFCHGAMT=T PRMPTCKNUM=T SHOWDUE=T STAXAUTH=STATE",
         "KVTAR16A TAXAUTH=STATE TAXCODE=GST", "KVTAR19 TAXCODE=GST TAXRATE=5 DESCRIPT='Goods tax'",
         "KVTCOM13 REFERENCE=MAIN LOCATION=01 NEXTSLNUM=7001", "KVTINV17 CONFIG10=01"});
    // Groceries: food-stamp eligible; a taxed tool; plain goods.
    for (auto [ref, price, fs, tax] : {std::tuple{"F1200", "12.00", "1", "F"},
                                       {"P0800", "8.00", "0", "F"},
                                       {"T1000", "10.00", "0", "T"},
                                       {"P4217", "42.17", "", ""},
                                       {"P2000", "20.00", "", ""},
                                       {"Q2000", "20.00", "", ""}}) {
      Add("KVTINV1", {{"REFERENCE", ref}, {"DESCRIPT", ref}, {"INACTIVE", "F"}});
      Add("KVTINV2", {{"REFERENCE", ref}, {"LOCATION", "01"}, {"LISTPRICE", price}});
      kvt::schema::Row prb = {{"REFERENCE", ref}, {"LOCATION", "01"}};
      if (*fs) prb.insert(prb.end(), {{"FOODSTAMP", fs}, {"TAX1APP", tax}});
      Add("KVTPRB1", prb);
    }
    // Customers: the cash and check customers, one with a limit and a
    // balance, an inactive one, an open-item one, one with a note.
    // clang-format off
    for (auto [ref, name, inactive, limit, kind, current, month1] :
         {std::tuple{"CASH", "Cash Customer", "0", "", "B", "0", ""}, {"CHECK", "Check Customer", "0", "", "B", "0", ""},
          {"1001", "Miller, Alan", "0", "500.00", "B", "450.00", ""}, {"1002", "Gone, Away", "1", "", "B", "0", ""},
          {"1003", "Koehn Farms", "0", "", "O", "0", ""}, {"1004", "Becker, Hazel", "0", "", "B", "0", "10.00"},
          {"123456", "Swiped Card", "0", "", "B", "0", ""}}) {
      Add("KVTAR50", {{"REFERENCE", ref}, {"NAME", name}, {"ISACTIVE", inactive}});
      Add("KVTAR51", {{"REFERENCE", ref}, {"CREDITLMT", limit}, {"OPENBALFWD", kind}});
      Add("KVTAR54", {{"REFERENCE", ref}, {"CURRENT", current}, {"MONTH1", month1}});
    }
    // clang-format on
    Add({"KVTAR50N LINK=1004 COMMDATE=01/10/2024 COMMENT='Old note.'"});
    LogIn("MAIN", "06152026");
    sale = OpenSale();
    ASSERT_TRUE(sale);
  }

  // Each case of a table starts on a fresh sale window.
  void NextSale() {
    KVTForms::Instance().CloseAll();
    user.Reset();
    sale = OpenSale();
    ASSERT_TRUE(sale);
  }
  static Strings PreviewTitles() {
    Strings titles;
    for (const KVTPreviewDocument& d : KVTPreviewedDocuments()) titles.push_back(d.title);
    return titles;
  }
  PVpos2Dlg* Pay() { return dynamic_cast<PVpos2Dlg*>(sale->TabWindow()->GetPage(1)); }
  // Rings up the items and totals the sale.
  void RingUp(const Strings& refs) {
    for (const std::string& r : refs) user.Type(r).Key("Enter");
    user.Key("F10");
    user.Run();
  }
  // Steps as script lines (steps.h) separated by ";", and "select N" picks
  // line N of the form list; played unless `run` is false.
  void Steps(const std::string& steps, bool run = true) {
    for (const std::string& s : kvt::test::SplitSteps(steps))
      if (s.rfind("select ", 0) == 0) {
        user.SelectItem(IDC_PYMTFORM, std::stoi(s.substr(7)));
      } else if (!kvt::test::QueueStep(user, s)) {
        ADD_FAILURE() << "unknown step " << s;
      }
    if (run) user.Run();
  }
  std::string Panel(int row) {
    return Pay()->GetFieldText(IDC_PANEL_LABEL + row) + Pay()->GetFieldText(IDC_PANEL_VALUE + row);
  }
  std::vector<std::string> Forms() {
    Strings out;
    for (int i = 0; i < Pay()->GetListCount(IDC_PYMTFORM); ++i)
      out.push_back(Pay()->GetListItem(IDC_PYMTFORM, i));
    return out;
  }
  std::string Saved(const std::string& columns) {
    auto rows = db().Rows("SELECT " + columns + " FROM KVTPOS1 ORDER BY RECNO");
    std::string out;
    for (const auto& row : rows) {
      for (std::size_t i = 0; i < row.size(); ++i) out += (i ? "|" : "") + row[i];
      out += "\n";
    }
    return out;
  }

  PVpos1Dlg* sale = nullptr;
};

// One sale paid by keys: what was saved, the tab the window is on after it, and the messages.
TEST_P(Payment, PaidSalesAreSavedWithTheirTenders) {
  const char* columns =
      "TRANSTYPE,STATUS,CUSTREF,CUSTNAME,CASHAMT,CHECKAMT,CHARGEAMT,CHANGE,CHECKNUM,INVCTOTAL";
  const std::string overLimit =
      "   Customer Credit Limit Exceeded.\n\nChoose a different form of payment.";
  Add("KVTCOM20", {{"FEATURE", "21516"}});  // customer cards are swiped
  Add("KVTAR10", {{"NEXTCNUM", "2001"}, {"RECNO", "1"}});
  // clang-format off
  struct Case { const char* name; Strings items; const char *enterDecimals, *steps, *saved; Strings messages; } cases[] = {
      {"cash with change", {"P4217"}, "T", "key Enter;type 50.00;key Enter", "S|C|CASH|Cash Customer|50.00|||7.83||42.17\n", {}},
      {"cents keyed without a point", {"P4217"}, "F", "key Enter;type 5000;key Enter", "S|C|CASH|Cash Customer|50.00|||7.83||42.17\n", {}},
      {"a check, then cash with change", {"P4217"}, "T", "key Down;key Enter;type 2231;key Enter;type 20;key Enter;key Enter;type 30;key Enter",
       "S|C|CASH|Cash Customer|30.00|20.00||7.83|2231|42.17\n", {}},
      {"charged to an account within its limit", {"P2000", "Q2000"}, "T", "select 4;key Enter;type 1001;key Enter;key Enter",
       "S|C|1001|Miller, Alan|||40.00|0.00||40.00\n", {}},
      {"over the limit, then cash", {"P2000", "Q2000", "P4217"}, "T", "select 4;key Enter;type 1001;key Enter;key Enter;type 90;key Enter",
       "S|C|CASH|Cash Customer|90.00|||7.83||82.17\n", {overLimit}},
      {"an inactive customer is not found", {"P2000"}, "T", "select 4;key Enter;type 1002;key Enter;type 1001;key Enter;key Enter",
       "S|C|1001|Miller, Alan|||20.00|0.00||20.00\n", {"Invalid Customer Reference."}},
      {"a swiped customer card gives its reference", {"P2000"}, "T", "select 4;key Enter;type %B4000001234123456^CARD/SWIPED^2612;key Enter;key Enter",
       "S|C|123456|Swiped Card|||20.00|0.00||20.00\n", {}},
      {"a new customer added at the till (customers_test: its rows)", {"P2000"}, "T",
       "select 4;key Enter;key F1;type Auto;key Tab;type Nickel Farms;key Tab;type 5 Elm St;key Tab;key Tab;type Alden;key Tab;"
       "type KS;key Tab;type 67512;key Tab;type 620-555-0101;key Tab;key Enter;key Enter",
       "S|C|2001|Nickel Farms|||20.00|0.00||20.00\n", {}},
      {"Esc before any tender voids", {"P2000"}, "T", "key Esc", "S|V|||0.00|||0.00||0.00\n", {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(kvt::sql::Run("DELETE FROM KVTPOS1", {}).ok());
    NextSale();
    KVTSetSetting(CFG_ENTERDECIMALSONPAYMENT, c.enterDecimals);
    KVTSetSetting(CFG_ALLOWADDINGCUSTOMERS, "T");
    RingUp(c.items);
    ASSERT_EQ(sale->TabWindow()->GetSelectedTab(), 1);
    EXPECT_EQ(Pay()->GetFocusField(), IDC_PYMTFORM);
    Steps(c.steps);
    EXPECT_EQ(Saved(columns), c.saved);
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(sale->TabWindow()->GetSelectedTab(), 0) << "the next sale";
    ExpectNoFailures();
  }
}

TEST_P(Payment, ThePanelShowsChangeAndTheListLosesReturns) {
  KVTSetSetting(CFG_PAUSEWHENSALECOMPLETE, "T");
  RingUp({"P4217"});
  EXPECT_EQ(Panel(kvt::payment::kRowE), "Total : $42.17");
  Steps("key Enter;type 40;key Enter");
  EXPECT_EQ(Panel(kvt::payment::kRowB), "Amount Remaining : $2.17");
  EXPECT_EQ(Forms(), (Strings{"1 - Cash", "2 - Check", "3 - Credit Card", "5 - Charge",
                              "7 - Food Stamps", "8 - Void Sale", "G - Gift Card"}));
  Steps("key Enter;type 10;key Enter");
  EXPECT_EQ(Panel(kvt::payment::kRowC), "Amount Received : $50.00");
  EXPECT_EQ(Panel(kvt::payment::kRowE), "Change Due :$7.83");
  EXPECT_EQ(Pay()->GetFieldText(IDC_PAUSE), "Press <ENTER> to continue....");
  Steps("key Enter");
  EXPECT_EQ(sale->TabWindow()->GetSelectedTab(), 0);
}

TEST_P(Payment, ARefundOffersCashChargeAndVoidAndPaysOutAtOnce) {
  RingUp({"P4217"});
  Steps("key F1;key F7;key F10");  // back to the items: the last one is returned
  EXPECT_EQ(Forms(), (Strings{"1 - Cash", "5 - Charge", "8 - Void Sale"}));
  Steps("key Enter");
  EXPECT_EQ(Saved("TRANSTYPE,CASHAMT,INVCTOTAL"), "S|-42.17|-42.17\n");
}

TEST_P(Payment, APaymentOnAccountOfAnOpenItemCustomerIsRefused) {
  Steps("key F8");
  ASSERT_EQ(sale->TabWindow()->GetSelectedTab(), 1);
  EXPECT_EQ(Forms(), (Strings{"1 - Cash", "2 - Check"}));
  Steps("key Enter;type 1003;key Enter");
  EXPECT_EQ(Messages(),
            Strings{"Payments for this customer cannot be made at the Point of Sale system.  "
                    "Please enter payments for this customer through the office system."});
  EXPECT_EQ(Pay()->GetFocusField(), IDC_PYMTFORM);
  Steps("key Enter;type 1001;key Enter;key Enter;type 25;key Enter;type 30;key Enter");
  EXPECT_EQ(Saved("TRANSTYPE,CUSTREF,CASHPAY,CHANGE"), "P|1001|25.00|5.00\n");
}

TEST_P(Payment, AChargeShowsTheNotesWithThePastDueLinesThenOnlyTheOldNoteStays) {
  Add("KVTCOM20", {{"FEATURE", "9333"}});
  RingUp({"P2000"});
  std::string shown;
  Steps("key Down;key Down;key Down;key Down;key Enter;type 1004;key Enter", false);
  // The notes window is in front: what it shows, then Continue.
  user.Do([&shown] {
    if (auto* notes = dynamic_cast<PVposntDlg*>(KVTForms::Instance().ActiveScreen()))
      shown = notes->GetFieldText(PVposntDlg::IDC_POSNOTES);
  });
  Steps("key Enter;key Enter");
  EXPECT_EQ(shown,
            "Old note.\r\nPast Due Balance: 10.00\r\n-------------------------------------\r\n"
            "30 Days: 10.00");
  EXPECT_EQ(db().Rows("SELECT COMMENT FROM KVTAR50N"), (std::vector<Strings>{{"Old note."}}));
  EXPECT_EQ(Saved("CUSTREF,CHARGEAMT"), "1004|20.00\n");
}

TEST_P(Payment, APaymentOnAccountInsideASaleIsTakenFromTheCash) {
  RingUp({"P2000", "5"});  // five of them: 100.00
  Steps("key F8;type 30;key Enter");
  EXPECT_EQ(sale->sMixedPOAAmt, "30.00");
  EXPECT_EQ(Panel(kvt::payment::kRowE), "Total : $130.00");
  // The customer is asked now: the account being paid.
  Steps("key Enter;type 1001;key Enter;key Enter;type 130;key Enter");
  EXPECT_EQ(Saved("CUSTREF,CASHAMT,CASHPAY,INVCTOTAL"), "1001|100.00|30.00|130.00\n");
  ExpectNoFailures();
}

TEST_P(Payment, TheCreditLimitIsOverriddenWithThePassword) {
  KVTSetSetting(CFG_ALLOWCREDITLIMITOVERRIDE, "T");
  KVTSetSetting(CFG_PASSWORDCREDITLIMITOVERRIDE, "T");
  KVTSetSetting(CFG_PASSWORD, "secret");
  RingUp({"P4217", "P2000"});
  // A wrong password ends the tender, the right one charges.
  const std::string charge = "select 4;key Enter;type 1001;answer Yes;key Enter;type ";
  Steps(charge + "guess;key Enter");
  EXPECT_EQ(Pay()->GetFocusField(), IDC_PYMTFORM);
  Steps(charge + "secret;key Enter;key Enter");
  EXPECT_EQ(Messages(), (Strings{"Customer Credit Limit Exceeded.  Continue?", "Invalid Password.",
                                 "Customer Credit Limit Exceeded.  Continue?"}));
  EXPECT_EQ(Saved("CUSTREF,CHARGEAMT"), "1001|62.17\n");
}

TEST_P(Payment, AnUnknownCardTypeIsRefusedAndSlashSearchesTheTypes) {
  KVTSetSetting(CFG_PROMPTCCTYPE, "T");
  KVTSetSetting(CFG_DEFAULTCCARDCUST, "CASH");
  Add("KVTFL25", {{"CODE", "VISA"}, {"DESCRIPT", "Visa"}, {"LOCATION", ""}});
  Add("KVTFL25", {{"CODE", "MC"}, {"DESCRIPT", "MasterCard"}, {"LOCATION", "02"}});
  RingUp({"P2000"});
  Steps("key Down;key Down;key Enter;type AMEX;key Enter");
  EXPECT_EQ(Messages(), Strings{"Invalid credit card."});
  EXPECT_EQ(Pay()->GetFieldText(IDC_PI1), "");
  EXPECT_EQ(Pay()->GetFocusField(), IDC_PI1);
  // The search lists the types of this location only: VISA.
  Steps("type /;key Enter;key Enter;key Enter");
  EXPECT_EQ(Saved("CREDITAMT,CCTYPE"), "20.00|VISA\n");
  EXPECT_EQ(Messages(), Strings{"Invalid credit card."});
  ExpectNoFailures();
}

// A tender refused: the message, and where the cashier is left.
TEST_P(Payment, RefusedTendersSayWhyAndLeaveTheCashierWhereTheyBelong) {
  Add("KVTPOS11", {{"CKACCTNUM", "40021877"}});
  // The setting: "CKACT" asks the check account, "CCEXP" the card expiry, "CAN" a rate.
  // clang-format off
  struct Case { const char *name, *setting, *steps; Strings messages; int focus; } cases[] = {
      {"food stamps without eligible goods", "",      "select 6;key Enter",
       {"Food Stamp Total is $0.00.\n\nChoose a different form of payment."}, IDC_PYMTFORM},
      {"a bad check",                        "CKACT", "key Down;key Enter;type 40021877;key Enter",
       {"This account has a bad check!!\n\nChoose a different form of payment."}, IDC_PYMTFORM},
      {"an expiry not keyed as MMYY",        "CCEXP", "key Down;key Down;key Enter;type 626;key Enter",
       {"Invalid date.\n\nEnter in the format MMYY."}, IDC_PI3},
      {"an expired card",                    "CCEXP", "key Down;key Down;key Enter;type 0526;key Enter",
       {"Card is expired.\n\nChoose a different form of payment."}, IDC_PYMTFORM},
      {"Canadian cash short of the balance", "CAN",   "select 10;key Enter;type 20;key Enter",
       {"The payment cannot be less than the balance due."}, IDC_AMOUNT},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NextSale();
    const std::string setting = c.setting;
    KVTSetSetting(CFG_PROMPTCHECKACCTNUM, setting == "CKACT" ? "T" : "F");
    KVTSetSetting(CFG_PROMPTCCEXPDATE, setting == "CCEXP" ? "T" : "F");
    KVTSetSetting(CFG_DEFAULTCCARDCUST, "CASH");
    KVTSetSetting(CFG_POCANADIANEXCHANGE, setting == "CAN" ? "1.25" : "");
    RingUp({"P2000"});
    Steps(c.steps);
    EXPECT_EQ(Messages(), c.messages);
    EXPECT_EQ(Pay()->GetFocusField(), c.focus);
    EXPECT_EQ(db().Count("KVTPOS1"), 0);
  }
  // The Canadian balance in full: 25.00 Canadian at 1.25 pays the 20.00.
  Steps("type 25;key Enter");
  EXPECT_EQ(Saved("CASHAMT"), "20.00\n");
}

TEST_P(Payment, APaymentOnAccountWithADiscountIsSavedAsASale) {
  ASSERT_TRUE(kvt::sql::Run("UPDATE KVTAR51 SET ALLOWDISC = 1 WHERE REFERENCE = '1001'", {}).ok());
  ASSERT_TRUE(
      kvt::sql::Run("UPDATE KVTPOS10 SET POADISC = 'T', POADISCCAT = 'DISC' WHERE RECNO = 1", {})
          .ok());
  // Cash, the customer, the name; the discount presets the amount to the
  // balance less it; the amount tendered.
  Steps("key F8;key Enter;type 1001;key Enter;key Enter;type 5;key Enter");
  EXPECT_EQ(Pay()->GetFieldText(IDC_AMOUNT), "445.00");
  Steps("key Enter;key Enter");
  EXPECT_EQ(Saved("TRANSTYPE,CUSTREF,CASHPAY"), "S|1001|445.00\n");
  EXPECT_EQ(db().Count("KVTPOS2"), 2) << "the payment and its discount";
  ExpectNoFailures();
}

TEST_P(Payment, FoodStampsGiveWholeDollarChangeAndTheRestIsPaid) {
  KVTSetSetting(CFG_DEFAULTFSCUST, "CASH");
  RingUp({"F1200", "P0800"});
  Steps("select 6;key Enter;type 13.50;key Enter");
  EXPECT_EQ(Panel(kvt::payment::kRowA), "Food Stamps Received : $13.50");
  EXPECT_EQ(Panel(kvt::payment::kRowB), "Food Stamps Change : $1.00");
  EXPECT_EQ(Panel(kvt::payment::kRowD), "Amount Remaining : $7.50");
  Steps("key Enter;type 7.50;key Enter");
  EXPECT_EQ(Saved("FDSTMPAMT,FSCHANGE,CASHAMT,CHANGE"), "13.50|1.00|7.50|0.00\n");
  ExpectNoFailures();
}

TEST_P(Payment, TaxDetailShowsEachTaxOnThePanel) {
  KVTSetSetting(CFG_DISPLAYTAXDETAIL, "T");
  RingUp({"T1000"});
  EXPECT_EQ(Panel(kvt::payment::kRowD), "Goods tax Total : 0.50");
  EXPECT_EQ(Panel(kvt::payment::kRowE), "Total : $10.50");
  EXPECT_EQ(db().Count("TMPPOS3"), 0) << "the work rows are gone";
}

// Completion as the printers get it: the drawer kick, the invoice and the
// receipt copies of the tenders used, in that order.
TEST_P(Payment, CompletionKicksTheDrawerAndPrintsTheCopiesOfItsTenders) {
  std::filesystem::remove("kvtlocal.ini");
  WritePrivateProfileString("Point of Sale", "CodesToOpenTillDrawer", "27 112 0 50 250",
                            "kvtlocal.ini");
  Strings printed;
  KVTSetPrintCapture([&printed](const KVTPrintJob& job, std::string*) {
    printed.push_back(job.title);
    return true;
  });
  const char* check5 =
      "key Down;key Enter;type 2231;key Enter;type 5;key Enter;key Enter;type 15;key Enter";
  const char* charge = "select 4;key Enter;type 1001;key Enter;key Enter";
  const char* cash = "key Enter;type 20;key Enter";
  // copies: cash, check, charge, void
  // clang-format off
  struct Case { const char *name, *copies, *chargeDrawer, *steps; Strings printed; } cases[] = {
      {"cash and check: the larger count",        "1212", "T", check5,      {"Cash Drawer", "Receipt", "Receipt"}},
      {"a charge with the drawer kept shut",      "1131", "F", charge,      {"Invoice", "Receipt", "Receipt", "Receipt"}},
      {"a charge that opens it",                  "1111", "T", charge,      {"Cash Drawer", "Invoice", "Receipt"}},
      {"cash with charges kept shut",             "1111", "F", cash,        {"Cash Drawer", "Receipt"}},
      {"no copies set for cash",                  "0000", "F", cash,        {"Cash Drawer"}},
      {"a void: its copies, no drawer, no pause", "1112", "T", "key Esc",   {"Receipt", "Receipt"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    printed.clear();
    NextSale();
    KVTSetSetting(CFG_RECEIPTPRINTER, "Receipts");
    KVTSetSetting(CFG_INVOICEPRINTER, "Office");
    KVTSetSetting(CFG_RECPTRTYPE, "EPSON");
    const std::string n = c.copies;
    KVTSetSetting(CFG_CASHCOPIES, n.substr(0, 1).c_str());
    KVTSetSetting(CFG_CHKCOPIES, n.substr(1, 1).c_str());
    KVTSetSetting(CFG_CHARGECOPIES, n.substr(2, 1).c_str());
    KVTSetSetting(CFG_VOIDCOPIES, n.substr(3, 1).c_str());
    KVTSetSetting(CFG_OPENCASHDRAWERCHARGESALES, c.chargeDrawer);
    // A void never pauses; a sale would.
    KVTSetSetting(CFG_PAUSEWHENSALECOMPLETE, std::string(c.steps) == "key Esc" ? "T" : "F");
    RingUp({"P2000"});
    Steps(c.steps);
    EXPECT_EQ(printed, c.printed);
    EXPECT_EQ(sale->TabWindow()->GetSelectedTab(), 0) << "the next sale";
    EXPECT_EQ(Messages(), Strings{});
  }
  KVTSetPrintCapture({});
  std::filesystem::remove("kvtlocal.ini");
}

// The expiry is kept for the card's charge, and not saved with the sale.
TEST_P(Payment, TheCardShowsItsLastFourWhileTheReceiptsPrintAndNothingAfter) {
  KVTSetSetting(CFG_PROMPTCCNUMBER, "T");
  KVTSetSetting(CFG_PROMPTCCEXPDATE, "T");
  KVTSetSetting(CFG_DEFAULTCCARDCUST, "CASH");
  Add("KVTFL25", {{"CODE", "VISA"}, {"LOCATION", ""}});
  KVTSetSetting(CFG_RECEIPTPRINTER, "Receipts");
  KVTSetSetting(CFG_CCARDCOPIES, "2");
  Strings stored;
  KVTSetPrintCapture([this, &stored](const KVTPrintJob&, std::string*) {
    stored.push_back(Saved("CCNUMBER"));
    return true;
  });
  RingUp({"P2000"});
  Steps(
      "key Down;key Down;key Enter;type 4000123412345678;key Enter;type 0626;key Enter;key Enter");
  KVTSetPrintCapture({});
  EXPECT_EQ(stored, Strings(2, "************5678\n"));
  EXPECT_EQ(Saved("CREDITAMT,CCNUMBER,CCEXPDATE"), "20.00|****************|\n");
  EXPECT_EQ(Pay()->szExpDate, std::string("06302026"));
  ExpectNoFailures();
}

TEST_P(Payment, ThePausedSaleShowsItsReceiptAndReprintsWithF9AndF10) {
  KVTSetSetting(CFG_PAUSEWHENSALECOMPLETE, "T");
  KVTSetSetting(CFG_ALLOWADDLRECEIPT, "T");
  KVTSetSetting(CFG_ALLOWPRINTINVOICE, "T");
  KVTSetSetting(CFG_RECEIPTPRINTER, "View Window");
  KVTSetSetting(CFG_INVOICEPRINTER, "View Window");
  KVTSetSetting(CFG_CASHCOPIES, "1");
  KVTClearPreviewedDocuments();
  RingUp({"P4217"});
  Steps("key Enter;type 50;key Enter");
  ASSERT_EQ(KVTPreviewedDocuments().size(), 1u);
  const std::string& receipt = KVTPreviewedDocuments()[0].text;
  for (const char* part : {"P4217", "42.17", "50.00", "7.83"})
    EXPECT_NE(receipt.find(part), std::string::npos) << part << "\n" << receipt;
  EXPECT_EQ(sale->TabWindow()->GetSelectedTab(), 1) << "paused";
  Steps("key F9;key F10;key Enter");
  EXPECT_EQ(PreviewTitles(), (Strings{"Receipt", "Receipt", "Invoice"}));
  EXPECT_EQ(sale->TabWindow()->GetSelectedTab(), 0);
  KVTClearPreviewedDocuments();
}

// Parked sales: F5 parks, F6 recalls through the recall screen, the
// close-out voids what is still parked.
TEST_P(Payment, AParkedSaleIsRecalledWithItsLinesAndPaidUnderItsLink) {
  Steps("key F6");  // nothing parked yet: said, and no row is saved
  EXPECT_EQ(Messages(), Strings{"No suspended sales exist."});
  EXPECT_EQ(sale->SaleGrid().GetRowCount(), 0);
  Steps("type P2000;key Enter;type T1000;key Enter;key F5;type P4217;key Enter;key F5");
  ASSERT_EQ(Saved("STATUS,INVCTOTAL"), "S|30.50\nS|42.17\n");
  EXPECT_EQ(sale->SaleGrid().GetRowCount(), 0);
  // Cancel leaves both parked and the sale empty.
  Steps("key F6;key Esc");
  EXPECT_EQ(sale->SaleGrid().GetRowCount(), 0);
  // The recall screen: the parked sales (the first is sale 100), then the
  // first one's lines.
  Strings sales, items;
  auto column0 = [](int grid, Strings* out) {
    return [grid, out] {
      if (auto* recall = dynamic_cast<PVspdsalesDlg*>(KVTForms::Instance().ActiveScreen()))
        for (int r = 0; r < recall->Grid(grid)->GetRowCount(); ++r)
          out->push_back(recall->Grid(grid)->GetCell(0, r));
    };
  };
  user.Key("F6").Do(column0(PVspdsalesDlg::IDC_TRANSTBL, &sales));
  user.ClickRow(PVspdsalesDlg::IDC_TRANSTBL, 0).Do(column0(PVspdsalesDlg::IDC_ITEMTBL, &items));
  user.Click("OK");
  user.Run();
  ASSERT_EQ(sales.size(), 2u);
  EXPECT_EQ(sales[0], "100");
  EXPECT_EQ(items.size(), 2u);
  ASSERT_EQ(sale->SaleGrid().GetRowCount(), 2);
  EXPECT_EQ(sale->SaleGrid().GetCell(COL_REF, 0), "P2000");
  RingUp({});
  Steps("key Enter;type 40;key Enter");
  EXPECT_EQ(Saved("STATUS,INVCTOTAL,CASHAMT"), "C|30.50|40.00\nS|42.17|\n");
  ExpectNoFailures();
}

TEST_P(Payment, TheCloseOutVoidsTheParkedSalesAfterOneQuestion) {
  KVTSetSetting(CFG_RECEIPTPRINTER, "View Window");
  KVTSetSetting(CFG_PRINTCLOSEOUT, "F");
  Steps("type P2000;key Enter;key F5;type P4217;key Enter;key F5");
  ASSERT_EQ(db().Count("KVTPOS1", "STATUS = 'S'"), 2);
  // Declined: nothing voided, the till stays open.
  Steps("answer Yes;answer No;key F3");
  EXPECT_EQ(db().Count("KVTPOS1", "STATUS = 'S'"), 2);
  KVTClearPreviewedDocuments();
  user.Reset();
  Steps("answer Yes;answer Yes;key F3");
  EXPECT_EQ(Messages(), (Strings{"Closing Out Till - Are you sure?",
                                 "There are suspended sales\ncontinuing will void all sales!\n\nDo "
                                 "you wish to continue?"}));
  EXPECT_EQ(Saved("TRANSTYPE,STATUS,INVCTOTAL"), "S|V|0.00\nS|V|0.00\n");
  EXPECT_EQ(PreviewTitles(), (Strings{"Receipt", "Receipt"}));
  KVTClearPreviewedDocuments();
  ExpectNoFailures();
}

TEST_P(Payment, F4OnAnEmptySaleOpensTheDailySalesView) {
  PVviewdsDlg::FormDecl();  // links the view into this test
  Steps("key F4");
  EXPECT_NE(dynamic_cast<PVviewdsDlg*>(KVTForms::Instance().ActiveScreen()), nullptr);
  ExpectNoFailures();
}

// The customer who signs: the pad (the managed-window loader's stand-in)
// takes the mark and keeps it beside the sale before the receipts print.
TEST_P(Payment, ACustomerWhoSignsLeavesTheMarkBesideTheSale) {
  std::filesystem::remove_all("POSSign");
  ASSERT_TRUE(kvt::sql::Run("UPDATE KVTAR51 SET CFGSIGN = 'T' WHERE REFERENCE = '1001'", {}).ok());
  std::string title;
  Steps(
      "type P2000;key Enter;key F10;key Down;key Down;key Down;key Down;key Enter;type 1001;"
      "key Enter;key Enter",
      false);
  user.Do([&title] {
    if (KVTScreen* pad = KVTForms::Instance().ActiveScreen()) title = pad->Caption();
  });
  user.Click("Accept");  // unsigned: refused
  user.Type("A. Miller").Click("Accept");
  user.Run();
  EXPECT_EQ(title, "Kovatel Point of Sale Signature Pad");
  EXPECT_EQ(Messages(), Strings{"A signature is required."});
  const Strings sold = db().Rows("SELECT INVOICELNK, INVOICENUM FROM KVTPOS1")[0];
  EXPECT_EQ(kvt::test::Slurp("POSSign/" + sold[0] + ".sig"),
            sold[0] + "," + sold[1] + ",MAIN,1\nA. Miller\n");
  // A cash customer does not sign.
  RingUp({"P2000"});
  Steps("key Enter;type 20;key Enter");
  EXPECT_EQ(db().Count("KVTPOS1"), 2);
  EXPECT_EQ(Messages(), Strings{"A signature is required."});
  ExpectNoFailures();
  std::filesystem::remove_all("POSSign");
}

KVT_ON_BOTH_BACKENDS(Payment);

}  // namespace
