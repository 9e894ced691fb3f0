// The documents on paper: through a CUPS scheduler of the test's own
// (scripts/cups.sh) whose queues print into folders, the receipt printer gets
// control codes with the cut and the drawer kick, the office printer a PDF
// invoice; and PDF pages made without a display (CTest names a platform
// that cannot start) keep every line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/forms/headless/headless.h"
#include "platform/win/printer.h"
#include "platform/win/profile.h"
#include "suite/kvtposr/kvtposr.h"
#include "suite/kvtposr/pdf/pdf.h"
#include "tests/support/run.h"
#include "tests/support/testdb.h"

namespace {

namespace fs = std::filesystem;
using Strings = std::vector<std::string>;

std::string g_cups;  // the scheduler's folder

std::string PdfText(const std::string& pdf, const char* reader = "pdftotext -layout page.pdf -") {
  std::ofstream("page.pdf", std::ios::binary) << pdf;
  return kvt::test::RunCommand(reader).out;
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ReportPdf, EveryLineIsOnThePagesInAFontThatFitsIt) {
  std::string wide = "Sold to: Dale Ostrander (C100)" + std::string(90, '.') + "END", many;
  for (int i = 1; i <= 150; ++i) many += "Line " + std::to_string(i) + "\n";
  // clang-format off
  struct Case { std::string text, pages; Strings read; } cases[] = {
      {wide + "\n", "1", {wide}}, {many, "3", {"Line 1\n", "Line 150"}}};
  // clang-format on
  for (const Case& c : cases) {
    std::string pdf, error;
    ASSERT_TRUE(kvt::posr::PdfDocument("Invoice", c.text, &pdf, &error)) << error;
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    for (const std::string& part : c.read) EXPECT_TRUE(Has(PdfText(pdf), part)) << part;
    EXPECT_TRUE(Has(PdfText(pdf, "pdfinfo page.pdf"), "Pages:           " + c.pages)) << c.pages;
  }
  EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");  // amounts keep their decimal point
}

// The documents the queue's printer received, in job order, once `count`
// are there; at most 30 s, so a scheduler that does not print fails the test.
Strings Arrived(const std::string& queue, std::size_t count) {
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  std::set<fs::path> jobs;  // named job-000009, so in job order
  while (jobs.size() < count && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    jobs.clear();
    for (const auto& f : fs::directory_iterator(fs::path(g_cups) / "jobs" / queue))
      if (f.path().filename().string()[0] != '.') jobs.insert(f.path());
  }
  Strings out;
  for (const fs::path& job : jobs)
    out.emplace_back(std::istreambuf_iterator<char>(std::ifstream(job).rdbuf()),
                     std::istreambuf_iterator<char>());
  return out;
}

KVT_PRINTER_SELECT To(const char* queue, int textMode) {
  KVT_PRINTER_SELECT p = KVTNewPrinterSelect();
  std::snprintf(p.destination, sizeof p.destination, "%s", queue);
  return p.text_mode = static_cast<std::int16_t>(textMode), p;
}

class CupsPrinting : public kvt::test::DatabaseTest {
 public:
  static void SetUpTestSuite() {
    g_cups = "/tmp/kvtcups-" + std::to_string(::getpid());
    auto [status, socket] = kvt::test::RunCommand(KVT_SOURCE_DIR "/scripts/cups.sh start " +
                                                  g_cups + " KvtReceipts KvtOffice");
    socket.erase(socket.find_last_not_of('\n') + 1);
    if (status == 0) ::setenv("CUPS_SERVER", socket.c_str(), 1);
  }
  static void TearDownTestSuite() {
    kvt::test::RunCommand(KVT_SOURCE_DIR "/scripts/cups.sh stop " + g_cups);
  }

 protected:
  void SetUp() override {
    ASSERT_TRUE(std::getenv("CUPS_SERVER")) << "the private CUPS scheduler did not start";
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    for (const char* q : {"KvtReceipts", "KvtOffice"})
      for (const auto& f : fs::directory_iterator(fs::path(g_cups) / "jobs" / q))
        fs::remove(f.path());
    WritePrivateProfileString("Point of Sale", "ReceiptPrinterType", "EPSON", "kvtlocal.ini");
    user.Install();
    // clang-format off
    const std::pair<const char*, kvt::schema::Row> rows[] = {
        {"KVTCOM13", {{"REFERENCE", "MAIN"}}},
        {"KVTAR50", {{"REFERENCE", "C100"}, {"NAME", "Dale Ostrander"}}},
        {"KVTPOS1", {{"INVOICELNK", "L1"}, {"INVOICENUM", "1001"}, {"STORE", "MAIN"}, {"CUSTREF", "C100"}, {"INVCTOTAL", "39.50"}}},
        {"KVTPOS2", {{"INVOICELNK", "L1"}, {"DESCR", "Gate hinges"}, {"QTYORDERED", "2"}, {"PRICE", "19.75"}, {"ENTRYTOTAL", "39.50"}}},
    };
    // clang-format on
    for (const auto& [table, row] : rows) ASSERT_TRUE(db().Add(table, row)) << db().error();
    SetReceiptVars(nullptr, "L1", "1", "F", "0");
    SetInvoiceVars(nullptr, "L1", "1", "F", "0");
  }
  KVTHeadlessBackend user;
};

TEST_P(CupsPrinting, ReceiptDrawerAndInvoiceArriveAsSent) {
  KVT_PRINTER_SELECT receipts = To("KvtReceipts", 1), office = To("KvtOffice", 0);
  EXPECT_EQ(PrintReceipttoPrinter(nullptr, "", 0, 0, &receipts), 1);
  EXPECT_EQ(OpenTillDrawer(nullptr, "", 0, 0, &receipts), 1);
  EXPECT_EQ(PrintInvoicetoPrinter(nullptr, "", 0, 0, &office), 1);
  EXPECT_TRUE(user.Messages().empty()) << user.Messages()[0].text;

  Strings slips = Arrived("KvtReceipts", 2), pages = Arrived("KvtOffice", 1);
  ASSERT_EQ(slips.size(), 2u);
  EXPECT_EQ(slips[0].rfind("\x1B@", 0), 0u);  // initialised
  for (const char* part : {"Gate hinges", "2 @ 19.75", "39.50\r\n", "\x1DV\x42"})
    EXPECT_TRUE(Has(slips[0], part)) << part << "\n" << slips[0];
  EXPECT_EQ(slips[1], std::string("\x1Bp\x00\x19\xFA", 5));  // EPSON's drawer kick
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_EQ(pages[0].rfind("%PDF-", 0), 0u);
  for (const char* part : {"INVOICE", "No. 1001", "Sold to: Dale Ostrander (C100)", "39.50"})
    EXPECT_TRUE(Has(PdfText(pages[0]), part)) << part;
}

KVT_ON_BOTH_BACKENDS(CupsPrinting);

}  // namespace
