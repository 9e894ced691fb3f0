// Receipts, invoices and reports: the printer selection record byte for
// byte, which document each setting prints where, the report call's three
// failures, the printer settings of this computer, and the report module
// stand-in's documents reaching the preview window or a printer.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "payment/pos1e.h"
#include "platform/forms/preview.h"
#include "platform/win/printer.h"
#include "platform/win/profile.h"
#include "shell/posmisc.h"
#include "shell/printvars.h"
#include "tests/support/till.h"

// The tender tables name only the amounts a sale used.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using kvt::reports::ChoosePrinter;
using Strings = std::vector<std::string>;

TEST(PrinterSelect, TheRecordIsLaidOutByteForByte) {
#define KVT_AT(field, at) \
  std::pair<std::size_t, std::size_t>(offsetof(KVT_PRINTER_SELECT, field), at)
  for (auto [offset, expected] : {KVT_AT(collate, 6), KVT_AT(spool, 8), KVT_AT(orientation, 10),
                                  KVT_AT(style, 14), KVT_AT(iuser1, 273), KVT_AT(iuser2, 277),
                                  KVT_AT(user1, 281), KVT_AT(user2, 381), KVT_AT(format, 481)})
    EXPECT_EQ(offset, expected);
#undef KVT_AT

  kvt::reports::ReportPrinter p = ChoosePrinter("Receipts", 1, "T");
  unsigned char bytes[591];
  std::memcpy(bytes, &p.select, sizeof bytes);
  std::vector<unsigned char> expected(591, 0);
  expected[0] = 1;   // version
  expected[2] = 6;   // lines per inch
  expected[4] = 1;   // copies
  expected[12] = 1;  // text mode
  std::memcpy(&expected[18], "Receipts", 8);
  EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 591), expected);
  EXPECT_EQ(p.printerText, "");
}

