// The report module's documents: the receipt's 40 columns, the close-out
// layouts and the drawer kick codes (the receipt printer's bytes: kvtposr_print_test).
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/base/textwidth.h"
#include "suite/kvtposr/documents.h"

namespace {

using namespace kvt::posr;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ReportDocuments, AReceiptKeepsToFortyColumns) {
  Address store;
  store.name = "Prairie Farm Supply and Feed Cooperative of Sterling";
  store.address1 = "1400 Railroad Ave";
  Sale sale;
  sale.number = "1001";
  sale.date = "12/05/2025";
  sale.transType = "S";
  sale.lines = {{"AU0001", "Hydraulic oil, five gallon drum éé universal tractor fluid", "4",
                 "118.12", "472.47"},
                {"BR0001", "Beer", "1", "9.99", "VOID"}};
  sale.tax = 50.09;
  sale.total = 608.75;
  sale.tenders = {{"Cash", 610}};
  sale.change = 1.25;
  std::string text = ReceiptText(store, sale, {});
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) EXPECT_LE(KVTCharCount(line), 40u) << line;
  // The amount is kept, the description cut between characters, the columns
  // counted in characters.
  for (const char* part :
       {"\nHydraulic oil, five gallon drum é 472.47\n", "  4 @ 118.12\n", "608.75", "Change"})
    EXPECT_TRUE(Has(text, part)) << part << "\n" << text;
  EXPECT_FALSE(Has(text, "1 @ 9.99")) << text;  // no quantity line for a voided line

  DocumentOptions brief;
  brief.full = false;  // layout "2": no address, no clerk or customer
  std::string short_ = ReceiptText(store, sale, brief);
  EXPECT_FALSE(Has(short_, "1400 Railroad Ave"));
  EXPECT_TRUE(Has(text, "1400 Railroad Ave"));
}

TEST(ReportDocuments, CloseOutLayoutsShowMoneyBlankLinesOrBoth) {
  ShiftTotals t;
  t.store = "MAIN";
  t.till = "1";
  t.shift = "1";
  t.tenders = {{"Cash", {3, 120.5}}, {"Check", {1, 40}}};
  t.total = 160.5;
  // clang-format off
  struct Case { int layout; bool money, blanks; } cases[] = {{1, true, false}, {2, true, true}, {3, false, true}, {0, true, false}};
  // clang-format on
  for (Case c : cases) {
    std::string text = CloseOutText(Address{}, t, c.layout, false);
    EXPECT_EQ(Has(text, "Cash (3)"), c.money) << c.layout << "\n" << text;
    EXPECT_EQ(Has(text, "120.50"), c.money) << c.layout;
    EXPECT_EQ(Has(text, "Cash counted"), c.blanks) << c.layout;
    EXPECT_TRUE(Has(text, "TILL CLOSE-OUT")) << c.layout;
  }
  EXPECT_TRUE(Has(CloseOutText(Address{}, t, 1, true), "TILL TOTALS"));
}

TEST(ReportDocuments, DrawerCodes) {
  // clang-format off
  struct Case { const char* codes; const char* type; std::string bytes; } cases[] = {
      {"7", "OTHER", "\x07"}, {"", "STAR", "\x07"}, {"", "STAR THERMAL", "\x07"},
      {"22 112 00 50 250", "EPSON", std::string("\x16\x70\x00\x32\xFA", 5)},
      {"", "EPSON", std::string("\x1Bp\x00\x19\xFA", 5)},
  };
  // clang-format on
  for (const Case& c : cases) EXPECT_EQ(DrawerKickBytes(c.codes, c.type), c.bytes) << c.codes;
}

}  // namespace
