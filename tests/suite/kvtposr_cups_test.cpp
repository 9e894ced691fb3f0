// The report module's documents through a real CUPS scheduler (a private one
// that CTest starts, scripts/cups.sh; CUPS_SERVER and KVT_CUPS_JOBS point at
// it): each queue's printer is a folder, so what arrives is what the till
// sent. A receipt printer gets the receipt as control codes with its cut and
// the drawer kick, the office printer the invoice as a PDF with the customer
// and the total in it, and a queue that is not there is told once.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "platform/win/printer.h"
#include "platform/win/profile.h"
#include "suite/kvtposr/kvtposr.h"
#include "tests/support/testdb.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream all;
  all << in.rdbuf();
  return all.str();
}

// The documents the queue's printer received, in job order; waits until
// `count` are there (at most 30 s: a scheduler that does not print fails
// the test rather than hanging it).
Strings Arrived(const std::string& queue, std::size_t count) {
  fs::path folder = fs::path(std::getenv("KVT_CUPS_JOBS")) / queue;
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  std::vector<std::pair<long, fs::path>> jobs;
  do {
    jobs.clear();
    for (const auto& f : fs::directory_iterator(folder))
      if (f.path().filename().string().rfind("job-", 0) == 0)
        jobs.push_back({std::stol(f.path().filename().string().substr(4)), f.path()});
    if (jobs.size() >= count) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  } while (std::chrono::steady_clock::now() < until);
  std::sort(jobs.begin(), jobs.end());
  Strings out;
  for (const auto& [id, path] : jobs) out.push_back(Slurp(path));
  return out;
}

std::string PdfText(const std::string& pdf) {
  std::ofstream("invoice.pdf", std::ios::binary) << pdf;
  std::string out;
  if (FILE* p = ::popen("pdftotext -layout invoice.pdf -", "r")) {
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
  }
  return out;
}

KVT_PRINTER_SELECT To(const char* queue, int textMode) {
  KVT_PRINTER_SELECT p = KVTNewPrinterSelect();
  std::strncpy(p.destination, queue, sizeof p.destination - 1);
  p.text_mode = static_cast<std::int16_t>(textMode);
  return p;
}

class CupsPrinting : public kvt::test::DatabaseTest {
 protected:
  void SetUp() override {
    ASSERT_NE(std::getenv("CUPS_SERVER"), nullptr) << "run through CTest (its cupsd fixture)";
    ASSERT_NE(std::getenv("KVT_CUPS_JOBS"), nullptr);
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* q : {"KvtReceipts", "KvtOffice"})
      for (const auto& f : fs::directory_iterator(fs::path(std::getenv("KVT_CUPS_JOBS")) / q))
        fs::remove(f.path());
    fs::remove("kvtlocal.ini");
    WritePrivateProfileString("Point of Sale", "ReceiptPrinterType", "EPSON", "kvtlocal.ini");
    user.Install();
    auto add = [&](const std::string& table, const kvt::schema::Row& row) {
      ASSERT_TRUE(db().Add(table, row)) << db().error();
    };
    add("KVTCOM13", {{"REFERENCE", "MAIN"}, {"NAME", "Prairie Farm Supply"}, {"CITY", "Sterling"}});
    add("KVTAR50", {{"REFERENCE", "C100"}, {"NAME", "Dale Ostrander"}});
    add("KVTPOS1", {{"INVOICELNK", "L1"},
                    {"INVOICENUM", "1001"},
                    {"STORE", "MAIN"},
                    {"INVDATE", "12/05/2025"},
                    {"TRANSTYPE", "S"},
                    {"STATUS", "C"},
                    {"CUSTREF", "C100"},
                    {"INVCTOTAL", "39.50"},
                    {"CASHAMT", "39.50"}});
    add("KVTPOS2", {{"INVOICELNK", "L1"},
                    {"INVREF", "20"},
                    {"DESCR", "Gate hinges"},
                    {"QTYORDERED", "2"},
                    {"PRICE", "19.75"},
                    {"ENTRYTOTAL", "39.50"}});
  }
  KVTHeadlessBackend user;
};

TEST_P(CupsPrinting, ReceiptDrawerAndInvoiceArriveAsSent) {
  KVT_PRINTER_SELECT receipts = To("KvtReceipts", 1), office = To("KvtOffice", 0);
  SetReceiptVars(nullptr, "L1", "1", "F", "0");
  SetInvoiceVars(nullptr, "L1", "1", "F", "0");
  EXPECT_EQ(PrintReceipttoPrinter(nullptr, "", 0, 0, &receipts), 1);
  EXPECT_EQ(OpenTillDrawer(nullptr, "", 0, 0, &receipts), 1);
  EXPECT_EQ(PrintInvoicetoPrinter(nullptr, "", 0, 0, &office), 1);
  EXPECT_TRUE(user.Messages().empty()) << user.Messages()[0].text;

  Strings slips = Arrived("KvtReceipts", 2);
  ASSERT_EQ(slips.size(), 2u);
  EXPECT_EQ(slips[0].rfind("\x1B@", 0), 0u);  // initialised
  for (const char* part : {"Gate hinges", "2 @ 19.75", "39.50\r\n", "\x1DV\x42"})
    EXPECT_NE(slips[0].find(part), std::string::npos) << part << "\n" << slips[0];
  EXPECT_EQ(slips[1], std::string("\x1Bp\x00\x19\xFA", 5));  // EPSON's drawer kick

  Strings pages = Arrived("KvtOffice", 1);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].rfind("%PDF-", 0), 0u);
  std::string text = PdfText(pages[0]);
  for (const char* part : {"INVOICE", "No. 1001", "Sold to: Dale Ostrander (C100)", "39.50"})
    EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
}

TEST_P(CupsPrinting, AQueueThatIsNotThereIsToldOnce) {
  KVT_PRINTER_SELECT missing = To("KvtNoSuchQueue", 0);
  SetInvoiceVars(nullptr, "L1", "1", "F", "0");
  EXPECT_EQ(PrintInvoicetoPrinter(nullptr, "", 0, 0, &missing), 0);
  ASSERT_EQ(user.Messages().size(), 1u);
  EXPECT_EQ(user.Messages()[0].text.rfind("Unable to print to KvtNoSuchQueue:\n", 0), 0u)
      << user.Messages()[0].text;
  EXPECT_EQ(user.Messages()[0].caption, "Kovatel Software");
}

KVT_ON_BOTH_BACKENDS(CupsPrinting);

}  // namespace