TEST(PrinterSelect, APreviewUnlessThePrinterIsNamedAndChosen) {
  // clang-format off
  struct Case { const char* printer; int mode; const char *toPrinter, *text, *destination; int textMode; } cases[] = {
      {"Receipts", 1, "T", "", "Receipts", 1},
      {"Receipts", 1, "F", "View Window", "View Window", 0},  // the close-out not to the printer
      {"Receipts", 1, "", "View Window", "View Window", 0},
      {"View Window", 0, "T", "View Window", "View Window", 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    kvt::reports::ReportPrinter p = ChoosePrinter(c.printer, c.mode, c.toPrinter);
    EXPECT_EQ(p.printerText, c.text) << c.printer << " " << c.toPrinter;
    EXPECT_STREQ(p.select.destination, c.destination) << c.printer << " " << c.toPrinter;
    EXPECT_EQ(p.select.text_mode, c.textMode) << c.printer << " " << c.toPrinter;
  }
}

TEST(Receipts, CopiesFollowTheLargestSettingOfTheTendersUsed) {
  using kvt::reports::ReceiptCopies;
  using kvt::reports::SaleTenders;
  KVTResetModuleState();
  KVTSetSetting(CFG_CASHCOPIES, "1");
  KVTSetSetting(CFG_CHKCOPIES, "2");
  KVTSetSetting(CFG_CHARGECOPIES, "3");
  KVTSetSetting(CFG_POACOPIES, "0");
  KVTSetSetting(CFG_VOIDCOPIES, "4");
  // clang-format off
  struct Case { const char* name; SaleTenders tenders; int copies; } cases[] = {
      {"cash and check",                 {.cashAmt = "10.00", .checkAmt = "5.00"}, 2},
      {"charge",                         {.chargeAmt = "20.00"}, 3},
      {"a zero amount is no tender",     {.chargeAmt = "0.00"}, 1},
      {"payment on account of 0 copies", {.onAccount = {"", "50.00"}}, 0},
      {"financing at least one",         {.financing = true}, 1},
      {"void",                           {.isVoid = true, .chargeAmt = "20.00"}, 4},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(ReceiptCopies(c.tenders), c.copies) << c.name;
  KVTResetModuleState();
}

// A sale screen in a host whose module folder has the report module; the
// documents previewed and the print jobs are captured.
class Printing : public kvt::test::TillTest {
 protected:
  void SetUp() override {
    TillTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::filesystem::remove("kvtlocal.ini");
    KVTClearPreviewedDocuments();
    KVTSetPrintCapture([this](const KVTPrintJob& job, std::string*) {
      jobs.push_back(job);
      return true;
    });
    Add(
        {"KVTCOM13 REFERENCE=MAIN NAME='Prairie Farm Supply' ADDRESS1='1400 Railroad Ave' "
         "CITY=Sterling STATE=KS ZIPCODE=67579",
         "KVTAR50 REFERENCE=C100 NAME='Dale Ostrander' ADDRESS1='RR 2 Box 14' CITY=Nickerson "
         "STATE=KS"});
    AddSale("L1", "1001", "S", {{"CASHAMT", "30.00"}, {"CHANGE", "2.50"}, {"CHECKAMT", "12.00"}});
    AddSale("L2", "1002", "P", {{"CASHPAY", "50.00"}});  // a payment on account by cash
    Add(
        {"KVTPOS2 INVOICELNK=L1 INVREF=20 DESCR='Gate hinges' QTYORDERED=2 PRICE=12.50 "
         "ENTRYTOTAL=25.00 RECNO=1",
         "KVTPOS2 INVOICELNK=L1 INVREF=AU0001 DESCR='Bolt bin' QTYORDERED=1 PRICE=13.50 "
         "ENTRYTOTAL=13.50 RECNO=2",
         "KVTPOS3 INVOICELNK=L1 TAXCODE=KS TAXAMT=1.00 RECNO=1"});
    screen = std::make_unique<PVpos1Dlg>(host->MainWindow());
    ASSERT_TRUE(screen->Create());
  }
  void TearDown() override {
    screen.reset();
    KVTSetPrintCapture({});
    KVTClearPreviewedDocuments();
    TillTest::TearDown();
  }
  void AddSale(const std::string& link, const std::string& number, const std::string& type,
               kvt::schema::Row amounts) {
    kvt::schema::Row row =
        kvt::test::ParseRow(
            "KVTPOS1 INVOICELNK=" + link + " INVOICENUM=" + number + " TRANSTYPE=" + type +
            " STORE=MAIN INVDATE=12/05/2025 TILLREF=1 SHIFT=1 SLSMAN=100 STATUS=C CUSTREF=C100 "
            "TAXAMT=1.00 INVCTOTAL=39.50 RECNO=" +
            std::to_string(nextRecno++))
            .second;
    for (const auto& a : amounts) row.push_back(a);
    Add("KVTPOS1", row);
  }
  Strings Previewed() const {
    Strings out;
    for (const KVTPreviewDocument& d : KVTPreviewedDocuments()) out.push_back(d.title);
    return out;
  }
  void Printers(const char* receipt, const char* invoice, const char* recToInv = "F",
                const char* payToInv = "F") {
    KVTSetSetting(CFG_RECEIPTPRINTER, receipt);
    KVTSetSetting(CFG_INVOICEPRINTER, invoice);
    KVTSetSetting(CFG_RECTOINVPTR, recToInv);
    KVTSetSetting(CFG_PAYTOINVPTR, payToInv);
  }
  void Reset() {
    user.Reset();
    jobs.clear();
    KVTClearPreviewedDocuments();
  }

  std::unique_ptr<PVpos1Dlg> screen;
  std::vector<KVTPrintJob> jobs;
  int nextRecno = 10;
};

TEST_P(Printing, EachSettingPrintsItsDocumentWhereItSays) {
  // clang-format off
  struct Case { const char *name, *receipt, *invoice, *recToInv, *payToInv, *link; Strings previewed; } cases[] = {
      {"a receipt previewed",                         "View Window", "None",        "F", "F", "L1", {"Receipt"}},
      {"every receipt an invoice",                    "View Window", "View Window", "T", "F", "L1", {"Invoice"}},
      {"an invoice printer of None",                  "View Window", "None",        "T", "F", "L1", {}},
      {"a payment on account to the invoice printer", "View Window", "View Window", "F", "T", "L2", {"Invoice"}},
      {"a sale without one stays a receipt",          "View Window", "View Window", "F", "T", "L1", {"Receipt"}},
      {"payments on account on receipts",             "View Window", "View Window", "F", "F", "L2", {"Receipt"}},
      {"no receipt printer",                          "None",        "View Window", "F", "F", "L1", {}},
      {"a payment on account needs no receipt printer", "None",      "View Window", "F", "T", "L2", {"Invoice"}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Reset();
    Printers(c.receipt, c.invoice, c.recToInv, c.payToInv);
    screen->PrintCustomerReceipt(c.link, 0);
    EXPECT_EQ(Previewed(), c.previewed) << c.name;
    EXPECT_TRUE(jobs.empty()) << c.name;
    EXPECT_TRUE(Messages().empty()) << c.name;
  }
}

TEST_P(Printing, TheReceiptAndInvoiceAreRealDocuments) {
  Printers("View Window", "View Window");
  KVTSetSetting(CFG_DISPLAYTAXDETAIL, "T");
  screen->PrintCustomerReceipt("L1");
  screen->PrintInvoice("L1");
  ASSERT_EQ(KVTPreviewedDocuments().size(), 2u);
  const std::string& receipt = KVTPreviewedDocuments()[0].text;
  for (const char* part : {"Prairie Farm Supply", "Sale 1001", "Gate hinges", "2 @ 12.50",
                           "Bolt bin", "Tax KS", "39.50", "Cash", "Change", "Dale Ostrander"})
    EXPECT_NE(receipt.find(part), std::string::npos) << part << "\n" << receipt;
  const std::string& invoice = KVTPreviewedDocuments()[1].text;
  for (const char* part : {"INVOICE", "No. 1001", "1400 Railroad Ave", "Sterling, KS 67579",
                           "Sold to: Dale Ostrander (C100)", "RR 2 Box 14", "AU0001"})
    EXPECT_NE(invoice.find(part), std::string::npos) << part << "\n" << invoice;
}

TEST_P(Printing, APrinterNameSendsTheJobToThatQueue) {
  WritePrivateProfileString("Point of Sale", "ReceiptPrinterType", "EPSON", "kvtlocal.ini");
  Printers("Receipts", "Office");
  KVTSetSetting(CFG_RECPTRTYPE, "EPSON");
  CFG_RECEIPTPRINTERTEXTMODE = 1;
  screen->PrintCustomerReceipt("L1");
  screen->PrintInvoice("L1");
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0].printer, "Receipts");
  EXPECT_EQ(jobs[0].format, "application/vnd.cups-raw");  // what is in it: kvtposr_print_test
  EXPECT_NE(jobs[0].data.find("Gate hinges"), std::string::npos);
  EXPECT_EQ(jobs[1].printer, "Office");
  EXPECT_EQ(jobs[1].format, "application/pdf");  // a page, not control codes
  EXPECT_TRUE(Previewed().empty());

  // The drawer through the receipt printer: its codes as a job of their own.
  WritePrivateProfileString("Point of Sale", "CodesToOpenTillDrawer", "22 112 00 50 250",
                            "kvtlocal.ini");
  screen->OpenTillDrawer();
  ASSERT_EQ(jobs.size(), 3u);
  EXPECT_EQ(jobs[2].data, std::string("\x16\x70\x00\x32\xFA", 5));
  EXPECT_TRUE(Messages().empty());
}

TEST_P(Printing, TheCheckIsValidatedOnTheFirstCopyOnly) {
  Printers("View Window", "None");
  KVTSetSetting(CFG_VALIDATECHECKS, "T");
  screen->CheckPymt = 1;
  screen->PrintCustomerReceipt("L1", 0);
  screen->PrintCustomerReceipt("L1", 1);
  EXPECT_EQ(Messages(), Strings{"Insert check in printer to validate."});
  EXPECT_EQ(Previewed(), (Strings{"Receipt", "Check Validation", "Receipt"}));
  EXPECT_NE(KVTPreviewedDocuments()[1].text.find("$12.00"), std::string::npos);
  EXPECT_EQ(screen->CheckPymt, 0);
}

TEST_P(Printing, TheCloseOutPreviewsUnlessItGoesToThePrinter) {
  Printers("Receipts", "None");
  KVTSetSetting(CFG_PRINTCLOSEOUT, "T");
  KVTSetSetting(CFG_CLOSEOUTFORM, "2");
  KVTSetSetting(CFG_CLOSEOUTTOPRINTER, "F");
  screen->PrintCloseOut("MAIN", "12052025", "1", "100", "1", 0);
  ASSERT_EQ(Previewed(), Strings{"Till Close-Out"});
  const std::string& text = KVTPreviewedDocuments()[0].text;
  EXPECT_NE(text.find("Cash (1)"), std::string::npos) << text;
  EXPECT_NE(text.find("Cash counted"), std::string::npos) << text;  // layout 2: blank lines too
  EXPECT_TRUE(jobs.empty());

  Reset();
  KVTSetSetting(CFG_CLOSEOUTTOPRINTER, "T");
  KVTSetSetting(CFG_TILLREFATCLOSEOUT, "T");
  screen->PrintCloseOut("MAIN", "12052025", "1", "100", "1", 0);
  ASSERT_EQ(jobs.size(), 1u);  // the totals by till stay a preview without "T"
  EXPECT_EQ(jobs[0].title, "Till Close-Out");
  EXPECT_EQ(Previewed(), Strings{"Totals by Till"});

  Reset();
  KVTSetSetting(CFG_RECEIPTPRINTER, "None");
  screen->PrintCloseOut("MAIN", "12052025", "1", "100", "1", 0);
  screen->PrintClosedReport("MAIN", "12052025", "1", "1");
  EXPECT_TRUE(jobs.empty());
  EXPECT_TRUE(Previewed().empty());
}

TEST_P(Printing, TheTillReportAloneIsTheTillsTotals) {
  Printers("View Window", "None");
  KVTSetSetting(CFG_PRINTCLOSEOUT, "T");
  KVTSetSetting(CFG_TILLREFATCLOSEOUT, "T");
  KVTSetSetting(CFG_CLOSEOUTFORM, "1");
  for (auto [id, value] : {std::pair{IDC_STORE, "MAIN"},
                           {IDC_SHIFTDATE, "12052025"},
                           {IDC_TILLREF, "1"},
                           {IDC_SHIFT, "1"},
                           {IDC_EMPLOYEE, "100"}})
    screen->SetFieldVar(id, value);
  screen->DoScrToApp();
  user.AddAnswer(IDYES);  // "Till Report Only?"
  screen->CloseOutTill();
  EXPECT_EQ(Messages(), Strings{"Till Report Only?"});
  ASSERT_EQ(Previewed(), (Strings{"Till Close-Out", "Totals by Till"}));
  EXPECT_NE(KVTPreviewedDocuments()[0].text.find("TILL TOTALS"), std::string::npos);
  EXPECT_NE(KVTPreviewedDocuments()[0].text.find("Cash (1)"), std::string::npos)
      << KVTPreviewedDocuments()[0].text;
}

// The report module is looked up each time in the host's module folder.
TEST_P(Printing, AMissingReportIsToldOnceAndNothingElseHappens) {
  namespace fs = std::filesystem;
  const std::string bin = GetModuleDirectory(),
                    notInstalled =
                        "KVTPOSR.DLL is not currently installed. Please install DLL and retry.";
  for (const char* folder : {"none", "broken", "other"}) fs::create_directories(folder);
  std::ofstream("broken/libkvtposr.so") << "not a library";
  fs::remove("other/libkvtposr.so");
  fs::create_symlink(bin + "/libkvtjd.so", "other/libkvtposr.so");
  // The folder (no report module, a file that is no library, another library), the report
  // call's message, SetAutoReceiptVar's (captioned PROGRAM_NAME).
  // clang-format off
  struct Case { const char* folder; std::string message, varsMessage; } cases[] = {
      {"none", notInstalled, notInstalled},
      {"broken", "Unable to load DLL (KVTPOSR.DLL)", notInstalled},
      {"other", "Unable to find report (PrintReceipttoPrinter) in KVTPOSR.DLL", "Unable to find function SetReceiptVars."},
  };
  // clang-format on
  for (const Case& c : cases) {
    Reset();
    screen.reset();
    host = std::make_unique<KVTHost>(fs::absolute(c.folder).string());
    screen = std::make_unique<PVpos1Dlg>(host->MainWindow());
    ASSERT_TRUE(screen->Create());
    EXPECT_FALSE(kvt::reports::CallReport(screen->Handle(), "PrintReceipttoPrinter",
                                          ChoosePrinter("View Window", 0, "T")));
    ASSERT_EQ(Messages(), Strings{c.message}) << c.folder;
    EXPECT_EQ(user.Messages()[0].caption, "Kovatel Software");
    user.Reset();
    SetAutoReceiptVar(screen->Handle(), "L1", "1", "F", "0");
    ASSERT_EQ(Messages(), Strings{c.varsMessage}) << c.folder;
    EXPECT_EQ(user.Messages()[0].caption, "Point of Sale");
    EXPECT_TRUE(Previewed().empty());
  }
  SetModuleDirectory(bin);
}

TEST_P(Printing, ThisComputersPrintersAreReadWithTheirDefaults) {
  // receipt, invoice, receipts to the invoice printer, payments too, invoice layout
  auto read = [] {
    return std::string(CFG_RECEIPTPRINTER) + "|" + CFG_INVOICEPRINTER + "|" + CFG_RECTOINVPTR +
           "|" + CFG_PAYTOINVPTR + "|" + CFG_INVOICEFORM;
  };
  Add("KVTPOS10", {{"RECNO", "1"}, {"RECFORM", "1"}, {"INVFORM", "5"}, {"DISPDTL", "T"}});
  Add("KVTPTR1", {{"PDRIVER", "Receipts"}, {"PCODES", "27 64"}, {"RECNO", "1"}});
  ASSERT_TRUE(GetPrintInfo("", "", ""));
  EXPECT_EQ(read(), "None|None|F|F|5");

  WritePrivateProfileString("Point of Sale", "ReceiptPrinter", "Receipts", "kvtlocal.ini");
  WritePrivateProfileString("Point of Sale", "InvoicePrinter", "Office", "kvtlocal.ini");
  WritePrivateProfileString("Point of Sale", "RecToInvPtr", "T", "kvtlocal.ini");
  ASSERT_TRUE(GetPrintInfo("", "", ""));
  EXPECT_EQ(read(), "Receipts|Office|T|F|5");
  EXPECT_EQ(CFG_RECEIPTPRINTERTEXTMODE, 1);
  EXPECT_EQ(CFG_INVOICEPRINTERTEXTMODE, 0);
  EXPECT_TRUE(HasPrinterCodes("Receipts"));
  EXPECT_FALSE(HasPrinterCodes("Office"));
}

KVT_ON_BOTH_BACKENDS(Printing);

}  // namespace
